#include "html/table.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <optional>

#include "html/attribute_list.h"
#include "html/colors.h"
#include "html/document_coordinates.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "html/table_math.h"

namespace lark {

namespace {

// Set while a table measures its cells: a table met inside works out its
// height only and leaves placing its cells to the layout that follows, so
// each nesting level costs one measuring and one placing layout per cell.
thread_local int measuringDepth = 0;

struct TMeasuring {
  TMeasuring() { ++measuringDepth; }
  ~TMeasuring() { --measuringDepth; }
  TMeasuring(const TMeasuring&) = delete;
  TMeasuring& operator=(const TMeasuring&) = delete;
};

// The table nesting count and the first-baseline request, held while a
// table lays out and given back however it ends.
struct TTableLayoutScope {
  explicit TTableLayoutScope(TSectionList* list)
      : list_(list), request_(list ? std::exchange(list->FirstLineBaseline, nullptr) : nullptr) {
    if (list_) ++list_->TableNestLevel;
  }
  ~TTableLayoutScope() {
    if (!list_) return;
    --list_->TableNestLevel;
    list_->FirstLineBaseline = request_;
  }
  TTableLayoutScope(const TTableLayoutScope&) = delete;
  TTableLayoutScope& operator=(const TTableLayoutScope&) = delete;
  void Answer(int baseline) const {
    if (request_ && *request_ == 0) *request_ = baseline;
  }

 private:
  TSectionList* list_;
  int* request_;
};

int SumRange(const std::vector<int>& values, int first, int count) {
  return ClampCoordinate(std::accumulate(values.begin() + first, values.begin() + first + count, std::int64_t{0}));
}

}  // namespace

ThtmlTable::ThtmlTable(TSectionList* masterList, TAttributeList* attributes, TCellBasic* ownerCell)
    : TSectionBase(masterList),
      CaptionCell(std::make_unique<TCellObj>(masterList, nullptr, nullptr, 1, ownerCell)) {
  CaptionCell->Padding = {0, 0, 0, 0};
  bool borderColorSet = false, lightSet = false, darkSet = false;
  if (attributes)
    for (const auto& attribute : *attributes) {
      switch (attribute->Which) {
        case BorderSy: HasBorder = attribute->Value > 0 || attribute->Name.empty(); break;
        case CellPaddingSy: CellPadding = std::clamp(attribute->Value, 0, 50); break;
        case CellSpacingSy: CellSpacing = std::clamp(attribute->Value, 0, 40); break;
        case BorderColorSy: borderColorSet = ColorFromString(attribute->Name, false, BorderColor); break;
        case BorderColorLightSy: lightSet = ColorFromString(attribute->Name, false, BorderColorLight); break;
        case BorderColorDarkSy: darkSet = ColorFromString(attribute->Name, false, BorderColorDark); break;
        default: break;
      }
    }
  if (!borderColorSet) BorderColor = clNone;
  if (borderColorSet && !lightSet) BorderColorLight = BorderColor;
  if (borderColorSet && !darkSet) BorderColorDark = BorderColor;
  if (HasBorder) CellSpacing = std::max(1, CellSpacing + 2);
}

ThtmlTable::ThtmlTable(TSectionList* masterList, const ThtmlTable& source)
    : TSectionBase(masterList, source),
      TopCaption(source.TopCaption),
      Initialized(source.Initialized),
      NumCols(source.NumCols),
      HasBorder(source.HasBorder),
      CellPadding(source.CellPadding),
      CellSpacing(source.CellSpacing),
      Width(source.Width),
      AsPercent(source.AsPercent),
      Height(source.Height),
      HasFixedCellWidth(source.HasFixedCellWidth),
      Widths(source.Widths),
      Percents(source.Percents),
      TableWidth(source.TableWidth),
      CaptionWidth(source.CaptionWidth),
      CaptionMinWidth(source.CaptionMinWidth),
      Indent(source.Indent),
      CaptionHeight(source.CaptionHeight),
      BodyHeight(source.BodyHeight),
      tooManyColumns_(source.tooManyColumns_),
      colStarts_(source.colStarts_),
      layoutX_(source.layoutX_) {
  // The copy's own settings are not set yet while its sections are copied:
  // the document copied from decides.
  const bool withColors = source.ParentSectionList && source.ParentSectionList->PrintTableBackground;
  if (withColors) {
    BorderColor = source.BorderColor;
    BorderColorLight = source.BorderColorLight;
    BorderColorDark = source.BorderColorDark;
    BgColor = source.BgColor;
  }
  CaptionCell = std::make_unique<TCellObj>(masterList, *source.CaptionCell, withColors);
  Rows.reserve(source.Rows.size());
  for (const auto& row : source.Rows) Rows.push_back(std::make_unique<TCellList>(masterList, *row, withColors));
  if (Initialized) IndexCells();
}

std::unique_ptr<TSectionBase> ThtmlTable::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<ThtmlTable>(masterList, *this);
}

