#include "html/table_box.h"

#include <algorithm>

#include "html/attribute_list.h"
#include "html/colors.h"
#include "html/section_list.h"
#include "html/table.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

// "n%" with n in 1..limit gives n * 10 (tenths of a percent) and true.
bool ReadPercent(const TAttribute& attribute, int limit, int& value) {
  if (attribute.Name.find('%') == std::string::npos) return false;
  if (attribute.Value < 1 || attribute.Value > limit) return false;
  value = attribute.Value * 10;
  return true;
}

bool IsUnset(const TPropValue& value) {
  const int* number = AsInt(value);
  return IsEmpty(value) || (number && *number == NullValue);
}

bool IsAuto(const TPropValue& value) {
  const std::string* text = AsText(value);
  return text && LowerCase(Trim(*text)) == "auto";
}

}  // namespace

TTableBlock::TTableBlock(TSectionList* masterList, TAttributeList* attributes, TProperties& props,
                         TCellBasic* ownerCell, ThtmlTable* table)
    : TBlock(masterList, attributes, props, ownerCell, "table", TMarginCollapse::Later), Table(table) {
  sideMarginsSet_ = !IsUnset(MarginArray()[css::MarginLeft]) || !IsUnset(MarginArray()[css::MarginRight]);
  if (attributes) ReadAttributes(*attributes);
  for (int side : {css::MarginLeft, css::MarginRight})
    if (IsAuto(MarginArray()[static_cast<std::size_t>(side)])) SetMarginValue(side, 0);
  if (Floating != TFloating::None) {
    for (int side : {css::MarginLeft, css::MarginRight})
      if (IsUnset(MarginArray()[static_cast<std::size_t>(side)])) SetMarginValue(side, HSpace);
    for (int side : {css::MarginTop, css::MarginBottom})
      if (IsUnset(MarginArray()[static_cast<std::size_t>(side)])) SetMarginValue(side, VSpace);
  }
  InitMargins();
}

void TTableBlock::ReadAttributes(const TAttributeList& attributes) {
  TColor bgColor = clNone;
  std::string background;
  for (const auto& attribute : attributes) {
    switch (attribute->Which) {
      case AlignSy: {
        const std::string align = UpperCase(attribute->Name);
        if (align == "CENTER") Justify = TJustify::Centre;
        else if (align == "LEFT" && Floating == TFloating::None) Floating = TFloating::Left;
        else if (align == "RIGHT" && Floating == TFloating::None) Floating = TFloating::Right;
        break;
      }
      case WidthSy:
        AsPercent = ReadPercent(*attribute, 100, TableWidth);
        if (!AsPercent) TableWidth = std::clamp(attribute->Value, 0, MaxLength);
        break;
      case HeightSy:
        HeightAsPercent = ReadPercent(*attribute, 110, TableHeight);
        if (!HeightAsPercent) TableHeight = std::clamp(attribute->Value, 0, MaxLength);
        break;
      case BGColorSy: {
        TColor color = clNone;
        if (ColorFromString(attribute->Name, false, color)) bgColor = color;
        break;
      }
      case HSpaceSy: HSpace = std::min(40, std::abs(attribute->Value)); break;
      case VSpaceSy: VSpace = std::min(200, std::abs(attribute->Value)); break;
      case BackgroundSy: background = attribute->Name; break;
      default: break;
    }
  }
  if (!Background && !background.empty()) Background = std::make_unique<TBlockBackground>(background, PositionRec{}, PositionRec{});
  if (Table && BgColor == clNone && !Background) Table->BgColor = bgColor;
  if (ZIndex == 0 && Floating != TFloating::None) ZIndex = 1;
}

TTableBlock::TTableBlock(TSectionList* masterList, const TTableBlock& source)
    : TBlock(masterList, source),
      Table(MyCell->Empty() ? nullptr : dynamic_cast<ThtmlTable*>(MyCell->Items(0))),
      Justify(source.Justify),
      TableWidth(source.TableWidth),
      AsPercent(source.AsPercent),
      TableHeight(source.TableHeight),
      HeightAsPercent(source.HeightAsPercent),
      HSpace(source.HSpace),
      VSpace(source.VSpace),
      sideMarginsSet_(source.sideMarginsSet_) {}

