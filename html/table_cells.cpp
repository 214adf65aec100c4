#include "html/table_cells.h"

#include <algorithm>

#include "html/attribute_list.h"
#include "html/colors.h"
#include "html/document_coordinates.h"
#include "html/document_utils.h"
#include "html/properties.h"
#include "html/section_list.h"

namespace lark {

namespace {

int ClampLength(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, 0, MaxLength)); }

// A length property in pixels (percentages: tenths of a percent); false when
// not given or unreadable.
bool LengthProperty(const TProperties& props, int index, int& value, bool* asPercent) {
  if (!props.IsSet(index)) return false;
  const TPropValue& prop = props.Props(index);
  if (const int* number = AsInt(prop)) {
    if (*number == AutoValue || *number == NullValue) return false;
    value = ClampLength(*number);
    if (asPercent) *asPercent = false;
    return true;
  }
  const std::string* text = AsText(prop);
  if (!text || text->empty()) return false;
  if (asPercent && text->back() == '%') {
    const int percent = LengthConv(*text, false, 1000, 0, props.EmSize(), props.ExSize());
    if (percent < 1) return false;
    value = std::min(percent, 1000);
    *asPercent = true;
    return true;
  }
  value = ClampLength(LengthConv(*text, false, 0, 0, props.EmSize(), props.ExSize()));
  if (asPercent) *asPercent = false;
  return true;
}

}  // namespace

void ReadWidthAttribute(int value, const std::string& text, int& width, bool& asPercent) {
  asPercent = text.find('%') != std::string::npos;
  width = asPercent ? std::clamp(value, 1, 100) * 10 : ClampLength(value);
}

TCellObj::TCellObj(TSectionList* masterList, TProperties* props, TAttributeList* attributes, int vAlign,
                   TCellBasic* ownerCell)
    : VAlign(vAlign), Cell(std::make_unique<TCell>(masterList)) {
  Cell->NestIn(ownerCell, kTableNestingLevels);
  if (attributes) ReadAttributes(*attributes);
  if (props) ReadProperties(*props);
}

void TCellObj::ReadAttributes(const TAttributeList& attributes) {
  for (const auto& attribute : attributes) {
    switch (attribute->Which) {
      case ColSpanSy: ColSpan = std::max(1, attribute->Value); break;
      case RowSpanSy: RowSpan = std::max(1, attribute->Value); break;
      case WidthSy: ReadWidthAttribute(attribute->Value, attribute->Name, SpecWd, SpecWdAsPercent); break;
      case HeightSy: SpecHt = ClampLength(attribute->Value); break;
      case IDSy: ID = attribute->Name; break;
      case BGColorSy: ColorFromString(attribute->Name, false, BgColor); break;
      case BackgroundSy:
        if (!attribute->Name.empty())
          Background = std::make_unique<TBlockBackground>(attribute->Name, PositionRec{}, PositionRec{});
        break;
      default: break;
    }
  }
}

void TCellObj::ReadProperties(const TProperties& props) {
  LengthProperty(props, css::Width, SpecWd, &SpecWdAsPercent);
  LengthProperty(props, css::Height, SpecHt, nullptr);
  for (int side = 0; side < 4; ++side) {
    LengthProperty(props, css::PaddingTop + side, Padding[static_cast<std::size_t>(side)], nullptr);
    if (props.HasBorderStyle())
      LengthProperty(props, css::BorderTopWidth + side, Border[static_cast<std::size_t>(side)], nullptr);
  }
  if (const TColor border = props.GetColor(); border != NoColor) BorderColor = border;
  if (props.IsSet(css::BorderColor))
    if (const int* color = AsInt(props.Props(css::BorderColor))) BorderColor = *color;
  if (const TColor color = props.GetBackgroundColor(); color != NoColor) BgColor = color;
  std::string image;
  if (props.GetBackgroundImage(image) && !image.empty()) {
    PositionRec x, y;
    props.GetBackgroundPos(props.EmSize(), props.ExSize(), x, y);
    Background = std::make_unique<TBlockBackground>(image, x, y);
  }
  BreakBefore = props.GetPageBreakBefore();
  BreakAfter = props.GetPageBreakAfter();
  AvoidBreakInside = props.GetPageBreakInside();
}

TCellObj::TCellObj(TSectionList* masterList, const TCellObj& source, bool withColors)
    : ColSpan(source.ColSpan),
      RowSpan(source.RowSpan),
      Wd(source.Wd),
      Ht(source.Ht),
      VSize(source.VSize),
      SpecHt(source.SpecHt),
      YIndent(source.YIndent),
      VAlign(source.VAlign),
      SpecWd(source.SpecWd),
      SpecWdAsPercent(source.SpecWdAsPercent),
      Padding(source.Padding),
      Border(source.Border),
      BorderColor(source.BorderColor),
      HzSpace(source.HzSpace),
      VSpace(source.VSpace),
      BreakBefore(source.BreakBefore),
      BreakAfter(source.BreakAfter),
      AvoidBreakInside(source.AvoidBreakInside),
      BgColor(withColors ? source.BgColor : clNone),
      Background(withColors && source.Background ? std::make_unique<TBlockBackground>(*source.Background)
                                                 : nullptr),
      Cell(std::make_unique<TCell>(masterList, *source.Cell)),
      Y(source.Y),
      ID(source.ID) {
  Cell->Width = source.Cell->Width;
}

