#include "viewer/html_tokenizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"
#include "viewer/char_references.h"
#include "viewer/tag_symbols.h"

namespace lark {

namespace {

constexpr int CR = 13;
constexpr int LF = 10;
constexpr char kNonBreakingSpace = 5;  // the document's own mark
constexpr std::int32_t kMaxTextToken = 100;
constexpr std::size_t kMaxReferenceDigits = 5;
constexpr std::size_t kMaxReferenceLetters = 6;

bool IsUpperLetter(int c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsHexLetter(int c) { return c >= 'A' && c <= 'F'; }

int HexValue(int upper) { return IsDigit(upper) ? upper - '0' : upper - 'A' + 10; }

// Bytes that would pose as the document's internal marks (or end a C string)
// are read as "?".
int AsInputChar(char byte) {
  const auto c = static_cast<unsigned char>(byte);
  return c == 0 || c == 5 || c == 8 ? '?' : c;
}

// The value of decimal text that a double cannot hold (hundreds of digits,
// or a large exponent): the limit of its sign, or 0 when it is too close to
// zero. Text that is no number at all is 0 too.
std::int32_t OutOfRangeNumber(std::string_view text) {
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::size_t digits = 0;
  for (; i < text.size() && (IsDigit(text[i]) || text[i] == '.'); ++i) digits += IsDigit(text[i]) ? 1 : 0;
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && text[i] == '-') return 0;  // underflow
    if (i < text.size() && text[i] == '+') ++i;
    if (i == text.size() || !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(),
                                         [](char c) { return IsDigit(c); }))
      return 0;
  } else if (i != text.size()) {
    return 0;
  }
  return negative ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
}

// A decimal number, fractions and exponent allowed, rounded to even at .5
// and held within 32 bits; 0 when the text is not a number.
std::int32_t RoundedNumber(std::string_view text) {
  if (!text.empty() && text.size() <= 9 &&
      std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c); })) {
    std::int32_t plain = 0;  // nine digits cannot overflow
    for (char c : text) plain = plain * 10 + (c - '0');
    return plain;
  }
  double value = 0;
  if (!TryStrToFloat(text, value)) return OutOfRangeNumber(text);
  if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::nearbyint(value));
}

// The number of a quoted value: blanks trimmed and a trailing "%" dropped.
std::int32_t QuotedValueNumber(std::string_view value) {
  while (!value.empty() && static_cast<unsigned char>(value.front()) <= ' ') value.remove_prefix(1);
  // Most quoted values are words and addresses: no copy for them.
  if (value.empty() || !(IsDigit(value.front()) || value.front() == '-' || value.front() == '+' ||
                         value.front() == '.'))
    return 0;
  while (!value.empty() && static_cast<unsigned char>(value.back()) <= ' ') value.remove_suffix(1);
  if (!value.empty() && value.back() == '%') value.remove_suffix(1);
  return RoundedNumber(value);
}

// Bytes that need more than being taken as they are: line ends, tab, the
// bytes read as "?", and "<", which may open a comment.
constexpr std::array<bool, 256> kNeedsCare = [] {
  std::array<bool, 256> table{};
  for (int c : {0, 5, 8, int('\t'), int('\n'), int('\r'), int('<')}) table[static_cast<std::size_t>(c)] = true;
  return table;
}();

// Bytes of a word of running text: neither blank, control, "&" nor "<".
constexpr std::array<bool, 256> kWordByte = [] {
  std::array<bool, 256> table{};
  for (int c = ' ' + 1; c < 256; ++c) table[static_cast<std::size_t>(c)] = c != '&' && c != '<';
  return table;
}();