void ThtmlTable::GiveCellsDefaults() {
  for (const auto& row : Rows)
    for (const auto& cell : row->Cells) {
      if (!cell) continue;
      if (cell->BgColor == clNone) cell->BgColor = row->BgColor;
      for (int& padding : cell->Padding)
        if (padding < 0) padding = CellPadding;
      cell->HzSpace = cell->Padding[3] + cell->Border[3] + cell->Border[1] + cell->Padding[1];
      cell->VSpace = cell->Padding[0] + cell->Border[0] + cell->Border[2] + cell->Padding[2];
      if (cell->BgColor == clNone) cell->BgColor = BgColor;
      if (!cell->Background && !row->BackgroundName.empty())
        cell->Background = std::make_unique<TBlockBackground>(row->BackgroundName, row->BackgroundX, row->BackgroundY);
    }
}

// Rebuilds row `row` with its spans spread: a column span becomes covered
// slots after the cell, and slots that row spans from above cover come in
// at their columns. pendingRows[c] counts the rows column c is still covered.
bool ThtmlTable::ExpandRow(std::size_t row, std::vector<int>& pendingRows) {
  std::int64_t columns = 0;
  for (const auto& cell : Rows[row]->Cells) columns += cell ? cell->ColSpan : 1;
  if (columns > kMaxTableColumns) return false;  // before anything is made for the spans
  std::vector<std::unique_ptr<TCellObj>> source = std::move(Rows[row]->Cells);
  std::vector<std::unique_ptr<TCellObj>>& out = Rows[row]->Cells;
  const int rowsLeft = static_cast<int>(Rows.size() - row);
  std::size_t next = 0;
  auto covered = [&](std::size_t c) { return c < pendingRows.size() && pendingRows[c] > 0; };
  // Columns at or past the one being filled keep their counts from the rows
  // above until they are reached, so the last covered one is known now.
  std::size_t coveredEnd = pendingRows.size();
  while (coveredEnd > 0 && pendingRows[coveredEnd - 1] == 0) --coveredEnd;
  while (next < source.size() || out.size() < coveredEnd) {
    if (out.size() >= kMaxTableColumns + 1) return false;
    const std::size_t c = out.size();
    if (covered(c) || next >= source.size()) {
      if (covered(c)) --pendingRows[c];
      out.push_back(nullptr);
      continue;
    }
    std::unique_ptr<TCellObj> cell = std::move(source[next++]);
    if (!cell) {
      out.push_back(nullptr);
      continue;
    }
    cell->RowSpan = std::min(cell->RowSpan, rowsLeft);
    const int span = cell->ColSpan;
    const int rowSpan = cell->RowSpan;
    out.push_back(std::move(cell));
    for (int i = 0; i < span; ++i) {
      const std::size_t column = c + static_cast<std::size_t>(i);
      if (i > 0) {
        if (covered(column) || out.size() > kMaxTableColumns) return false;  // spans collide: the grid only grows
        out.push_back(nullptr);
      }
      if (pendingRows.size() <= column) pendingRows.resize(column + 1, 0);
      pendingRows[column] = std::max(pendingRows[column], rowSpan - 1);
    }
  }
  return out.size() <= kMaxTableColumns;
}

