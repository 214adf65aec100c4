#include "app/scan_matcher.h"

#include <cstdint>
#include <cstring>

#include "platform/core/code_page.h"

namespace lark {
namespace {

// A lone byte of 0x80 and above is a Windows-1252 character.
unsigned char UpperWindows1252(unsigned char c) {
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c >= 0xE0 && c != 0xF7 ? c - 0x20 : c;
  }
}

// The upper case of the letters of Latin-1, Latin Extended-A, Greek and
// Cyrillic; any other character is its own upper case.
char32_t UpperCodePoint(char32_t c) {
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    const bool oddIsLower = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool evenIsLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddIsLower && (c & 1)) return c - 1;
    if (evenIsLower && !(c & 1)) return c - 1;
    return c;
  }
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x3B1 && c <= 0x3C9) return c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

// Copies one multi-byte UTF-8 character upper-cased when its upper case
// takes the same two bytes' room.
void UpperMultiByte(std::string_view text, std::size_t pos, const DecodedChar& ch, char* out) {
  const char32_t upper = UpperCodePoint(ch.CodePoint);
  if (ch.Length == 2 && upper != ch.CodePoint && upper >= 0x80 && upper < 0x800) {
    out[pos] = static_cast<char>(0xC0 | (upper >> 6));
    out[pos + 1] = static_cast<char>(0x80 | (upper & 0x3F));
    return;
  }
  std::memcpy(out + pos, text.data() + pos, ch.Length);
}

bool BeforeBoundOk(const ScanWindow& window, std::size_t at, const MatchRules& rules) {
  if (at == 0) return window.StartsRun;
  const auto before = static_cast<unsigned char>(window.Text[at - 1]);
  return before == 0 || rules.Before[before];
}

}  // namespace

TDelimiterSet MakeDelimiterSet(std::string_view chars) {
  TDelimiterSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

void UpperCaseChars(std::string_view text, char* out) {
  // Every byte as ASCII first, eight at a time: all there is to do for most
  // text. A byte is a lower-case letter when adding 0x1F to its low seven
  // bits reaches 0x80 ('a' and up), adding 0x05 does not (up to 'z'), and
  // it is below 0x80 itself.
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  std::uint64_t high = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    high |= word;
    const std::uint64_t low7 = word & ~kHighBits;
    const std::uint64_t lower = (low7 + 0x1F1F1F1F1F1F1F1Full) & ~(low7 + 0x0505050505050505ull) & ~word & kHighBits;
    word ^= lower >> 2;
    std::memcpy(out + i, &word, 8);
  }
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    high |= c;
    out[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
  }
  if ((high & kHighBits) == 0) return;
  // Then the characters beyond ASCII.
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80) {
      ++pos;
      continue;
    }
    const DecodedChar ch = DecodeChar(text, pos, CP_UTF8);
    if (ch.Length <= 1) {
      out[pos++] = static_cast<char>(UpperWindows1252(c));
      continue;
    }
    UpperMultiByte(text, pos, ch, out);
    pos += ch.Length;
  }
}

std::string UpperCaseChars(std::string_view text) {
  std::string out(text.size(), '\0');
  UpperCaseChars(text, out.data());
  return out;
}

BufferScan ScanBuffer(const ScanWindow& window, std::string_view needle, const MatchRules& rules) {
  if (needle.empty()) return BufferScan::NotFound;
  const bool checkBefore = rules.Type == TSearchStringType::sst_Word || rules.Type == TSearchStringType::sst_Prefix;
  const bool checkAfter = rules.Type == TSearchStringType::sst_Word || rules.Type == TSearchStringType::sst_Suffix;
  // Only a needle that starts with a continuation byte could match inside a
  // character.
  const auto first = static_cast<unsigned char>(needle[0]);
  const bool mayStartMidChar = first >= 0x80 && first < 0xC0;
  const std::string_view hay = window.Search;
  bool pending = false;
  std::size_t pos = window.From;
  while (pos < hay.size() && hay.size() - pos >= needle.size()) {
    const void* hit = memmem(hay.data() + pos, hay.size() - pos, needle.data(), needle.size());
    if (hit == nullptr) break;
    const std::size_t at = static_cast<const char*>(hit) - hay.data();
    pos = at + 1;
    if (mayStartMidChar && !IsCharBoundary(window.Text, at, CP_UTF8)) continue;
    if (checkBefore && !BeforeBoundOk(window, at, rules)) continue;
    if (checkAfter) {
      const std::size_t end = at + needle.size();
      if (end == hay.size()) {
        if (!window.EndsFile) {
          pending = true;
          continue;
        }
      } else if (!rules.After[static_cast<unsigned char>(window.Text[end])]) {
        continue;
      }
    }
    return BufferScan::Found;
  }
  return pending ? BufferScan::Pending : BufferScan::NotFound;
}

// The carried tail may start up to three bytes earlier than the needle
// length asks, so that it starts at a character and folds as it did before.
constexpr std::size_t kAlignSlack = 3;

WindowBuilder::WindowBuilder(std::size_t blockSize, std::size_t longestNeedle, bool caseSense)
    : keep_(longestNeedle + 1),
      caseSense_(caseSense),
      text_(keep_ + kAlignSlack + blockSize),
      folded_(caseSense ? 0 : text_.size()) {}

void WindowBuilder::Reset() {
  carried_ = 0;
  size_ = 0;
  from_ = 0;
  startsRun_ = true;
}

char* WindowBuilder::BlockSpace() {
  if (size_ > 0) Carry();
  return text_.data() + carried_;
}

ScanWindow WindowBuilder::Commit(std::size_t count, bool endsFile) {
  size_ = carried_ + count;
  ScanWindow window;
  window.Text = std::string_view(text_.data(), size_);
  if (caseSense_) {
    window.Search = window.Text;
  } else {
    UpperCaseChars(window.Text, folded_.data());
    window.Search = std::string_view(folded_.data(), size_);
  }
  window.From = from_;
  window.StartsRun = startsRun_;
  window.EndsFile = endsFile;
  return window;
}

void WindowBuilder::Carry() {
  char* text = text_.data();
  const std::size_t tail = size_ > keep_ ? size_ - keep_ : 0;
  std::size_t start = tail;
  if (const void* zero = memrchr(text + tail, 0, size_ - tail)) {
    // A run ends inside the tail: only the run after it can continue.
    start = static_cast<const char*>(zero) - text + 1;
    startsRun_ = true;
    from_ = 0;
  } else if (tail > 0) {
    for (std::size_t i = 0; i < kAlignSlack && start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80; ++i)
      --start;
    // Position 0 is only the byte before a possible match: an occurrence
    // starting there ended inside the window just scanned.
    startsRun_ = false;
    from_ = 1;
  }
  carried_ = size_ - start;
  std::memmove(text, text + start, carried_);
  size_ = 0;
}

}  // namespace lark