// Byte classes as function objects, so that every scan inlines its own.
constexpr auto IsWordByte = [](unsigned char c) { return kWordByte[c]; };
constexpr auto IsLetterByte = [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
constexpr auto IsLetterOrDashByte = [](unsigned char c) { return IsLetterByte(c) || c == '-'; };

// The first position in [pos, end) whose byte is at most `low` or is one of
// `a`, `b`, `c`; `end` when there is none. Sixteen bytes at a time where the
// processor allows, and never a byte outside [pos, end).
std::size_t FindStop(const unsigned char* text, std::size_t pos, std::size_t end, unsigned char low,
                     unsigned char a, unsigned char b, unsigned char c) {
#ifdef __SSE2__
  const __m128i lows = _mm_set1_epi8(static_cast<char>(low));
  const __m128i as = _mm_set1_epi8(static_cast<char>(a));
  const __m128i bs = _mm_set1_epi8(static_cast<char>(b));
  const __m128i cs = _mm_set1_epi8(static_cast<char>(c));
  for (; pos + 16 <= end; pos += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + pos));
    const __m128i atMostLow = _mm_cmpeq_epi8(_mm_min_epu8(v, lows), v);
    const __m128i listed =
        _mm_or_si128(_mm_cmpeq_epi8(v, as), _mm_or_si128(_mm_cmpeq_epi8(v, bs), _mm_cmpeq_epi8(v, cs)));
    if (const int bits = _mm_movemask_epi8(_mm_or_si128(atMostLow, listed)))
      return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
  }
#endif
  for (; pos < end; ++pos) {
    const unsigned char x = text[pos];
    if (x <= low || x == a || x == b || x == c) break;
  }
  return pos;
}

}  // namespace

void THtmlReader::Reset() {
  text_ = {};
  textPos_ = 0;
  include_.clear();
  include_.shrink_to_fit();
  includePos_ = 0;
  sourceKind_ = savedSourceKind_ = 0;
  ch_ = lch_ = EofChar;
  position_ = -1;
  lineEnd_ = LineEnd::None;
  inComment_ = noMarkup_ = preformatted_ = false;
  sy_ = EndOfFileSymbol;
  headerLevel_ = 0;
  tagPosition_ = 0;
  buff_.Clear();
  scratch_.Clear();
  valueToken_.Clear();
  attributes_.Clear();
  onInclude_ = nullptr;
  idNameList_ = nullptr;
  codePageInForce_ = nullptr;
}

void THtmlReader::Begin(TReaderSetup setup) {
  Reset();
  text_ = setup.Text;
  sourceKind_ = setup.SourceKind;
  onInclude_ = std::move(setup.OnInclude);
  idNameList_ = setup.IDNameList;
  codePageInForce_ = std::move(setup.CodePageInForce);
  noMarkup_ = setup.NoMarkup;
  NextCh();
  NextSymbol();
}

int THtmlReader::ReadRawChar() {
  if (sourceKind_ == IncludeSourceKind) {
    if (includePos_ < include_.size()) return AsInputChar(include_[includePos_++]);
    sourceKind_ = savedSourceKind_;
    include_.clear();
    includePos_ = 0;
  }
  if (textPos_ >= text_.size()) return EofChar;
  if (position_ < std::numeric_limits<std::int32_t>::max()) ++position_;
  return AsInputChar(text_[textPos_++]);
}

int THtmlReader::PeekRawChar() const {
  if (sourceKind_ == IncludeSourceKind && includePos_ < include_.size())
    return AsInputChar(include_[includePos_]);
  return textPos_ < text_.size() ? AsInputChar(text_[textPos_]) : EofChar;
}

void THtmlReader::ReadChar() {
  int c = ReadRawChar();
  if ((c == LF && lineEnd_ == LineEnd::AfterCR) || (c == CR && lineEnd_ == LineEnd::AfterLF)) c = ReadRawChar();
  if (c == LF) {
    c = CR;
    lineEnd_ = LineEnd::AfterLF;
  } else if (c == CR) {
    lineEnd_ = LineEnd::AfterCR;
  } else {
    lineEnd_ = LineEnd::None;
    if (c == '\t') c = ' ';
  }
  ch_ = c;
  lch_ = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
  if (ch_ == EofChar && inComment_) throw EParseError("Open Comment at End of HTML File");
}

