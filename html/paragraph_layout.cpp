#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "html/document_coordinates.h"
#include "html/indent_manager.h"
#include "html/paragraph_section.h"
#include "html/section_list.h"
#include "platform/graphics/gdi.h"

namespace lark {

namespace {

bool IsObjectOrMarker(char c) { return c == kMarkerChar || c == kObjectChar; }
bool IsWordBreakChar(char c) { return c == ' ' || c == '-' || c == '?' || IsObjectOrMarker(c); }

// The bytes a word of the minimum width ends before (when breakable): a
// table, as the scan looks at every byte of the text.
constexpr std::array<bool, 256> kWordEnds = [] {
  std::array<bool, 256> ends{};
  for (const char c : {' ', '-', '?', kMarkerChar, kObjectChar, kBreakChar, '\0'})
    ends[static_cast<unsigned char>(c)] = true;
  return ends;
}();
bool EndsWord(char c) { return kWordEnds[static_cast<unsigned char>(c)]; }

}  // namespace

void TSection::ForgetMeasurements() {
  ForgetKeptMeasurements();
  if (extents_.capacity() == 0 && ParentSectionList) extents_ = ParentSectionList->TakeExtentsBuffer();
  extents_.clear();
  extents_.reserve(static_cast<std::size_t>(Len) + 1);  // layout measures it all, once
  extents_.push_back(0);
}

void TSection::ReleaseMeasurements() {
  std::vector<std::int64_t> released = std::exchange(extents_, {});
  if (ParentSectionList) ParentSectionList->ReturnExtentsBuffer(std::move(released));
  fitStart_ = -1;
  ForgetKeptMeasurements();
}

void TSection::ForgetKeptMeasurements() {
  if (keptBytes_ > 0 && ParentSectionList) ParentSectionList->KeptMeasurementBytes -= keptBytes_;
  keptBytes_ = 0;
  keptPass_ = 0;
}

void TSection::KeepMeasurementsForLayout() {
  const unsigned pass = ParentSectionList ? ParentSectionList->LayoutPass() : 0;
  const auto bytes = static_cast<std::size_t>(Len);
  if (pass == 0 || !Images.Empty() || !FormControls.empty() || extents_.size() != bytes + 1 ||
      ParentSectionList->KeptMeasurementBytes + bytes > kMaxKeptMeasurementBytes) {
    ReleaseMeasurements();
    return;
  }
  ParentSectionList->KeptMeasurementBytes += bytes;
  keptBytes_ = bytes;
  keptPass_ = pass;
}

bool TSection::KeptMeasurementsValid() const {
  return keptPass_ != 0 && ParentSectionList && keptPass_ == ParentSectionList->LayoutPass() &&
         Images.Empty() && FormControls.empty() && extents_.size() == static_cast<std::size_t>(Len) + 1;
}

void TSection::MeasureNextPiece(TCanvas& canvas, int maxBytes) {
  const int i = static_cast<int>(extents_.size()) - 1;
  if (Buff[i] == kObjectChar) {
    extents_.push_back(extents_.back() + ObjectWidth(i));
    return;
  }
  int end = PieceEnd(i, std::min(Len, i + maxBytes));
  if (end < Len) {
    // Cut at a character start, so that no character is measured in halves.
    const int charStart = CharStartAtOrBefore(end);
    if (charStart < end) end = charStart > i ? charStart : NextCharStart(i);
  }
  const int n = end - i;
  Fonts.GetFontObjAt(i)->Select(canvas);
  measuredBytes_ += static_cast<std::size_t>(n);
  const std::int64_t before = extents_.back();
  const std::size_t at = extents_.size();
  extents_.resize(at + static_cast<std::size_t>(n));
  MeasureTextExtents(canvas, Buff.data() + i, n, before, extents_.data() + at);
}

void TSection::MeasureUpTo(TCanvas& canvas, int end) {
  for (int measured = static_cast<int>(extents_.size()) - 1; measured < end;
       measured = static_cast<int>(extents_.size()) - 1)
    MeasureNextPiece(canvas, end - measured);
}

int TSection::TextWidth(TCanvas& canvas, int start, int count) {
  MeasureUpTo(canvas, start + count);
  return ClampCoordinate(extents_[static_cast<std::size_t>(start + count)] - extents_[static_cast<std::size_t>(start)]);
}

int TSection::FindCountThatFits(TCanvas& canvas, int width, int start, int limit) {
  if (start == fitStart_ && width == fitWidth_ && limit == fitLimit_) return fitResult_;
  MeasureUpTo(canvas, start);
  const std::int64_t reach = extents_[static_cast<std::size_t>(start)] + std::max(width, 0);
  // Measure forward in growing pieces until one ends past the room.
  int piece = 64;
  while (static_cast<int>(extents_.size()) - 1 < limit && extents_.back() <= reach) {
    MeasureNextPiece(canvas, piece);
    piece = std::min(piece * 2, 1 << 16);
  }
  const int measured = std::min(limit, static_cast<int>(extents_.size()) - 1);
  const auto first = extents_.begin() + start;
  const auto last = extents_.begin() + measured + 1;
  const int fits = static_cast<int>(std::upper_bound(first, last, reach) - first) - 1;
  // A character's bytes share the extent before it: go back to its start.
  const int end = start + fits < Len ? CharStartAtOrBefore(start + fits) : start + fits;
  fitStart_ = start;
  fitWidth_ = width;
  fitLimit_ = limit;
  fitResult_ = std::max(0, end - start);
  return fitResult_;
}

// The line-breaking state of one layout.
class TSectionLayout {
 public:
  TSectionLayout(TSection& s, TCanvas& canvas, IndentManager& iMgr, int x, int y, int aWidth)
      : s_(s), canvas_(canvas), iMgr_(iMgr), x_(x), y_(y), aWidth_(aWidth) {}

