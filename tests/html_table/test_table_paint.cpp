#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "platform/graphics/gdi.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printer.h"
#include "table_document.h"
#include "tests/support/test_files.h"

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

// Where the first printed page, `height` pixels tall, ends once the copy's
// table is drawn on it, below `linesAbove` lines of text; `mark` sets break
// flags on the copy's rows.
int FirstPageBottom(int height, int linesAbove, const std::function<void(ThtmlTable&)>& mark) {
  TableDocument doc;
  for (int i = 0; i < linesAbove; ++i) doc.Text("line");
  ColouredTable(doc);
  TSectionList copy(doc.List);
  int scrollWidth = 0, curs = 0;
  copy.DoLogic(doc.Surface.Canvas(), 0, 800, 1000, scrollWidth, curs);
  mark(*static_cast<TTableBlock*>(copy.Items(static_cast<std::size_t>(linesAbove)))->Table);
  copy.PageBottom = height;
  copy.Draw(doc.Surface.Canvas(), Rect(0, 0, 800, height), 800, 0, 0, 0, 0);
  return copy.PageBottom;
}

TEST(TablePrint, RowsAndTablesThatWouldBeCutOrBreakAfterMoveThePageBottom) {
  TableDocument doc;
  const ThtmlTable* table = ColouredTable(doc);
  doc.Layout(800);
  const TCellList& first = *table->Rows[0];
  const int row1 = table->Rows[1]->Y, cutInRow1 = row1 + table->Rows[1]->RowHeight - 2;
  ASSERT_LT(row1, cutInRow1 - cutInRow1 / 3);  // above the page's last third
  const auto none = [](ThtmlTable&) {};
  // Above the page's last third a cut row stays cut (below its text), unless
  // it avoids a break inside; in the last third a row that fits moves down.
  EXPECT_EQ(FirstPageBottom(cutInRow1, 0, none), cutInRow1);
  EXPECT_EQ(FirstPageBottom(cutInRow1, 0, [](ThtmlTable& t) { t.Rows[1]->AvoidBreakInside = true; }), row1);
  EXPECT_EQ(FirstPageBottom(row1 + 20, 0, none), row1);
  // A row that breaks after ends the page at its bottom.
  EXPECT_EQ(FirstPageBottom(1000, 0, [](ThtmlTable& t) { t.Rows[0]->BreakAfter = true; }), first.Y + first.RowHeight);
  // A table that fits a page and starts in its last third moves down whole.
  TableDocument lower;
  for (int i = 0; i < 12; ++i) lower.Text("line");
  const ThtmlTable* moved = ColouredTable(lower);
  lower.Layout(800);
  const int height = moved->YValue + 30;
  ASSERT_GT(moved->YValue, height * 2 / 3);
  ASSERT_LT(moved->SectionHeight, height);
  EXPECT_EQ(FirstPageBottom(height, 12, none), moved->YValue);
}

// A page that pdftoppm rendered as a binary PPM.
struct PageImage {
  explicit PageImage(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int depth = 0;
    file >> magic >> Width >> Height >> depth;
    file.get();
    Rgb.resize(static_cast<std::size_t>(Width) * Height * 3);
    file.read(Rgb.data(), static_cast<std::streamsize>(Rgb.size()));
  }
  TColor Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return clNone;
    const auto* at = reinterpret_cast<const unsigned char*>(Rgb.data()) + (static_cast<std::size_t>(y) * Width + x) * 3;
    return RGB(at[0], at[1], at[2]);
  }
  int Width = 0, Height = 0;
  std::vector<char> Rgb;
};

