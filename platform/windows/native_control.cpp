#include "platform/windows/native_control.h"

#include "platform/windows/native_widget.h"

namespace lark {

TNativeControl::TNativeControl(TComponent* owner) : TWinControl(owner) {}

void TNativeControl::CreateWnd() {
  CreateNativeWidget();
  PushState();
}

void TNativeControl::DestroyWnd() {
  PullState();
  TWinControl::DestroyWnd();
}

void TNativeControl::WndProc(TMessage& message) {
  TWinControl::WndProc(message);
  bool mouse = message.Msg >= WM_MOUSEMOVE && message.Msg <= WM_MBUTTONDBLCLK;
  if (mouse && ReplaysMouse() && HandleAllocated()) ReplayToWidget(Handle(), message);
}

void TNativeControl::DefaultHandler(TMessage& message) {
  if (HandleAllocated()) ReplayToWidget(Handle(), message);
}

}  // namespace lark