// The common case of GetCh: a byte of the main text that is neither a line
// end, a tab, a byte read as "?" nor "<" is the next character as it is.
inline bool THtmlReader::TakePlainByte() {
  if (sourceKind_ == IncludeSourceKind || textPos_ >= text_.size()) return false;
  const auto c = static_cast<unsigned char>(text_[textPos_]);
  if (kNeedsCare[c]) return false;
  ++textPos_;
  AdvancePosition(1);
  lineEnd_ = LineEnd::None;
  ch_ = c;
  lch_ = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
  return true;
}

// GetCh for the reader's own use, inlined where it is hot.
inline void THtmlReader::NextCh() {
  if (!TakePlainByte()) GetChSlow();
}

void THtmlReader::AdvancePosition(std::size_t count) {
  const std::int64_t next = static_cast<std::int64_t>(position_) + static_cast<std::int64_t>(count);
  position_ = static_cast<std::int32_t>(std::min<std::int64_t>(next, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t THtmlReader::NextPosition() const {
  return position_ < std::numeric_limits<std::int32_t>::max() ? position_ + 1 : position_;
}

// Passes over `count` bytes of the main text that hold no line end.
void THtmlReader::SkipRun(std::size_t count) {
  if (count == 0) return;
  textPos_ += count;
  AdvancePosition(count);
  lineEnd_ = LineEnd::None;
}

// Bytes of text that go into a text token as they are. Outside preformatted
// text that includes a single space before a word, which collapsing white
// space would leave as it is.
std::size_t THtmlReader::TextRunLength(std::size_t room) const {
  if (sourceKind_ == IncludeSourceKind) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
  const std::size_t end = std::min(text_.size(), textPos_ + room);
  if (preformatted_) return FindStop(bytes, textPos_, end, ' ' - 1, '&', '<', '<') - textPos_;
  std::size_t pos = textPos_;
#ifdef __SSE2__
  // Sixteen bytes at a time: a block stops at a byte that ends a word run
  // (control, "&", "<") or at a space whose next byte is blank or one of those.
  const __m128i controls = _mm_set1_epi8(' ' - 1);
  const __m128i spaces = _mm_set1_epi8(' ');
  const __m128i ampersands = _mm_set1_epi8('&');
  const __m128i brackets = _mm_set1_epi8('<');
  const auto stops = [&](__m128i v) {
    return _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(v, controls), v),
                        _mm_or_si128(_mm_cmpeq_epi8(v, ampersands), _mm_cmpeq_epi8(v, brackets)));
  };
  // The block and the block one byte further must both lie in the text.
  for (; pos + 16 <= end && pos + 17 <= text_.size(); pos += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos + 1));
    const __m128i isSpace = _mm_cmpeq_epi8(v, spaces);
    const __m128i nextEnds = _mm_or_si128(stops(next), _mm_cmpeq_epi8(next, spaces));
    const __m128i end16 = _mm_or_si128(_mm_andnot_si128(isSpace, stops(v)), _mm_and_si128(isSpace, nextEnds));
    if (const int bits = _mm_movemask_epi8(end16))
      return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(bits))) - textPos_;
  }
#endif
  for (;;) {
    pos = FindStop(bytes, pos, end, ' ', '&', '<', '<');
    if (pos < end && bytes[pos] == ' ' && pos + 1 < text_.size() && IsWordByte(bytes[pos + 1]))
      ++pos;
    else
      return pos - textPos_;
  }
}

// Bytes of a quoted value that go in as they are: up to the quote, a
// reference or anything that needs care.
std::size_t THtmlReader::QuotedRunLength(int quote) const {
  if (sourceKind_ == IncludeSourceKind) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
  // Everything up to CR is left to the careful path: the bytes read as "?",
  // tab, the line ends, and a few control bytes that only cost a detour.
  return FindStop(bytes, textPos_, text_.size(), CR, static_cast<unsigned char>(quote), '&', '<') - textPos_;
}

