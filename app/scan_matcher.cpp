#include "app/scan_matcher.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The first byte of what a character starting with byte `lead` (and, for a
// two-byte character, `next`) becomes when upper-cased by UpperCaseChars.
unsigned char FoldedLead(unsigned char lead, unsigned char next) {
  if (lead < 0x80) return lead >= 'a' && lead <= 'z' ? lead - 0x20 : lead;
  if (lead >= 0xC2 && lead <= 0xDF && (next & 0xC0) == 0x80) {
    const char32_t c = char32_t(lead & 0x1F) << 6 | (next & 0x3F);
    const char32_t upper = UpperCodePoint(c);
    return upper != c && upper >= 0x80 && upper < 0x800 ? static_cast<unsigned char>(0xC0 | (upper >> 6)) : lead;
  }
  return lead;  // longer characters keep their case
}

// Whether a character starting with byte `b` can fold to one starting with
// `first`: as a lone Windows-1252 byte, or as the lead of a UTF-8 sequence.
bool CanStartFoldedAs(unsigned char b, unsigned char first) {
  if (b < 0x80) return FoldedLead(b, 0) == first;
  if (UpperWindows1252(b) == first) return true;
  if (b >= 0xC2 && b <= 0xDF) {
    for (unsigned next = 0x80; next < 0xC0; ++next)
      if (FoldedLead(b, static_cast<unsigned char>(next)) == first) return true;
    return false;
  }
  return b == first;
}

// The vector compare handles this many start bytes; more only occur for a
// needle starting with a character some of whose other cases take other
// lead bytes, and the byte loop serves those.
constexpr std::size_t kMaxVectorStartBytes = 4;

// The carried tail may start up to three bytes earlier than the needle
// length asks, so that it starts at a character and folds as it did before;
// and it keeps three bytes more, so that a candidate whose last character
// the window's end cuts is scanned again whole.
constexpr std::size_t kAlignSlack = 3;

// Folding a candidate ending at `end` reads up to three bytes past it: when
// the window ends before them, and no zero byte ends the run first, the
// last character may be cut and fold otherwise than whole.
bool FoldCutByWindowEnd(std::string_view text, std::size_t end) {
  return end + kAlignSlack > text.size() && std::memchr(text.data() + end, 0, text.size() - end) == nullptr;
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

TNeedle::TNeedle(std::string_view text, bool caseSense)
    : Folded_(caseSense ? std::string(text) : UpperCaseChars(text)), CaseSense_(caseSense) {
  if (caseSense || Folded_.empty()) return;
  const auto first = static_cast<unsigned char>(Folded_[0]);
  for (unsigned b = 0; b < 256; ++b)
    if (CanStartFoldedAs(static_cast<unsigned char>(b), first)) StartBytes_.set(b);
  if (StartBytes_.count() <= kMaxVectorStartBytes)
    for (unsigned b = 0; b < 256; ++b)
      if (StartBytes_[b]) StartList_.push_back(static_cast<unsigned char>(b));
  for (char c : Folded_) Ascii_ = Ascii_ && static_cast<unsigned char>(c) < 0x80;
  // Only an ASCII letter folds to an ASCII letter, so a match holds one of
  // the two cases of any ASCII byte of the needle at its offset. The last
  // one lies farthest from the first byte, the least likely to go with it.
  for (std::size_t i = Folded_.size(); i-- > 1;) {
    const auto c = static_cast<unsigned char>(Folded_[i]);
    if (c >= 0x80) continue;
    CheckOffset_ = i;
    CheckUpper_ = c;
    CheckLower_ = c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    break;
  }
}

std::size_t TNeedle::NextCandidate(std::string_view text, std::size_t from, std::size_t last) const {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t p = from;
#if defined(__SSE2__)
  // Sixteen positions a step: a start byte there, and the check byte (when
  // there is one) at its offset from it. The loads stay inside the text,
  // since the check offset lies inside the needle.
  if (!StartList_.empty()) {
    const __m128i upper = _mm_set1_epi8(static_cast<char>(CheckUpper_));
    const __m128i lower = _mm_set1_epi8(static_cast<char>(CheckLower_));
    for (; last >= 15 && p <= last - 15; p += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + p));
      __m128i hits = _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(StartList_[0])));
      for (std::size_t i = 1; i < StartList_.size(); ++i)
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(StartList_[i]))));
      if (CheckOffset_ > 0) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + p + CheckOffset_));
        hits = _mm_and_si128(hits, _mm_or_si128(_mm_cmpeq_epi8(w, upper), _mm_cmpeq_epi8(w, lower)));
      }
      if (const int mask = _mm_movemask_epi8(hits)) return p + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
