#include "html/paragraph_section.h"

#include <algorithm>
#include <cstring>

#include "html/parser_state.h"
#include "html/section_list.h"
#include "html/token_obj.h"
#include "platform/core/code_page.h"

namespace lark {

bool IsDoubleByteCharset(int charset) {
  return charset == SHIFTJIS_CHARSET || charset == HANGEUL_CHARSET || charset == JOHAB_CHARSET ||
         charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET;
}

bool IsLeadByte(int charset, unsigned char b) {
  switch (charset) {
    case SHIFTJIS_CHARSET: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case HANGEUL_CHARSET:
    case GB2312_CHARSET:
    case CHINESEBIG5_CHARSET: return b >= 0x81 && b <= 0xFE;
    case JOHAB_CHARSET: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
    default: return false;
  }
}

namespace {
// Room a paragraph's text takes when it first outgrows its string.
constexpr std::size_t kFirstTextRoom = 64;
// Most paragraphs' text comes from a few places in the source; room for
// their source runs at once.
constexpr std::size_t kFirstSourceRunRoom = 4;
}  // namespace

TSection::TSection(TSectionList* masterList, const TParagraphStyle& style, std::shared_ptr<const TRunFont> font,
                   std::string title)
    : TSectionBase(masterList), Style(style) {
  Style.TextIndent = Style.TextIndentPercent ? std::clamp(Style.TextIndent, 0, 90) : Style.TextIndent;
  AddFont(std::move(font), std::move(title));
}

TSection::TSection(TSectionList* masterList, const TSection& source)
    : TSectionBase(masterList, source),
      Style(source.Style),
      DoubleByte(source.DoubleByte),
      HasAnchor(source.HasAnchor),
      Preformatted(source.Preformatted),
      Buff(source.Buff),
      Brk(source.Brk ? std::make_unique<std::string>(*source.Brk) : nullptr),
      sourceRuns_(source.sourceRuns_),
      finished_(source.finished_) {
  FormControls = source.FormControls;  // a print copy paints the document's own controls
  for (const auto& run : source.Fonts) Fonts.Add(this, *run);
  for (const auto& object : source.Images) {
    auto copy = object->CreateCopy(*masterList);
    if (copy) Images.Add(std::move(copy));
  }
  Len = source.Len;
}

TSection::~TSection() {
  // The runs and objects take themselves out of the document's lists; they
  // must go while this section still knows its document.
  Fonts.Clear();
  Images.Clear();
  ForgetKeptMeasurements();
  if (ParentSectionList && !ParentSectionList->IsCopy)
    for (const TFormControlObj* control : FormControls) ParentSectionList->ForgetFormControl(control);
}

std::unique_ptr<TSectionBase> TSection::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<TSection>(masterList, *this);
}

void TSection::AddChar(char ch, int sourcePos) {
  AddSourcePosition(static_cast<int>(Buff.size()), sourcePos);
  AppendBreakFlags(1, ParserState().NoBreak || Preformatted);
  Buff.push_back(ch);
}

void TSection::AppendBreakFlags(std::size_t count, bool noBreak) {
  if (!noBreak && !Brk) return;
  if (!Brk) {
    Brk = std::make_unique<std::string>();
    Brk->reserve(std::max(Buff.capacity(), Buff.size() + count));
    Brk->assign(Buff.size(), 'y');
  }
  Brk->append(count, noBreak ? 'n' : 'y');
}

void TSection::SetNoBreak(std::size_t i) {
  if (!Brk) Brk = std::make_unique<std::string>(Buff.size(), 'y');
  (*Brk)[i] = 'n';
}

void TSection::AddSourcePosition(int textIndex, int sourcePos) {
  if (!sourceRuns_.empty()) {
    const IndexEntry& last = sourceRuns_.back();
    if (static_cast<std::int64_t>(last.SourcePos) + (textIndex - last.TextIndex) == sourcePos) return;
  }
  if (sourceRuns_.capacity() == 0) sourceRuns_.reserve(kFirstSourceRunRoom);
  sourceRuns_.push_back({textIndex, sourcePos});
}