void THtmlReader::GetCh() { NextCh(); }

// Advances by `advance`, with GetCh, the usual one, inlined.
inline void THtmlReader::Step(Advance advance) {
  if (advance == &THtmlReader::GetCh)
    NextCh();
  else
    (this->*advance)();
}

void THtmlReader::GetChSlow() {
  for (;;) {
    ReadChar();
    if (ch_ != '<' || noMarkup_ || PeekRawChar() != '!') return;
    ReadChar();  // the "!"
    inComment_ = true;
    ReadChar();
    if (ch_ != '-') {
      SkipDeclaration();
      continue;
    }
    ReadChar();
    if (ch_ != '-') {
      SkipDeclaration();
      continue;
    }
    ReadChar();
    if (onInclude_ && ch_ == '#' && sourceKind_ != IncludeSourceKind)
      ExpandInclude();
    else
      SkipCommentBody();
  }
}

void THtmlReader::SkipDeclaration() {
  while (ch_ != '>') ReadChar();
  inComment_ = false;
}

// A comment ends at two or more "-", optional spaces and line ends, then ">".
void THtmlReader::SkipCommentBody() {
  inComment_ = true;
  for (;;) {
    if (lch_ != '-') {
      if (sourceKind_ != IncludeSourceKind)
        SkipRun(FindStop(reinterpret_cast<const unsigned char*>(text_.data()), textPos_, text_.size(), CR, '-',
                         '<', '<') -
                textPos_);
      ReadChar();
      continue;
    }
    ReadChar();
    if (lch_ != '-') continue;
    while (lch_ == '-') ReadChar();
    while (lch_ == ' ' || lch_ == CR) ReadChar();
    if (lch_ == '>') break;
  }
  inComment_ = false;
}

void THtmlReader::SkipSpacesInComment() {
  while (ch_ == ' ' || ch_ == CR) ReadChar();
}

void THtmlReader::ExpandInclude() {
  ReadChar();  // past the "#"
  std::string command;
  while (IsDigit(lch_) || IsUpperLetter(lch_) || lch_ == '_') {
    command += static_cast<char>(ch_);
    ReadChar();
  }
  TStringList params;
  ReadIncludeParameters(params);
  SkipCommentBody();

  std::string buffer;
  onInclude_(command, params, buffer);
  if (buffer.empty()) return;
  savedSourceKind_ = sourceKind_;
  sourceKind_ = IncludeSourceKind;
  include_ = std::move(buffer);
  includePos_ = 0;
}

void THtmlReader::ReadIncludeParameters(TStringList& params) {
  for (;;) {
    SkipSpacesInComment();
    if (!IsUpperLetter(lch_)) return;
    std::string name;
    while (IsUpperLetter(lch_) || IsDigit(lch_) || lch_ == '_') {
      name += static_cast<char>(ch_);
      ReadChar();
    }
    SkipSpacesInComment();
    std::string value;
    if (ch_ == '=') {
      ReadChar();
      SkipSpacesInComment();
      if (!ReadQuotedValue(value, &THtmlReader::ReadChar, QuotedCR::AsSpace)) {
        while (ch_ != ' ' && ch_ != CR && ch_ != EofChar && ch_ != '-' && ch_ != '>') {
          value += static_cast<char>(ch_);
          ReadChar();
        }
      }
    }
    params.Add(name + "=" + value);
  }
}

void THtmlReader::SkipWhiteSpace() { SkipBlanks(); }

inline void THtmlReader::SkipBlanks() {
  while (ch_ == ' ' || ch_ == CR || ch_ == '\t') NextCh();
}

void THtmlReader::NextSymbol() {
  buff_.Clear();
  if (ch_ == EofChar) {
    sy_ = EndOfFileSymbol;
    return;
  }
  if (ReadTag() || ReadEntity(buff_, false, &THtmlReader::GetCh) || ReadText()) return;
  sy_ = OtherCharSymbol;
  buff_.AddChar(static_cast<char>(ch_), position_);
  NextCh();
}