void ThtmlTable::Initialize() {
  if (Initialized) return;
  Initialized = true;
  GiveCellsDefaults();
  std::vector<int> pendingRows;
  for (std::size_t r = 0; r < Rows.size(); ++r)
    if (!ExpandRow(r, pendingRows)) {
      tooManyColumns_ = true;
      return;
    }
  NumCols = 0;
  for (const auto& row : Rows) NumCols = std::max(NumCols, static_cast<int>(row->Cells.size()));
  IndexCells();
}

void ThtmlTable::IndexCells() {
  byColSpan_.clear();
  HasFixedCellWidth = false;
  for (std::size_t r = 0; r < Rows.size(); ++r)
    for (std::size_t c = 0; c < Rows[r]->Cells.size(); ++c)
      if (TCellObj* cell = Rows[r]->Cells[c].get()) {
        cell->ColSpan = std::min(cell->ColSpan, NumCols - static_cast<int>(c));
        byColSpan_.push_back({cell, static_cast<int>(r), static_cast<int>(c)});
        HasFixedCellWidth = HasFixedCellWidth || (cell->SpecWd > 0 && !cell->SpecWdAsPercent);
      }
  byRowSpan_ = byColSpan_;
  std::stable_sort(byColSpan_.begin(), byColSpan_.end(),
                   [](const TGridCell& a, const TGridCell& b) { return a.Cell->ColSpan < b.Cell->ColSpan; });
  std::stable_sort(byRowSpan_.begin(), byRowSpan_.end(),
                   [](const TGridCell& a, const TGridCell& b) { return a.Cell->RowSpan < b.Cell->RowSpan; });
}

void ThtmlTable::MinMaxWidth(TCanvas& canvas, int& min, int& max) {
  Initialize();
  min = max = 0;
  if (tooManyColumns_) return;
  std::vector<int> mins, maxs;
  std::int64_t minTotal = 0, maxTotal = 0;
  if (!HasFixedCellWidth || Width > 0) {
    GetMinMaxWidths(canvas, minTotal, AsPercent ? 0 : Width, mins, maxs, maxTotal);
    // The box around gives the table no more than its maximum: percentage
    // columns need room for their share.
    const std::int64_t pctSum = std::accumulate(Percents.begin(), Percents.end(), std::int64_t{0});
    std::int64_t noPctMax = 0;
    if (Width <= 0 && pctSum > 0 && pctSum <= 1000)
      maxTotal = std::max(maxTotal, std::min<std::int64_t>(PercentTableWidth(maxs, pctSum, noPctMax), MaxLength));
  } else
    GetMinMaxAbs(canvas, minTotal, mins, maxs, maxTotal);
  minTotal += CellSpacing;
  maxTotal += CellSpacing;
  if (Width > 0 && !AsPercent) {
    minTotal = std::max<std::int64_t>(minTotal, Width);
    maxTotal = std::max<std::int64_t>(maxTotal, Width);
  }
  int captionMin = 0, captionMax = 0;
  CaptionCell->Cell->GetMinMaxWidth(canvas, captionMin, captionMax);
  CaptionMinWidth = captionMin;
  min = ClampCoordinate(std::max<std::int64_t>(minTotal, captionMin));
  max = ClampCoordinate(std::max<std::int64_t>(maxTotal, captionMin));
}

void ThtmlTable::GetMinMaxAbs(TCanvas& canvas, std::int64_t& minTotal, std::vector<int>& mins,
                              std::vector<int>& maxs, std::int64_t& maxTotal) {
  ColumnPass(canvas, 0, false, mins, maxs);
  minTotal = std::accumulate(mins.begin(), mins.end(), std::int64_t{0});
  maxTotal = std::accumulate(maxs.begin(), maxs.end(), std::int64_t{0});
}

