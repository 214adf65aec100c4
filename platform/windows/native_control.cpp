#include "platform/windows/native_control.h"

#include <algorithm>

#include "platform/windows/button.h"
#include "platform/windows/native_widget.h"
#include "platform/windows/system_metrics.h"

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
  // The desktop's editing controls take the focus when pressed, after
  // OnMouseDown, so what is typed next goes to the box the user clicked.
  // (Buttons and check boxes keep their clicks to the layer, which handles
  // their focus itself.)
  const bool press = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK;
  if (press && ReplaysMouse() && HandleAllocated() && (Handle()->widget->focusPolicy() & Qt::ClickFocus) &&
      !Focused() && CanFocus())
    SetFocus();
  bool mouse = message.Msg >= WM_MOUSEMOVE && message.Msg <= WM_MBUTTONDBLCLK;
  if (mouse && ReplaysMouse() && HandleAllocated()) ReplayToWidget(Handle(), message);
}

void TNativeControl::DefaultHandler(TMessage& message) {
  bool taken = HandleAllocated() && ReplayToWidget(Handle(), message);
  // A wheel the widget does not scroll by, and a context-menu request where
  // the widget has no menu of its own, go on to the parent window.
  if (!taken && (message.Msg == WM_MOUSEWHEEL || message.Msg == WM_CONTEXTMENU)) TWinControl::DefaultHandler(message);
}

TRect TNativeControl::FramedClientRect(bool verticalBar, bool horizontalBar) const {
  int width = Width() - 4 - (verticalBar ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  int height = Height() - 4 - (horizontalBar ? GetSystemMetrics(SM_CYHSCROLL) : 0);
  return Rect(0, 0, std::max(width, 0), std::max(height, 0));
}

void TNativeControl::ChangeClientArea(const std::function<void()>& change) {
  TSize oldClient{ClientWidth(), ClientHeight()};
  change();
  if (oldClient != TSize{ClientWidth(), ClientHeight()})
    Perform(WM_SIZE, 0, MakeLParam(ClientWidth(), ClientHeight()));
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
