#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "html/text_collector.h"
#include "html/url_target.h"
#include "table_document.h"

namespace lark {
namespace {

using testing::TableDocument;

int Sum(const std::vector<int>& values) { return std::accumulate(values.begin(), values.end(), 0); }

TableDocument& CellsInOneRow(TableDocument& doc, int count, const testing::Attributes& cell = {}) {
  doc.OpenTable();
  doc.Row();
  for (int i = 0; i < count; ++i) {
    doc.Cell(cell);
    doc.Text("x");
  }
  return doc;
}

TEST(TableGrid, TwoHundredColumnsLayOutAndOneMoreDropsTheTableAfterLayout) {
  TableDocument wide;
  CellsInOneRow(wide, 200).Layout(800);
  ASSERT_EQ(wide.List.Count(), 1u);
  EXPECT_EQ(static_cast<const TTableBlock*>(wide.List.Items(0))->Table->NumCols, 200);

  for (int colSpan : {1, 2147483647}) {
    TableDocument tooWide;
    std::vector<std::string> errors;
    tooWide.List.OnLayoutError = [&](const std::string& message) { errors.push_back(message); };
    CellsInOneRow(tooWide, colSpan == 1 ? 201 : 1, {{ColSpanSy, colSpan, std::to_string(colSpan)}});
    tooWide.Layout(800);
    EXPECT_EQ(tooWide.List.Count(), 0u) << colSpan;
    EXPECT_EQ(errors, std::vector<std::string>{"Table has too many Columns"});
  }
}

TEST(TableGrid, ColumnSpansPastTheRowGrowTheGridAndRowSpansAreCutToTheRowsLeft) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable();
  doc.Row();
  TCellObj* tall = doc.Cell({{RowSpanSy, 10, "10"}});
  doc.Cell({{ColSpanSy, 4, "4"}});
  doc.Row();
  doc.Cell();
  doc.Layout(800);
  EXPECT_EQ(table->NumCols, 5);
  EXPECT_EQ(tall->RowSpan, 2);
  ASSERT_EQ(table->Rows[1]->Cells.size(), 2u);
  EXPECT_EQ(table->Rows[1]->Cells[0], nullptr);  // covered by the row span
  EXPECT_NE(table->Rows[1]->Cells[1], nullptr);
}

TEST(TableGrid, RowSpansCoverTheirColumnsInTheRowsBelowAndPadShortRows) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable();
  doc.Row();
  doc.Cell({{RowSpanSy, 3, "3"}});
  TCellObj* b = doc.Cell();
  doc.Cell({{RowSpanSy, 2, "2"}});
  doc.Row();
  TCellObj* d = doc.Cell();
  doc.Row();
  TCellObj* e = doc.Cell();
  TCellObj* f = doc.Cell();
  doc.Layout(800);
  auto slots = [&](std::size_t r) {
    std::vector<TCellObj*> cells;
    for (const auto& cell : table->Rows[r]->Cells) cells.push_back(cell.get());
    return cells;
  };
  EXPECT_EQ(slots(1), (std::vector<TCellObj*>{nullptr, d, nullptr}));
  EXPECT_EQ(slots(2), (std::vector<TCellObj*>{nullptr, e, f}));
  EXPECT_EQ(table->CellBorderBox(0, 1).Left, table->CellBorderBox(1, 1).Left);
  EXPECT_EQ(b->Wd, d->Wd);
}