void ThtmlTable::GetMinMaxWidths(TCanvas& canvas, std::int64_t& minTotal, int theWidth, std::vector<int>& mins,
                                 std::vector<int>& maxs, std::int64_t& maxTotal) {
  ColumnPass(canvas, theWidth, true, mins, maxs);
  minTotal = std::accumulate(mins.begin(), mins.end(), std::int64_t{0});
  maxTotal = std::accumulate(maxs.begin(), maxs.end(), std::int64_t{0});
}

void ThtmlTable::ColumnPass(TCanvas& canvas, int theWidth, bool withPercents, std::vector<int>& mins,
                            std::vector<int>& maxs) {
  const auto columns = static_cast<std::size_t>(NumCols);
  mins.assign(columns, 0);
  maxs.assign(columns, 0);
  Percents.assign(columns, 0);
  for (const TGridCell& grid : byColSpan_) CellSpanWidths(canvas, grid, theWidth, withPercents, mins, maxs);
}

void ThtmlTable::CellSpanWidths(TCanvas& canvas, const TGridCell& grid, int theWidth, bool withPercents,
                                std::vector<int>& mins, std::vector<int>& maxs) {
  TCellObj& cell = *grid.Cell;
  const int c = grid.Col, span = cell.ColSpan;
  int cellMin = 0, cellMax = 0;
  cell.Cell->GetMinMaxWidth(canvas, cellMin, cellMax);
  const std::int64_t spaces = std::int64_t{CellSpacing} + cell.HzSpace;
  int min = ClampCoordinate(cellMin + spaces), max = ClampCoordinate(cellMax + spaces);
  const bool pixelWidth = cell.SpecWd > 0 && !cell.SpecWdAsPercent;
  int percent = 0;
  if (withPercents) {
    if (cell.SpecWdAsPercent) percent = cell.SpecWd;
    else if (pixelWidth && theWidth > 0) percent = std::min(1000, MulDiv(cell.SpecWd, 1000, theWidth));
  }
  const auto col = static_cast<std::size_t>(c);
  if (span == 1) {
    if (pixelWidth) max = std::max({max, ClampCoordinate(cell.SpecWd + spaces), min});
    mins[col] = std::max(mins[col], min);
    maxs[col] = std::max(maxs[col], max);
    if (withPercents) Percents[col] = std::max(Percents[col], percent);
    return;
  }
  if (pixelWidth) {
    min = std::max(min, cell.SpecWd);
    max = std::max(max, cell.SpecWd);
  }
  const TColumnSpan columns{c, span};
  if (!withPercents) {
    GrowToAtLeast(mins, columns, min, mins, TZeroSum::ToFirst);
    GrowToAtLeast(maxs, columns, max, maxs, TZeroSum::ToFirst);
    return;
  }
  const std::int64_t pctSum = SumPositive(Percents, columns);
  const int unset = CountZero(Percents, columns);
  if (percent < 1 && pctSum < 1) {
    GrowToAtLeast(maxs, columns, max, maxs, TZeroSum::Equal);
    GrowToAtLeast(mins, columns, min, mins, TZeroSum::Equal);
    return;
  }
  if (unset == 0 && percent > pctSum) {
    ScaleTo(Percents, columns, percent);
  } else if (unset > 0 && (percent - pctSum) / unset > 0) {
    const int share = static_cast<int>((percent - pctSum) / unset);
    for (int i = c; i < c + span; ++i)
      if (Percents[static_cast<std::size_t>(i)] == 0) Percents[static_cast<std::size_t>(i)] = share;
  }
  if (unset == 0) {
    GrowToAtLeast(maxs, columns, max, Percents, TZeroSum::Equal);
    GrowToAtLeast(mins, columns, min, Percents, TZeroSum::Equal);
  } else {
    GrowToAtLeast(maxs, columns, max, mins, TZeroSum::Equal);
    GrowUnsetToAtLeast(mins, columns, min, Percents);
  }
}

