#pragma once

// Keyword matching of the local file search: search strings looked for in a
// file that is read block by block, with case folding per character and the
// delimiter rules of whole-word, prefix and suffix searches.

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

enum class TSearchStringType { sst_Normal, sst_Word, sst_Prefix, sst_Suffix };

// One flag per byte value: the characters that may stand before or after a
// match.
using TDelimiterSet = std::bitset<256>;

[[nodiscard]] TDelimiterSet MakeDelimiterSet(std::string_view chars);

// Upper-cases text character by character (UTF-8 sequences, other bytes as
// Windows-1252 characters) into out, which must hold text.size() bytes. Only
// case pairs whose two forms take the same number of bytes are folded, so a
// position in the folded text is the same position in the original.
void UpperCaseChars(std::string_view text, char* out);
[[nodiscard]] std::string UpperCaseChars(std::string_view text);

// One stretch of a file as the scanner sees it: the bytes carried over from
// the previous block followed by the bytes of this block.
struct ScanWindow {
  std::string_view Text;  // the bytes as read
  std::size_t From = 0;   // matches start at or after this position
  bool StartsRun = true;  // position 0 is the start of a zero-terminated run
  bool EndsFile = true;   // nothing follows the last byte
};

// A search string prepared for matching. When case does not count, text is
// not folded as a whole: candidates are found in the bytes as read, by the
// bytes a match can start with and one more byte that any match holds at a
// fixed offset, and only a candidate is folded and compared. Folding per
// character keeps lengths, so a match of the folded needle covers as many
// bytes in the text.
class TNeedle {
 public:
  TNeedle(std::string_view text, bool caseSense);

  // The string as matched: upper-cased when case does not count.
  [[nodiscard]] const std::string& Folded() const { return Folded_; }
  [[nodiscard]] std::size_t Size() const { return Folded_.size(); }
  [[nodiscard]] bool CaseSense() const { return CaseSense_; }
  [[nodiscard]] bool Ascii() const { return Ascii_; }
  // The first candidate position in text[from, last], or npos.
  [[nodiscard]] std::size_t NextCandidate(std::string_view text, std::size_t from, std::size_t last) const;
  // Whether the text at `at`, a character start, folds to the needle.
  [[nodiscard]] bool MatchesAt(std::string_view text, std::size_t at) const;

 private:
  std::string Folded_;
  bool CaseSense_;
  bool Ascii_ = true;  // every byte below 0x80: a candidate compares byte by byte
  // Bytes as read that can start a character folding to the needle's first
  // byte; the vector holds them when there are few enough for the vector
  // compare.
  std::bitset<256> StartBytes_;
  std::vector<unsigned char> StartList_;
  // An ASCII byte of the needle after its first, and its two cases.
  std::size_t CheckOffset_ = 0;
  unsigned char CheckUpper_ = 0, CheckLower_ = 0;
};

struct MatchRules {
  TSearchStringType Type = TSearchStringType::sst_Normal;
  TDelimiterSet Before;
  TDelimiterSet After;
};

// What one search string gave in one window.
enum class BufferScan {
  NotFound,
  Found,
  // An occurrence reaches the end of the window and its bounds depend on
  // bytes still unread; the next window holds it again.
  Pending,
};

// Looks for `needle` in the window. A needle holds no zero byte, so an
// occurrence never crosses one: the window's zero-terminated runs are
// searched as one text.
[[nodiscard]] BufferScan ScanBuffer(const ScanWindow& window, const TNeedle& needle, const MatchRules& rules);

// Builds the windows of one file: a block is appended to the tail of the
// previous window that a match across the boundary can need (the longest
// needle plus the delimiter before it, and the bytes a cut character can
// need), never carried across a zero byte. So
// memory is bounded by the block size and time is linear in the file size.
class WindowBuilder {
 public:
  WindowBuilder(std::size_t blockSize, std::size_t longestNeedle);

  // Starts a new file: the next block is its first.
  void Reset();
  // Where the next block's bytes go (room for blockSize bytes).
  [[nodiscard]] char* BlockSpace();
  // The window made of the carried bytes and `count` bytes just written into
  // BlockSpace(). The previous window becomes invalid.
  [[nodiscard]] ScanWindow Commit(std::size_t count, bool endsFile);

 private:
  void Carry();

  std::size_t keep_;
  std::vector<char> text_;
  std::size_t carried_ = 0;
  std::size_t size_ = 0;
  std::size_t from_ = 0;
  bool startsRun_ = true;
};

}  // namespace lark
