// Rules, images, panels and page breaks read from pages: each element is
// its object in the document, sized by its attributes after layout.
#include <gtest/gtest.h>

#include <climits>

#include "html/horz_line.h"
#include "html/image_obj.h"
#include "html/page_break.h"
#include "html/panel_object.h"
#include "html/table_box.h"
#include "html/text_collector.h"
#include "parsed_page.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"

namespace lark {
namespace {

using testing::ParsedPage;

constexpr int kPageMargin = 10;  // the viewer's default margin

template <typename Wanted>
void CollectOf(const TCellBasic& cell, std::vector<Wanted*>& found) {
  for (std::size_t i = 0; i < cell.Count(); ++i) {
    if (auto* wanted = dynamic_cast<Wanted*>(cell[i])) found.push_back(wanted);
    if (auto* block = dynamic_cast<TBlock*>(cell[i])) CollectOf(*block->MyCell, found);
  }
}

template <typename Wanted>
std::vector<Wanted*> AllOf(const ParsedPage& page) {
  std::vector<Wanted*> found;
  CollectOf(page.List, found);
  return found;
}

template <typename Wanted>
std::vector<Wanted*> ObjectsOf(const ParsedPage& page) {
  std::vector<Wanted*> found;
  for (TSection* section : page.Sections())
    for (std::size_t i = 0; i < section->Images.Count(); ++i)
      if (auto* object = dynamic_cast<Wanted*>(section->Images[i])) found.push_back(object);
  return found;
}

struct PanelWindow {
  PanelWindow() {
    Application();
    Form.SetBounds(0, 0, 1024, 768);
  }
  TForm Form{nullptr};
};

TEST(InlineObjects, RuleBesideALeftFloatTakesItsWidthAndSize) {
  ParsedPage page(
      "<div style='float:left;width:200px;height:100px'>float</div>"
      "<hr size=6 width=300 align=left noshade>after");
  page.LayoutAndPaint(1024);
  const auto rules = AllOf<THorzLine>(page);
  ASSERT_EQ(rules.size(), 1u);
  const THorzLine& rule = *rules[0];
  EXPECT_EQ(rule.VSize, 6);
  EXPECT_EQ(rule.Align, 1);
  EXPECT_TRUE(rule.NoShade);
  ASSERT_EQ(AllOf<THRBlock>(page).size(), 1u);
  const THRBlock& box = *AllOf<THRBlock>(page)[0];
  EXPECT_EQ(box.Line, &rule);
  EXPECT_EQ(box.ContentWidth, 300);
  // The rule's box lies under the float; the line itself starts at its edge.
  EXPECT_EQ(rule.BorderBox().Left, 200 + kPageMargin);
  EXPECT_EQ(rule.BorderBox().Right, 300 + kPageMargin);
  EXPECT_NE(page.SectionWith("after"), nullptr);
}

TEST(InlineObjects, ImageStandsInItsParagraphWithItsAttributes) {
  ParsedPage page("<p>before <img width=120 height=45 hspace=7 vspace=4 alt='a cat' align=right> after");
  page.LayoutAndPaint(1024);
  const auto images = ObjectsOf<TImageObj>(page);
  ASSERT_EQ(images.size(), 1u);
  const TImageObj& image = *images[0];
  EXPECT_EQ(image.Alt, "a cat");
  EXPECT_EQ(image.ObjAlign, aRight);
  EXPECT_EQ(image.ObjWidth, 120);
  EXPECT_EQ(image.ObjHeight, 45);
  EXPECT_EQ(image.HSpaceL, 7);
  EXPECT_EQ(image.VSpaceT, 4);
  TSection* section = page.SectionWith("before");
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(section->Text()[static_cast<std::size_t>(image.Pos)], kObjectChar);
}

TEST(InlineObjects, ImagesInListsAndPreformattedTextJoinTheirLines) {
  ParsedPage page("<ul><li>item <img width=10 height=10></ul><pre>line <img width=20 height=20>\nnext</pre>");
  page.LayoutAndPaint(1024);
  const auto images = ObjectsOf<TImageObj>(page);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0]->ObjWidth, 10);
  EXPECT_EQ(images[1]->ObjWidth, 20);
}

TEST(InlineObjects, PanelJoinsTheDocumentWithItsSize) {
  PanelWindow window;
  {
    ParsedPage page("<p>text <panel width=150 height=60 name=box> more", window.Form);
    page.LayoutAndPaint(1024);
    const auto panels = ObjectsOf<TPanelObj>(page);
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_EQ(panels[0]->ImageWidth, 150);
    EXPECT_EQ(panels[0]->ImageHeight, 60);
    EXPECT_EQ(page.List.PanelList.size(), 1u);
    page.List.Clear();  // the panels go before the window they are shown on
  }
  // Objects read before BODY move into its block still registered.
  ParsedPage early("<a name=top>top</a><panel name=box><input name=q><body>after", window.Form);
  EXPECT_EQ(early.List.PanelList.size(), 1u);
  EXPECT_EQ(early.List.FormControlList.size(), 1u);
  EXPECT_GE(early.List.IDNameList->IndexOf("top"), 0);
  early.List.Clear();
}