int ThtmlTable::DrawLogic(TCanvas& canvas, int x, int y, int, int, int, int aHeight, IndentManager& iMgr,
                          int& maxWidth, int& curs) {
  TTableLayoutScope scope(ParentSectionList);
  YValue = DrawTop = ContentTop = y;
  StartCurs = curs;
  layoutX_ = x;
  const int available = SumCoordinates(iMgr.RightSide(y), -static_cast<std::int64_t>(iMgr.LeftIndent(y)));
  int newWidth = available;
  if (Width > 0) newWidth = AsPercent ? MulDiv(available, Width, 1000) : std::min(Width, MaxLength);
  newWidth = std::max(newWidth - CellSpacing, 20);
  Initialize();
  if (tooManyColumns_) throw EProcessError("Table has too many Columns");
  FindColumnWidths(canvas, newWidth);
  colStarts_.assign(1, 0);
  for (int width : Widths) colStarts_.push_back(SumCoordinates(colStarts_.back(), width));
  TableWidth = SumCoordinates(CellSpacing, colStarts_.back());
  int captionMax = 0;
  CaptionCell->Cell->GetMinMaxWidth(canvas, CaptionMinWidth, captionMax);
  CaptionWidth = std::max(CaptionMinWidth, TableWidth);
  SectionHeight = 0;
  CaptionHeight = 0;
  if (TopCaption) CaptionHeight = SectionHeight = LayOutCaption(canvas, y, aHeight, curs);
  const bool final = measuringDepth == 0;
  const int rowsTop = SumCoordinates(y, SectionHeight);
  RowHeights(canvas, aHeight, final ? std::optional<int>(rowsTop) : std::nullopt, curs);
  PlaceCells(canvas, rowsTop, aHeight, curs, final);
  BodyHeight = CellSpacing;
  for (const auto& row : Rows) BodyHeight = SumCoordinates(BodyHeight, row->RowHeight);
  SectionHeight = SumCoordinates(SectionHeight, BodyHeight);
  if (!TopCaption) {
    CaptionHeight = LayOutCaption(canvas, SumCoordinates(y, SectionHeight), aHeight, curs);
    SectionHeight = SumCoordinates(SectionHeight, CaptionHeight);
  }
  Indent = CaptionWidth > TableWidth ? (CaptionWidth - TableWidth) / 2 : 0;
  Len = curs - StartCurs;
  maxWidth = CaptionWidth;
  DrawHeight = SectionHeight;
  ContentBot = DrawBot = SumCoordinates(y, SectionHeight);
  scope.Answer(ContentBot);
  return SectionHeight;
}

int ThtmlTable::LayOutCaption(TCanvas& canvas, int y, int aHeight, int& curs) {
  if (CaptionCell->Cell->Empty()) return 0;
  CaptionCell->Wd = CaptionWidth;
  CaptionCell->Ht = CaptionCell->LayOut(canvas, y, CaptionWidth, aHeight, curs, true);
  CaptionCell->Y = y;
  return CaptionCell->Ht;
}

int ThtmlTable::CellWidth(const TGridCell& grid) const { return SumRange(Widths, grid.Col, grid.Cell->ColSpan); }