  int Run(int& maxWidth);

 private:
  [[nodiscard]] int ClearSpace() const;
  void PlaceLeadingFloats(int start);
  [[nodiscard]] int CountForLine(int start, int left, int right, int& maxWidth, bool& retryLower);
  void FinishLine(int start, int n, int left, int right);
  void SizeLineForObjects(LineRec& line);
  void SizeLineForControl(LineRec& line, TFormControlObj& control);
  void InsertSpacer(int height);
  [[nodiscard]] int SkipBlanks(int i) const {
    while (i < s_.Len && s_.Buff[i] == ' ' && !s_.NoBreakAt(i)) ++i;
    return i;
  }

  TSection& s_;
  TCanvas& canvas_;
  IndentManager& iMgr_;
  int x_, y_, aWidth_;
  int curY_ = 0;
  int floatBottom_ = 0;
  int lineFloatHeight_ = 0;
  int nextHardBreak_ = -1;  // the first hard break at or after the line start, or Len
  std::pair<int, int> leadingFloats_{-1, -1};  // a line's start, and how far its leading floats were placed
};

int TSectionLayout::ClearSpace() const { return lark::ClearSpace(iMgr_, s_.Style.ClearAttr, y_); }

void TSectionLayout::InsertSpacer(int height) {
  LineRec line;
  line.Start = 0;
  line.LineHt = line.LineImgHt = height;
  line.Y = curY_;
  s_.lines_.push_back(line);
  curY_ = SumCoordinates(curY_, height);
  s_.SectionHeight = SumCoordinates(s_.SectionHeight, height);
}

void TSectionLayout::PlaceLeadingFloats(int start) {
  lineFloatHeight_ = 0;
  // A line retried lower down starts where it did: its leading floats are
  // placed already, so the walk resumes where it stopped.
  if (leadingFloats_.first != start) leadingFloats_ = {start, start};
  int& i = leadingFloats_.second;
  for (; i < s_.Len && (s_.Buff[i] == kObjectChar || s_.Buff[i] == ' '); ++i) {
    if (s_.Buff[i] != kObjectChar) continue;
    // Anything but a float ends them: an inline image, a form control (no
    // floating object), or the object mark written in the page as text.
    TFloatingObj* object = s_.ObjectAt(i);
    if (!object || !object->Floats()) break;
    if (object->YValue != kNotLaidOut) continue;  // placed already
    iMgr_.Update(curY_, *object);
    object->YValue = curY_;
    const int height = SumCoordinates(object->ImageHeight, object->VSpaceT, object->VSpaceB);
    lineFloatHeight_ = std::max(lineFloatHeight_, height);
    floatBottom_ = std::max(floatBottom_, SumCoordinates(curY_, height));
  }
}

int TSectionLayout::CountForLine(int start, int left, int right, int& maxWidth, bool& retryLower) {
  retryLower = false;
  const int len = s_.Len;
  if (nextHardBreak_ < start) {
    const auto hardBreak = s_.Buff.find(kBreakChar, static_cast<std::size_t>(start));
    nextHardBreak_ = hardBreak == std::string::npos ? len : static_cast<int>(hardBreak);
  }
  const int limit = nextHardBreak_;
  if (limit == start) return 1;  // a hard break at the start is a line of its own

  int n = 0;
  const bool quick = start == 0 && s_.Images.Empty();
  if (quick) {
    // The widest character of every run on the line bounds the text's width.
    int widest = 0;
    for (const auto& run : s_.Fonts) widest = std::max(widest, run->tmMaxCharWidth);
    if (static_cast<long long>(widest) * (limit - start) <= std::int64_t{right} - left) n = limit - start;
  }
  if (n == 0) n = s_.FindCountThatFits(canvas_, SumCoordinates(right, -static_cast<std::int64_t>(left)), start, limit);
  if (start + n == limit) return limit < len ? n + 1 : n;  // everything up to the break fits

  if (n == 0) {
    if (iMgr_.GetNextWiderY(curY_) > curY_) {
      retryLower = true;
      return 0;
    }
    // Nothing fits and nothing ends lower: take one character so that the
    // layout always advances.
    return std::max(1, s_.NextCharStart(start) - start);
  }

  const int last = start + n - 1;
  const char lastChar = s_.Buff[last];
  if ((IsObjectOrMarker(lastChar) || lastChar == ' ') && !s_.NoBreakAt(last)) return SkipBlanks(start + n) - start;

  const int next = start + n;
  const TFontObj* run = s_.Fonts.GetFontObjAt(next);
  if (s_.DoubleByte && run && IsDoubleByteCharset(run->Font().Charset())) {
    const unsigned char c = static_cast<unsigned char>(s_.Buff[next]);
    if (IsObjectOrMarker(s_.Buff[next]) || IsLeadByte(run->Font().Charset(), c)) return n;
    // Back to the nearest blank or marker, or to the end of a two-byte
    // character: double-byte text breaks between any two characters.
    for (int i = last; i > start;) {
      if ((s_.Buff[i] == ' ' || IsObjectOrMarker(s_.Buff[i])) && !s_.NoBreakAt(i)) return i + 1 - start;
      const int charStart = s_.CharStartAtOrBefore(i);
      if (IsLeadByte(run->Font().Charset(), static_cast<unsigned char>(s_.Buff[charStart])))
        return s_.NextCharStart(charStart) - start;
      i = charStart - 1;
    }
    return n;
  }

  if (s_.Buff[next] == ' ' && !s_.NoBreakAt(next)) return SkipBlanks(next) - start;
  if (IsObjectOrMarker(s_.Buff[next]) && !s_.NoBreakAt(next)) return n;
  for (int i = last; i >= start; --i)
    if (IsWordBreakChar(s_.Buff[i]) && !s_.NoBreakAt(i)) return SkipBlanks(i + 1) - start;

  if (iMgr_.GetNextWiderY(curY_) > curY_) {
    retryLower = true;
    return 0;
  }
  // One word wider than the room: it overflows the line.
  int end = next;
  while (end < len) {
    const char c = s_.Buff[end];
    if ((c == '-' || c == '?') && !s_.NoBreakAt(end)) {
      ++end;
      break;
    }
    if ((IsObjectOrMarker(c) || c == kBreakChar || c == ' ') && !s_.NoBreakAt(end)) break;
    ++end;
  }
  end = SkipBlanks(end);
  if (end < len && s_.Buff[end] == kBreakChar) ++end;
  maxWidth = std::max(maxWidth, SumCoordinates(s_.TextWidth(canvas_, start, end - start), left,
                                               -static_cast<std::int64_t>(x_)));
  return end - start;
}

void TSectionLayout::SizeLineForObjects(LineRec& line) {
  const TFontObj* first = s_.Fonts.GetFontObjAt(line.Start);
  const char* const text = s_.Buff.data();
  const char* const end = text + line.Start + line.Ln;
  for (const char* at = text + line.Start;
       (at = static_cast<const char*>(std::memchr(at, kObjectChar, static_cast<std::size_t>(end - at)))) != nullptr;
       ++at) {
    const int i = static_cast<int>(at - text);
    if (TFormControlObj* control = s_.ControlAt(i)) {
      SizeLineForControl(line, *control);
      continue;
    }
    TFloatingObj* object = s_.ObjectAt(i);
    if (!object || object->Floats()) continue;
    const int h = object->ImageHeight + object->VSpaceT + object->VSpaceB;
    switch (object->ObjAlign) {
      case aTop: line.SpaceAfter = std::max(line.SpaceAfter, h - line.LineHt); break;
      case aMiddle: {
        int lineHt = line.LineHt;
        if (lineHt == 0 && first) lineHt = first->FontHeight;
        const int half = (h - lineHt) / 2;
        line.SpaceAfter = std::max(line.SpaceAfter, half);
        line.SpaceBefore = std::max(line.SpaceBefore, h - lineHt - half);
        break;
      }
      default: line.SpaceBefore = std::max(line.SpaceBefore, h - (line.LineHt - line.Descent)); break;
    }
    object->YValue = curY_;
  }
}

void TSectionLayout::SizeLineForControl(LineRec& line, TFormControlObj& control) {
  const int h = control.Height();
  switch (control.FormAlign) {
    case aTop: line.SpaceAfter = std::max(line.SpaceAfter, h - line.LineHt); break;
    case aMiddle: {
      const int half = (h - line.LineHt) / 2;
      line.SpaceAfter = std::max(line.SpaceAfter, half);
      line.SpaceBefore = std::max(line.SpaceBefore, h - half);
      break;
    }
    case aBottom: line.SpaceBefore = std::max(line.SpaceBefore, h - (line.LineHt - line.Descent)); break;
    default: line.SpaceBefore = std::max(line.SpaceBefore, h - line.LineHt); break;
  }
  control.YValue = curY_;
}

void TSectionLayout::FinishLine(int start, int n, int left, int right) {
  LineRec line;
  line.Start = start;
  line.Ln = n;
  line.Y = curY_;
  const bool onlyControls = std::all_of(s_.Buff.begin() + start, s_.Buff.begin() + start + n, [](char c) {
    return c == kMarkerChar || c == kObjectChar || c == kBreakChar;
  });
  if (!onlyControls) {
    int first = 0;
    (void)s_.Fonts.GetFontObjAt(start, first);
    for (std::size_t k = static_cast<std::size_t>(first); k < s_.Fonts.Count(); ++k) {
      const TFontObj* run = s_.Fonts[k];
      const int runEnd = k + 1 < s_.Fonts.Count() ? s_.Fonts[k + 1]->Pos : s_.Len;
      if (run->Pos >= start + n) break;
      if (runEnd <= start) continue;
      line.LineHt = std::max(line.LineHt, run->FontHeight);
      line.Descent = std::max(line.Descent, run->Descent);
    }
    if (line.LineHt < s_.Style.LineHeight) {
      const int diff = s_.Style.LineHeight - line.LineHt;
      line.SpaceBefore = diff / 2;
      line.SpaceAfter = diff - line.SpaceBefore;
    }
  }
  SizeLineForObjects(line);

  // The text's width leaves out a trailing break and trailing breakable blanks.
  int visible = n;
  while (visible > 0 && (s_.Buff[start + visible - 1] == kBreakChar ||
                         (s_.Buff[start + visible - 1] == ' ' && !s_.NoBreakAt(start + visible - 1))))
    --visible;
  const int w = s_.TextWidth(canvas_, start, visible);
  switch (s_.Style.Justify) {
    case TJustify::Centre:
      line.LineIndent = ClampCoordinate((std::int64_t{left} + right - w) / 2 - x_);
      break;
    case TJustify::Right: line.LineIndent = SumCoordinates(right, -static_cast<std::int64_t>(x_), -static_cast<std::int64_t>(w)); break;
    case TJustify::FullJustify:
      line.LineIndent = SumCoordinates(left, -static_cast<std::int64_t>(x_));
      if (start + n < s_.Len) {
        line.Spaces = static_cast<int>(std::count(s_.Buff.begin() + start, s_.Buff.begin() + start + visible, ' '));
        // A line without blanks has nothing to spread the room over.
        line.Extra = line.Spaces > 0
                         ? std::max(0, SumCoordinates(right, -static_cast<std::int64_t>(left), -static_cast<std::int64_t>(w)))
                         : 0;
        if (line.Extra == 0) line.Spaces = 0;
      }
      break;
    default: line.LineIndent = SumCoordinates(left, -static_cast<std::int64_t>(x_)); break;
  }
  line.DrawWidth = SumCoordinates(right, -static_cast<std::int64_t>(left));
  const int height = line.Height();
  curY_ = SumCoordinates(curY_, height);
  s_.SectionHeight = SumCoordinates(s_.SectionHeight, height);
  line.LineImgHt = std::max(height, lineFloatHeight_);

  // Floats that came after content on this line go below it.
  const char* const text = s_.Buff.data();
  for (const char* at = text + start;
       (at = static_cast<const char*>(std::memchr(at, kObjectChar, static_cast<std::size_t>(text + start + n - at)))) !=
       nullptr;
       ++at) {
    const int i = static_cast<int>(at - text);
    TFloatingObj* object = s_.ObjectAt(i);
    if (!object || !object->Floats() || object->YValue != kNotLaidOut) continue;
    iMgr_.Update(curY_, *object);
    object->YValue = curY_;
    const int h = SumCoordinates(object->ImageHeight, object->VSpaceT, object->VSpaceB);
    floatBottom_ = std::max(floatBottom_, SumCoordinates(curY_, h));
    line.LineImgHt = std::max(line.LineImgHt, SumCoordinates(curY_, h, -static_cast<std::int64_t>(line.Y)));
  }
  s_.lines_.push_back(line);
}

int TSectionLayout::Run(int& maxWidth) {
  curY_ = y_;
  const int textIndent = s_.Style.TextIndentPercent ? s_.Style.TextIndent * aWidth_ / 100 : s_.Style.TextIndent;
  maxWidth = std::min(SumCoordinates(iMgr_.RightSide(y_), -static_cast<std::int64_t>(iMgr_.LeftIndent(y_))), aWidth_);
  for (const auto& object : s_.Images) {
    object->YValue = kNotLaidOut;
    object->DrawLogic(*s_.ParentSectionList, canvas_, s_.Fonts.GetFontObjAt(object->Pos), aWidth_);
    maxWidth = std::max(maxWidth, SumCoordinates(object->ImageWidth, object->HSpaceL, object->HSpaceR));
  }
  for (const TFormControlObj* control : s_.FormControls) maxWidth = std::max(maxWidth, control->Width());
  // The objects' sizes are known only now; text alone was measured already
  // when the width computation of this pass kept its extents.
  if (!s_.KeptMeasurementsValid()) {
    s_.ForgetMeasurements();
  } else if (s_.lines_.capacity() == 0) {
    // The whole text's width is known: room for the lines it fills at the
    // full width, so that few paragraphs grow their line records.
    const std::int64_t lines = s_.extents_.back() / std::max(1, maxWidth) + 1;
    s_.lines_.reserve(static_cast<std::size_t>(std::min<std::int64_t>(lines, s_.Len)));
  }
  if (s_.Style.ClearAttr != ClearNothing) {
    const int clear = ClearSpace();
    if (clear > 0) InsertSpacer(clear);
  }
  int start = 0;
  bool firstLine = true;
  // Every pass either finishes a line of at least one character or moves
  // down to the next float bottom, so the loop ends.
  while (start < s_.Len) {
    PlaceLeadingFloats(start);
    const int left = SumCoordinates(iMgr_.LeftIndent(curY_), firstLine ? textIndent : 0);
    const int right = iMgr_.RightSide(curY_);
    bool retryLower = false;
    const int n = CountForLine(start, left, right, maxWidth, retryLower);
    if (retryLower) {
      InsertSpacer(SumCoordinates(iMgr_.GetNextWiderY(curY_), -static_cast<std::int64_t>(curY_)));
      continue;
    }
    FinishLine(start, n, left, right);
    start += n;
    firstLine = false;
  }
  return floatBottom_;
}

int TSection::DrawLogic(TCanvas& canvas, int x, int y, int, int, int aWidth, int, IndentManager& iMgr,
                        int& maxWidth, int& curs) {
  YValue = DrawTop = ContentTop = y;
  StartCurs = curs;
  SectionHeight = 0;
  lines_.clear();
  fitStart_ = -1;
  Finish();
  int floatBottom = 0;
  if (Len == 0) {
    maxWidth = 0;
    TSectionLayout layout(*this, canvas, iMgr, x, y, aWidth);
    int unused = 0;
    layout.Run(unused);
  } else {
    TSectionLayout layout(*this, canvas, iMgr, x, y, aWidth);
    floatBottom = layout.Run(maxWidth);
    ReleaseMeasurements();
  }
  curs = StartCurs + Len;
  int* baseline = ParentSectionList ? ParentSectionList->FirstLineBaseline : nullptr;
  if (baseline && *baseline == 0)
    for (const LineRec& line : lines_)
      if (line.Ln > 0) {
        *baseline = SumCoordinates(line.Y, line.SpaceBefore, line.LineHt, -static_cast<std::int64_t>(line.Descent));
        break;
      }
  DrawHeight = std::max(SectionHeight, SumCoordinates(floatBottom, -static_cast<std::int64_t>(y)));
  ContentBot = SumCoordinates(y, SectionHeight);
  DrawBot = SumCoordinates(y, DrawHeight);
  return SectionHeight;
}

int TPreFormated::DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int, int aHeight,
                            IndentManager& iMgr, int& maxWidth, int& curs) {
  if (Len == 0 && Buff.empty()) {
    YValue = DrawTop = ContentTop = y;
    StartCurs = curs;
    lines_.clear();
    const TFontObj* run = Fonts.Empty() ? nullptr : Fonts[0];
    SectionHeight = DrawHeight = run ? run->Font().Size() : 0;  // an empty line keeps its font's height
    ContentBot = DrawBot = SumCoordinates(y, SectionHeight);
    maxWidth = 0;
    return SectionHeight;
  }
  const int oldRight = iMgr.RtEdge;
  iMgr.RtEdge = iMgr.LfEdge + 32000;
  int unused = 0;
  // Preformatted text never wraps: lay it out on a line as wide as anything.
  const int height = TSection::DrawLogic(canvas, x, y, xRef, yRef, 32000, aHeight, iMgr, unused, curs);
  iMgr.RtEdge = oldRight;
  int min = 0;
  MinMaxWidth(canvas, min, maxWidth);
  return height;
}

