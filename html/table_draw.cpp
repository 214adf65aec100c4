#include "html/document_coordinates.h"
#include "html/document_utils.h"
#include "html/section_list.h"
#include "html/table.h"

namespace lark {

namespace {

// A cell's content lies this far right of the table's layout X.
int ContentOffset(const TCellObj& cell, int columnLeft, int cellSpacing) {
  return SumCoordinates(columnLeft, cellSpacing, cell.ContentX());
}

}  // namespace

int ThtmlTable::Draw(TCanvas& canvas, const TRect& aRect, IndentManager&, int x, int, int) {
  TSectionList& list = *ParentSectionList;
  const int bottom = SumCoordinates(YValue, SectionHeight);
  if (list.IsCopy) {
    const int pageHeight = aRect.Bottom - aRect.Top;
    const std::int64_t pageTop = std::int64_t{list.PageBottom} - pageHeight;
    if (!list.PageBottomFixed && YValue > pageTop + std::int64_t{pageHeight} * 2 / 3 && YValue < list.PageBottom &&
        bottom > list.PageBottom && SectionHeight < pageHeight) {
      list.PageBottom = YValue;
      return bottom;
    }
    if (YValue >= list.PageBottom) return bottom;
  }
  const int top = SumCoordinates(YValue, -static_cast<std::int64_t>(list.YOff));
  if (SumCoordinates(top, SectionHeight) < aRect.Top || top > aRect.Bottom) return bottom;
  DrawX = SumCoordinates(x, Indent);
  DrawY = top;
  const int bodyTop = TopCaption ? SumCoordinates(top, CaptionHeight) : top;
  if (TopCaption && !CaptionCell->Cell->Empty())
    CaptionCell->Cell->Draw(canvas, aRect, CaptionWidth, x, top, 0, 0);
  if (BorderColor != clNone) FillGaps(canvas, aRect, DrawX, bodyTop);
  for (const auto& row : Rows) {
    if (list.IsCopy && HandleRowBreaks(*row, aRect.Bottom - aRect.Top)) break;
    const int rowTop = SumCoordinates(row->Y, -static_cast<std::int64_t>(list.YOff));
    if (rowTop > aRect.Bottom) break;
    if (SumCoordinates(rowTop, row->SpannedHeight) < aRect.Top) continue;
    for (std::size_t c = 0; c < row->Cells.size(); ++c)
      if (TCellObj* cell = row->Cells[c].get())
        cell->Draw(canvas, aRect, SumCoordinates(DrawX, colStarts_[c]), rowTop, CellSpacing, HasBorder,
                   BorderColorLight, BorderColorDark, CustomEdge());
  }
  if (HasBorder) {
    const TRect edge = Rect(DrawX, bodyTop, SumCoordinates(DrawX, TableWidth), SumCoordinates(bodyTop, BodyHeight));
    if (CustomEdge())
      DrawRaisedBoxColors(canvas, edge.Left, edge.Top, edge.Right - 1, edge.Bottom - 1, BorderColorLight,
                          BorderColorDark, true);
    else
      DrawRaisedBox(list.PageLook(), canvas, edge.Left, edge.Top, edge.Right - 1, edge.Bottom - 1, true);
  }
  if (!TopCaption && !CaptionCell->Cell->Empty())
    CaptionCell->Cell->Draw(canvas, aRect, CaptionWidth, x, SumCoordinates(bodyTop, BodyHeight), 0, 0);
  return bottom;
}

// The gaps between cells in BorderColor: each cell's slot less the cell
// (its spacing strips above and to the left), slots no cell reaches, and
// the strips along the right and bottom; one pass over the rows painted.
void ThtmlTable::FillGaps(TCanvas& canvas, const TRect& clip, int x, int top) {
  const TSectionList& list = *ParentSectionList;
  canvas.Brush().Color = BorderColor;
  canvas.Brush().Style = bsSolid;
  const int right = SumCoordinates(x, TableWidth);
  const int bodyBottom = SumCoordinates(top, BodyHeight);
  for (const auto& row : Rows) {
    const int rowTop = SumCoordinates(row->Y, -static_cast<std::int64_t>(list.YOff));
    if (rowTop > clip.Bottom) break;
    if (SumCoordinates(rowTop, row->SpannedHeight) < clip.Top) continue;
    for (std::size_t c = 0; c < static_cast<std::size_t>(NumCols); ++c) {
      const int left = SumCoordinates(x, colStarts_[c]);
      TCellObj* cell = c < row->Cells.size() ? row->Cells[c].get() : nullptr;
      if (cell) {
        const int cellRight = SumCoordinates(left, cell->Wd);
        const int cellBottom = SumCoordinates(rowTop, cell->Ht);
        canvas.FillRect(Rect(left, rowTop, cellRight, SumCoordinates(rowTop, CellSpacing)));
        canvas.FillRect(Rect(left, SumCoordinates(rowTop, CellSpacing), SumCoordinates(left, CellSpacing), cellBottom));
      } else if (c >= row->Cells.size()) {  // the row ends before the grid does
        canvas.FillRect(Rect(left, rowTop, SumCoordinates(right, -static_cast<std::int64_t>(CellSpacing)),
                             SumCoordinates(rowTop, row->RowHeight)));
        break;
      }
    }
  }
  canvas.FillRect(Rect(SumCoordinates(right, -static_cast<std::int64_t>(CellSpacing)), top, right, bodyBottom));
  canvas.FillRect(Rect(x, SumCoordinates(bodyBottom, -static_cast<std::int64_t>(CellSpacing)), right, bodyBottom));
}

// Page breaks of a row on a print copy; true when the page ends above it.
bool ThtmlTable::HandleRowBreaks(TCellList& row, int pageHeight) {
  TSectionList& list = *ParentSectionList;
  const std::int64_t pageTop = std::int64_t{list.PageBottom} - pageHeight;
  const bool startsOnPage = row.Y > pageTop && row.Y < list.PageBottom;
  const bool cut = startsOnPage && std::int64_t{row.Y} + row.SpannedHeight > list.PageBottom;
  const bool fits = row.SpannedHeight < pageHeight;
  if (!list.PageBottomFixed) {
    if ((row.BreakBefore && startsOnPage) || (row.AvoidBreakInside && cut && fits) ||
        (cut && fits && row.Y > list.PageBottom - std::int64_t{pageHeight} / 3)) {
      list.PageBottom = row.Y;
      return true;
    }
  }
  const int rowBottom = SumCoordinates(row.Y, row.RowHeight);
  if (row.BreakAfter && rowBottom > pageTop && rowBottom < list.PageBottom) {
    list.PageBottom = rowBottom;
    list.PageBottomFixed = true;
  }
  return false;
}

template <typename Visit>
bool ThtmlTable::ForEachCell(Visit visit) {
  const bool hasCaption = !CaptionCell->Cell->Empty();
  if (TopCaption && hasCaption && visit(*CaptionCell, layoutX_)) return true;
  for (const auto& row : Rows)
    for (std::size_t c = 0; c < row->Cells.size(); ++c)
      if (TCellObj* cell = row->Cells[c].get())
        if (visit(*cell, ContentOffset(*cell, SumCoordinates(layoutX_, Indent, colStarts_[c]), CellSpacing)))
          return true;
  return !TopCaption && hasCaption && visit(*CaptionCell, layoutX_);
}

TRect ThtmlTable::BorderBox() const {
  const int left = SumCoordinates(layoutX_, Indent);
  const int top = TopCaption ? SumCoordinates(YValue, CaptionHeight) : YValue;
  return Rect(left, top, SumCoordinates(left, TableWidth), SumCoordinates(top, BodyHeight));
}

TRect ThtmlTable::CellBorderBox(std::size_t row, std::size_t col) const {
  const TCellObj* cell = row < Rows.size() && col < Rows[row]->Cells.size() ? Rows[row]->Cells[col].get() : nullptr;
  if (!cell) return {};
  const int left = SumCoordinates(layoutX_, Indent, colStarts_[col]);
  return Rect(SumCoordinates(left, CellSpacing), SumCoordinates(cell->Y, CellSpacing), SumCoordinates(left, cell->Wd),
              SumCoordinates(cell->Y, cell->Ht));
}

TCellObj* ThtmlTable::CellAt(int x, int y, int& cellX) {
  if (!CaptionCell->Cell->Empty() && y >= CaptionCell->Y && y < SumCoordinates(CaptionCell->Y, CaptionCell->Ht)) {
    cellX = layoutX_;
    return CaptionCell.get();
  }
  for (const auto& row : Rows) {
    if (row->Y > y) break;
    if (SumCoordinates(row->Y, row->SpannedHeight) <= y) continue;
    for (std::size_t c = 0; c < row->Cells.size(); ++c) {
      TCellObj* cell = row->Cells[c].get();
      if (!cell || y >= SumCoordinates(cell->Y, cell->Ht)) continue;
      const int left = SumCoordinates(layoutX_, Indent, colStarts_[c]);
      if (x >= left && x < SumCoordinates(left, cell->Wd)) {
        cellX = ContentOffset(*cell, left, CellSpacing);
        return cell;
      }
    }
  }
  return nullptr;
}

TGuResultType ThtmlTable::GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                                 TFormControlObj*& formControl, std::string& title) {
  int cellX = 0;
  TCellObj* cell = CellAt(x, y, cellX);
  return cell ? cell->Cell->GetURL(canvas, x - cellX, y, urlTarget, formControl, title) : 0;
}