void TSection::AddText(std::string_view text, int sourcePos) {
  for (std::size_t i = 0; i < text.size(); ++i) AddChar(text[i], sourcePos + static_cast<int>(i));
}

void TSection::AddTokenObj(const TokenObj& token) {
  const std::string_view chars = token.Chars();
  const std::span<const std::int32_t> positions = token.Positions();
  // Only where the positions jump can a new source run start. Positions are
  // never negative, so their differences fit in 32 bits; runs without a
  // jump are passed eight at a time.
  const std::int32_t* const at = positions.data();
  const std::size_t n = positions.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) {
      for (std::int32_t jumps = 0; i + 8 <= n; i += 8) {
        for (std::size_t k = 0; k < 8; ++k) jumps |= at[i + k] - at[i + k - 1] - 1;
        if (jumps != 0) break;
      }
      if (i >= n) break;
      if (at[i] - at[i - 1] == 1) continue;
    }
    AddSourcePosition(static_cast<int>(Buff.size() + i), at[i]);
  }
  const std::size_t needed = Buff.size() + chars.size();
  if (needed > Buff.capacity()) {
    // Text comes a token at a time: past the first few words, grow to a
    // line's worth at once, then double, for the text and its break flags.
    const std::size_t room = std::max({needed, 2 * Buff.capacity(), kFirstTextRoom});
    Buff.reserve(room);
    if (Brk) Brk->reserve(room);
  }
  AppendBreakFlags(chars.size(), ParserState().NoBreak || Preformatted);
  Buff.append(chars);
}

TFontObj* TSection::AddFont(const TRunFont& font, std::string title, TScript script) {
  return AddFont(std::make_shared<const TRunFont>(font), std::move(title), script);
}

TFontObj* TSection::AddFont(std::shared_ptr<const TRunFont> font, std::string title, TScript script) {
  const int pos = static_cast<int>(Buff.size());
  const bool doubleByte = IsDoubleByteCharset(font->Font.Charset());
  TFontObj* run = Fonts.Last();
  if (run && run->Pos == pos) {
    // The run before holds no text: this one takes its place (and leaves
    // the document's lists, which hold runs only once they are links).
    if (ParentSectionList && run->WasMadeLink()) ParentSectionList->ForgetObject(run);
    run->Restart(std::move(font), std::move(title));
  } else {
    run = Fonts.Add(this, pos, std::move(font), std::move(title));
  }
  run->SScript = script;
  if (doubleByte) DoubleByte = true;
  return run;
}

void TSection::SetLink(TFontObj& run, const TUrlTarget& target, const TLinkFonts& fonts) {
  SetLink(run, target, std::make_shared<const TLinkFonts>(fonts));
}

void TSection::SetLink(TFontObj& run, const TUrlTarget& target, std::shared_ptr<const TLinkFonts> fonts) {
  run.SetLink(target, std::move(fonts));
  if (ParentSectionList && !ParentSectionList->IsCopy) ParentSectionList->LinkList.push_back(&run);
}

TFloatingObj* TSection::AddObject(std::unique_ptr<TFloatingObj> object, int sourcePos) {
  object->Pos = static_cast<int>(Buff.size());
  TFloatingObj* raw = Images.Add(std::move(object));
  AddChar(kObjectChar, sourcePos);
  return raw;
}

void TSection::AddFormControl(TFormControlObj* control, int sourcePos) {
  control->Pos = static_cast<int>(Buff.size());
  FormControls.push_back(control);
  AddChar(kObjectChar, sourcePos);
}

namespace {

// Objects and controls stand in their lists in text order (each is added at
// the end of the text, and Finish keeps the order), so they are found by
// binary search: a paragraph may hold thousands of them.
template <typename List>
auto AtTextPosition(const List& list, int pos) -> decltype(&**list.begin()) {
  const auto at = std::lower_bound(list.begin(), list.end(), pos,
                                   [](const auto& item, int p) { return item->Pos < p; });
  return at != list.end() && (*at)->Pos == pos ? &**at : nullptr;
}

// The index of the first byte at or after `i` that is not ASCII (or the
// text's size), eight bytes at a time.
std::size_t SkipAscii(const std::string& text, std::size_t i) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  for (std::uint64_t word = 0; i + 8 <= text.size(); i += 8) {
    std::memcpy(&word, text.data() + i, 8);
    if (word & kHighBits) break;
  }
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

}  // namespace

