#include "platform/windows/custom_control.h"

#include "platform/windows/qt_bridge.h"

namespace lark {

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TCanvas& TGraphicControl::Canvas() { return ControlCanvas(this); }

void TGraphicControl::WndProc(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    Paint();
    return;
  }
  TControl::WndProc(message);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCanvas& TCustomControl::Canvas() { return ControlCanvas(this); }

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
