#include "platform/windows/native_control.h"

#include "platform/windows/button.h"
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
  bool taken = HandleAllocated() && ReplayToWidget(Handle(), message);
  // A wheel the widget does not scroll by, and a context-menu request where
  // the widget has no menu of its own, go on to the parent window.
  if (!taken && (message.Msg == WM_MOUSEWHEEL || message.Msg == WM_CONTEXTMENU)) TWinControl::DefaultHandler(message);
}

bool TNativeControl::HandleButtonKeys(TMessage& message, bool focusOnAccelerator) {
  switch (message.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<unsigned>(message.WParam), Caption()) && CanFocus()) {
        if (focusOnAccelerator) SetFocus();
        Click();
        message.Result = 1;
      }
      return true;
    case WM_KEYUP:
      if (message.WParam != VK_SPACE) return false;
      Click();
      return true;
    case CM_TEXTCHANGED:
      PushState();
      return true;
    default:
      return false;
  }
}

}  // namespace lark
