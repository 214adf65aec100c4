#include "platform/windows/graphic_controls.h"

#include <algorithm>

#include "platform/graphics/gdi.h"

namespace lark {

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
  ControlStyle |= csReplicatable;
  SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
  if (OnPaint) OnPaint(this);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TImage::PictureChanged() {
  if (AutoSize && picture_.Width() > 0) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  Invalidate();
}

void TImage::Paint() {
  const TGraphic* graphic = picture_.Graphic();
  if (!graphic || graphic->Empty()) return;
  TRect client = ClientRect();
  if (Stretch) {
    Canvas().StretchDraw(client, *graphic);
    return;
  }
  int x = Center ? (client.Width() - graphic->Width()) / 2 : 0;
  int y = Center ? (client.Height() - graphic->Height()) / 2 : 0;
  Canvas().Draw(x, y, *graphic);
}

TProgressBar::TProgressBar(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::SetRange(int minValue, int maxValue) {
  min_ = minValue;
  max_ = std::max(minValue, maxValue);
  SetPosition(position_);
}

void TProgressBar::SetPosition(int position) {
  position = std::clamp(position, min_, max_);
  if (position == position_) return;
  position_ = position;
  Invalidate();
}

void TProgressBar::Paint() {
  TCanvas& canvas = Canvas();
  TRect r = ClientRect();
  DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  canvas.Brush().Color = clBtnFace;
  canvas.FillRect(r);
  long long span = static_cast<long long>(max_) - min_;
  int filled = span > 0 ? static_cast<int>((position_ - min_) * static_cast<long long>(r.Width()) / span) : 0;
  canvas.Brush().Color = clHighlight;
  canvas.FillRect(Rect(r.Left, r.Top, r.Left + filled, r.Bottom));
}

}  // namespace lark
