#include "controls/thread_hooks.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/windows/message_queue.h"

namespace lark {
namespace {

struct Registration {
  THookProcCallback callback = nullptr;
  int references = 0;
  THookCodes codes = 0;
};

struct KindState {
  int kind = 0;
  THookCodes serves = 0;
  HHOOK hook = nullptr;
  int installs = 0;
};

class Registry {
 public:
  Registry() {
    // The layer's hook list must outlive this registry, whose destructor
    // unhooks at exit: touching it first makes it constructed first, and
    // static objects are destroyed in reverse order.
    UnhookWindowsHookEx(nullptr);
  }
  ~Registry() {
    for (KindState& state : kinds) {
      if (state.hook) UnhookWindowsHookEx(state.hook);
      state.hook = nullptr;
      state.installs = 0;
    }
  }

  std::vector<Registration> registrations;
  std::array<KindState, 3> kinds{{
      {WH_CALLWNDPROC, HookCodes(hpSendActivateApp) | HookCodes(hpSendWindowPosChanged)},
      {WH_CBT, HookCodes(hpPreDestroy)},
      {WH_GETMESSAGE, HookCodes(hpGetMessage)},
  }};
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// Calls every callback registered for code. A callback may uninstall itself
// or another: walk a copy and call only those still registered.
void CallRegistered(THookCode code, HWND wnd, WPARAM wParam, LPARAM lParam) {
  const std::vector<Registration> snapshot = TheRegistry().registrations;
  for (const Registration& r : snapshot) {
    if ((r.codes & HookCodes(code)) == 0) continue;
    const auto& now = TheRegistry().registrations;
    const bool still = std::any_of(now.begin(), now.end(), [&](const Registration& n) {
      return n.callback == r.callback && (n.codes & HookCodes(code)) != 0;
    });
    if (still) r.callback(code, wnd, wParam, lParam);
  }
}

void HookProc(int kind, int code, const TMsg& msg) {
  if (kind == WH_CALLWNDPROC && code == HC_ACTION) {
    if (msg.message == WM_ACTIVATEAPP) CallRegistered(hpSendActivateApp, msg.hwnd, msg.wParam, msg.lParam);
    if (msg.message == WM_WINDOWPOSCHANGED) {
      CallRegistered(hpSendWindowPosChanged, msg.hwnd, msg.wParam, msg.lParam);
    }
  } else if (kind == WH_CBT && code == HCBT_DESTROYWND) {
    CallRegistered(hpPreDestroy, msg.hwnd, 0, 0);
  } else if (kind == WH_GETMESSAGE && code == HC_ACTION && msg.message == WM_MOUSEMOVE) {
    CallRegistered(hpGetMessage, msg.hwnd, msg.wParam, msg.lParam);
  }
}

KindState* FindKind(int hookKind) {
  for (KindState& state : TheRegistry().kinds) {
    if (state.kind == hookKind) return &state;
  }
  return nullptr;
}

}  // namespace

void InstallHookProc(THookProcCallback callback, THookCodes codes, bool onlyRegister) {
  auto& registrations = TheRegistry().registrations;
  auto it = std::find_if(registrations.begin(), registrations.end(),
                         [&](const Registration& r) { return r.callback == callback; });
  if (it != registrations.end()) {
    ++it->references;
  } else {
    registrations.push_back({callback, 1, codes});
  }
  if (onlyRegister) return;
  for (KindState& state : TheRegistry().kinds) {
    if ((state.serves & codes) == 0) continue;
    ++state.installs;
    if (!state.hook) {
      const int kind = state.kind;
      state.hook = SetWindowsHookEx(kind, [kind](int code, const TMsg& msg) { HookProc(kind, code, msg); });
    }
  }
}

void UninstallHookProc(THookProcCallback callback) {
  auto& registrations = TheRegistry().registrations;
  auto it = std::find_if(registrations.begin(), registrations.end(),
                         [&](const Registration& r) { return r.callback == callback; });
  if (it == registrations.end()) return;
  for (KindState& state : TheRegistry().kinds) {
    if ((state.serves & it->codes) == 0) continue;
    state.installs = std::max(0, state.installs - 1);
    if (state.installs == 0 && state.hook) {
      UnhookWindowsHookEx(state.hook);
      state.hook = nullptr;
    }
  }
  if (--it->references == 0) registrations.erase(it);
}

int HookInstallCount(int hookKind) {
  const KindState* state = FindKind(hookKind);
  return state ? state->installs : 0;
}

bool HookInstalled(int hookKind) {
  const KindState* state = FindKind(hookKind);
  return state && state->hook != nullptr;
}

}  // namespace lark
