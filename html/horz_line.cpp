#include "html/horz_line.h"

#include <algorithm>

#include "html/attribute_list.h"
#include "html/colors.h"
#include "html/document_coordinates.h"
#include "html/document_utils.h"
#include "html/indent_manager.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "html/text_collector.h"
#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"

namespace lark {

THorzLine::THorzLine(TSectionList* masterList, TProperties* props, TAttributeList* attributes)
    : TSectionBase(masterList) {
  // A colour from the element's style wins over COLOR.
  const bool styledColor = props && props->IsSet(css::Color);
  std::string width;
  if (attributes)
    for (const auto& attribute : *attributes) {
      switch (attribute->Which) {
        case SizeSy:
          if (attribute->Value >= 1 && attribute->Value <= 20) VSize = attribute->Value;
          break;
        case ColorSy:
          if (TColor color = clNone; ColorFromString(attribute->Name, false, color)) {
            Color = color;
            if (props && !styledColor) props->SetProp(css::Color, static_cast<int>(color));
          }
          break;
        case NoShadeSy: NoShade = true; break;
        case AlignSy: {
          const std::string align = LowerCase(attribute->Name);
          if (align == "left") Align = 1;
          else if (align == "right") Align = 3;
          break;
        }
        case WidthSy:
          if (attribute->Name.find('%') != std::string::npos)
            width = std::to_string(std::clamp(attribute->Value, 1, 100)) + "%";
          else if (attribute->Value > 0)
            width = std::to_string(std::min(attribute->Value, MaxLength)) + "px";
          break;
        default: break;
      }
    }
  if (!props) return;
  if (!width.empty()) props->SetProp(css::Width, width);
  props->SetProp(css::Height, VSize);
  if (styledColor)
    if (const TColor color = props->GetColor(); color != NoColor) Color = color;
  if (props->IsSet(css::TextAlign))
    if (const std::string* align = AsText(props->Props(css::TextAlign))) {
      const std::string lower = LowerCase(*align);
      if (lower == "left") Align = 1;
      else if (lower == "center") Align = 2;
      else if (lower == "right") Align = 3;
    }
}

THorzLine::THorzLine(TSectionList* masterList, const THorzLine& source)
    : TSectionBase(masterList, source),
      VSize(source.VSize),
      Color(source.Color),
      Align(source.Align),
      NoShade(source.NoShade),
      HW(source.HW),
      Indent(source.Indent),
      layoutX_(source.layoutX_) {}

std::unique_ptr<TSectionBase> THorzLine::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<THorzLine>(masterList, *this);
}

int THorzLine::DrawLogic(TCanvas&, int x, int y, int, int, int aWidth, int, IndentManager& iMgr, int& maxWidth,
                         int& curs) {
  YValue = DrawTop = ContentTop = y;
  StartCurs = curs;
  Len = 0;
  layoutX_ = x;
  Indent = std::max(x, iMgr.LeftIndent(y));  // beside a left float the rule starts at its edge
  HW = std::max(0, std::min(SumCoordinates(x, aWidth), iMgr.RightSide(y)) - Indent);
  maxWidth = HW;
  SectionHeight = DrawHeight = VSize;
  ContentBot = DrawBot = SumCoordinates(y, VSize);
  return SectionHeight;
}

int THorzLine::Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) {
  const int bottom = TSectionBase::Draw(canvas, aRect, iMgr, x, xRef, yRef);
  const TSectionList& list = *ParentSectionList;
  const int y = SumCoordinates(YValue, -static_cast<std::int64_t>(list.YOff));
  if (y > aRect.Bottom || SumCoordinates(y, VSize) < aRect.Top) return bottom;
  if (list.IsCopy && YValue >= list.PageBottom) return bottom;
  const int x1 = SumCoordinates(x, Indent, -static_cast<std::int64_t>(layoutX_));
  const int x2 = SumCoordinates(x1, HW, -1);
  if (Color != clNone) {
    canvas.Brush().Color = Color;
    canvas.Brush().Style = bsSolid;
    canvas.FillRect(Rect(x1, y, x2 + 1, SumCoordinates(y, VSize)));
  } else {
    DrawEngraved(canvas, x1, x2, y);
  }
  return bottom;
}

void THorzLine::DrawEngraved(TCanvas& canvas, int x1, int x2, int y) {
  const TSectionList& list = *ParentSectionList;
  const bool black = NoShade || (list.IsCopy && IsMonochromeDevice(canvas));
  const bool whitePage = list.IsCopy || list.Background == clWhite || list.Background == clWindow;
  const int lowest = SumCoordinates(y, VSize, -1);
  const TColor oldPen = canvas.Pen().Color;
  canvas.Pen().Color = black ? clBlack : clBtnShadow;
  canvas.MoveTo(x1, lowest);
  canvas.LineTo(x1, y);
  canvas.LineTo(x2, y);
  canvas.Pen().Color = black ? clBlack : whitePage ? TColor{0xC0C0C0} : clBtnHighlight;
  canvas.LineTo(x2, lowest);
  canvas.LineTo(x1, lowest);
  canvas.Pen().Color = oldPen;
}

void THorzLine::CopyToClipboard() {
  if (ParentSectionList && ParentSectionList->ClipBuf) ParentSectionList->ClipBuf->AddText("\r\n", CP_UTF8);
}

}  // namespace lark