TFormControlObj* TSection::ControlAt(int pos) const { return AtTextPosition(FormControls, pos); }

int TSection::ObjectWidth(int pos) const {
  if (const TFloatingObj* object = ObjectAt(pos))
    return object->Floats() ? 0 : object->ImageWidth + object->HSpaceL + object->HSpaceR;
  if (const TFormControlObj* control = ControlAt(pos)) return control->Width() + control->HSpaceL + control->HSpaceR;
  return 0;
}

TFloatingObj* TSection::ObjectAt(int pos) const { return AtTextPosition(Images, pos); }

void TSection::RemoveCharacters(const std::vector<int>& removed) {
  if (removed.empty()) return;
  const std::vector<IndexEntry> runs = std::exchange(sourceRuns_, {});
  std::size_t kept = 0, run = 0;
  // The text between two removed characters moves down as one piece, its
  // source positions with it, one entry per source run it crosses.
  const auto keep = [&](std::size_t from, std::size_t to) {
    if (from >= to) return;
    if (kept != from) {
      std::memmove(Buff.data() + kept, Buff.data() + from, to - from);
      if (Brk) std::memmove(Brk->data() + kept, Brk->data() + from, to - from);
    }
    for (std::size_t i = from; i < to;) {
      while (run + 1 < runs.size() && runs[run + 1].TextIndex <= static_cast<int>(i)) ++run;
      std::size_t end = to;
      if (run < runs.size() && runs[run].TextIndex <= static_cast<int>(i)) {
        AddSourcePosition(static_cast<int>(kept + (i - from)),
                          runs[run].SourcePos + (static_cast<int>(i) - runs[run].TextIndex));
        if (run + 1 < runs.size()) end = std::min(end, static_cast<std::size_t>(runs[run + 1].TextIndex));
      } else if (run < runs.size()) {
        end = std::min(end, static_cast<std::size_t>(runs[run].TextIndex));
      }
      i = end;
    }
    kept += to - from;
  };
  std::size_t from = 0;
  for (const int at : removed) {
    const auto index = static_cast<std::size_t>(at);
    if (at < 0 || index < from) continue;
    if (index >= Buff.size()) break;
    keep(from, index);
    from = index + 1;
  }
  keep(from, Buff.size());
  Buff.resize(kept);
  if (Brk) Brk->resize(kept);
  for (const auto& object : Images) object->Pos -= RemovedBefore(removed, object->Pos);
  for (TFormControlObj* control : FormControls) control->Pos -= RemovedBefore(removed, control->Pos);
  Fonts.RemoveCharacters(removed);
}

void TSection::BuildIndex() {
  sourceRuns_.shrink_to_fit();
  Len = static_cast<int>(Buff.size());
  finished_ = true;
}

// Each white-space rule marks what it deletes and the text is compacted once
// per rule, so a paragraph of any length is finished in linear time. The
// rules apply in order, each to the text the previous one left.
void TSection::Finish() {
  if (finished_) return;
  RemoveCharacters(LeadingBlanks());
  RemoveCharacters(DoubledBlanks());
  RemoveCharacters(BlanksAfterFloats());
  if (!DoubleByte) RemoveCharacters(SoftHyphens());
  RemoveCharacters(BlanksBesideBreaks());
  ConvertNonBreakingSpaces();
  BuildIndex();
}

std::vector<int> TSection::LeadingBlanks() const {
  std::vector<int> removed;
  for (std::size_t i = 0; i < Buff.size() && Buff[i] == ' '; ++i) removed.push_back(static_cast<int>(i));
  return removed;
}

std::vector<int> TSection::DoubledBlanks() const {
  // A row of blanks keeps one: the first non-breaking one, else the first.
  std::vector<int> removed;
  for (std::size_t i = Buff.find("  "); i < Buff.size();) {
    if (Buff[i] != ' ') {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < Buff.size() && Buff[end] == ' ') ++end;
    std::size_t kept = i;
    while (kept < end && !NoBreakAt(kept)) ++kept;
    if (kept == end) kept = i;
    for (std::size_t k = i; k < end; ++k)
      if (k != kept) removed.push_back(static_cast<int>(k));
    i = end;
  }
  return removed;
}

