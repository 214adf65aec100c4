#include "platform/windows/message_queue.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>

#include "platform/windows/application.h"
#include "platform/windows/gui_application.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/win_control.h"

namespace lark {

struct THook {
  int kind;
  THookProc proc;
};

namespace {

struct Queue {
  std::mutex mutex;
  std::deque<TMsg> messages;
};

Queue& TheQueue() {
  static Queue queue;
  return queue;
}

std::vector<std::unique_ptr<THook>>& Hooks() {
  static std::vector<std::unique_ptr<THook>> hooks;
  return hooks;
}

bool Matches(const TMsg& msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (hwnd && msg.hwnd != hwnd) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

void TakeToolkitInput() {
  // Input the toolkit holds becomes queued messages; never inside a paint,
  // where the toolkit must not be re-entered.
  if (InPaint() || !IsGuiThread()) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace

void WaitMessageTimeout(unsigned timeoutMs) {
  TMsg msg;
  if (PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE)) return;
  auto* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher || InPaint() || !IsGuiThread()) return;
  QTimer wake;  // ends the wait when nothing else does
  wake.setSingleShot(true);
  wake.start(static_cast<int>(timeoutMs));
  dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
}

void EnqueueMessage(const TMsg& msg) {
  Queue& queue = TheQueue();
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    // Mouse moves coalesce as they do on the desktop: only the newest waits.
    if (msg.message == WM_MOUSEMOVE && !queue.messages.empty()) {
      TMsg& last = queue.messages.back();
      if (last.message == WM_MOUSEMOVE && last.hwnd == msg.hwnd) {
        last = msg;
        return;
      }
    }
    queue.messages.push_back(msg);
  }
  if (!IsGuiThread()) WakeGuiThread();
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMsg queued;
  queued.hwnd = hwnd;
  queued.message = msg;
  queued.wParam = wParam;
  queued.lParam = lParam;
  EnqueueMessage(queued);
  return true;
}

bool PostMessage(TWinControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (IsGuiThread()) return PostMessage(control->Handle(), msg, wParam, lParam);
  // Windows belong to the GUI thread: a worker never makes one.
  HWND handle = control->HandleAllocated() ? control->Handle() : nullptr;
  if (!handle) return false;
  return PostMessage(handle, msg, wParam, lParam);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = TWinControl::FindControl(hwnd);
  if (!control) return 0;
  TMsg sent;
  sent.hwnd = hwnd;
  sent.message = msg;
  sent.wParam = wParam;
  sent.lParam = lParam;
  CallHooks(WH_CALLWNDPROC, HC_ACTION, sent);
  return control->Perform(msg, wParam, lParam);
}

LRESULT SendMessage(TWinControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessage(control->Handle(), msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  PostMessage(static_cast<HWND>(nullptr), WM_QUIT, static_cast<WPARAM>(exitCode));
}

bool PeekMessage(TMsg& msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  TakeToolkitInput();
  Queue& queue = TheQueue();
  std::lock_guard<std::mutex> lock(queue.mutex);
  auto it = std::find_if(queue.messages.begin(), queue.messages.end(),
                         [&](const TMsg& m) { return Matches(m, hwnd, filterMin, filterMax); });
  if (it == queue.messages.end()) return false;
  msg = *it;
  if (removeFlags & PM_REMOVE) queue.messages.erase(it);
  return true;
}

LRESULT DispatchMessage(const TMsg& msg) {
  TWinControl* control = TWinControl::FindControl(msg.hwnd);
  if (!control) return 0;
  return control->Perform(msg.message, msg.wParam, msg.lParam);
}

void RemoveQueuedMessages(const std::function<bool(const TMsg&)>& match) {
  Queue& queue = TheQueue();
  std::lock_guard<std::mutex> lock(queue.mutex);
  queue.messages.erase(std::remove_if(queue.messages.begin(), queue.messages.end(), match),
                       queue.messages.end());
}

void PurgeMessages(HWND hwnd) {
  RemoveQueuedMessages([hwnd](const TMsg& m) { return m.hwnd == hwnd; });
}

HHOOK SetWindowsHookEx(int idHook, THookProc proc) {
  Hooks().push_back(std::make_unique<THook>(THook{idHook, std::move(proc)}));
  return Hooks().back().get();
}

bool UnhookWindowsHookEx(HHOOK hook) {
  auto& hooks = Hooks();
  auto it = std::find_if(hooks.begin(), hooks.end(), [hook](const auto& h) { return h.get() == hook; });
  if (it == hooks.end()) return false;
  hooks.erase(it);
  return true;
}

void CallHooks(int idHook, int code, const TMsg& msg) {
  // A hook may remove itself (or others) while it runs: walk a snapshot and
  // skip those that went away.
  std::vector<THook*> snapshot;
  for (auto& hook : Hooks())
    if (hook->kind == idHook) snapshot.push_back(hook.get());
  for (THook* hook : snapshot) {
    auto& hooks = Hooks();
    bool alive = std::any_of(hooks.begin(), hooks.end(), [hook](const auto& h) { return h.get() == hook; });
    if (alive) {
      THookProc proc = hook->proc;
      proc(code, msg);
    }
  }
}

}  // namespace lark
