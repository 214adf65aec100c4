// Style sheets reaching the elements of parsed pages: STYLE, STYLE
// attributes, LINK from a file and through the fetch hook.
#include <gtest/gtest.h>

#include "html/block.h"
#include "parsed_page.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using testing::ParsedPage;

TColor ColorOf(const ParsedPage& page, std::string_view text) { return page.RunOf(text)->Font().Color() & 0xFFFFFF; }

TEST(PageStyles, StyleElementsAndAttributes) {
  ParsedPage page("<style><!-- @import url(never.css); p.a, h1 { color: #ff0000 } /* <b> */ @media print { p { color: blue } }"
                  " body > div { display: none } --></style>"
                  "<p class=a>red</p><h1>head</h1><div>shown</div><span style='color:#00FF00'>green</span>");
  EXPECT_EQ(ColorOf(page, "red"), clRed);
  EXPECT_EQ(ColorOf(page, "head"), clRed);
  EXPECT_NE(page.SectionWith("shown"), nullptr);
  EXPECT_EQ(ColorOf(page, "green"), static_cast<TColor>(0x00FF00));
  EXPECT_FALSE(page.List.LinksActive);
  ParsedPage hover("<style>a:hover { color: red }</style><a href=x>link</a>");
  EXPECT_TRUE(hover.List.LinksActive);
}

TEST(PageStyles, LinkedSheetsThroughTheHookAndFromFiles) {
  std::string askedFor;
  THtmlParserHooks hooks;
  hooks.OnFetchStyleSheet = [&](const std::string& href, const std::string& base, std::string& text,
                                std::string& address) {
    askedFor = href + " " + base;
    if (href == "missing.css") return;
    text = "div { background-image: url(img/x.gif) } p { color: #0000ff }";
    address = "http://h/css/s.css";
  };
  ParsedPage page("<base href=http://h/page.html><link rel=StyleSheet href=missing.css>"
                  "<link rel=stylesheet href=css/s.css><div id=d>in</div><p>blue", hooks);
  EXPECT_EQ(askedFor, "css/s.css http://h/page.html");
  EXPECT_EQ(ColorOf(page, "blue"), static_cast<TColor>(0xFF0000));  // TColor is BGR
  const auto* div = dynamic_cast<TBlock*>((*page.Body().MyCell)[0]);
  ASSERT_TRUE(div && div->Background);
  EXPECT_EQ(div->Background->Name, "http://h/css/img/x.gif");  // the sheet's folder, not the page's

  const test::TempDir dir;
  const std::string sheet = dir.Write("my sheet.css", "p { color: #ff0000 } div { background: url(img/x.gif) }");
  ParsedPage fromFile("<link rel=stylesheet href='" + sheet + "'><link rel=stylesheet href='" +
                      dir.File("none.css") + "'><div>in</div><p>red");
  EXPECT_EQ(ColorOf(fromFile, "red"), clRed);
  const auto* local = dynamic_cast<TBlock*>((*fromFile.Body().MyCell)[0]);
  ASSERT_TRUE(local && local->Background);
  EXPECT_EQ(local->Background->Name, dir.File("img/x.gif"));
}

// Like elements share the styles computed for the first of them; what is
// each element's own (title, URL, ID, STYLE attribute, the parent's FONT
// colour, its ancestors) and rules added later still count.
TEST(PageStyles, LikeElementsShareStylesButNotWhatIsTheirOwn) {
  ParsedPage page("<style>div b { color: #ff0000 } b.c { color: #00ff00 } #g { color: #008000 }</style>"
                  "<div><b title=one>first</b> <b title=two>second</b></div>"
                  "<p><b>plain</b> <font color=#0000ff><b>blue</b></font> <font color=#00ffff><b>cyan</b></font>"
                  " <b class=c>green</b> <b class=c style='color:#ff00ff'>magenta</b> <b class=c id=g>dark</b>"
                  " <a href=x title=t1>one</a> <a href=y title=t2>two</a></p>"
                  "<style>p b { color: #808080 }</style><p><b>grey</b>");
  EXPECT_EQ(ColorOf(page, "first"), clRed);
  EXPECT_EQ(ColorOf(page, "second"), clRed);
  EXPECT_EQ(page.RunOf("first")->Title(), "one");
  EXPECT_EQ(page.RunOf("second")->Title(), "two");
  EXPECT_EQ(ColorOf(page, "plain"), clBlack);
  EXPECT_EQ(ColorOf(page, "blue"), static_cast<TColor>(0xFF0000));  // TColor is BGR
  EXPECT_EQ(ColorOf(page, "cyan"), static_cast<TColor>(0xFFFF00));
  EXPECT_EQ(ColorOf(page, "green"), static_cast<TColor>(0x00FF00));
  EXPECT_EQ(ColorOf(page, "magenta"), static_cast<TColor>(0xFF00FF));
  EXPECT_EQ(ColorOf(page, "dark"), static_cast<TColor>(0x008000));
  EXPECT_EQ(page.RunOf("one")->Title(), "t1");
  EXPECT_EQ(page.RunOf("two")->Title(), "t2");
  EXPECT_EQ(page.RunOf("one")->UrlTarget().URL, "x");
  EXPECT_EQ(page.RunOf("two")->UrlTarget().URL, "y");
  EXPECT_EQ(ColorOf(page, "grey"), static_cast<TColor>(0x808080));
}

}  // namespace
}  // namespace lark