void ThtmlTable::RowHeights(TCanvas& canvas, int aHeight, std::optional<int> rowsTop, int curs) {
  for (const auto& row : Rows) row->RowHeight = 0;
  // Cells come row by row until the first that spans rows. While each is
  // top-aligned, the rows above it have their heights and the cursor runs
  // as placing will run it, so the cell is measured where it will be
  // placed, and placing it again finds the layout made. A print copy
  // measures apart: its page breaks answer to the page bottom of the moment.
  bool inPlace = rowsTop.has_value() && !(ParentSectionList && ParentSectionList->IsCopy);
  int rowTop = rowsTop.value_or(0);
  std::size_t rowsAbove = 0;
  for (const TGridCell& grid : byRowSpan_) {
    TCellObj& cell = *grid.Cell;
    cell.Wd = CellWidth(grid);
    const int width = std::max(0, cell.Wd - cell.HzSpace - CellSpacing);
    inPlace = inPlace && cell.RowSpan == 1 && cell.VAlign == 1;
    if (inPlace) {
      for (; rowsAbove < static_cast<std::size_t>(grid.Row); ++rowsAbove)
        rowTop = SumCoordinates(rowTop, Rows[rowsAbove]->RowHeight);
      cell.YIndent = 0;
      cell.VSize = cell.LayOut(canvas, SumCoordinates(rowTop, cell.ContentY(CellSpacing)), width, aHeight, curs, true);
    } else {
      TMeasuring measuring;
      int scratchCurs = StartCurs;
      cell.VSize = cell.LayOut(canvas, YValue, width, aHeight, scratchCurs, false);
    }
    const int needed = SumCoordinates(std::max(SumCoordinates(cell.VSize, cell.VSpace), cell.SpecHt), CellSpacing);
    const auto first = static_cast<std::size_t>(grid.Row);
    if (cell.RowSpan == 1) {
      Rows[first]->RowHeight = std::max(Rows[first]->RowHeight, needed);
      continue;
    }
    std::int64_t have = 0;
    for (int i = 0; i < cell.RowSpan; ++i) have += Rows[first + static_cast<std::size_t>(i)]->RowHeight;
    if (needed > have) SpreadOverRows(grid.Row, cell.RowSpan, needed - have);
  }
  std::int64_t total = 0;
  for (const auto& row : Rows) total += row->RowHeight;
  const std::int64_t extra = std::int64_t{std::min(Height, MaxLength)} - total - CellSpacing;
  if (extra > 0 && !Rows.empty()) SpreadOverRows(0, static_cast<int>(Rows.size()), extra);
}

// Adds `extra` evenly to rows first..first+count-1, the last taking the rest.
void ThtmlTable::SpreadOverRows(int first, int count, std::int64_t extra) {
  const std::int64_t each = extra / count;
  for (int i = 0; i < count; ++i) {
    TCellList& row = *Rows[static_cast<std::size_t>(first + i)];
    const std::int64_t add = i + 1 < count ? each : extra - each * (count - 1);
    row.RowHeight = SumCoordinates(row.RowHeight, add);
  }
}

void ThtmlTable::PlaceCells(TCanvas& canvas, int y, int aHeight, int& curs, bool final) {
  int rowY = y;
  for (std::size_t r = 0; r < Rows.size(); ++r) {
    TCellList& row = *Rows[r];
    row.Y = rowY;
    row.SpannedHeight = row.RowHeight;
    for (std::size_t c = 0; c < row.Cells.size(); ++c) {
      TCellObj* cell = row.Cells[c].get();
      if (!cell) continue;
      std::int64_t height = 0;
      for (int i = 0; i < cell->RowSpan; ++i) height += Rows[r + static_cast<std::size_t>(i)]->RowHeight;
      cell->Ht = ClampCoordinate(height);
      cell->Y = rowY;
      row.SpannedHeight = std::max(row.SpannedHeight, cell->Ht);
      const int room = std::max(0, cell->Ht - cell->VSize - (cell->VSpace + CellSpacing));
      cell->YIndent = cell->VAlign == 1 ? 0 : cell->VAlign >= 3 ? room : room / 2;
      if (!final) continue;
      cell->LayOut(canvas, SumCoordinates(rowY, cell->ContentY(CellSpacing)),
                   std::max(0, cell->Wd - cell->HzSpace - CellSpacing), aHeight, curs, true);
      if (cell->Background && ParentSectionList && ParentSectionList->ShowImages)
        cell->Background->Fetch(*ParentSectionList);
    }
    rowY = SumCoordinates(rowY, row.RowHeight);
  }
}