// The print pass as the viewer runs it: a copy laid out once at the page's
// width in 96-dpi units, each page drawn from where the previous one ended.
void PrintToPdf(const TSectionList& document, const std::string& file) {
  TSystemPrinter printer;
  printer.OutputFileName = file;
  printer.SetPrinterIndex(static_cast<int>(printer.Printers().size()) - 1);  // the PDF printer
  const int dpi = GetDeviceCaps(printer.Canvas(), LOGPIXELSY);
  const int pageWidth = printer.PageWidth() * 96 / dpi, pageHeight = printer.PageHeight() * 96 / dpi;
  TSectionList copy(document);
  TBitmap measure(1, 1);
  int scrollWidth = 0, curs = 0;
  const int height = copy.DoLogic(measure.Canvas(), 0, pageWidth, pageHeight, scrollWidth, curs);
  printer.BeginDoc();
  for (int top = 0, pages = 1; pages <= 10; ++pages) {  // a page that ends nowhere stops at 10
    TCanvas& canvas = printer.Canvas();
    SetMapMode(canvas, MM_ANISOTROPIC);
    SetWindowExtEx(canvas, 96, 96);
    SetViewportExtEx(canvas, dpi, dpi);
    copy.YOff = top;
    copy.Draw(canvas, Rect(0, 0, pageWidth, pageHeight), pageWidth, 0, 0, 0, 0);
    top = copy.PageBottom;
    if (top >= height) break;
    printer.NewPage();
  }
  printer.EndDoc();
}

TEST(TablePrint, ThePdfPrinterGetsTheRowBreakAndBackgroundsOnlyWithPrintTableBackground) {
  ASSERT_TRUE(test::HaveTool("pdftoppm") && test::HaveTool("pdfinfo"));
  for (bool keep : {false, true}) {
    SCOPED_TRACE(keep);
    TableDocument doc;
    const ThtmlTable* table = ColouredTable(doc, true);
    doc.List.PrintTableBackground = keep;
    doc.Layout(700);
    const test::TempDir dir;
    const std::string pdf = dir.File("table.pdf");
    PrintToPdf(doc.List, pdf);
    ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + dir.File("info") + "'").c_str()), 0);
    const std::string info = test::ReadFile(dir.File("info"));
    const std::size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_EQ(std::atoi(info.c_str() + pages + 6), 2) << info;
    ASSERT_EQ(std::system(("pdftoppm -r 96 -aa no -aaVector no '" + pdf + "' '" + dir.File("page") + "'").c_str()), 0);
    const PageImage first(dir.File("page-1.ppm")), second(dir.File("page-2.ppm"));
    ASSERT_GT(second.Height, 0);
    const TCellObj& cell = *table->Rows[0]->Cells[0];
    const int left = table->BorderBox().Left, inCellX = left + cell.Wd - 2, inCellBottom = cell.Ht - 2;
    EXPECT_EQ(first.Pixel(inCellX, table->Rows[0]->Y + inCellBottom), keep ? clBlue : clWhite);
    EXPECT_EQ(first.Pixel(left + 5, table->Rows[0]->Y + 5), keep ? clRed : clWhite);               // the gap
    EXPECT_EQ(first.Pixel(inCellX, table->Rows[1]->Y + inCellBottom), clWhite);                  // the next row waits
    EXPECT_EQ(second.Pixel(inCellX, inCellBottom), keep ? clBlue : clWhite);                     // and starts page 2
  }
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
  // Printed, the picture goes tile by tile into the cells, only when table
  // backgrounds are printed.
  for (bool keep : {false, true}) {
    doc.List.PrintTableBackground = keep;
    TSectionList copy(doc.List);
    TMetafile page;
    {
      TMetafileCanvas canvas(page, nullptr);
      int scrollWidth = 0, curs = 0;
      copy.DoLogic(canvas, 0, 800, 1000, scrollWidth, curs);
      copy.PageBottom = 1000;
      copy.Draw(canvas, Rect(0, 0, 800, 1000), 800, 0, 0, 0, 0);
    }
    const ThtmlTable& printed = *static_cast<const TTableBlock*>(copy.Items(0))->Table;
    int tiles = 0;
    for (int i = 0; i < page.RecordCount(); ++i) {
      const TMetafileRecord record = page.Record(i);
      if (record.RecordKind != TMetafileRecord::Kind::Image) continue;
      ++tiles;
      EXPECT_LE(record.Bounds.Right - record.Bounds.Left, 4);
      EXPECT_GE(record.Bounds.Top, printed.Rows[0]->Y);
    }
    EXPECT_EQ(tiles > 2, keep);
    EXPECT_EQ(tiles == 0, !keep);
  }
}

}  // namespace
}  // namespace lark