TEST(TableAttributes, ACellsStyleGivesItsPaddingBordersWidthColourAndBreaks) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable({{CellSpacingSy, 0, "0"}});
  TCellList* row = doc.Row();
  TProperties style;
  style.PropTag = "td";
  for (const auto& [name, value] : {std::pair{"padding-left", "7px"}, {"border-style", "solid"},
                                    {"border-top-width", "3px"}, {"border-right-width", "3px"},
                                    {"border-bottom-width", "3px"}, {"border-left-width", "3px"},
                                    {"border-color", "red"}, {"width", "40%"}, {"background-color", "blue"},
                                    {"page-break-before", "always"}})
    style.AddPropertyByName(name, value);
  TCellObj* cell = doc.Cell({}, 1, &style);
  doc.Text("styled");
  doc.Cell();
  doc.Text("plain");
  doc.Layout(800);
  doc.Paint();
  EXPECT_EQ(cell->Padding[3], 7);
  EXPECT_EQ(cell->HzSpace, 7 + 3 + 3 + table->CellPadding);
  EXPECT_TRUE(cell->SpecWdAsPercent);
  EXPECT_EQ(cell->SpecWd, 400);
  EXPECT_TRUE(row->BreakBefore);
  const TRect box = table->CellBorderBox(0, 0);
  EXPECT_EQ(doc.Surface.Pixel(box.Left + 1, box.Top + 10) & 0xFFFFFF, clRed);    // the border ring
  EXPECT_EQ(doc.Surface.Pixel(box.Right - 5, box.Bottom - 5) & 0xFFFFFF, clBlue);  // inside it
}

TEST(TableAttributes, PaddingAndSpacingAreHeldWithinTheirBounds) {
  struct Case {
    testing::Attributes Given;
    int Padding, Spacing;
  };
  const Case cases[] = {
      {{{CellPaddingSy, 80, "80"}, {CellSpacingSy, 60, "60"}}, 50, 40},
      {{{BorderSy, 1, "1"}, {CellSpacingSy, 0, "0"}}, 1, 2},
      {{{CellPaddingSy, -2147483647, "-2147483647"}, {CellSpacingSy, -2147483647, "-2147483647"}}, 0, 0},
      {{}, 1, 2},
  };
  for (const Case& c : cases) {
    TableDocument doc;
    ThtmlTable* table = doc.OpenTable(c.Given);
    EXPECT_EQ(table->CellPadding, c.Padding);
    EXPECT_EQ(table->CellSpacing, c.Spacing);
  }
}

TEST(TableWidths, TwoThirtyPercentColumnsTakeTheNarrowestWidthThatFits) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable();
  doc.Row();
  for (int i = 0; i < 3; ++i) {
    doc.Cell(i < 2 ? testing::Attributes{{WidthSy, 30, "30%"}} : testing::Attributes{});
    doc.Text("word");
  }
  doc.Layout(800);
  const int total = Sum(table->Widths);
  EXPECT_LT(total, 400);  // not the whole window
  EXPECT_EQ(table->Widths[0], table->Widths[1]);
  EXPECT_NEAR(table->Widths[0] * 1000 / total, 300, 10);
}

TEST(TableWidths, PercentagesAboveAHundredScaleDownUntilTheColumnsFit) {
  for (const char* tableWidth : {"", "600"}) {
    TableDocument doc;
    ThtmlTable* table = doc.OpenTable({{WidthSy, 600, tableWidth}});
    doc.Row();
    for (int i = 0; i < 3; ++i) {
      doc.Cell({{WidthSy, 60, "60%"}});
      doc.Text("word");
    }
    doc.Layout(700);
    EXPECT_LE(table->TableWidth, 700) << tableWidth;
    for (int width : table->Widths) EXPECT_GT(width, 0) << tableWidth;
  }
}