bool THtmlReader::ReadTag() {
  if (ch_ != '<') return false;
  tagPosition_ = position_;
  NextCh();
  bool endTag = false;
  if (ch_ == '/') {
    endTag = true;
    NextCh();
  } else if (!IsUpperLetter(lch_)) {
    sy_ = TextSymbol;
    buff_.AddChar('<', tagPosition_);
    return true;
  }
  sy_ = UnknownTagSymbol;
  if (const auto tag = LookupTag(ReadUpperName(IsLetterByte))) {
    if (!endTag)
      sy_ = tag->Start;
    else if (tag->End)
      sy_ = *tag->End;
  }
  SkipBlanks();
  headerLevel_ = 0;
  if ((sy_ == HeadingSy || sy_ == HeadingEndSy) && lch_ >= '1' && lch_ <= '6') {
    headerLevel_ = lch_ - '0';
    NextCh();
  }
  attributes_.Clear();
  while (ReadAttribute()) {
  }
  while (ch_ != '>' && ch_ != EofChar) NextCh();
  // The style-sheet reader starts on the ">" of STYLE. TEXTAREA's text
  // starts right after its ">", where a comment opener is text.
  if (sy_ == TextAreaSy) {
    const bool noMarkup = noMarkup_;
    noMarkup_ = true;
    NextCh();
    noMarkup_ = noMarkup;
  } else if (sy_ != StyleSy) {
    NextCh();
  }
  return true;
}

// Reads a name of the bytes `inName` accepts, upper-cased. Only names that
// fit the buffer can be in the tables; a longer one reads as no name (and so
// as unknown), which is also what cutting a tag name to 255 letters gives.
template <typename InName>
std::string_view THtmlReader::ReadUpperName(InName inName) {
  std::size_t length = 0;
  bool tooLong = false;
  const auto add = [&](int c) {
    if (length == sizeof name_) {
      tooLong = true;
      return;
    }
    name_[length++] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  };
  while (ch_ != EofChar && inName(static_cast<unsigned char>(ch_))) {
    add(ch_);
    // The rest of the name in the main text, in one pass.
    if (sourceKind_ != IncludeSourceKind) {
      std::size_t pos = textPos_;
      for (; pos < text_.size() && inName(static_cast<unsigned char>(text_[pos])); ++pos)
        add(static_cast<unsigned char>(text_[pos]));
      SkipRun(pos - textPos_);
    }
    NextCh();
  }
  return tooLong ? std::string_view() : std::string_view(name_, length);
}

bool THtmlReader::ReadAttribute() {
  SkipBlanks();
  if (!IsUpperLetter(lch_)) return false;
  const Symb symbol = LookupAttribute(ReadUpperName(IsLetterOrDashByte));
  SkipBlanks();
  std::string& value = attributeValue_;  // keeps its capacity from tag to tag
  value.clear();
  std::int32_t number = symbol == BorderSy ? 1 : 0;
  if (ch_ == '=') {
    NextCh();
    SkipBlanks();
    if (ReadQuotedValue(value, &THtmlReader::GetCh, QuotedCR::Drop))
      number = QuotedValueNumber(value);
    else if (!ReadNumber(value, number))
      ReadUnquotedWord(value);
  }
  if (symbol == IDSy && !value.empty() && idNameList_) idNameList_->AddChPosObject(value, position_);
  attributes_.AddAttribute(symbol, number, value);
  return true;
}

