// Hostile tables: nesting far past the table depth, huge rows and columns,
// the largest spans and sizes, and tables that never end. Parsed, laid out
// and painted; the depth and what is built are counted, never timed.
#include <gtest/gtest.h>

#include "html/nesting_limit.h"
#include "html/table.h"
#include "html/table_box.h"
#include "parsed_page.h"
#include "tests/support/repeated_text.h"

namespace lark {
namespace {

using test::Repeat;
using testing::ParsedPage;

// The deepest cell and the number of tables, walking boxes and table cells.
void Measure(const TCellBasic& cell, int& deepest, int& tables) {
  std::vector<const TCellBasic*> work{&cell};
  while (!work.empty()) {
    const TCellBasic* current = work.back();
    work.pop_back();
    deepest = std::max(deepest, current->Depth);
    for (std::size_t i = 0; i < current->Count(); ++i) {
      const auto* block = dynamic_cast<const TBlock*>(current->Items(i));
      if (!block) continue;
      work.push_back(block->MyCell.get());
      if (const auto* box = dynamic_cast<const TTableBlock*>(block); box && box->Table) {
        ++tables;
        work.push_back(box->Table->CaptionCell->Cell.get());
        for (const auto& row : box->Table->Rows)
          for (const auto& slot : row->Cells)
            if (slot) work.push_back(slot->Cell.get());
      }
    }
  }
}

TEST(HostileTables, NestingFarPastTheTableDepth) {
  for (const char* piece : {"<table>", "<table><tr><td>", "<table><caption>", "<div><table><tr><td>"}) {
    ParsedPage page(Repeat(piece, 100'000) + "end of text");
    int deepest = 0, tables = 0;
    Measure(page.List, deepest, tables);
    EXPECT_LE(deepest, kMaxNestingDepth) << piece;
    EXPECT_LE(tables, 10) << piece;
    ASSERT_NE(page.SectionWith("end of text"), nullptr) << piece;
    page.LayoutAndPaint(800);
  }
  // Blocks nested up to the limit leave no room for a table's cells: it is
  // left out and its text stays.
  ParsedPage deep(Repeat("<div>", 300) + "<table><tr><td>cell text</table>");
  int deepest = 0, tables = 0;
  Measure(deep.List, deepest, tables);
  EXPECT_EQ(tables, 0);
  EXPECT_NE(deep.SectionWith("cell text"), nullptr);
}

TEST(HostileTables, HundredThousandCellsInARowAndInAColumn) {
  ParsedPage row("<table><tr>" + Repeat("<td>", 100'000) + "</table>after");
  ASSERT_EQ(row.Body().MyCell->Count(), 2u);
  const auto& table = *static_cast<TTableBlock&>(*(*row.Body().MyCell)[0]).Table;
  EXPECT_EQ(table.Rows.at(0)->Cells.size(), 100'000u);
  row.LayoutAndPaint(800);
  // Too many columns: the table is left out, the text after it stays.
  ASSERT_EQ(row.Body().MyCell->Count(), 1u);
  EXPECT_NE(row.SectionWith("after"), nullptr);

  ParsedPage column("<table border=1>" + Repeat("<tr><td>", 100'000) + "</table>");
  const auto& tall = *static_cast<TTableBlock&>(*(*column.Body().MyCell)[0]).Table;
  EXPECT_EQ(tall.Rows.size(), 100'000u);
  EXPECT_GT(column.LayoutAndPaint(800), 100'000);
}

TEST(HostileTables, LargestSpansAndSizes) {
  const std::string big = "2147483647";
  ParsedPage page("<table width=" + big + " height=" + big + " cellpadding=" + big + " cellspacing=" + big +
                  " border=" + big + "><tr height=" + big + "><td colspan=" + big + " rowspan=" + big +
                  " width=" + big + " height=" + big + ">x<td>y<tr><td rowspan=" + big + ">z</table>"
                  "<table><tr><td width=" + big + "%>p<td colspan=-5 rowspan=0>q</table>after");
  page.LayoutAndPaint(800);
  page.LayoutAndPaint(200);
  EXPECT_NE(page.SectionWith("after"), nullptr);
  // Shares with nothing to share among: a span over columns that all have
  // percentages, percentages of empty columns, no rows under a HEIGHT.
  ParsedPage shares("<table width=300><tr><td width=50%><td width=50%><tr><td colspan=2 width=100%>x</table>"
                    "<table><tr><td width=0%><td width=0%><td colspan=2 width=150%></table>"
                    "<table height=500></table><table width=0><tr><td width=200%></table>after");
  shares.LayoutAndPaint(800);
  shares.LayoutAndPaint(0);
  EXPECT_NE(shares.SectionWith("after"), nullptr);
}

TEST(HostileTables, UnterminatedTablesEndTheParse) {
  for (const char* text : {"<table>", "<table><tr>", "<table><tr><td>open", "<table><caption>open",
                           "<table><tr><td><table><tr><td>inner", "<table><td>a<caption>b<tr>c",
                           "<table><body bgcolor=red><tr><td>x</table>y", "<a href=x><table><td>in</a>"}) {
    ParsedPage page(text);
    int deepest = 0, tables = 0;
    Measure(page.List, deepest, tables);
    EXPECT_GE(tables, 1) << text;
    page.LayoutAndPaint(800);
  }
}

}  // namespace
}  // namespace lark