void TSection::MinMaxWidth(TCanvas& canvas, int& min, int& max) {
  if (minWidth_ >= 0 && Images.Empty()) {
    min = minWidth_;
    max = maxWidth_;
    return;
  }
  Finish();
  min = 0;
  int floatTotal = 0;
  for (const auto& object : Images) {
    object->DrawLogic(*ParentSectionList, canvas, Fonts.GetFontObjAt(object->Pos), 0);
    const int w = object->ImageWidth + object->HSpaceL + object->HSpaceR;
    if (object->Floats()) {
      floatTotal += w;
      if (Brk) (*Brk)[static_cast<std::size_t>(object->Pos)] = 'y';
    } else {
      min = std::max(min, object->ImageWidth);
    }
  }
  ForgetMeasurements();
  max = 0;
  int start = 0;
  bool first = true;
  while (start <= Len) {
    const auto hardBreak = Buff.find(kBreakChar, static_cast<std::size_t>(start));
    const int end = hardBreak == std::string::npos ? Len : static_cast<int>(hardBreak);
    int w = TextWidth(canvas, start, end - start);
    if (first && Style.TextIndent != 0)
      w = Style.TextIndentPercent ? w * 100 / (100 - Style.TextIndent) : w + Style.TextIndent;
    max = std::max(max, w);
    first = false;
    start = end + 1;
  }
  max += floatTotal;
  // The whole text is measured now: each word's width is a difference of
  // two extents.
  MeasureUpTo(canvas, Len);
  std::int64_t widestWord = 0;
  int i = 0;
  while (i < Len) {
    int end = i;
    if (DoubleByte)
      end = NextCharStart(i);
    else
      while (end < Len && !(EndsWord(Buff[end]) && !NoBreakAt(end))) ++end;
    widestWord = std::max(widestWord, extents_[static_cast<std::size_t>(end)] - extents_[static_cast<std::size_t>(i)]);
    i = end;
    while (i < Len && (Buff[i] == kObjectChar || Buff[i] == kBreakChar || Buff[i] == ' ' || Buff[i] == '-' ||
                       Buff[i] == '?'))
      ++i;
    if (i == end && i < Len) ++i;
  }
  min = std::max({min, ClampCoordinate(widestWord), floatTotal});
  minWidth_ = min;
  maxWidth_ = max;
  KeepMeasurementsForLayout();
}

void TPreFormated::MinMaxWidth(TCanvas& canvas, int& min, int& max) {
  if (maxWidth_ < 0) {
    ForgetMeasurements();
    maxWidth_ = TextWidth(canvas, 0, Len);
    ReleaseMeasurements();
  }
  max = maxWidth_;
  min = std::min(2000, max);
}

}  // namespace lark
