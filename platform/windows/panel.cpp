#include "platform/windows/panel.h"

#include "platform/graphics/gdi.h"
#include "platform/windows/label.h"

namespace lark {
namespace {

int BevelSize(TBevelCut cut, int width) { return cut == TBevelCut::bvNone ? 0 : width; }

void DrawBevel(TCanvas& canvas, TRect& rect, TBevelCut cut, int width) {
  if (cut == TBevelCut::bvNone) return;
  TColor light = cut == TBevelCut::bvLowered ? clBtnShadow : clBtnHighlight;
  TColor dark = cut == TBevelCut::bvLowered ? clBtnHighlight : clBtnShadow;
  for (int i = 0; i < width; ++i) {
    if (cut != TBevelCut::bvSpace) {
      canvas.Brush().Color = light;
      canvas.FillRect(Rect(rect.Left, rect.Top, rect.Right, rect.Top + 1));
      canvas.FillRect(Rect(rect.Left, rect.Top, rect.Left + 1, rect.Bottom));
      canvas.Brush().Color = dark;
      canvas.FillRect(Rect(rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom));
      canvas.FillRect(Rect(rect.Right - 1, rect.Top, rect.Right, rect.Bottom));
    }
    rect = Rect(rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1);
  }
}

}  // namespace

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls | csOpaque;
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  bevel_inner_ = value;
  BordersChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  bevel_outer_ = value;
  BordersChanged();
}

void TCustomPanel::SetBevelWidth(int value) {
  bevel_width_ = value < 1 ? 1 : value;
  BordersChanged();
}

void TCustomPanel::SetBorderWidth(int value) {
  border_width_ = value < 0 ? 0 : value;
  BordersChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  border_style_ = value;
  BordersChanged();
}

void TCustomPanel::SetCtl3D(bool value) {
  ctl3d_ = value;
  BordersChanged();
}

int TCustomPanel::BorderSize() const {
  if (border_style_ == TBorderStyle::bsNone) return 0;
  return ctl3d_ ? 2 : 1;
}

void TCustomPanel::BordersChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& rect) const {
  int inset = BorderSize() + BevelSize(bevel_outer_, bevel_width_) + border_width_ +
              BevelSize(bevel_inner_, bevel_width_);
  rect = Rect(rect.Left + inset, rect.Top + inset, rect.Right - inset, rect.Bottom - inset);
}

void TCustomPanel::Paint() {
  TCanvas& canvas = Canvas();
  TRect r = ClientRect();
  canvas.Brush().Color = Color();
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(r);
  if (BorderSize() == 2) {
    DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  } else if (BorderSize() == 1) {
    canvas.Brush().Color = clWindowFrame;
    canvas.FrameRect(r);
    InflateRect(r, -1, -1);
    canvas.Brush().Color = Color();
  }
  DrawBevel(canvas, r, bevel_outer_, bevel_width_);
  r = Rect(r.Left + border_width_, r.Top + border_width_, r.Right - border_width_, r.Bottom - border_width_);
  DrawBevel(canvas, r, bevel_inner_, bevel_width_);
  if (!Caption().empty()) {
    canvas.Brush().Style = bsClear;
    canvas.SetFont(Font());
    unsigned align = Alignment == TAlignment::taCenter ? DT_CENTER : Alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawText(canvas, Caption(), r, align | DT_VCENTER | DT_SINGLELINE);
  }
  TCustomControl::Paint();
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  TabStop = false;
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::AdjustClientRect(TRect& rect) const {
  // Room for the frame and the caption across its top line.
  rect = Rect(rect.Left + 2, rect.Top + 16, rect.Right - 2, rect.Bottom - 2);
}

void TGroupBox::Paint() {
  TCanvas& canvas = Canvas();
  TRect r = ClientRect();
  canvas.Brush().Color = Color();
  canvas.FillRect(r);
  TRect frame = Rect(r.Left, r.Top + 7, r.Right, r.Bottom);
  DrawEdge(canvas, frame, EDGE_ETCHED, BF_RECT);
  if (!Caption().empty()) {
    canvas.SetFont(Font());
    canvas.Brush().Color = Color();
    canvas.TextOut(8, 0, " " + LabelText(Caption()) + " ");
  }
}

}  // namespace lark
