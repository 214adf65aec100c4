// Pages through the parser, checked on the document it builds.
#include <gtest/gtest.h>

#include "html/id_name_list.h"
#include "html/parser_state.h"
#include "parsed_page.h"
#include "viewer/box_dump.h"

namespace lark {
namespace {

using testing::ParsedPage;

bool Styled(const TFontObj* run, TFontStyles style) { return run && (run->Font().Style() & style) != 0; }

TEST(HtmlParser, ClosingOutOfOrderRefillsTheElementsAbove) {
  ParsedPage page("<b>one<i>two</b>three</i>four");
  EXPECT_TRUE(Styled(page.RunOf("two"), fsBold));
  EXPECT_TRUE(Styled(page.RunOf("three"), fsItalic));
  EXPECT_FALSE(Styled(page.RunOf("three"), fsBold));
  EXPECT_FALSE(Styled(page.RunOf("four"), fsItalic));
}

TEST(HtmlParser, ParagraphsHeadersAndCentre) {
  ParsedPage page("<p><p><p align=middle>one<h2>head<p>inside</h2>after<center>mid</center>");
  const TCellBasic& body = *page.Body().MyCell;
  ASSERT_EQ(body.Count(), 4u);  // p, h2, the text after, the centred text
  const auto* p = dynamic_cast<TBlock*>(body[0]);
  ASSERT_TRUE(p && p->MyCell->Count() == 1);
  EXPECT_EQ(page.SectionWith("one")->Style.Justify, TJustify::Centre);
  const auto* h2 = dynamic_cast<TBlock*>(body[1]);
  ASSERT_TRUE(h2 && h2->MyCell->Count() == 2);  // "head" and the P block inside
  EXPECT_TRUE(dynamic_cast<TBlock*>((*h2->MyCell)[1]));
  EXPECT_EQ(page.SectionWith("after")->Style.Justify, TJustify::Left);
  EXPECT_EQ(page.SectionWith("mid")->Style.Justify, TJustify::Centre);
  EXPECT_FALSE(dynamic_cast<TBlock*>(body[3]));
}

TEST(HtmlParser, TextBeforeTheFirstBodyStaysAndASecondBodyIsIgnored) {
  ParsedPage page("<title>T</title>before<body marginwidth=500 marginheight=-5 text=red>after"
                  "<body text=blue>more");
  EXPECT_EQ(page.Info.Title, "T");
  EXPECT_EQ(page.Body().DocumentTitle, "T");
  EXPECT_NE(page.SectionWith("before"), nullptr);
  EXPECT_EQ(page.RunOf("more")->Font().Color() & 0xFFFFFF, clRed);
  EXPECT_EQ(*AsInt(page.Body().MarginArray()[css::MarginLeft]), 200);
  EXPECT_EQ(*AsInt(page.Body().MarginArray()[css::MarginTop]), 0);
}

TEST(HtmlParser, FontSizesAreClampedBeforeAdding) {
  ParsedPage page("<font size=+2>a</font><font size=9>b</font><font size=+2147483647>c</font>"
                  "<basefont size=-2147483647><font size=+1>d");
  EXPECT_EQ(page.RunOf("a")->Font().Size(), static_cast<int>(FontConv(5)));
  EXPECT_EQ(page.RunOf("b")->Font().Size(), static_cast<int>(FontConv(7)));
  EXPECT_EQ(page.RunOf("c")->Font().Size(), static_cast<int>(FontConv(7)));
  EXPECT_EQ(page.RunOf("d")->Font().Size(), static_cast<int>(FontConv(2)));
}

TEST(HtmlParser, LinksAnchorsAndBreaks) {
  ParsedPage page("<a href=x.html>one<a href=y.html target=t>two</a> plain<a name=#top>top</a>"
                  "<br clear=all>cleared");
  const TFontObj* one = page.RunOf("one");
  const TFontObj* two = page.RunOf("two");
  ASSERT_TRUE(one && two);
  EXPECT_EQ(one->UrlTarget().URL, "x.html");
  EXPECT_EQ(two->UrlTarget().URL, "y.html");
  EXPECT_EQ(two->UrlTarget().Target, "t");
  EXPECT_NE(one->UrlTarget().ID, two->UrlTarget().ID);
  EXPECT_FALSE(page.RunOf("plain")->IsLink());
  EXPECT_GE(page.List.IDNameList->IndexOf("TOP"), 0);
  EXPECT_TRUE(page.SectionWith("top")->HasAnchor);
  EXPECT_EQ(page.SectionWith("cleared")->Style.ClearAttr, ClearBothSides);
}

TEST(HtmlParser, ListsAndEmptyLists) {
  ParsedPage page("<ul></ul><ol start=2147483647 type=a><li>x<li>y<ul><li>z</ul></ol><li>alone<dd>term<p>para");
  const TCellBasic& body = *page.Body().MyCell;
  ASSERT_EQ(body.Count(), 5u);  // a P ends an item outside any list
  const auto* empty = dynamic_cast<TBlock*>(body[0]);
  ASSERT_TRUE(empty);
  const auto* ol = dynamic_cast<TBlock*>(body[1]);
  ASSERT_TRUE(ol && ol->MyCell->Count() == 2);
  EXPECT_GE(ol->MarginTop, 14);  // the empty list's fixed space, collapsed with the next margin
  const auto* second = dynamic_cast<TBlockLI*>((*ol->MyCell)[1]);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->ListNumber, 2147483647);  // saturates, never wraps
  EXPECT_EQ(second->MyCell->Count(), 2u);     // "y" and the nested list
  const auto* alone = dynamic_cast<TBlockLI*>(body[2]);
  ASSERT_TRUE(alone);
  EXPECT_EQ(alone->ListType, TListType::Outside);
}

TEST(HtmlParser, PreformattedTextKeepsItsLines) {
  ParsedPage page("<pre>\nfirst  line\n<b>second</b>\n</pre>after");
  const std::vector<TSection*> sections = page.Sections();
  ASSERT_GE(sections.size(), 3u);
  EXPECT_TRUE(sections[0]->Preformatted || dynamic_cast<TPreFormated*>(sections[0]));
  EXPECT_EQ(sections[0]->Text(), "first  line");  // no empty first line
  EXPECT_EQ(sections[1]->Text(), "second");
  EXPECT_TRUE(Styled(page.RunOf("second"), fsBold));
  EXPECT_EQ(sections.back()->Text(), "after");
}

TEST(HtmlParser, PlainTextGivesOneSectionPerLine) {
  TSectionList list(nullptr, nullptr);
  ParseTextDocument("one <b><!--\n\rtwo\r\nthree", list);
  std::vector<TSection*> sections;
  ParsedPage::Collect(list, sections);
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_EQ(sections[0]->Text(), "one <b><!--");
  EXPECT_NE(dynamic_cast<TPreFormated*>(sections[2]), nullptr);
}

TEST(HtmlParser, ScriptsReachTheHookWhole) {
  TSectionList list(nullptr, nullptr);
  std::string seen, language;
  list.OnScript = [&](TObject*, const std::string&, const std::string& lang, const std::string& script) {
    seen = script;
    language = lang;
  };
  ParseHTMLDocument("<script language=js>if (a<b) x = '</div>';\nend</SCRIPT >after", list);
  EXPECT_EQ(language, "js");
  EXPECT_EQ(seen, "if (a<b) x = '</div>';\r\nend</SCRIPT >after");  // only "</script>" ends it
  list.Clear();
  ParseHTMLDocument("<script>a</script>after", list);
  EXPECT_EQ(seen, "a");
}

TEST(HtmlParser, MapsNeedTheirEndTag) {
  ParsedPage page("<map name=m><area shape=rect coords=0,0,5,5 href=a></map>"
                  "<map name=lost><area shape=rect coords=0,0,5,5 href=b><b><i><u>text");
  ASSERT_EQ(page.List.MapList.Count(), 1u);
  EXPECT_EQ(page.List.MapList[0]->MapName, "M");
  EXPECT_NE(page.SectionWith("text"), nullptr);
}

TEST(HtmlParser, HeadElementsReachTheirHooks) {
  std::vector<std::string> calls;
  THtmlParserHooks hooks;
  hooks.OnSoundRequest = [&](TObject*, const std::string& src, int loop, bool terminate) {
    calls.push_back(src + " " + std::to_string(loop) + (terminate ? " stop" : ""));
  };
  hooks.OnMeta = [&](TObject*, const std::string& httpEq, const std::string& name, const std::string& content) {
    calls.push_back(httpEq + "|" + name + "|" + content);
  };
  ParsedPage page("<bgsound src=a.mid><bgsound src=b.wav loop=3><bgsound loop=2>"
                  "<meta name=author content='Me'><p>text<meta http-equiv=Refresh content=5>", hooks);
  const std::vector<std::string> expected = {"a.mid 1", "b.wav 3", "|author|Me", "Refresh||5"};
  EXPECT_EQ(calls, expected);
}

TEST(HtmlParser, EveryExitIsClean) {
  TSectionList list(nullptr, nullptr);
  EXPECT_THROW(ParseHTMLDocument("<p>kept<!-- open", list), EParseError);
  EXPECT_NE(list.Count(), 0u);
  TSectionList first(nullptr, nullptr);
  EXPECT_THROW(ParseHTMLDocument("<!-- open from the first byte", first), EParseError);
  THtmlParserHooks hooks;
  hooks.OnMeta = [&](TObject*, const std::string&, const std::string&, const std::string&) {
    TSectionList inner(nullptr, nullptr);
    ParseHTMLDocument("x", inner);  // a parse inside a parse is refused
  };
  TSectionList second(nullptr, nullptr);
  EXPECT_THROW(ParseHTMLDocument("<b>text<meta name=a>", second, hooks), EParseError);
  EXPECT_EQ(ParserState().NoBreak, false);
  ParsedPage after("<nobr>again");  // the parser is free again
  EXPECT_NE(after.SectionWith("again"), nullptr);
}

TEST(HtmlParser, BoxDumpReportsBlocksWithIDs) {
  ParsedPage page("<body marginwidth=0 marginheight=0>"
                  "<div id=box style='margin:10px;width:100px;padding:5px;border:2px solid black'>x</div>"
                  "<ul><li id=item>y</ul>");
  page.LayoutAndPaint(800);
  const std::vector<TBoxEntry> boxes = DumpBoxes(page.List);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].ID, "box");
  EXPECT_EQ(boxes[0].Box.Left, 10);
  EXPECT_EQ(boxes[0].Box.Top, 10);
  EXPECT_EQ(boxes[0].Box.Right - boxes[0].Box.Left, 114);
  EXPECT_EQ(boxes[1].ID, "item");
  EXPECT_GT(boxes[1].Box.Top, boxes[0].Box.Bottom);
}

}  // namespace
}  // namespace lark