void ThtmlTable::FindColumnWidths(TCanvas& canvas, int newWidth) {
  std::vector<int> mins, maxs;
  std::int64_t minTotal = 0, maxTotal = 0;
  if (HasFixedCellWidth && Width <= 0) {
    GetMinMaxAbs(canvas, minTotal, mins, maxs, maxTotal);
    if (minTotal >= newWidth) Widths = mins;
    else if (maxTotal <= newWidth) Widths = maxs;
    else Widths = Interpolate(mins, maxs, minTotal, maxTotal, newWidth);
    return;
  }
  GetMinMaxWidths(canvas, minTotal, newWidth, mins, maxs, maxTotal);
  if (minTotal >= newWidth) {
    Widths = mins;
    return;
  }
  if (Width > 0) {
    DistributePercentages(newWidth, mins, maxs);
    return;
  }
  const std::int64_t pctSum = std::accumulate(Percents.begin(), Percents.end(), std::int64_t{0});
  if (pctSum > 0 && FitPercentColumns(newWidth, pctSum, mins, maxs, minTotal, maxTotal)) return;
  if (maxTotal > newWidth && maxTotal != minTotal) Widths = Interpolate(mins, maxs, minTotal, maxTotal, newWidth);
  else Widths = maxs;
}

// The narrowest width that gives each percentage column its maximum as its
// share and the other columns their maxima in what is left.
std::int64_t ThtmlTable::PercentTableWidth(const std::vector<int>& maxs, std::int64_t pctSum,
                                           std::int64_t& noPctMax) const {
  std::int64_t pctNeed = 0;
  noPctMax = 0;
  for (std::size_t c = 0; c < maxs.size(); ++c) {
    if (Percents[c] > 0) pctNeed = std::max<std::int64_t>(pctNeed, MulDiv(maxs[c], 1000, Percents[c]));
    else noPctMax += maxs[c];
  }
  const std::int64_t rest = pctSum < 1000 ? MulDiv(noPctMax, 1000, 1000 - pctSum) : noPctMax < 1 ? 0 : 30000;
  return std::max(pctNeed, rest);
}

// Without a table width: the narrowest width that gives the percentage
// columns their share and every column its maximum; when that is too wide,
// percentages that cannot be met are dropped or scaled down and the
// percentage columns fixed at their pixel widths. True when Widths is set.
bool ThtmlTable::FitPercentColumns(int newWidth, std::int64_t pctSum, std::vector<int>& mins,
                                   std::vector<int>& maxs, std::int64_t& minTotal, std::int64_t& maxTotal) {
  const auto columns = static_cast<std::size_t>(NumCols);
  if (pctSum <= 1000) {
    std::int64_t noPctMax = 0;
    const std::int64_t width = PercentTableWidth(maxs, pctSum, noPctMax);
    if (width <= newWidth) {
      const int others = MulDiv(width, 1000 - pctSum, 1000);
      Widths.assign(columns, 0);
      for (std::size_t c = 0; c < columns; ++c)
        Widths[c] = Percents[c] > 0 ? MulDiv(width, Percents[c], 1000)
                    : noPctMax < 1  ? 0
                                    : MulDiv(others, maxs[c], noPctMax);
      return true;
    }
  }
  // Each pass drops a percentage or shrinks the room, which is bounded; the
  // cap only guards against a pass that changes nothing.
  std::int64_t previousRoom = std::numeric_limits<std::int64_t>::max();
  for (int pass = 0; pass < 4 * kMaxTableColumns; ++pass) {
    bool anyPercent = false;
    std::int64_t otherMins = 0, pixelSum = 0;
    for (std::size_t c = 0; c < columns; ++c) {
      if (Percents[c] > 0 && MulDiv(newWidth, Percents[c], 1000) < mins[c]) Percents[c] = 0;
      if (Percents[c] > 0) {
        anyPercent = true;
        pixelSum += MulDiv(newWidth, Percents[c], 1000);
      } else {
        otherMins += mins[c];
      }
    }
    if (!anyPercent) return false;
    if (pixelSum + otherMins > newWidth) {
      std::int64_t room = std::min(newWidth - otherMins, previousRoom - 1);
      if (pixelSum < 1 || room < 1) return false;
      for (int& percent : Percents) percent = MulDiv(percent, room, pixelSum);
      previousRoom = room;
      continue;
    }
    for (std::size_t c = 0; c < columns; ++c)
      if (Percents[c] > 0) mins[c] = maxs[c] = MulDiv(newWidth, Percents[c], 1000);
    minTotal = std::accumulate(mins.begin(), mins.end(), std::int64_t{0});
    maxTotal = std::accumulate(maxs.begin(), maxs.end(), std::int64_t{0});
    return false;
  }
  return false;
}