TEST(InlineObjects, PageBreakStandsBetweenItsSections) {
  ParsedPage page("first<page>second<pre>one<page>two</pre>");
  page.LayoutAndPaint(1024);
  EXPECT_EQ(AllOf<TPage>(page).size(), 2u);
  EXPECT_NE(page.SectionWith("first"), page.SectionWith("second"));
  EXPECT_NE(page.SectionWith("one"), page.SectionWith("two"));
}

TEST(InlineObjects, HostileObjectPagesParse) {
  std::string images;
  for (int i = 0; i < 100'000; ++i) images += "<img width=1 height=1>";
  ParsedPage many(images);
  many.LayoutAndPaint(800);
  EXPECT_EQ(ObjectsOf<TImageObj>(many).size(), 100'000u);

  const std::string extremes = std::to_string(INT_MAX);
  ParsedPage rules("<hr size=" + extremes + " width=" + extremes + "><hr size=-" + extremes + " width=-" + extremes +
                   "><hr width=" + extremes + "%>");
  rules.LayoutAndPaint(800);
  for (const THorzLine* rule : AllOf<THorzLine>(rules)) {
    EXPECT_LE(rule->BorderBox().Width(), 800);
    EXPECT_EQ(rule->VSize, 2);
  }
  EXPECT_EQ(AllOf<THorzLine>(rules).size(), 3u);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

// The link an image gives at (x, y) inside it, "" for none.
std::string LinkAt(const ParsedPage& page, const TImageObj& image, int x, int y) {
  const TFontObj* run = nullptr;
  for (TSection* section : page.Sections())
    for (std::size_t i = 0; i < section->Images.Count(); ++i)
      if (section->Images[i] == &image) run = section->Fonts.GetFontObjAt(image.Pos);
  std::unique_ptr<TUrlTarget> target;
  return image.GetURL(x, y, run, target) ? target->URL : std::string();
}

TEST(InlineObjects, ImagesInLinksPreListsAndCellsWithAMap) {
  ParsedPage page(
      "<p><a href=x.html>see <img src=a.gif width=40 height=20 usemap=#m></a> and "
      "<a href=y.html><img src=b.gif width=30 height=30 ismap></a>"
      "<map name=m><area shape=rect coords=0,0,20,20 href=one.html><area shape=rect coords=20,0,40,20 nohref>"
      "</map><pre><a href=z.html><img src=c.gif width=10 height=10 usemap=#m></a></pre>"
      "<ol><li><a href=w.html><img src=d.gif width=12 height=12></a></ol>"
      "<table><tr><td><a href=v.html><img src=e.gif width=14 height=14></a></table>");
  page.LayoutAndPaint(1024);
  const auto images = ObjectsOf<TImageObj>(page);
  ASSERT_EQ(images.size(), 5u);
  ASSERT_EQ(page.List.MapList.Count(), 1u);
  EXPECT_EQ(images[0]->Source, "a.gif");
  EXPECT_TRUE(images[0]->UseMap);
  EXPECT_EQ(LinkAt(page, *images[0], 5, 5), "one.html");  // the map decides over the link around
  EXPECT_EQ(LinkAt(page, *images[0], 25, 5), "");          // NOHREF
  EXPECT_TRUE(images[1]->IsMap);
  EXPECT_EQ(LinkAt(page, *images[1], 3, 4), "y.html?3,4");
  EXPECT_EQ(LinkAt(page, *images[2], 5, 5), "one.html");
  EXPECT_EQ(LinkAt(page, *images[3], 1, 1), "w.html");
  EXPECT_EQ(images[4]->ObjWidth, 14);
  EXPECT_EQ(LinkAt(page, *images[4], 1, 1), "v.html");
}

TEST(InlineObjects, RuleKinds) {
  ParsedPage page("<hr><hr size=10 width=50% align=left noshade><hr size=0 width=300 align=right color=red>"
                  "<hr size=30><table><tr><td><hr size=4></table>");
  page.LayoutAndPaint(800);
  const auto rules = AllOf<THorzLine>(page);
  ASSERT_EQ(rules.size(), 4u);  // the cell's rule lies inside the table
  EXPECT_EQ(rules[0]->VSize, 2);
  EXPECT_EQ(rules[0]->Align, 2);
  EXPECT_EQ(rules[1]->VSize, 10);
  EXPECT_EQ(rules[1]->Align, 1);
  EXPECT_TRUE(rules[1]->NoShade);
  EXPECT_EQ(rules[1]->BorderBox().Right - rules[1]->BorderBox().Left, (800 - 2 * kPageMargin) / 2);
  EXPECT_EQ(rules[2]->VSize, 2);  // SIZE 0 keeps the default
  EXPECT_EQ(rules[2]->Align, 3);
  EXPECT_EQ(rules[2]->Color & 0xFFFFFF, clRed);
  EXPECT_EQ(rules[3]->VSize, 2);  // SIZE 30 too
  // Copied, a rule is a line break between the texts around it.
  ParsedPage copied("one<hr>two");
  copied.LayoutAndPaint(800);
  std::string text;
  SetClipboardWriter([&](const std::string& written) { text = written; });
  copied.List.SelB = 0;
  copied.List.SelE = copied.List.FindString(0, "two", false) + 3;
  copied.List.CopyToClipboard();
  SetClipboardWriter(nullptr);
  EXPECT_EQ(text, "one\r\n\r\ntwo\r\n");
}

}  // namespace
}  // namespace lark
