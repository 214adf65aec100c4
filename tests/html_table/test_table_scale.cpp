#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "html/document_coordinates.h"
#include "html/nesting_limit.h"
#include "platform/graphics/metafile.h"
#include "table_document.h"

namespace lark {
namespace {

using testing::CountingSection;
using testing::TableDocument;

TEST(TableScale, ManyRowsLayOutEachCellTwiceAndPaintWithGapFill) {
  TableDocument doc;
  doc.OpenTable({{BorderColorSy, 0, "red"}, {BorderSy, 1, "1"}});
  int layouts = 0;
  constexpr int kRows = 100000;
  for (int row = 0; row < kRows; ++row) {
    doc.Row();
    for (int cell = 0; cell < 3; ++cell) {
      doc.Cell();
      doc.Current().Add(std::make_unique<CountingSection>(&doc.List, &layouts));
    }
  }
  EXPECT_GT(doc.Layout(800), kRows * 10);
  EXPECT_EQ(layouts, 2 * 3 * kRows);  // measured once, placed once
  // Painting costs the cells on the screen, wherever it is: each cell at
  // least 10 pixels high, two gap strips and four edge lines in the colour.
  constexpr int kCellsShown = 3 * (600 / 10 + 2);
  for (int yOff : {0, 500000}) {
    doc.List.YOff = yOff;
    TMetafile screen;
    {
      TMetafileCanvas canvas(screen, nullptr);
      doc.List.Draw(canvas, Rect(0, 0, 800, 600), 800, 0, 0, 0, 0);
    }
    int redFills = 0;
    for (int i = 0; i < screen.RecordCount(); ++i) {
      const TMetafileRecord record = screen.Record(i);
      if (record.RecordKind == TMetafileRecord::Kind::Fill && record.Color == clRed) ++redFills;
    }
    EXPECT_GT(redFills, 0) << yOff;
    EXPECT_LE(redFills, 6 * kCellsShown + 2) << yOff;
  }
}

TEST(TableScale, TenNestedTablesAroundAThousandCellsLayEachCellOutTwice) {
  TableDocument doc;
  for (int level = 0; level < 10; ++level) {
    doc.OpenTable();
    doc.Row();
    doc.Cell();
  }
  doc.OpenTable();
  int layouts = 0;
  for (int row = 0; row < 100; ++row) {
    doc.Row();
    for (int cell = 0; cell < 10; ++cell) {
      doc.Cell();
      doc.Current().Add(std::make_unique<CountingSection>(&doc.List, &layouts));
    }
  }
  doc.Layout(800);
  EXPECT_EQ(layouts, 2 * 1000);
}

TEST(TableScale, AttributesAtTheIntegerLimitsLayOutAndPaint) {
  const Symb cellAttributes[] = {ColSpanSy, RowSpanSy, WidthSy, HeightSy};
  const Symb tableAttributes[] = {WidthSy, HeightSy, CellPaddingSy, CellSpacingSy, BorderSy};
  for (int value : {INT_MAX, -INT_MAX}) {
    for (bool onCell : {false, true}) {
      for (std::size_t i = 0; i < (onCell ? 4u : 5u); ++i) {
        const Symb sy = onCell ? cellAttributes[i] : tableAttributes[i];
        TableDocument doc;
        testing::Attributes table = {{BorderColorSy, 0, "red"}};
        if (!onCell) table.emplace_back(sy, value, std::to_string(value));
        doc.OpenTable(table);
        for (int row = 0; row < 2; ++row) {
          doc.Row();
          for (int cell = 0; cell < 2; ++cell) {
            doc.Cell(onCell ? testing::Attributes{{sy, value, std::to_string(value)}} : testing::Attributes{});
            doc.Text("cell");
          }
        }
        const int height = doc.Layout(800);
        EXPECT_GE(height, 0);
        EXPECT_LE(height, kMaxDocumentCoordinate);
        doc.Paint();
      }
    }
  }
}

TEST(TableScale, ManyCellsInOneRowAreRefusedBeforeTheyAreLaidOut) {
  TableDocument doc;
  doc.OpenTable();
  doc.Row();
  int layouts = 0;
  for (int cell = 0; cell < 100000; ++cell) {
    doc.Cell();
    doc.Current().Add(std::make_unique<CountingSection>(&doc.List, &layouts));
  }
  doc.Layout(800);
  EXPECT_EQ(layouts, 0);
  EXPECT_EQ(doc.List.Count(), 0u);
}

// The deepest point of the stack any walk reaches.
class StackProbe : public CountingSection {
 public:
  StackProbe(TSectionList* list, int* layouts) : CountingSection(list, layouts) {}
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override {
    const char here = 0;
    Lowest = std::min(Lowest, reinterpret_cast<std::uintptr_t>(&here));
    return CountingSection::DrawLogic(canvas, x, y, xRef, yRef, aWidth, aHeight, iMgr, maxWidth, curs);
  }
  static inline std::uintptr_t Lowest = UINTPTR_MAX;
};

TEST(TableScale, DeeplyNestedTablesStopAtTheNestingLimitWithinTheStack) {
  const char top = 0;
  int layouts = 0;
  {
    TableDocument doc;
    for (int level = 0; level < 300; ++level) {
      doc.OpenTable();
      doc.Row();
      doc.Cell();
    }
    EXPECT_LE(doc.Current().AddTarget()->Depth, kMaxNestingDepth);
    doc.Current().Add(std::make_unique<StackProbe>(&doc.List, &layouts));
    doc.Layout(800);
    doc.Paint();
    TSectionList copy(doc.List);
  }
  EXPECT_EQ(layouts, 2);
  ASSERT_NE(StackProbe::Lowest, UINTPTR_MAX);
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(&top) - StackProbe::Lowest, 4u << 20);
}

}  // namespace
}  // namespace lark