TEST(TableHeights, AHeightStretchesTheRowsTheLastTakingTheRounding) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable({{HeightSy, 302, "302"}});
  for (int i = 0; i < 3; ++i) {
    doc.Row();
    doc.Cell();
    doc.Text("row");
  }
  doc.Layout(800);
  const int r0 = table->Rows[0]->RowHeight, r2 = table->Rows[2]->RowHeight;
  EXPECT_EQ(r0, table->Rows[1]->RowHeight);
  EXPECT_GE(r2, r0);
  EXPECT_LE(r2 - r0, 2);
  EXPECT_EQ(r0 + table->Rows[1]->RowHeight + r2, 302 - table->CellSpacing);
  EXPECT_EQ(table->SectionHeight, 302);

  TableDocument rowHeight;  // a row's HEIGHT holds for each of its cells
  ThtmlTable* tall = rowHeight.OpenTable();
  rowHeight.Row({{HeightSy, 80, "80"}});
  rowHeight.Cell();
  rowHeight.Text("row");
  rowHeight.Cell({{HeightSy, 30, "30"}});
  rowHeight.Layout(800);
  EXPECT_EQ(tall->Rows[0]->Cells[1]->SpecHt, 80);
  EXPECT_EQ(tall->Rows[0]->RowHeight, 80 + tall->CellSpacing);

  TableDocument empty;  // no rows to share the height
  ThtmlTable* none = empty.OpenTable({{HeightSy, 500, "500"}});
  empty.Layout(800);
  EXPECT_EQ(none->SectionHeight, none->CellSpacing);
}

TEST(TableCaption, AWiderCaptionCentresTheTableUnderIt) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable();
  doc.Row();
  doc.Cell();
  doc.Text("x");
  doc.Caption();
  doc.Text("Supercalifragilisticexpialidocious");
  doc.Layout(800);
  EXPECT_GT(table->CaptionWidth, table->TableWidth);
  EXPECT_EQ(table->Indent, (table->CaptionWidth - table->TableWidth) / 2);
  EXPECT_EQ(table->Rows[0]->Y, table->YValue + table->CaptionHeight);
}

TEST(TableRows, VerticalAlignmentPlacesContentInTheRowHeight) {
  TableDocument doc;
  doc.OpenTable();
  doc.Row();
  doc.Cell({{HeightSy, 100, "100"}});
  std::vector<TCellObj*> cells;
  for (int vAlign : {1, 2, 3, 0}) {
    cells.push_back(doc.Cell({}, vAlign));
    doc.Text("x");
  }
  doc.Layout(800);
  const int room = cells[0]->Ht - cells[0]->VSize - (cells[0]->VSpace + 2);
  EXPECT_GT(room, 40);
  EXPECT_EQ(cells[0]->YIndent, 0);
  EXPECT_EQ(cells[1]->YIndent, room / 2);
  EXPECT_EQ(cells[2]->YIndent, room);
  EXPECT_EQ(cells[3]->YIndent, room / 2);  // no VALIGN: centred
  // The content was laid out where the alignment puts it.
  EXPECT_EQ(cells[2]->Cell->Items(0)->YValue, cells[2]->Y + cells[2]->ContentY(2));
}

TEST(TableRows, ARowSpanTallerThanItsRowsSpreadsOverThem) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable();
  doc.Row();
  doc.Cell({{RowSpanSy, 2, "2"}, {HeightSy, 200, "200"}});
  doc.Cell();
  doc.Text("a");
  doc.Row();
  doc.Cell();
  doc.Text("b");
  doc.Layout(800);
  const int r0 = table->Rows[0]->RowHeight, r1 = table->Rows[1]->RowHeight;
  EXPECT_EQ(r0 + r1, 200 + table->CellSpacing);
  EXPECT_LE(std::abs(r0 - r1), 1);
}