std::vector<int> TSection::BlanksAfterFloats() const {
  // Objects stand in text order, so the blanks are found in order.
  std::vector<int> removed;
  for (const auto& object : Images) {
    const std::size_t at = static_cast<std::size_t>(object->Pos);
    if (object->Floats() && object->Pos >= 0 && at + 1 < Buff.size() && Buff[at] == kObjectChar &&
        Buff[at + 1] == ' ' && (removed.empty() || removed.back() < static_cast<int>(at + 1)))
      removed.push_back(static_cast<int>(at + 1));
  }
  return removed;
}

std::vector<int> TSection::SoftHyphens() const {
  // Only where the run's code page reads U+00AD; runs are walked in step
  // with the text.
  std::vector<int> removed;
  std::size_t run = 0;
  for (std::size_t i = 0; i < Buff.size();) {
    if (static_cast<unsigned char>(Buff[i]) < 0x80) {  // one character alone in every code page served
      i = SkipAscii(Buff, i + 1);
      continue;
    }
    while (run + 1 < Fonts.Count() && Fonts[run + 1]->Pos <= static_cast<int>(i)) ++run;
    const int codePage = Fonts.Empty() ? CP_UTF8 : Fonts[run]->CodePage();
    const DecodedChar ch = DecodeChar(Buff, i, codePage);
    const std::size_t length = std::max<std::size_t>(ch.Length, 1);
    if (ch.CodePoint == 0xAD)
      for (std::size_t k = i; k < i + length && k < Buff.size(); ++k) removed.push_back(static_cast<int>(k));
    i += length;
  }
  return removed;
}

std::vector<int> TSection::BlanksBesideBreaks() const {
  // A blank right before a break goes, and every blank right after one.
  // The blank before a break is never behind one already taken, so the
  // list comes out in order.
  std::vector<int> removed;
  if (Buff.find(kBreakChar) == std::string::npos) return removed;
  std::size_t current = 0;
  for (std::size_t next = 1; next < Buff.size(); ++next) {
    if (Buff[current] == ' ' && Buff[next] == kBreakChar) {
      removed.push_back(static_cast<int>(current));
      current = next;
    } else if (Buff[current] == kBreakChar && Buff[next] == ' ') {
      removed.push_back(static_cast<int>(next));
    } else {
      current = next;
    }
  }
  return removed;
}

void TSection::ConvertNonBreakingSpaces() {
  for (std::size_t i = 0; i < Buff.size(); ++i)
    if (Buff[i] == kNbspChar) {
      Buff[i] = ' ';
      SetNoBreak(i);
    }
}

int TSection::PieceEnd(int i, int limit) const {
  int end = std::min(limit, i + Fonts.GetFontCountAt(i, Len));
  // Only the piece itself is searched, so measuring a paragraph piece by
  // piece stays linear in its length.
  if (end <= i) return i;
  const void* object = std::memchr(Buff.data() + i, kObjectChar, static_cast<std::size_t>(end - i));
  return object ? static_cast<int>(static_cast<const char*>(object) - Buff.data()) : end;
}

bool TSection::KeepInCell() {
  Finish();
  if (!Buff.empty() || HasAnchor || Style.ClearAttr != ClearNothing) return true;
  if (ParentSectionList) ParentSectionList->ForgetObject(this);
  return false;
}

int TSection::CharStartAtOrBefore(int index) const {
  const TFontObj* run = Fonts.GetFontObjAt(index);
  const int from = run ? run->Pos : 0;
  const std::string_view text(Buff.data() + from, Buff.size() - static_cast<std::size_t>(from));
  return from + static_cast<int>(FloorCharBoundary(text, static_cast<std::size_t>(index - from),
                                                   run ? run->CodePage() : CP_UTF8));
}

