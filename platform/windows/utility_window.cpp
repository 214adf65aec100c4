#include "platform/windows/utility_window.h"

#include "platform/windows/message_queue.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/timer.h"
#include "platform/windows/win_control.h"

namespace lark {
namespace {

class TUtilityWindow : public TWinControl {
 public:
  explicit TUtilityWindow(std::function<void(TMessage&)> handler)
      : TWinControl(nullptr), handler_(std::move(handler)) {
    InitVisible(false);
  }

 protected:
  void WndProc(TMessage& message) override {
    if (handler_) handler_(message);
  }

 private:
  std::function<void(TMessage&)> handler_;
};

}  // namespace

HWND AllocateHWnd(std::function<void(TMessage&)> handler) {
  auto* window = new TUtilityWindow(std::move(handler));
  return window->Handle();
}

void DeallocateHWnd(HWND handle) { delete TWinControl::FindControl(handle); }

HWND TimerWindow() {
  static HWND window = AllocateHWnd([](TMessage& message) {
    if (message.Msg == WM_TIMER) reinterpret_cast<TTimer*>(message.WParam)->Fire();
  });
  return window;
}

void PurgeTimerMessages(TTimer* timer) {
  HWND window = TimerWindow();
  auto id = reinterpret_cast<WPARAM>(timer);
  RemoveQueuedMessages([window, id](const TMsg& m) {
    return m.hwnd == window && m.message == WM_TIMER && m.wParam == id;
  });
}

}  // namespace lark
