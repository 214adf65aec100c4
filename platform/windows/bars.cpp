#include "platform/windows/bars.h"

#include <algorithm>

#include "platform/graphics/gdi.h"

namespace lark {

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 200, 19);
  SetAlign(TAlign::alBottom);
}

void TStatusBar::SetSimpleText(const std::string& text) {
  simple_text_ = text;
  Invalidate();
}

TRect TStatusBar::PanelRect(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += panels_.at(static_cast<size_t>(i)).Width;
  bool last = index == static_cast<int>(panels_.size()) - 1;
  int right = last ? ClientWidth() : left + panels_.at(static_cast<size_t>(index)).Width;
  return Rect(left, 0, std::max(left, right), ClientHeight());
}

void TStatusBar::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().Color = Color();
  canvas.FillRect(ClientRect());
  canvas.SetFont(Font());
  canvas.Brush().Style = bsClear;
  if (SimplePanel) {
    TRect r = ClientRect();
    DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    DrawText(canvas, simple_text_, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  for (int i = 0; i < static_cast<int>(panels_.size()); ++i) {
    TRect r = PanelRect(i);
    DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    const TStatusPanel& panel = panels_[static_cast<size_t>(i)];
    unsigned align = panel.Alignment == TAlignment::taCenter ? DT_CENTER
                     : panel.Alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawText(canvas, panel.Text, r, align | DT_VCENTER | DT_SINGLELINE);
  }
}

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 150, 29);
}

// Left to right in z order (the order the controls were added), wrapping to
// a new row of ButtonHeight when Wrapable; aligned children keep the usual
// rules.
void TToolBar::AlignControls(TControl* control, TRect& rect) {
  TCustomControl::AlignControls(control, rect);
  int x = rect.Left, y = rect.Top;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != TAlign::alNone) continue;
    if (Wrapable && x > rect.Left && x + c->Width() > rect.Right) {
      x = rect.Left;
      y += ButtonHeight;
    }
    c->SetBounds(x, y, c->Width(), c->Height());
    x += c->Width();
  }
}

TCoolBar::TCoolBar(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 150, 75);
}

void TCoolBar::AlignControls(TControl*, TRect& rect) {
  AdjustClientRect(rect);
  int y = rect.Top;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    c->SetBounds(rect.Left + BandBorder, y + BandBorder, rect.Width() - 2 * BandBorder, c->Height());
    y += c->Height() + 2 * BandBorder;
  }
  if (AutoSize && y - rect.Top != ClientHeight()) {
    int height = Height() - ClientHeight() + (y - rect.Top);
    SetBounds(Left(), Top(), Width(), height);
  }
}

}  // namespace lark
