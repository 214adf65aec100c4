// Hostile pages: deep nesting, piles of open elements, stray end tags and
// unterminated constructs. Parsed and laid out; the depth and the work are
// counted, never timed.
#include <gtest/gtest.h>

#include "html/attribute_list.h"
#include "html/nesting_limit.h"
#include "html/style_list.h"
#include "parsed_page.h"
#include "viewer/parser_prop_stack.h"
#include "tests/support/repeated_text.h"

namespace lark {
namespace {

using test::Repeat;
using testing::ParsedPage;

int DeepestCell(const TCellBasic& cell) {
  int deepest = cell.Depth;
  for (std::size_t i = 0; i < cell.Count(); ++i)
    if (const auto* block = dynamic_cast<const TBlock*>(cell[i])) deepest = std::max(deepest, DeepestCell(*block->MyCell));
  return deepest;
}

TEST(HostilePages, DeepNestingStaysWithinTheLimit) {
  // Items, headers and text-level tags never nest past the limit (they end
  // each other, or their entries replace one another); blocks stop at it.
  const char* const kCases[] = {
      "div", "ul", "blockquote", "center", "form", "p", "pre", "dl", "li", "h1", "font", "b"};
  for (const char* tag : kCases) {
    ParsedPage page(Repeat(std::string("<") + tag + ">", 100'000) + "end of text");
    EXPECT_LE(DeepestCell(page.List), kMaxNestingDepth) << tag;
    ASSERT_NE(page.SectionWith("end of text"), nullptr) << tag;
    page.LayoutAndPaint(800);
  }
}

TEST(HostilePages, TextLevelPilesKeepStylingTheirText) {
  // Hundreds of open FONTs and a colour at the end: the colour still shows.
  ParsedPage page(Repeat("<font size=2><b>", 5'000) + "<font color=#ff0000>red</font>" +
                  Repeat("</div></p></li>", 100'000) + "after");
  EXPECT_EQ(page.RunOf("red")->Font().Color() & 0xFFFFFF, clRed);
  EXPECT_TRUE(page.RunOf("after")->Font().Style() & fsBold);
}

TEST(HostilePages, UnterminatedConstructsEndTheParse) {
  for (const char* text : {"<script>never ends", "<style>p { color: red", "<title>no end", "<p title='open>x",
                           "<pre>x", "<map name=m><area href=x>", "<a href=x>link"}) {
    ParsedPage page(text);
    page.LayoutAndPaint(800);
  }
  TSectionList list(nullptr, nullptr);
  EXPECT_THROW(ParseHTMLDocument("<p>x<!-- never closed", list), EParseError);
}

TEST(HostilePages, ALongScriptArrivesWhole) {
  TSectionList list(nullptr, nullptr);
  std::size_t length = 0;
  list.OnScript = [&](TObject*, const std::string&, const std::string&, const std::string& script) {
    length = script.size();
  };
  ParseHTMLDocument("<script>" + Repeat("x = '<b>';\n", 200'000) + "</script>", list);
  EXPECT_EQ(length, 200'000u * 12);  // each line end as CR LF
}

TEST(HostilePages, AHugeRelativeSheetAddressResolves) {
  THtmlParserHooks hooks;
  std::size_t asked = 0;
  hooks.OnFetchStyleSheet = [&](const std::string& href, const std::string&, std::string&, std::string&) {
    asked = href.size();
  };
  ParsedPage page("<base href=http://h/a/b/><link rel=stylesheet href='" + Repeat("../", 350'000) + "x.css'>",
                  hooks);
  EXPECT_EQ(asked, 1'050'005u);
  const std::string address = "http://h/" + Repeat("../", 350'000) + "x.css";
  ParsedPage fromFile("<link rel=stylesheet href='" + address + "'>text");
  EXPECT_NE(fromFile.SectionWith("text"), nullptr);
}

TEST(HostilePages, PropertyStackIsBounded) {
  TStyleList styles;
  styles.Initialize("Arial", "Courier New", 8, 8, DEFAULT_CHARSET, true, clRed, clPurple, clBlue, clBlack, 12);
  TParserProps props;
  props.Reset(*styles.DefProp(), styles);
  for (int i = 0; i < 3 * static_cast<int>(TParserProps::kMaxPropEntries); ++i) props.PushNewProps(i % 2 ? "b" : "div", nullptr);
  EXPECT_EQ(props.Count(), TParserProps::kMaxPropEntries);
  props.PopAProp("div");
  EXPECT_EQ(props.Count(), TParserProps::kMaxPropEntries - 1);
}

TEST(HostilePages, SharedStylesAreBounded) {
  TStyleList styles;
  styles.Initialize("Arial", "Courier New", 8, 8, DEFAULT_CHARSET, true, clRed, clPurple, clBlue, clBlack, 12);
  TParserProps props;
  props.Reset(*styles.DefProp(), styles);
  TAttributeList attributes;
  const auto pushB = [&](const std::string& cls) {
    attributes.Clear();
    attributes.AddAttribute(ClassSy, 0, cls);
    props.PushNewProps("b", &attributes);
    props.PopProps();
  };
  for (int i = 0; i < 3 * static_cast<int>(TParserProps::kMaxSharedStyles); ++i) {
    pushB("c" + std::to_string(i));
    ASSERT_LE(props.SharedStyleCount(), TParserProps::kMaxSharedStyles);
  }
  EXPECT_EQ(props.SharedPushes(), 0u);
  pushB("again");
  pushB("again");
  EXPECT_EQ(props.SharedPushes(), 1u);
}

}  // namespace
}  // namespace lark
