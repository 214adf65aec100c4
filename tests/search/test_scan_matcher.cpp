#include <gtest/gtest.h>

#include <string>

#include "app/scan_matcher.h"

namespace lark {
namespace {

bool FoundIgnoringCase(const std::string& text, const std::string& needle) {
  return ScanBuffer(ScanWindow{text, 0, true, true}, TNeedle(needle, false), MatchRules{}) == BufferScan::Found;
}

// Candidates are found in the bytes as read, so every way a character's
// other case is written must still lead to it.
TEST(ScanMatcher, CaseFoldsEveryWayACharacterIsWritten) {
  const std::string longUpper = [] {
    std::string s;
    for (int i = 0; i < 40; ++i) s += "\xC3\x89";  // É
    return s;
  }();
  const std::string longLower = [] {
    std::string s;
    for (int i = 0; i < 40; ++i) s += "\xC3\xA9";  // é
    return s;
  }();
  const struct {
    std::string Text, Needle;
    bool Found;
  } cases[] = {
      {"xx \xD0\xB4\xD0\xBE\xD0\xBC", "\xD0\x94\xD0\x9E\xD0\x9C", true},  // дом / ДОМ
      {"a \xD1\x90x", "\xD0\x80X", true},                                  // ѐ takes another lead byte than Ѐ
      {"a \xD0\x80X", "\xD1\x90x", true},
      {std::string(40, ' ') + "\xD1\x90x" + std::string(20, ' '), "\xD0\x80X", true},
      {"caf\xE9 au lait", "CAF\xC9", true},  // lone Windows-1252 é / É
      {"\xCE\x91\xCE\x92", "\xCE\xB1\xCE\xB2", true},  // ΑΒ / αβ: no ASCII byte to check
      {longUpper, longLower, true},                      // longer than the fold buffer
      {"\xC3\xA9", "\xA9", false},                       // inside a character
      {"x\xA9", "\xA9", true},
      {std::string(100, 'a') + "Needle", "NEEDLE", true},  // the last place a match fits
      {std::string(100, 'a') + "Needl", "NEEDLE", false},
      {std::string(37, 'n') + "nEeDlE" + std::string(50, 'e'), "needle", true},
      {std::string(64, 'q') + "u\xC3\xA9t", "QU\xC3\x89T", true},
  };
  for (const auto& c : cases) EXPECT_EQ(FoundIgnoringCase(c.Text, c.Needle), c.Found) << c.Text << " / " << c.Needle;
}

// A block that ends inside a character must not decide a match by folding
// the character's first bytes alone: "\xF2" alone folds as Windows-1252 ò,
// but here it leads a four-byte character that keeps its case.
TEST(ScanMatcher, ACharacterCutByTheBlockEndFoldsAsAWhole) {
  const std::string text = "ab\xF2\x94\x9A\x86 and more text after it";
  const TNeedle needle("ab\xF2", false);
  for (std::size_t block : {3u, 4u, 5u}) {
    WindowBuilder windows(block, needle.Size());
    bool found = false;
    for (std::size_t pos = 0; pos < text.size() && !found;) {
      const std::size_t count = std::min(block, text.size() - pos);
      text.copy(windows.BlockSpace(), count, pos);
      pos += count;
      found = ScanBuffer(windows.Commit(count, pos == text.size()), needle, MatchRules{}) == BufferScan::Found;
    }
    EXPECT_FALSE(found) << block;
  }
  EXPECT_TRUE(FoundIgnoringCase("ab\xF2", "AB\xD2"));  // alone, at the file's end
}

}  // namespace
}  // namespace lark
