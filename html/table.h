#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "html/section_base.h"
#include "html/table_cells.h"
#include "platform/graphics/color.h"

namespace lark {

// Columns a table may have once its spans are expanded; past it the table
// is left out with "Table has too many Columns".
constexpr int kMaxTableColumns = 200;

// The section of a TABLE element: rows of cells, a caption, and the grid
// layout with its column and row sizing. Covered grid slots are nullptr.
class ThtmlTable : public TSectionBase {
 public:
  // The table's BORDER, CELLPADDING, CELLSPACING and border colours;
  // ownerCell: the cell the table's box joins (the caption nests below it).
  explicit ThtmlTable(TSectionList* masterList, TAttributeList* attributes = nullptr,
                      TCellBasic* ownerCell = nullptr);
  ThtmlTable(TSectionList* masterList, const ThtmlTable& source);
  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;

  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override;
  int Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) override;
  void MinMaxWidth(TCanvas& canvas, int& min, int& max) override;
  TGuResultType GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                       TFormControlObj*& formControl, std::string& title) override;
  bool PtInObject(int x, int y, TObject*& obj, int& ix, int& iy) override;
  int FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText) override;
  int FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd) override;
  int FindSourcePos(int docPos) override;
  int FindDocPos(int sourcePos, bool prev) override;
  bool CursorToXY(TCanvas& canvas, int cursor, int& x, int& y) override;
  bool GetChAtPos(int pos, char32_t& ch, TObject*& obj) override;
  void CopyToClipboard() override;

  // Expands the spans into the grid, once. More than kMaxTableColumns
  // columns mark the table as too wide (counted before anything is made).
  void Initialize();
  [[nodiscard]] bool TooManyColumns() const { return tooManyColumns_; }
  // Column minima and maxima without percentages, and with them (for a
  // table width `theWidth`, 0 for none).
  void GetMinMaxAbs(TCanvas& canvas, std::int64_t& minTotal, std::vector<int>& mins, std::vector<int>& maxs,
                    std::int64_t& maxTotal);
  void GetMinMaxWidths(TCanvas& canvas, std::int64_t& minTotal, int theWidth, std::vector<int>& mins,
                       std::vector<int>& maxs, std::int64_t& maxTotal);
  // Border boxes in the layout's coordinates, for box dumps: the table body
  // (caption left out) and the cell in grid slot (row, col) (empty when the
  // slot is covered).
  [[nodiscard]] TRect BorderBox() const;
  [[nodiscard]] TRect CellBorderBox(std::size_t row, std::size_t col) const;
  // The cell at a point of the table (document coordinates of the layout),
  // with the left of its column; nullptr when none.
  TCellObj* CellAt(int x, int y, int& cellX);

  std::vector<std::unique_ptr<TCellList>> Rows;
  std::unique_ptr<TCellObj> CaptionCell;
  bool TopCaption = true;
  bool Initialized = false;
  int NumCols = 0;
  bool HasBorder = false;
  int CellPadding = 1, CellSpacing = 2;
  TColor BorderColor = clNone;  // clNone: no fill of the gaps
  TColor BorderColorLight = clBtnHighlight, BorderColorDark = clBtnShadow;

  int Width = 0;           // pixels, or tenths of a percent when AsPercent
  bool AsPercent = false;
  int Height = 0;          // the table's specified height in pixels, 0 for none
  TColor BgColor = clNone;  // handed to cells without a colour of their own
  bool HasFixedCellWidth = false;
  std::vector<int> Widths, Percents;
  int TableWidth = 0, CaptionWidth = 0, CaptionMinWidth = 0, Indent = 0, CaptionHeight = 0, BodyHeight = 0;
  int DrawX = 0, DrawY = 0;

 private:
  struct TGridCell {
    TCellObj* Cell;
    int Row, Col;
  };
  bool ExpandRow(std::size_t row, std::vector<int>& pendingRows);
  void IndexCells();
  void GiveCellsDefaults();
  // Passes by span: visit each cell with its column (or row) span, smallest first.
  void ColumnPass(TCanvas& canvas, int theWidth, bool withPercents, std::vector<int>& mins, std::vector<int>& maxs);
  void CellSpanWidths(TCanvas& canvas, const TGridCell& grid, int theWidth, bool withPercents,
                      std::vector<int>& mins, std::vector<int>& maxs);
  void FindColumnWidths(TCanvas& canvas, int newWidth);
  [[nodiscard]] std::int64_t PercentTableWidth(const std::vector<int>& maxs, std::int64_t pctSum,
                                              std::int64_t& noPctMax) const;
  bool FitPercentColumns(int newWidth, std::int64_t pctSum, std::vector<int>& mins, std::vector<int>& maxs,
                         std::int64_t& minTotal, std::int64_t& maxTotal);
  void DistributePercentages(int total, const std::vector<int>& mins, const std::vector<int>& maxs);
  // rowsTop: where the rows start when this layout is final; curs: the
  // cursor at the first cell.
  void RowHeights(TCanvas& canvas, int aHeight, std::optional<int> rowsTop, int curs);
  void SpreadOverRows(int first, int count, std::int64_t extra);
  void PlaceCells(TCanvas& canvas, int y, int aHeight, int& curs, bool final);
  int LayOutCaption(TCanvas& canvas, int y, int aHeight, int& curs);
  [[nodiscard]] int CellWidth(const TGridCell& grid) const;
  [[nodiscard]] bool CustomEdge() const {
    return BorderColorLight != clBtnHighlight || BorderColorDark != clBtnShadow;
  }
  void FillGaps(TCanvas& canvas, const TRect& clip, int x, int top);
  bool HandleRowBreaks(TCellList& row, int pageHeight);
  // Visits the caption and cells in query order until `visit` answers true.
  template <typename Visit>
  bool ForEachCell(Visit visit);

  bool tooManyColumns_ = false;
  std::vector<TGridCell> byColSpan_, byRowSpan_;
  std::vector<int> colStarts_;  // the left of each column from the table's left, and the right of the last
  int layoutX_ = 0;
};

}  // namespace lark
