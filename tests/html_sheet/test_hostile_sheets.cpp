// Sheets made to cost: the reader must take each character once, allocate in
// proportion to the input and keep the style list bounded. Work is counted,
// never timed.

#include <gtest/gtest.h>

#include "html/properties.h"
#include "html/style_list.h"
#include "html/style_sheet_parser.h"
#include "tests/html_sheet/allocation_counter.h"
#include "tests/support/repeated_text.h"

namespace lark {
namespace {

using test::Repeat;

struct Work {
  std::size_t Reads = 0;       // characters taken from the source
  std::size_t Allocated = 0;   // bytes allocated while parsing
  std::size_t Entries = 0;     // style-list entries afterwards
  std::size_t HoverCalls = 0;  // rules set on ":hover" selectors
};

// Parses `sheet` as a STYLE element into `styles`, counting the work.
Work Parse(const std::string& sheet, TStyleList& styles, std::size_t& hoverCalls) {
  Work work;
  const TCharSource source = [&, next = std::size_t{0}]() mutable -> int {
    ++work.Reads;
    return next < sheet.size() ? static_cast<unsigned char>(sheet[next++]) : EofChar;
  };
  const std::size_t before = test::AllocatedBytes();
  int ch = '>';
  ParseStyleSheet(styles, ch, source, "");
  work.Allocated = test::AllocatedBytes() - before;
  work.Entries = styles.Count();
  work.HoverCalls = hoverCalls;
  return work;
}

Work Parse(const std::string& sheet) {
  std::size_t hoverCalls = 0;
  TStyleList styles([&] { ++hoverCalls; });
  return Parse(sheet, styles, hoverCalls);
}

TEST(HostileSheets, CostLinearTimeAndBoundedMemory) {
  // Each sheet is made at a size n and at 4n (1 MB and 100,000 of a piece at
  // 4n): the characters read and the bytes allocated grow by four, not more.
  using Maker = std::string (*)(std::size_t);
  constexpr std::size_t kQuarterMegabyte = 1 << 18;
  const std::pair<const char*, Maker> makers[] = {
      {"selector", [](std::size_t n) { return Repeat("a", n) + "{color:red}"; }},
      {"descendant selector", [](std::size_t n) { return Repeat("a ", n / 2) + "{color:red}"; }},
      {"value", [](std::size_t n) { return "p{font-family:" + Repeat("x", n) + "}"; }},
      {"shorthand", [](std::size_t n) { return "p{background:" + Repeat("url(x) ", n / 7) + "}"; }},
      {"{", [](std::size_t n) { return Repeat("{", n / 10); }},
      {"rules", [](std::size_t n) { return Repeat("p{color:red;margin:1px 2px}", n / 27); }},
      {"unterminated comment", [](std::size_t n) { return "p{color:red}/*" + Repeat("x", n); }},
      {"unterminated quote", [](std::size_t n) { return "p{font-family:'" + Repeat("x", n); }},
      {"unterminated @ block", [](std::size_t n) { return "@media{" + Repeat("p{", n / 2); }},
  };
  for (const auto& [name, make] : makers) {
    const std::string small = make(kQuarterMegabyte), large = make(4 * kQuarterMegabyte);
    const Work once = Parse(small), fourTimes = Parse(large);
    EXPECT_LE(fourTimes.Reads, large.size() + 2) << name;
    EXPECT_LE(fourTimes.Allocated, 5 * once.Allocated) << name;
    EXPECT_LE(fourTimes.Entries, 2u) << name;
  }
}

TEST(HostileSheets, ManySelectorsTimesManyDeclarationsCostTheirSum) {
  // 100,000 selectors (one of them distinct) and 50,000 declarations of one
  // property: the rule is set once, not five billion times.
  const std::string sheet = Repeat("a:hover,", 100'000) + "a:hover{" + Repeat("color:red;", 50'000) + "}";
  const Work work = Parse(sheet);
  EXPECT_EQ(work.HoverCalls, 1u);
  EXPECT_LE(work.Reads, sheet.size() + 2);
}

TEST(HostileSheets, NewSelectorsStopAtTheRuleLimit) {
  std::string sheet;
  for (int i = 0; i < 100'000; ++i) sheet += ".c" + std::to_string(i) + "{color:red}";
  sheet += ".c1{color:blue}";
  std::size_t hoverCalls = 0;
  TStyleList styles;
  const Work work = Parse(sheet, styles, hoverCalls);
  EXPECT_EQ(work.Entries, MaxStyleRules);
  // Each entry holds a full set of values; beyond them the cost per byte of
  // input stays small.
  EXPECT_LE(work.Allocated, MaxStyleRules * (sizeof(TProperties) + 512) + 100 * sheet.size());
  // Rules for selectors that exist still apply past the limit.
  EXPECT_EQ(styles.Find(".c1")->GetColor(), 0xFF0000);
  EXPECT_EQ(styles.Find(".c99999"), nullptr);
}

}  // namespace
}  // namespace lark