bool ThtmlTable::PtInObject(int x, int y, TObject*& obj, int& ix, int& iy) {
  int cellX = 0;
  TCellObj* cell = CellAt(x, y, cellX);
  return cell && cell->Cell->PtInObject(x - cellX, y, obj, ix, iy);
}

int ThtmlTable::FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText) {
  int cellX = 0;
  TCellObj* cell = CellAt(x, y, cellX);
  if (!cell) return -1;
  const int result = cell->Cell->FindCursor(canvas, x - cellX, y, xr, yr, caretHt, inText);
  if (result >= 0) xr = SumCoordinates(xr, cellX);
  return result;
}

bool ThtmlTable::CursorToXY(TCanvas& canvas, int cursor, int& x, int& y) {
  return ForEachCell([&](TCellObj& cell, int cellX) {
    if (!cell.Cell->CursorToXY(canvas, cursor, x, y)) return false;
    x = SumCoordinates(x, cellX);
    return true;
  });
}

int ThtmlTable::FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd) {
  int result = -1;
  ForEachCell([&](TCellObj& cell, int) {
    return (result = cell.Cell->FindString(from, toFind, matchCase, matchEnd)) >= 0;
  });
  return result;
}

int ThtmlTable::FindSourcePos(int docPos) {
  int result = -1;
  ForEachCell([&](TCellObj& cell, int) { return (result = cell.Cell->FindSourcePos(docPos)) >= 0; });
  return result;
}

int ThtmlTable::FindDocPos(int sourcePos, bool prev) {
  int result = -1;
  ForEachCell([&](TCellObj& cell, int) { return (result = cell.Cell->FindDocPos(sourcePos, prev)) >= 0; });
  return result;
}

bool ThtmlTable::GetChAtPos(int pos, char32_t& ch, TObject*& obj) {
  if (pos < StartCurs || pos > StartCurs + Len) return false;
  return ForEachCell([&](TCellObj& cell, int) { return cell.Cell->GetChAtPos(pos, ch, obj); });
}

void ThtmlTable::CopyToClipboard() {
  ForEachCell([](TCellObj& cell, int) {
    cell.Cell->CopyToClipboard();
    return false;
  });
}

}  // namespace lark