TEST(TableRows, TopAlignedCellsAreLaidOutOnceAndMoveWhenARowSpanGrowsTheirRow) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable();
  int layouts = 0;
  std::vector<std::pair<TCellObj*, TSectionBase*>> below;
  doc.Row();
  doc.Cell({{RowSpanSy, 2, "2"}, {HeightSy, 200, "200"}}, 1);
  doc.Cell({}, 1);
  doc.Current().Add(std::make_unique<testing::CountingSection>(&doc.List, &layouts));
  for (int row = 0; row < 2; ++row) {
    doc.Row();
    TCellObj* cell = doc.Cell({}, 1);
    auto section = std::make_unique<testing::CountingSection>(&doc.List, &layouts);
    below.emplace_back(cell, section.get());
    doc.Current().Add(std::move(section));
  }
  doc.Layout(800);
  // The spanning cell's height reaches the rows only after they were
  // measured: the cells below move down and are laid out again there.
  for (std::size_t r = 1; r < 3; ++r) {
    const auto [cell, section] = below[r - 1];
    EXPECT_EQ(section->YValue, table->Rows[r]->Y + cell->ContentY(table->CellSpacing)) << r;
  }
  EXPECT_GT(table->Rows[1]->Y, table->Rows[0]->Y + 100);
  EXPECT_EQ(layouts, 1 + 2 * 2);
}

TEST(TableBoxes, CellBoxesTileTheBodyInsideTheSpacing) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable({{CellSpacingSy, 4, "4"}});
  doc.Row();
  doc.Cell({{RowSpanSy, 2, "2"}});
  doc.Text("tall");
  doc.Cell();
  doc.Text("b");
  doc.Row();
  doc.Cell();
  doc.Text("c");
  doc.Layout(800);
  const TRect body = table->BorderBox();
  const TRect tall = table->CellBorderBox(0, 0), right = table->CellBorderBox(0, 1), below = table->CellBorderBox(1, 1);
  EXPECT_EQ(tall.Left, body.Left + 4);
  EXPECT_EQ(tall.Top, body.Top + 4);
  EXPECT_EQ(right.Left, tall.Right + 4);
  EXPECT_EQ(below.Top, right.Bottom + 4);
  EXPECT_EQ(tall.Bottom, below.Bottom);  // the span reaches the second row's bottom
  EXPECT_EQ(body.Right, right.Right + 4);
  EXPECT_EQ(body.Bottom, below.Bottom + 4);
  EXPECT_EQ(table->CellBorderBox(1, 0).Width(), 0);  // covered by the span
}

TEST(TableQueries, HitTestsCaretFindAndCopyReachTheRightCell) {
  TableDocument doc;
  ThtmlTable* table = doc.OpenTable();
  doc.Row();
  doc.Cell();
  doc.Text("alpha");
  TCellObj* second = doc.Cell();
  doc.Text("beta");
  doc.Layout(800);
  int betaEnd = 0;
  const int beta = doc.List.FindString(0, "beta", false, betaEnd);
  EXPECT_EQ(beta, second->Cell->StartCurs);
  int x = 0, y = 0;
  ASSERT_TRUE(doc.List.CursorToXY(doc.Surface.Canvas(), beta + 1, x, y));
  const int columnLeft = table->Widths[0];
  EXPECT_GE(x, columnLeft);
  int xr = 0, yr = 0, caretHt = 0;
  bool inText = false;
  const int found = doc.List.FindCursor(doc.Surface.Canvas(), x + 1, y + 2, xr, yr, caretHt, inText);
  EXPECT_GE(found, beta + 1);
  EXPECT_LE(found, beta + 2);
  EXPECT_EQ(doc.List.FindCursor(doc.Surface.Canvas(), 2, y + 2, xr, yr, caretHt, inText), 0);
  std::string copied;
  SetClipboardWriter([&](const std::string& text) { copied = text; });
  doc.List.SelB = 0;
  doc.List.SelE = betaEnd;
  doc.List.CopyToClipboard();
  SetClipboardWriter(nullptr);
  EXPECT_NE(copied.find("beta"), std::string::npos);
  EXPECT_LT(copied.find("alpha"), copied.find("beta"));
}

