#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "html/block_background.h"
#include "html/cell.h"
#include "platform/graphics/color.h"

namespace lark {

class TAttributeList;
class TProperties;

// How many nesting levels a table's cells lie below the cell that holds the
// table. A table level takes about twice the stack frames of a block level
// (box, cell, table, cell), so its cells count two levels deeper and the
// nesting limit keeps the same stack budget.
constexpr int kTableNestingLevels = 2;

// One table cell (TD, TH or the caption): its spans, sizes, spaces,
// background, and the TCell of its sections.
class TCellObj {
 public:
  // vAlign: 0 none given (centred), 1 top, 2 middle, 3 and 4 bottom.
  // ownerCell: the cell that holds the table; the cell's content nests below it.
  TCellObj(TSectionList* masterList, TProperties* props, TAttributeList* attributes, int vAlign,
           TCellBasic* ownerCell);
  // A print copy; colours and pictures only when `withColors`.
  TCellObj(TSectionList* masterList, const TCellObj& source, bool withColors);

  // Lays the content out at `width` from `y` and returns its height. A
  // measurement (final == false) at a width already measured in this layout
  // pass reuses that height: a nested table is then laid out once to be
  // measured and once in place, whatever its depth. A layout in place
  // (final == true) with the arguments of the last one made in this pass
  // stands too, its cursor end reused: a cell the table measured where it
  // is placed is laid out once.
  int LayOut(TCanvas& canvas, int y, int width, int aHeight, int& curs, bool final);
  // The cell at x with its top at y (canvas); the table gives its spacing
  // and whether it shows edges.
  void Draw(TCanvas& canvas, const TRect& aRect, int x, int y, int cellSpacing, bool tableBorder,
            TColor light, TColor dark, bool customEdge);
  [[nodiscard]] int ContentX() const { return Padding[3] + Border[3]; }
  [[nodiscard]] int ContentY(int cellSpacing) const { return cellSpacing + Padding[0] + Border[0] + YIndent; }
  [[nodiscard]] bool HasCssBorder() const { return Border[0] || Border[1] || Border[2] || Border[3]; }

  int ColSpan = 1, RowSpan = 1;
  int Wd = 0, Ht = 0, VSize = 0;
  int SpecHt = 0, YIndent = 0, VAlign = 0;
  int SpecWd = 0;              // pixels, or tenths of a percent when SpecWdAsPercent
  bool SpecWdAsPercent = false;
  std::array<int, 4> Padding{-1, -1, -1, -1};  // top, right, bottom, left; -1: the table's
  std::array<int, 4> Border{};                 // CSS border widths, same order
  TColor BorderColor = clBlack;
  int HzSpace = 0, VSpace = 0;
  bool BreakBefore = false, BreakAfter = false, AvoidBreakInside = false;
  TColor BgColor = clNone;
  std::unique_ptr<TBlockBackground> Background;
  std::unique_ptr<TCell> Cell;
  int Y = 0;  // the top of its row at the last layout
  std::string ID;  // the element's ID, for box dumps

 private:
  void ReadAttributes(const TAttributeList& attributes);
  void ReadProperties(const TProperties& props);

  unsigned measuredPass_ = 0;
  int measuredWidth_ = 0, measuredHeight_ = 0;
  // The last layout in place, while the content still holds it.
  struct TPlacement {
    unsigned Pass = 0;
    int Y = 0, AHeight = 0, CursIn = 0, CursOut = 0;
  } placed_;
};

// One table row: its cells in order, nullptr for a slot covered by a span.
class TCellList {
 public:
  TCellList(TAttributeList* attributes, TProperties* props);
  TCellList(TSectionList* masterList, const TCellList& source, bool withColors);
  // Adds a cell (nullptr: a covered slot); its page breaks join the row's and
  // a row HEIGHT raises its SpecHt.
  void Add(std::unique_ptr<TCellObj> cell);

  std::vector<std::unique_ptr<TCellObj>> Cells;
  TColor BgColor = clNone;
  std::string BackgroundName;
  PositionRec BackgroundX, BackgroundY;
  int SpecHt = 0;
  bool BreakBefore = false, BreakAfter = false, AvoidBreakInside = false;
  int RowHeight = 0;
  int SpannedHeight = 0;  // the tallest of the row's cells with their row spans
  int Y = 0;              // top at the last layout
};

// Reads "n%" (tenths of a percent, 1..limit per cent) or pixels (clamped to
// 0..MaxLength) from an attribute.
void ReadWidthAttribute(int value, const std::string& text, int& width, bool& asPercent);

}  // namespace lark