int TSection::NextCharStart(int index) const {
  const TFontObj* run = Fonts.GetFontObjAt(index);
  const int from = run ? run->Pos : 0;
  const int end = from + Fonts.GetFontCountAt(from, Len);
  const std::string_view text(Buff.data() + from, static_cast<std::size_t>(end - from));
  return from + static_cast<int>(NextCharBoundary(text, static_cast<std::size_t>(index - from),
                                                  run ? run->CodePage() : CP_UTF8));
}

bool TSection::GetChAtPos(int pos, char32_t& ch, TObject*& obj) {
  const int i = pos - StartCurs;
  if (i < 0 || i >= Len) return false;
  const TFontObj* run = Fonts.GetFontObjAt(i);
  ch = DecodeChar(Buff, static_cast<std::size_t>(i), run ? run->CodePage() : CP_UTF8).CodePoint;
  obj = this;
  return true;
}

int TSection::FindSourcePos(int docPos) {
  const int i = docPos - StartCurs;
  if (i < 0 || i >= Len || sourceRuns_.empty()) return -1;
  auto entry = std::upper_bound(sourceRuns_.begin(), sourceRuns_.end(), i,
                                [](int value, const IndexEntry& e) { return value < e.TextIndex; });
  --entry;
  return entry->SourcePos + (i - entry->TextIndex);
}

int TSection::FindDocPos(int sourcePos, bool prev) {
  if (sourceRuns_.empty() || Len == 0) return -1;
  const int firstSource = sourceRuns_.front().SourcePos;
  const int lastSource = sourceRuns_.back().SourcePos + (Len - 1 - sourceRuns_.back().TextIndex);
  if (sourcePos < firstSource || sourcePos > lastSource) return -1;
  for (std::size_t k = 0; k < sourceRuns_.size(); ++k) {
    const int end = k + 1 < sourceRuns_.size() ? sourceRuns_[k + 1].TextIndex : Len;
    const int runLength = end - sourceRuns_[k].TextIndex;
    const int offset = sourcePos - sourceRuns_[k].SourcePos;
    if (offset >= 0 && offset < runLength) return StartCurs + sourceRuns_[k].TextIndex + offset;
    if (k + 1 < sourceRuns_.size() && sourcePos < sourceRuns_[k + 1].SourcePos && offset >= runLength)
      return StartCurs + (prev ? end - 1 : end);  // between two stretches of text
  }
  return -1;
}

namespace {

char32_t FoldCase(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F))
    return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

}  // namespace

int TSection::FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd) {
  const std::u32string wanted = DecodeToUtf32(toFind, CP_UTF8);
  if (wanted.empty()) return -1;
  int i = std::max(0, from - StartCurs);
  if (i >= Len) return -1;
  i = CharStartAtOrBefore(i) < i ? NextCharStart(CharStartAtOrBefore(i)) : i;
  for (; i < Len; i = NextCharStart(i)) {
    int k = i;
    std::size_t matched = 0;
    while (matched < wanted.size() && k < Len) {
      const TFontObj* run = Fonts.GetFontObjAt(k);
      const DecodedChar ch = DecodeChar(Buff, static_cast<std::size_t>(k), run ? run->CodePage() : CP_UTF8);
      const char32_t have = matchCase ? ch.CodePoint : FoldCase(ch.CodePoint);
      const char32_t want = matchCase ? wanted[matched] : FoldCase(wanted[matched]);
      if (have != want) break;
      ++matched;
      k += static_cast<int>(ch.Length);
    }
    if (matched == wanted.size()) {
      // The match's bytes in this run's code page, not the length of the UTF-8 text asked for.
      matchEnd = StartCurs + k;
      return StartCurs + i;
    }
  }
  return -1;
}

TPreFormated::TPreFormated(TSectionList* masterList, const TParagraphStyle& style,
                           std::shared_ptr<const TRunFont> font, std::string title)
    : TSection(masterList, style, std::move(font), std::move(title)) {
  Preformatted = true;
}

std::unique_ptr<TSectionBase> TPreFormated::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<TPreFormated>(masterList, *this);
}

void TPreFormated::Finish() {
  if (finished_) return;
  ConvertNonBreakingSpaces();
  BuildIndex();
}

bool TPreFormated::KeepInCell() {
  Finish();
  return true;
}

}  // namespace lark