std::unique_ptr<TSectionBase> TTableBlock::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<TTableBlock>(masterList, *this);
}

int TTableBlock::FindWidth(TCanvas& canvas, int aWidth, int, int aHeight) {
  TMarginArray& m = MargArray;
  for (int side : {css::MarginLeft, css::MarginRight})
    if (m[static_cast<std::size_t>(side)] == AutoValue) m[static_cast<std::size_t>(side)] = 0;
  const int bpw = BorderAndPaddingWidth();
  int min = 0, max = 0;
  if (Table) Table->MinMaxWidth(canvas, min, max);
  // Thrown here, not by the table, so that the whole box goes with it.
  if (Table && Table->TooManyColumns()) throw EProcessError("Table has too many Columns");
  int width = 0;
  const bool widthGiven = (m[css::Width] != AutoValue && m[css::Width] > 0) || TableWidth > 0;
  if (m[css::Width] != AutoValue && m[css::Width] > 0) {
    width = m[css::Width];
  } else if (TableWidth == 0) {
    const int room = aWidth - m[css::MarginLeft] - m[css::MarginRight] - bpw;
    width = room >= max ? max : room <= min ? min : room;
  } else {
    width = AsPercent ? static_cast<int>(static_cast<long long>(aWidth) * TableWidth / 1000) : TableWidth;
  }
  width = std::max(width, min);
  if (!sideMarginsSet_ && Floating == TFloating::None) {
    const int spare = std::max(0, aWidth - width - bpw);
    if (Justify == TJustify::Centre) m[css::MarginLeft] = spare / 2;
    if (Justify == TJustify::Right) m[css::MarginLeft] = spare;
  }
  if (Table) {
    // Without a width from the page the table sizes itself within the
    // box: a percentage column then keeps its share and a wider caption
    // centres the table.
    Table->Width = widthGiven ? width : 0;
    Table->AsPercent = false;
    if (TableHeight > 0)
      Table->Height = HeightAsPercent ? static_cast<int>(static_cast<long long>(aHeight) * TableHeight / 1000)
                                      : TableHeight;
  }
  return width;
}

int TTableBlock::DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight,
                           IndentManager& iMgr, int& maxWidth, int& curs) {
  if (Floating != TFloating::None)
    return TBlock::DrawLogic(canvas, x, y, xRef, yRef, aWidth, aHeight, iMgr, maxWidth, curs);
  // A table beside floats takes the room between them.
  const int left = iMgr.LeftIndent(y);
  const int right = iMgr.RightSide(y);
  const int width = std::min(aWidth - (left - x), right - left);
  return TBlock::DrawLogic(canvas, std::max(x, left), y, xRef, yRef, std::max(width, 0), aHeight, iMgr, maxWidth,
                           curs);
}

void TTableBlock::MinMaxWidth(TCanvas& canvas, int& min, int& max) {
  TBlock::MinMaxWidth(canvas, min, max);
  if (TableWidth > 0 && !AsPercent) {
    min = std::max(min, TableWidth);
    max = std::max(max, TableWidth);
  }
}

void TTableBlock::AddSectionsToList() {
  if (Table && ParentSectionList) ParentSectionList->PositionList.push_back(Table);
}

THRBlock::THRBlock(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
                   int align)
    : TBlock(masterList, attributes, props, ownerCell, "hr"), Align(align) {}

THRBlock::THRBlock(TSectionList* masterList, const THRBlock& source) : TBlock(masterList, source), Align(source.Align) {}

std::unique_ptr<TSectionBase> THRBlock::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<THRBlock>(masterList, *this);
}

int THRBlock::FindWidth(TCanvas&, int aWidth, int, int) {
  TMarginArray& m = MargArray;
  for (int side : {css::MarginLeft, css::MarginRight})
    if (m[static_cast<std::size_t>(side)] == AutoValue) m[static_cast<std::size_t>(side)] = 0;
  const int room = std::max(0, aWidth - m[css::MarginLeft] - m[css::MarginRight] - BorderAndPaddingWidth());
  const int width = m[css::Width] == AutoValue || m[css::Width] <= 0 ? room : std::min(m[css::Width], room);
  const int spare = room - width;
  if (Align == 2) m[css::MarginLeft] += spare / 2;
  if (Align == 3) m[css::MarginLeft] += spare;
  return width;
}

}  // namespace lark