int TCellObj::LayOut(TCanvas& canvas, int y, int width, int aHeight, int& curs, bool final) {
  const unsigned pass = Cell->MasterList ? Cell->MasterList->LayoutPass() : 0;
  const bool sameWidth = pass != 0 && pass == measuredPass_ && width == measuredWidth_;
  if (!final && sameWidth) return measuredHeight_;
  if (final && sameWidth && placed_.Pass == pass && placed_.Y == y && placed_.AHeight == aHeight &&
      placed_.CursIn == curs) {
    curs = placed_.CursOut;
    return measuredHeight_;
  }
  const int cursIn = curs;
  int scrollWidth = 0;
  const int height = Cell->DoLogic(canvas, y, width, aHeight, scrollWidth, curs);
  measuredPass_ = pass;
  measuredWidth_ = width;
  measuredHeight_ = height;
  placed_ = final ? TPlacement{pass, y, aHeight, cursIn, curs} : TPlacement{};
  return height;
}

void TCellObj::Draw(TCanvas& canvas, const TRect& aRect, int x, int y, int cellSpacing, bool tableBorder,
                    TColor light, TColor dark, bool customEdge) {
  TSectionList& list = *Cell->MasterList;
  const TRect box = Rect(SumCoordinates(x, cellSpacing), SumCoordinates(y, cellSpacing), SumCoordinates(x, Wd),
                         SumCoordinates(y, Ht));
  const bool paintBackground = !list.IsCopy || list.PrintTableBackground;
  if (paintBackground && BgColor != clNone) {
    canvas.Brush().Color = BgColor;
    canvas.Brush().Style = bsSolid;
    canvas.FillRect(box);
  }
  if (paintBackground && Background && Background->HasPicture()) {
    const TRect padding = Rect(box.Left + Border[3], box.Top + Border[0], box.Right - Border[1],
                               box.Bottom - Border[2]);
    Background->Draw(canvas, padding, aRect, list.IsCopy, BgColor == clNone);
  }
  const int contentX = SumCoordinates(x, cellSpacing, ContentX());
  Cell->Draw(canvas, aRect, Wd - HzSpace - cellSpacing, contentX, SumCoordinates(y, ContentY(cellSpacing)), 0, 0);
  if (HasCssBorder()) {
    canvas.Brush().Color = BorderColor;
    canvas.Brush().Style = bsSolid;
    canvas.FillRect(Rect(box.Left, box.Top, box.Right, box.Top + Border[0]));
    canvas.FillRect(Rect(box.Left, box.Bottom - Border[2], box.Right, box.Bottom));
    canvas.FillRect(Rect(box.Left, box.Top, box.Left + Border[3], box.Bottom));
    canvas.FillRect(Rect(box.Right - Border[1], box.Top, box.Right, box.Bottom));
  } else if (tableBorder && !Cell->Empty()) {
    if (customEdge)
      DrawRaisedBoxColors(canvas, box.Left - 1, box.Top - 1, box.Right, box.Bottom, light, dark, false);
    else
      DrawRaisedBox(list.PageLook(), canvas, box.Left - 1, box.Top - 1, box.Right, box.Bottom, false);
  }
}

TCellList::TCellList(TAttributeList* attributes, TProperties* props) {
  if (attributes)
    for (const auto& attribute : *attributes) {
      if (attribute->Which == BGColorSy) ColorFromString(attribute->Name, false, BgColor);
      else if (attribute->Which == HeightSy) SpecHt = ClampLength(attribute->Value);
      else if (attribute->Which == BackgroundSy) BackgroundName = attribute->Name;
    }
  if (!props) return;
  if (const TColor color = props->GetBackgroundColor(); color != NoColor) BgColor = color;
  std::string image;
  if (props->GetBackgroundImage(image)) {
    BackgroundName = image;
    props->GetBackgroundPos(props->EmSize(), props->ExSize(), BackgroundX, BackgroundY);
  }
  BreakBefore = props->GetPageBreakBefore();
  BreakAfter = props->GetPageBreakAfter();
  AvoidBreakInside = props->GetPageBreakInside();
}

TCellList::TCellList(TSectionList* masterList, const TCellList& source, bool withColors)
    : BgColor(withColors ? source.BgColor : clNone),
      BackgroundName(withColors ? source.BackgroundName : std::string()),
      BackgroundX(source.BackgroundX),
      BackgroundY(source.BackgroundY),
      SpecHt(source.SpecHt),
      BreakBefore(source.BreakBefore),
      BreakAfter(source.BreakAfter),
      AvoidBreakInside(source.AvoidBreakInside),
      RowHeight(source.RowHeight),
      SpannedHeight(source.SpannedHeight),
      Y(source.Y) {
  Cells.reserve(source.Cells.size());
  for (const auto& cell : source.Cells)
    Cells.push_back(cell ? std::make_unique<TCellObj>(masterList, *cell, withColors) : nullptr);
}

void TCellList::Add(std::unique_ptr<TCellObj> cell) {
  if (cell) {
    BreakBefore = BreakBefore || cell->BreakBefore;
    BreakAfter = BreakAfter || cell->BreakAfter;
    AvoidBreakInside = AvoidBreakInside || cell->AvoidBreakInside;
    if (SpecHt > 0) cell->SpecHt = std::max(cell->SpecHt, SpecHt);
  }
  Cells.push_back(std::move(cell));
}

}  // namespace lark
