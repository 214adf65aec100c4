#include "html/panel_object.h"

#include <algorithm>
#include <cmath>

#include "html/attribute_list.h"
#include "html/document_coordinates.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "html/table_math.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/bitmap.h"

namespace lark {

namespace {

// The bitmap the application paints a printed panel into is at most this
// many pixels along a side, and stretched to the panel's place: a panel can
// be a million pixels wide.
constexpr int kMaxPanelPrintSide = 2048;

int ClampLength(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, 0, MaxLength)); }

}  // namespace

ThvPanel::ThvPanel(TWinControl* paintPanel) : TPanel(nullptr) {
  SetBounds(-400, -400, 30, 20);
  SetBevelOuter(TBevelCut::bvNone);
  SetBorderStyle(TBorderStyle::bsSingle);
  SetColor(clWhite);
  SetCtl3D(false);
  SetParentFont(false);
  if (paintPanel) SetParent(paintPanel);
}

TPanelObj::TPanelObj(TSectionList& list, int position, TAttributeList* attributes) : list_(&list) {
  Pos = position;
  HSpaceL = HSpaceR = 3;
  Panel = std::make_unique<ThvPanel>(dynamic_cast<TWinControl*>(list.PPanel));
  if (attributes) ReadAttributes(*attributes);
  if (list.OnPanelCreate) list.OnPanelCreate(list.TheOwner, Name, Type, Source, Panel.get());
  ImageWidth = ClampLength(Panel->Width());
  ImageHeight = ClampLength(Panel->Height());
  PanelColor = Panel->Color();
  list.PanelList.push_back(this);
}

void TPanelObj::ReadAttributes(const TAttributeList& attributes) {
  for (const auto& attribute : attributes) {
    switch (attribute->Which) {
      case AlignSy: ObjAlign = ObjectAlignment(attribute->Name, ObjAlign); break;
      case WidthSy:
        if (attribute->Name.find('%') != std::string::npos) {
          SpecWidth = std::clamp(attribute->Value, 1, 100);
          PercentWidth = true;
        } else {
          Panel->SetWidth(ClampLength(attribute->Value));
        }
        break;
      case HeightSy: Panel->SetHeight(ClampLength(attribute->Value)); break;
      case HSpaceSy: HSpaceL = HSpaceR = std::clamp(attribute->Value, 0, 40); break;
      case VSpaceSy: VSpaceT = VSpaceB = std::clamp(attribute->Value, 0, 40); break;
      case RatioSy: {
        // A factor that is not a finite positive number means none.
        const double factor = std::strtod(attribute->Name.c_str(), nullptr);
        HeightFactor = std::isfinite(factor) && factor > 0 ? factor : 0;
        break;
      }
      case NameSy: Name = attribute->Name; break;
      case TypeSy: Type = attribute->Name; break;
      case SrcSy: Source = attribute->Name; break;
      default: break;
    }
  }
}

TPanelObj::TPanelObj(TSectionList& list, const TPanelObj& source)
    : SourcePanel(source.Panel ? source.Panel.get() : source.SourcePanel),
      Name(source.Name),
      Type(source.Type),
      Source(source.Source),
      HeightFactor(source.HeightFactor),
      PanelColor(source.PanelColor),
      list_(&list) {
  Pos = source.Pos;
  ImageWidth = source.ImageWidth;
  ImageHeight = source.ImageHeight;
  ObjAlign = source.ObjAlign;
  HSpaceL = source.HSpaceL;
  HSpaceR = source.HSpaceR;
  VSpaceT = source.VSpaceT;
  VSpaceB = source.VSpaceB;
  SpecWidth = source.SpecWidth;
  PercentWidth = source.PercentWidth;
  Title = source.Title;
  Alt = source.Alt;
  Indent = source.Indent;
  YValue = source.YValue;
}

TPanelObj::~TPanelObj() {
  if (Panel && list_->OnPanelDestroy) list_->OnPanelDestroy(list_->TheOwner, Panel.get());
  list_->ForgetObject(this);
}

std::unique_ptr<TFloatingObj> TPanelObj::CreateCopy(TSectionList& list) const {
  return std::make_unique<TPanelObj>(list, *this);
}

void TPanelObj::DrawLogic(TSectionList&, TCanvas&, const TFontObj*, int availableWidth) { SetSize(availableWidth); }

void TPanelObj::SetSize(int availableWidth) {
  if (PercentWidth && availableWidth >= 1) {
    ImageWidth = MulDiv(availableWidth, SpecWidth, 100);
    if (Panel) Panel->SetWidth(ImageWidth);
  }
  if (HeightFactor > 0) {
    ImageHeight = ClampLength(std::llround(std::min<double>(ImageWidth * HeightFactor, MaxLength)));
    if (Panel) Panel->SetHeight(ImageHeight);
  }
}

void TPanelObj::Draw(TCanvas& canvas, int x, int topY, int yBaseline, const TFontObj*) {
  DrawXX = x;
  DrawYY = ObjAlign == aTop || Floats() ? SumCoordinates(topY, VSpaceT)
           : ObjAlign == aMiddle        ? SumCoordinates(topY, yBaseline) / 2 - ImageHeight / 2
                                        : SumCoordinates(yBaseline, -static_cast<std::int64_t>(ImageHeight), -VSpaceB);
  const int y = SumCoordinates(DrawYY, -static_cast<std::int64_t>(list_->YOff));
  if (list_->IsCopy) {
    Print(canvas, Rect(x, y, SumCoordinates(x, ImageWidth), SumCoordinates(y, ImageHeight)));
    return;
  }
  if (!Panel) return;
  if (!Panel->FVisible) {
    Panel->Hide();
    return;
  }
  Panel->SetBounds(x, y, ImageWidth, ImageHeight);
  Panel->Show();
  ShowIt = true;
}

void TPanelObj::Print(TCanvas& canvas, const TRect& place) {
  if (SourcePanel && !SourcePanel->FVisible) return;
  if (list_->OnPanelPrint && SourcePanel) {
    TBitmap bitmap(std::clamp(ImageWidth, 1, kMaxPanelPrintSide), std::clamp(ImageHeight, 1, kMaxPanelPrintSide));
    list_->OnPanelPrint(list_->TheOwner, SourcePanel, bitmap);
    canvas.StretchDraw(place, bitmap);
    return;
  }
  canvas.Brush().Color = PanelColor;
  canvas.Brush().Style = bsSolid;
  canvas.Pen().Color = clBlack;
  canvas.Rectangle(place);
  // The object marker in the bottom-right corner.
  const TRect marker = Rect(place.Right - 16, place.Bottom - 16, place.Right - 1, place.Bottom - 1);
  canvas.Brush().Color = clSilver;
  canvas.Rectangle(marker);
  canvas.MoveTo(marker.Left, marker.Top);
  canvas.LineTo(marker.Right - 1, marker.Bottom - 1);
}

void TPanelObj::HideWindow(bool) {
  if (Panel) Panel->Hide();
}

}  // namespace lark