bool THtmlReader::ReadQuotedValue(std::string& value, Advance advance, QuotedCR cr) {
  if (lch_ != '"' && lch_ != '\'') return false;
  const int quote = ch_;
  const Symb symbolBefore = sy_;
  Step(advance);
  while (ch_ != quote && ch_ != EofChar) {
    if (ch_ == '&') {
      valueToken_.Clear();
      ReadEntity(valueToken_, true, advance);
      const std::string_view text = valueToken_.Chars();
      if (text.size() == 1 && text[0] == kNonBreakingSpace)
        value += ' ';
      else
        value += text;
      continue;
    }
    if (ch_ != CR)
      value += static_cast<char>(ch_);
    else if (cr == QuotedCR::AsSpace)
      value += ' ';
    if (advance == &THtmlReader::GetCh) {
      const std::size_t run = QuotedRunLength(quote);
      value.append(text_.data() + textPos_, run);
      SkipRun(run);
    }
    Step(advance);
  }
  if (ch_ == quote) Step(advance);
  sy_ = symbolBefore;
  return true;
}

bool THtmlReader::ReadNumber(std::string& value, std::int32_t& number) {
  if (lch_ != '+' && lch_ != '-' && !IsDigit(lch_)) return false;
  while (ch_ != ' ' && ch_ != CR && ch_ != EofChar && ch_ != '%' && ch_ != '>') {
    value += static_cast<char>(ch_);
    NextCh();
  }
  SkipBlanks();
  number = RoundedNumber(value);
  if (ch_ == '%') {
    value += '%';
    NextCh();
  }
  return true;
}

void THtmlReader::ReadUnquotedWord(std::string& value) {
  while (ch_ != ' ' && ch_ != CR && ch_ != EofChar && ch_ != '>') {
    value += static_cast<char>(ch_);
    NextCh();
  }
}

bool THtmlReader::ReadEntity(TokenObj& out, bool attributeMode, Advance advance) {
  if (ch_ != '&') return false;
  sy_ = TextSymbol;
  const std::int32_t ampersandPosition = position_;
  scratch_.Clear();
  const auto take = [&] {
    scratch_.AddChar(static_cast<char>(ch_), position_);
    Step(advance);
  };
  take();

  std::optional<char32_t> value;
  bool named = false;
  if (ch_ == '#') {
    take();
    const bool hex = lch_ == 'X';
    if (hex) take();
    std::size_t digits = 0;
    char32_t number = 0;
    while (IsDigit(lch_) || (hex && IsHexLetter(lch_))) {
      if (++digits <= kMaxReferenceDigits) number = number * (hex ? 16 : 10) + HexValue(lch_);
      take();
    }
    if (ch_ == ';') take();
    if (digits >= 1 && digits <= kMaxReferenceDigits) value = NumericReferenceValue(number);
  } else {
    std::string name;
    while (IsUpperLetter(lch_) || IsDigit(lch_)) {
      if (name.size() <= kMaxReferenceLetters) name += static_cast<char>(ch_);
      take();
    }
    if (ch_ == ';') take();
    if (name.size() <= kMaxReferenceLetters) {
      if (name == "hellip") {
        for (std::int32_t i = 0; i < 3; ++i) out.AddChar('.', ampersandPosition + i);
        return true;
      }
      value = LookupNamedReference(name);
      named = true;
    }
  }
  if (value)
    AppendReference(out, *value, named, attributeMode, ampersandPosition);
  else
    out.Concat(scratch_);  // not a reference: the text as written
  return true;
}

void THtmlReader::AppendReference(TokenObj& out, char32_t value, bool named, bool attributeMode,
                                  std::int32_t at) {
  std::string bytes;
  if (named && value == static_cast<char32_t>(kNonBreakingSpace))
    bytes = std::string(1, kNonBreakingSpace);
  else if (value <= 8)
    bytes = "?";  // never the document's marks or a NUL
  else if (value == '\t')
    bytes = " ";
  else
    bytes = EncodeChar(value, attributeMode || !codePageInForce_ ? SystemCodePage() : codePageInForce_());
  for (std::size_t i = 0; i < bytes.size(); ++i) out.AddChar(bytes[i], at + static_cast<std::int32_t>(i));
}

