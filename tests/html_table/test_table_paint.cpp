#include <gtest/gtest.h>

#include "platform/graphics/metafile.h"
#include "table_document.h"

namespace lark {
namespace {

using testing::TableDocument;

// One row of two cells, the first blue, with red between the cells.
ThtmlTable* ColouredTable(TableDocument& doc, bool withBreak = false) {
  ThtmlTable* table = doc.OpenTable({{BorderColorSy, 0, "red"}, {CellSpacingSy, 10, "10"}});
  for (int row = 0; row < 3; ++row) {
    TCellList* cells = doc.Row();
    cells->BreakBefore = withBreak && row == 1;
    doc.Cell({{BGColorSy, 0, "blue"}, {HeightSy, 40, "40"}});
    doc.Text("x");
    doc.Cell();
    doc.Text("y");
  }
  return table;
}

TEST(TablePaint, BorderColorFillsTheGapsAndCellsKeepTheirBackground) {
  TableDocument doc;
  ThtmlTable* table = ColouredTable(doc);
  doc.Layout(800);
  doc.Paint();
  const TCellObj& first = *table->Rows[0]->Cells[0];
  const int left = table->DrawX, top = table->Rows[0]->Y;
  EXPECT_EQ(doc.Surface.Pixel(left + 5, top + 5) & 0xFFFFFF, clRed);                       // above the cells
  EXPECT_EQ(doc.Surface.Pixel(left + first.Wd + 5, top + 20) & 0xFFFFFF, clRed);           // between them
  EXPECT_EQ(doc.Surface.Pixel(left + table->TableWidth - 5, top + 20) & 0xFFFFFF, clRed);  // right edge
  EXPECT_EQ(doc.Surface.Pixel(left + first.Wd - 2, top + first.Ht - 2) & 0xFFFFFF, clBlue);
}

TEST(TablePrint, ACopyKeepsColoursOnlyWithPrintTableBackground) {
  for (bool keep : {false, true}) {
    TableDocument doc;
    ColouredTable(doc);
    doc.List.PrintTableBackground = keep;
    TSectionList copy(doc.List);
    const auto* box = static_cast<const TTableBlock*>(copy.Items(0));
    ASSERT_NE(box->Table, nullptr);
    EXPECT_EQ(box->Table->BorderColor == clRed, keep);
    EXPECT_EQ(box->Table->Rows[0]->Cells[0]->BgColor == clBlue, keep);
    EXPECT_EQ(box->Table->Rows[2]->Cells.size(), 2u);
  }
}

TEST(TablePrint, APrintedPageRecordsTheCellTextInOrderAndFillsOnlyWithTableBackgrounds) {
  for (bool keep : {false, true}) {
    TableDocument doc;
    ColouredTable(doc);
    doc.List.PrintTableBackground = keep;
    TSectionList copy(doc.List);
    const ThtmlTable* table = static_cast<const TTableBlock*>(copy.Items(0))->Table;
    TMetafile page;
    {
      TMetafileCanvas canvas(page, nullptr);
      int scrollWidth = 0, curs = 0;
      copy.DoLogic(canvas, 0, 800, 1000, scrollWidth, curs);
      copy.PageBottom = 1000;
      copy.Draw(canvas, Rect(0, 0, 800, 1000), 800, 0, 0, 0, 0);
    }
    std::string text;
    int blueFills = 0, redFills = 0, secondColumnX = -1;
    for (int i = 0; i < page.RecordCount(); ++i) {
      const TMetafileRecord record = page.Record(i);
      if (record.RecordKind == TMetafileRecord::Kind::Text) {
        text += record.Text;
        if (record.Text == "y" && secondColumnX < 0) secondColumnX = record.Bounds.Left;
      }
      if (record.RecordKind == TMetafileRecord::Kind::Fill && record.Color == clBlue) ++blueFills;
      if (record.RecordKind == TMetafileRecord::Kind::Fill && record.Color == clRed) ++redFills;
    }
    EXPECT_EQ(text, "xyxyxy");
    EXPECT_GE(secondColumnX, table->Widths[0]);
    EXPECT_EQ(blueFills, keep ? 3 : 0);
    EXPECT_EQ(redFills > 0, keep);
  }
}

TEST(TablePrint, ARowThatBreaksBeforeEndsThePageAboveIt) {
  TableDocument doc;
  ColouredTable(doc, true);
  TSectionList copy(doc.List);
  int scrollWidth = 0, curs = 0;
  copy.DoLogic(doc.Surface.Canvas(), 0, 800, 1000, scrollWidth, curs);
  const auto* table = static_cast<const TTableBlock*>(copy.Items(0))->Table;
  copy.PageBottom = 1000;
  copy.Draw(doc.Surface.Canvas(), Rect(0, 0, 800, 1000), 800, 0, 0, 0, 0);
  EXPECT_EQ(copy.PageBottom, table->Rows[1]->Y);
}

TEST(TablePaint, CellAndRowPicturesAreTiledInTheCellsAndFetchedOnce) {
  TableDocument doc;
  int requests = 0;
  doc.List.OnBitmapRequest = [&](TObject*, const std::string&, std::unique_ptr<TBitmap>& bitmap, TColor&) {
    ++requests;
    bitmap = std::make_unique<TBitmap>(4, 4);
    bitmap->Canvas().Brush().Color = clLime;
    bitmap->Canvas().FillRect(Rect(0, 0, 4, 4));
  };
  ThtmlTable* table = doc.OpenTable({{CellSpacingSy, 10, "10"}});
  doc.Row({{BackgroundSy, 0, "tile.bmp"}});
  for (int i = 0; i < 2; ++i) {
    doc.Cell({{HeightSy, 60, "60"}, {WidthSy, 80, "80"}});
    doc.Text(".");
  }
  doc.Layout(800);
  doc.Paint();
  EXPECT_EQ(requests, 1);  // the cache serves the second cell
  for (const auto& cell : table->Rows[0]->Cells) {
    ASSERT_NE(cell, nullptr);
    const int left = table->DrawX + (cell == table->Rows[0]->Cells[0] ? 0 : table->Widths[0]);
    EXPECT_EQ(doc.Surface.Pixel(left + cell->Wd - 3, table->Rows[0]->Y + cell->Ht - 3) & 0xFFFFFF, clLime);
  }
  EXPECT_EQ(doc.Surface.Pixel(table->DrawX + 5, table->Rows[0]->Y + 5) & 0xFFFFFF, clWhite);  // the spacing
}

}  // namespace
}  // namespace lark
