#include "platform/windows/custom_control.h"

namespace lark {

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::WndProc(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    Paint();
    return;
  }
  TControl::WndProc(message);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::WndProc(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    Paint();
    return;
  }
  TWinControl::WndProc(message);
}

void TCustomControl::Paint() {
  if (OnPaint) OnPaint(this);
}

}  // namespace lark
