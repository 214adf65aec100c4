// The program's hidden window and minimising the program as a whole.

#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/utility_window.h"

namespace lark {

HWND TApplication::Handle() {
  if (!handle_) {
    handle_ = AllocateHWnd([this](TMessage& message) {
      if (message.Msg != WM_SYSCOMMAND) return;
      if ((message.WParam & 0xFFF0) == SC_MINIMIZE) Minimize();
      if ((message.WParam & 0xFFF0) == SC_RESTORE) Restore();
    });
  }
  return handle_;
}

void TApplication::Minimize() {
  if (minimized_) return;
  minimized_ = true;
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* form = Screen()->Forms(i);
    if (QWidget* widget = WidgetOf(form); widget && form->Visible() && !form->Parent()) widget->showMinimized();
  }
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* form = Screen()->Forms(i);
    QWidget* widget = WidgetOf(form);
    if (!widget || !form->Visible() || form->Parent() || form->WindowState() == TWindowState::wsMinimized) continue;
    widget->showNormal();
  }
  if (OnRestore) OnRestore(this);
}

bool IsIconic(HWND window) {
  TApplication* application = Application();
  if (window && window == application->Handle()) return application->Minimized();
  auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(window));
  if (!form) return false;
  return form->WindowState() == TWindowState::wsMinimized || (application->Minimized() && form->Visible());
}

}  // namespace lark