// With a table width: percentage columns take their share of `total`, the
// others their minimum, and what is over or left is evened out.
void ThtmlTable::DistributePercentages(int total, const std::vector<int>& mins, const std::vector<int>& maxs) {
  const auto columns = static_cast<std::size_t>(NumCols);
  Widths.assign(columns, 0);
  std::vector<bool> fixed(columns, false);
  std::int64_t remainingPct = 0;
  for (std::size_t c = 0; c < columns; ++c) {
    if (Percents[c] > 0) {
      Widths[c] = MulDiv(total, Percents[c], 1000);
      if (Widths[c] < mins[c]) {
        Widths[c] = mins[c];
        fixed[c] = true;
      } else {
        remainingPct += Percents[c];
      }
    } else {
      Widths[c] = mins[c];
    }
  }
  auto isOpenPercent = [&](std::size_t c) { return Percents[c] > 0 && !fixed[c]; };
  std::int64_t excess = std::accumulate(Widths.begin(), Widths.end(), std::int64_t{0}) - total;
  if (excess > 0) {
    for (int pass = 0; pass < 4; ++pass) {
      bool newlyFixed = false;
      for (std::size_t c = 0; c < columns; ++c) {
        if (!isOpenPercent(c) || remainingPct < 1) continue;
        if (Widths[c] - MulDiv(excess, Percents[c], remainingPct) >= mins[c]) continue;
        excess -= Widths[c] - mins[c];
        remainingPct -= Percents[c];
        Widths[c] = mins[c];
        fixed[c] = newlyFixed = true;
      }
      if (!newlyFixed) break;
    }
    if (remainingPct > 0) {
      const std::int64_t shrink = excess;
      for (std::size_t c = 0; c < columns; ++c)
        if (isOpenPercent(c)) Widths[c] -= MulDiv(shrink, Percents[c], remainingPct);
    }
  } else if (excess < 0) {
    const std::int64_t room = -excess;
    std::int64_t flexible = 0;
    int plainColumns = 0;
    for (std::size_t c = 0; c < columns; ++c)
      if (Percents[c] <= 0) {
        ++plainColumns;
        flexible += maxs[c] - mins[c];
      }
    for (std::size_t c = 0; c < columns; ++c) {
      if (plainColumns == 0) {
        if (isOpenPercent(c) && remainingPct > 0) Widths[c] += MulDiv(room, Percents[c], remainingPct);
      } else if (Percents[c] <= 0) {
        Widths[c] += room / 2 <= flexible && flexible > 0 ? MulDiv(room, maxs[c] - mins[c], flexible)
                                                          : static_cast<int>(room / plainColumns);
      }
    }
  }
  const std::int64_t sum = std::accumulate(Widths.begin(), Widths.end(), std::int64_t{0});
  if (columns == 0 || sum == total) return;
  if (sum < total) {
    Widths[0] += static_cast<int>(total - sum);
    return;
  }
  for (std::size_t c = 0; c < columns; ++c)
    if (!fixed[c]) {
      Widths[c] = std::max(0, static_cast<int>(Widths[c] - (sum - total)));
      return;
    }
}

}  // namespace lark