TEST(TableLayout, NestedTablesLayTheInnermostCellOutAFixedNumberOfTimes) {
  std::vector<int> layouts;
  for (int depth : {1, 3, 10}) {
    TableDocument doc;
    for (int level = 0; level < depth; ++level) {
      doc.OpenTable();
      doc.Row();
      doc.Cell();
      doc.Text("beside");
      doc.Cell();
    }
    int count = 0;
    doc.Current().Add(std::make_unique<testing::CountingSection>(&doc.List, &count));
    doc.Layout(800);
    layouts.push_back(count);
  }
  EXPECT_EQ(layouts[0], 2);  // measured once, placed once
  EXPECT_EQ(layouts[1], 2);
  EXPECT_EQ(layouts[2], 2);
}

TEST(TableLayout, NestedTopAlignedTablesInMovingRowsLayTheInnermostCellOutAFixedNumberOfTimes) {
  std::vector<int> layouts;
  for (int depth : {1, 3, 10}) {
    TableDocument doc;
    for (int level = 0; level < depth; ++level) {
      // The row holding the next table moves once the span spreads.
      doc.OpenTable();
      doc.Row();
      doc.Cell({{RowSpanSy, 2, "2"}, {HeightSy, 300, "300"}}, 1);
      doc.Cell({}, 1);
      doc.Text("beside");
      doc.Row();
      doc.Cell({}, 1);
    }
    int count = 0;
    doc.Current().Add(std::make_unique<testing::CountingSection>(&doc.List, &count));
    doc.Layout(800);
    layouts.push_back(count);
  }
  EXPECT_EQ(layouts[0], 2);  // measured in place, moved, laid out again
  EXPECT_EQ(layouts[2], 2);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

// Sets the document's first-baseline request when laid out, as a list item does.
class BaselineRequest : public TSectionBase {
 public:
  BaselineRequest(TSectionList* list, int* baseline) : TSectionBase(list), baseline_(baseline) {}
  int DrawLogic(TCanvas&, int, int y, int, int, int, int, IndentManager&, int&, int&) override {
    *baseline_ = 0;
    ParentSectionList->FirstLineBaseline = baseline_;
    YValue = DrawTop = DrawBot = ContentTop = ContentBot = y;
    return 0;
  }

 private:
  int* baseline_;
};

// Records the table nesting count it is laid out at.
class NestingProbe : public testing::CountingSection {
 public:
  NestingProbe(TSectionList* list, int* level) : CountingSection(list, &layouts_), level_(level) {}
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override {
    *level_ = ParentSectionList->TableNestLevel;
    return CountingSection::DrawLogic(canvas, x, y, xRef, yRef, aWidth, aHeight, iMgr, maxWidth, curs);
  }

 private:
  int layouts_ = 0;
  int* level_;
};

TEST(TableBox, ATableAnswersTheFirstBaselineWithItsBottomAndCountsItsNesting) {
  TableDocument doc;
  int baseline = -1, level = -1;
  doc.Current().Add(std::make_unique<BaselineRequest>(&doc.List, &baseline));
  ThtmlTable* outer = doc.OpenTable();
  doc.Row();
  doc.Cell();
  doc.Text("text inside does not answer");
  doc.OpenTable();
  doc.Row();
  doc.Cell();
  doc.Current().Add(std::make_unique<NestingProbe>(&doc.List, &level));
  doc.Layout(800);
  EXPECT_EQ(baseline, outer->ContentBot);
  EXPECT_EQ(level, 2);
  EXPECT_EQ(doc.List.TableNestLevel, 0);
}

TEST(TableBox, AFloatingTableTakesTheNextBlocksDefaultTopMargin) {
  for (const char* align : {"left", "center"}) {
    TableDocument doc;
    doc.OpenTable({{AlignSy, 0, align}});
    doc.CloseTable();
    TProperties props;
    props.PropTag = "p";
    props.SetProp(css::MarginTop, ParagraphSpace);
    auto block = std::make_unique<TBlock>(&doc.List, nullptr, props, &doc.Current(), "p");
    EXPECT_EQ(block->MarginTop == 0, std::string(align) == "left") << align;
  }
}

}  // namespace
}  // namespace lark