bool THtmlReader::ReadText() {
  while (buff_.Leng() < kMaxTextToken) {
    const int c = ch_;
    if (c == EofChar || c == '&' || c == '<' || (c < 32 && c != CR)) break;
    if (!preformatted_ && (c == ' ' || c == CR)) {
      buff_.AddChar(' ', position_);
      SkipBlanks();
      continue;
    }
    buff_.AddChar(static_cast<char>(c), position_);
    // The bytes that follow and cannot end the token go in as one run.
    const std::size_t run = TextRunLength(static_cast<std::size_t>(kMaxTextToken - buff_.Leng()));
    if (run > 0) {
      buff_.AddRun(text_.data() + textPos_, run, NextPosition());
      SkipRun(run);
    }
    NextCh();
  }
  if (buff_.Leng() == 0) return false;
  sy_ = TextSymbol;
  return true;
}

void THtmlReader::NextTextAreaSymbol() {
  buff_.Clear();
  if (ch_ == EofChar) {
    sy_ = EndOfFileSymbol;
    return;
  }
  if (ch_ == CR) {
    sy_ = EndOfLineSymbol;
    NextCh();
    return;
  }
  if (ch_ == '<') {
    constexpr std::string_view kEndTag = "/TEXTAREA";
    if (RawTextFollows(kEndTag)) {
      tagPosition_ = position_;
      for (std::size_t i = 0; i <= kEndTag.size(); ++i) NextCh();
      sy_ = TextAreaEndSy;
      return;
    }
    sy_ = TextSymbol;
    buff_.AddChar('<', position_);
    NextCh();
    return;
  }
  if (ReadEntity(buff_, false, &THtmlReader::GetCh) || ReadTextAreaText()) return;
  sy_ = OtherCharSymbol;
  buff_.AddChar(static_cast<char>(ch_), position_);
  NextCh();
}

// Text of a TEXTAREA line: blanks kept, a line end ends it.
bool THtmlReader::ReadTextAreaText() {
  while (buff_.Leng() < kMaxTextToken) {
    const int c = ch_;
    if (c == EofChar || c == '&' || c == '<' || c < ' ') break;
    buff_.AddChar(static_cast<char>(c), position_);
    if (sourceKind_ != IncludeSourceKind) {
      const auto* bytes = reinterpret_cast<const unsigned char*>(text_.data());
      const std::size_t room = static_cast<std::size_t>(kMaxTextToken - buff_.Leng());
      const std::size_t end = std::min(text_.size(), textPos_ + room);
      const std::size_t run = FindStop(bytes, textPos_, end, ' ' - 1, '&', '<', '<') - textPos_;
      if (run > 0) {
        buff_.AddRun(text_.data() + textPos_, run, NextPosition());
        SkipRun(run);
      }
    }
    NextCh();
  }
  if (buff_.Leng() == 0) return false;
  sy_ = TextSymbol;
  return true;
}

// Whether the raw bytes after the current character spell `upperWord` (in
// any case) and no letter follows. Only the current source is looked at.
bool THtmlReader::RawTextFollows(std::string_view upperWord) const {
  const std::string_view source = sourceKind_ == IncludeSourceKind ? std::string_view(include_) : text_;
  const std::size_t from = sourceKind_ == IncludeSourceKind ? includePos_ : textPos_;
  if (source.size() - std::min(from, source.size()) < upperWord.size()) return false;
  for (std::size_t i = 0; i < upperWord.size(); ++i) {
    const char c = source[from + i];
    if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != upperWord[i]) return false;
  }
  const std::size_t after = from + upperWord.size();
  return after >= source.size() || !IsLetterByte(static_cast<unsigned char>(source[after]));
}

TCharSource THtmlReader::StyleSheetSource() {
  return [this] {
    ReadChar();
    return ch_;
  };
}

void THtmlReader::ResumeAfterStyleSheet(int stoppedAt) {
  lch_ = stoppedAt >= 'a' && stoppedAt <= 'z' ? stoppedAt - 'a' + 'A' : stoppedAt;
}

}  // namespace lark