#endif
  for (; p <= last; ++p) {
    if (!StartBytes_[bytes[p]]) continue;
    if (CheckOffset_ > 0 && bytes[p + CheckOffset_] != CheckUpper_ && bytes[p + CheckOffset_] != CheckLower_) continue;
    return p;
  }
  return std::string_view::npos;
}

bool TNeedle::MatchesAt(std::string_view text, std::size_t at) const {
  if (Ascii_) {
    // A byte of 0x80 and above never folds to ASCII.
    for (std::size_t i = 0; i < Folded_.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[at + i]);
      if ((c >= 'a' && c <= 'z' ? c - 0x20 : c) != static_cast<unsigned char>(Folded_[i])) return false;
    }
    return true;
  }
  // Folding from a character start gives what folding the whole text gives
  // there; the slice reaches three bytes past the needle so that the last
  // character it covers is whole.
  const std::string_view slice = text.substr(at, Folded_.size() + 3);
  char folded[64];
  std::string buffer;
  char* out = folded;
  if (slice.size() > sizeof folded) {
    buffer.resize(slice.size());
    out = buffer.data();
  }
  UpperCaseChars(slice, out);
  return std::memcmp(out, Folded_.data(), Folded_.size()) == 0;
}

BufferScan ScanBuffer(const ScanWindow& window, const TNeedle& needle, const MatchRules& rules) {
  if (needle.Size() == 0) return BufferScan::NotFound;
  const bool checkBefore = rules.Type == TSearchStringType::sst_Word || rules.Type == TSearchStringType::sst_Prefix;
  const bool checkAfter = rules.Type == TSearchStringType::sst_Word || rules.Type == TSearchStringType::sst_Suffix;
  const std::string_view text = window.Text;
  const std::string& folded = needle.Folded();
  // Only a match starting with a continuation byte could lie inside a
  // character.
  const auto first = static_cast<unsigned char>(folded[0]);
  const bool mayStartMidChar = needle.CaseSense() && first >= 0x80 && first < 0xC0;
  bool pending = false;
  std::size_t pos = window.From;
  while (pos < text.size() && text.size() - pos >= folded.size()) {
    std::size_t at;
    if (needle.CaseSense()) {
      const void* hit = memmem(text.data() + pos, text.size() - pos, folded.data(), folded.size());
      if (hit == nullptr) break;
      at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    } else {
      at = needle.NextCandidate(text, pos, text.size() - folded.size());
      if (at == std::string_view::npos) break;
    }
    pos = at + 1;
    const auto startByte = static_cast<unsigned char>(text[at]);
    const bool continuation = startByte >= 0x80 && startByte < 0xC0;
    if ((mayStartMidChar || (!needle.CaseSense() && continuation)) && !IsCharBoundary(text, at, CP_UTF8)) continue;
    if (!needle.CaseSense() && !needle.Ascii() && !window.EndsFile && FoldCutByWindowEnd(text, at + folded.size())) {
      pending = true;
      continue;
    }
    if (!needle.CaseSense() && !needle.MatchesAt(text, at)) continue;
    if (checkBefore && !BeforeBoundOk(window, at, rules)) continue;
    if (checkAfter) {
      const std::size_t end = at + folded.size();
      if (end == text.size()) {
        if (!window.EndsFile) {
          pending = true;
          continue;
        }
      } else if (!rules.After[static_cast<unsigned char>(text[end])]) {
        continue;
      }
    }
    return BufferScan::Found;
  }
  return pending ? BufferScan::Pending : BufferScan::NotFound;
}

WindowBuilder::WindowBuilder(std::size_t blockSize, std::size_t longestNeedle)
    : keep_(longestNeedle + 1 + kAlignSlack), text_(keep_ + kAlignSlack + blockSize) {}

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
