// Tables from pages: rows, cells, captions, spans and content beside the
// cells, nesting, and the per-cell settings the parser hands the model.
#include <gtest/gtest.h>

#include "html/table.h"
#include "html/table_box.h"
#include "parsed_page.h"
#include "viewer/box_dump.h"

namespace lark {
namespace {

using testing::ParsedPage;

// Every table box of a cell, its blocks and its tables' cells, in document order.
void CollectTables(const TCellBasic& cell, std::vector<TTableBlock*>& found) {
  for (std::size_t i = 0; i < cell.Count(); ++i) {
    auto* block = dynamic_cast<TBlock*>(cell[i]);
    if (!block) continue;
    if (auto* box = dynamic_cast<TTableBlock*>(block)) {
      found.push_back(box);
      CollectTables(*box->Table->CaptionCell->Cell, found);
      for (const auto& row : box->Table->Rows)
        for (const auto& slot : row->Cells)
          if (slot) CollectTables(*slot->Cell, found);
    }
    CollectTables(*block->MyCell, found);
  }
}

std::vector<TTableBlock*> Tables(const ParsedPage& page) {
  std::vector<TTableBlock*> found;
  CollectTables(page.List, found);
  return found;
}

// The text of a cell's paragraphs, blocks included, joined by "|".
std::string TextOf(const TCellBasic& cell) {
  std::string text;
  for (std::size_t i = 0; i < cell.Count(); ++i) {
    if (const auto* section = dynamic_cast<const TSection*>(cell[i]))
      text += (text.empty() ? "" : "|") + section->Text();
    else if (const auto* block = dynamic_cast<const TBlock*>(cell[i]); block && !dynamic_cast<const TTableBlock*>(block))
      text += (text.empty() ? "" : "|") + TextOf(*block->MyCell);
  }
  return text;
}

std::string TextOf(const ThtmlTable& table, std::size_t row, std::size_t col) {
  return TextOf(*table.Rows.at(row)->Cells.at(col)->Cell);
}

TEST(Tables, RowsCellsCaptionAndAttributes) {
  ParsedPage page(
      "<p>before</p><table border=1 cellpadding=4 cellspacing=3 width=300 align=center id=t>"
      "<caption align=bottom>The caption</caption>"
      "<tr valign=bottom><td colspan=2 id=c1>wide<td rowspan=2 valign=top>tall"
      "<tr><th width=40 valign=middle>head<td valign=baseline>x<td valign=other>y"
      "</table><p>after</p>");
  const auto tables = Tables(page);
  ASSERT_EQ(tables.size(), 1u);
  const TTableBlock& box = *tables[0];
  const ThtmlTable& table = *box.Table;
  EXPECT_EQ(box.Justify, TJustify::Centre);
  EXPECT_EQ(box.TableWidth, 300);
  EXPECT_TRUE(table.HasBorder);
  EXPECT_EQ(table.CellPadding, 4);
  EXPECT_EQ(table.CellSpacing, 5);  // a border adds 2
  EXPECT_FALSE(table.TopCaption);
  EXPECT_EQ(TextOf(*table.CaptionCell->Cell), "The caption");
  ASSERT_EQ(table.Rows.size(), 2u);
  ASSERT_EQ(table.Rows[0]->Cells.size(), 2u);
  ASSERT_EQ(table.Rows[1]->Cells.size(), 3u);
  const TCellObj& wide = *table.Rows[0]->Cells[0];
  EXPECT_EQ(wide.ColSpan, 2);
  EXPECT_EQ(wide.ID, "c1");
  EXPECT_EQ(wide.VAlign, 4);  // the row's
  EXPECT_EQ(table.Rows[0]->Cells[1]->RowSpan, 2);
  EXPECT_EQ(table.Rows[0]->Cells[1]->VAlign, 1);
  EXPECT_EQ(table.Rows[1]->Cells[0]->SpecWd, 40);
  EXPECT_EQ(table.Rows[1]->Cells[0]->VAlign, 2);
  EXPECT_EQ(table.Rows[1]->Cells[1]->VAlign, 1);  // baseline reads as top
  EXPECT_EQ(table.Rows[1]->Cells[2]->VAlign, 0);  // an unknown value: the row's, which has none
  EXPECT_EQ(TextOf(table, 1, 0), "head");
  EXPECT_TRUE(page.RunOf("head")->Font().Style() & fsBold);
  EXPECT_FALSE(page.RunOf("after")->Font().Style() & fsBold);

  // The table stands between the paragraphs around it.
  const TCellBasic& body = *page.Body().MyCell;
  ASSERT_EQ(body.Count(), 3u);
  EXPECT_EQ(body[1], tables[0]);
  page.LayoutAndPaint(800);
  EXPECT_TRUE(page.List.LayoutErrors.empty());
}

TEST(Tables, ImpliedRowsStrayContentAndTopCaption) {
  // Cells without TR get a row; text and a paragraph between the cells go
  // before the table; unclosed cells and captions end at the next table tag.
  ParsedPage page("<table><caption>Top<td>one</td>stray <b>bold</b><td>two"
                  "<tr><td>three<p>para</table>after");
  const auto tables = Tables(page);
  ASSERT_EQ(tables.size(), 1u);
  const ThtmlTable& table = *tables[0]->Table;
  EXPECT_TRUE(table.TopCaption);
  EXPECT_EQ(TextOf(*table.CaptionCell->Cell), "Top");
  ASSERT_EQ(table.Rows.size(), 2u);
  EXPECT_EQ(TextOf(table, 0, 0), "one");
  EXPECT_EQ(TextOf(table, 0, 1), "two");
  EXPECT_EQ(TextOf(table, 1, 0), "three|para");
  const TCellBasic& body = *page.Body().MyCell;
  ASSERT_EQ(body.Count(), 3u);
  EXPECT_EQ(TextOf(body), "stray bold|after");
  EXPECT_EQ(body[1], tables[0]);
  EXPECT_FALSE(page.RunOf("two")->Font().Style() & fsBold);
}

TEST(Tables, NestedTablesEndOnlyThemselves) {
  ParsedPage page("<table><tr><td>a<table><tr><td>inner</table>b</td><td>c</td></tr></table>");
  const auto tables = Tables(page);
  ASSERT_EQ(tables.size(), 2u);
  const ThtmlTable& outer = *tables[0]->Table;
  ASSERT_EQ(outer.Rows.size(), 1u);
  ASSERT_EQ(outer.Rows[0]->Cells.size(), 2u);
  EXPECT_EQ(TextOf(outer, 0, 0), "a|b");
  EXPECT_EQ(TextOf(outer, 0, 1), "c");
  EXPECT_EQ(TextOf(*tables[1]->Table, 0, 0), "inner");
}

TEST(Tables, TheEleventhNestedTableIsLeftOut) {
  std::string html;
  for (int i = 1; i <= 11; ++i) html += "<table><tr><td>t" + std::to_string(i) + " ";
  html += "deep </td><td>side";
  for (int i = 0; i < 11; ++i) html += "</td></tr></table>";
  html += "after";
  ParsedPage page(html);
  const auto tables = Tables(page);
  ASSERT_EQ(tables.size(), 10u);
  // The eleventh table's cells flow into the tenth's only cell.
  const ThtmlTable& tenth = *tables[9]->Table;
  ASSERT_EQ(tenth.Rows.size(), 1u);
  ASSERT_EQ(tenth.Rows[0]->Cells.size(), 1u);
  EXPECT_EQ(TextOf(tenth, 0, 0), "t10 t11 deep side");
  for (int i = 0; i < 9; ++i) EXPECT_EQ(tables[i]->Table->Rows[0]->Cells.size(), 1u) << i;
  EXPECT_EQ(TextOf(*page.Body().MyCell), "after");
  page.LayoutAndPaint(800);
}

TEST(Tables, NowrapHoldsForItsOwnCellOnly) {
  ParsedPage page("<table><tr><td nowrap>a b</td><td>c d</td><td nowrap width=100>e f</td>"
                  "<td nowrap width=50%>g h</td><td>i j</td></tr></table><nobr><table><tr><td>k l</table></nobr>");
  auto breaks = [&](const char* text) { return page.SectionWith(text)->BreakFlags(); };
  EXPECT_EQ(breaks("a b"), "nnn");
  EXPECT_EQ(breaks("c d"), "yyy");
  EXPECT_EQ(breaks("e f"), "yyy");  // a pixel width lets the cell wrap
  EXPECT_EQ(breaks("g h"), "nnn");
  EXPECT_EQ(breaks("i j"), "yyy");
  EXPECT_EQ(breaks("k l"), "nnn");  // NOBR around the table still holds
}

TEST(Tables, ACellsTextIsMeasuredOncePerLayout) {
  std::string words;
  while (words.size() < 3000) words += "guestbook caf\xC3\xA9 a construction ";
  ParsedPage page("<table><tr valign=top><td>" + words + "<td>side</table>");
  const TSection& cell = *page.SectionWith("guestbook");
  const std::size_t bytes = cell.Text().size();
  // Its width computation measures the text; its layout (once, in place, as
  // the cell is top-aligned) uses those widths.
  page.LayoutAndPaint(400);
  EXPECT_GT(cell.Lines().size(), 5u);
  EXPECT_EQ(cell.MeasuredBytes(), bytes);
  page.LayoutAndPaint(300);
  EXPECT_EQ(cell.MeasuredBytes(), 2 * bytes);
  EXPECT_EQ(page.List.KeptMeasurementBytes, 0u);  // all handed back once laid out
}

TEST(Tables, AlignmentComesFromTheTextAround) {
  ParsedPage page("<center><table><tr><td>c</table></center><div align=right><table><tr><td>r</table></div>"
                  "<center><table align=left><tr><td>l</table></center>");
  const auto tables = Tables(page);
  ASSERT_EQ(tables.size(), 3u);
  EXPECT_EQ(tables[0]->Justify, TJustify::Centre);
  EXPECT_EQ(tables[1]->Justify, TJustify::Right);
  EXPECT_EQ(tables[2]->Floating, TFloating::Left);
  EXPECT_EQ(tables[2]->Justify, TJustify::Left);
}

TEST(Tables, TablesInListsItemsAndPre) {
  ParsedPage page("<ul><li>item<table><tr><td>in item</table>still item</ul>"
                  "<table><tr><td><pre>pre text<tr><td>next row</table>");
  const auto tables = Tables(page);
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(TextOf(*tables[0]->Table, 0, 0), "in item");
  EXPECT_NE(page.SectionWith("still item"), nullptr);
  ASSERT_EQ(tables[1]->Table->Rows.size(), 2u);  // the unclosed PRE ends with its cell
  EXPECT_EQ(TextOf(*tables[1]->Table, 1, 0), "next row");
}

TEST(Tables, AnOpenCommentInsideATableKeepsWhatWasRead) {
  TSectionList list(nullptr, nullptr);
  EXPECT_THROW(ParseHTMLDocument("<table><tr><td>kept<td>x<!-- open", list), EParseError);
  std::vector<TTableBlock*> tables;
  CollectTables(list, tables);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(TextOf(*tables[0]->Table, 0, 0), "kept");
}

TEST(Tables, BoxDumpReachesCellsAndImages) {
  ParsedPage page("<table id=t cellspacing=0 cellpadding=0><tr><td id=a width=100>x<td id=b>"
                  "<img id=i width=30 height=20></table><hr id=h>");
  page.LayoutAndPaint(800);
  std::map<std::string, TRect> boxes;
  for (const TBoxEntry& entry : DumpBoxes(page.List)) boxes[entry.ID] = entry.Box;
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes["a"].Right - boxes["a"].Left, 100);
  EXPECT_EQ(boxes["b"].Left, boxes["a"].Right);
  EXPECT_EQ(boxes["i"].Right - boxes["i"].Left, 30);
  EXPECT_EQ(boxes["i"].Bottom - boxes["i"].Top, 20);
  EXPECT_GE(boxes["h"].Top, boxes["t"].Bottom);
}

}  // namespace
}  // namespace lark
