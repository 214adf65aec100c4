#pragma once

#include "platform/windows/messages.h"

namespace lark {

// A registry of callbacks for a few events of the GUI thread that are not
// addressed to the components watching them. The thread hooks behind it are
// installed only while some registered callback needs them, and all are
// removed at exit.
enum THookCode : int {
  hpSendActivateApp = 0,       // WM_ACTIVATEAPP sent to a window
  hpSendWindowPosChanged = 1,  // WM_WINDOWPOSCHANGED sent to a window
  hpPreDestroy = 2,            // a window is about to be destroyed
  hpGetMessage = 3,            // WM_MOUSEMOVE taken from the queue
};
// A set of THookCode: bit 1 << code.
using THookCodes = unsigned;
constexpr THookCodes HookCodes(THookCode code) { return 1u << code; }

// A plain function, so that a second registration of the same callback can
// be recognised and counted.
using THookProcCallback = void (*)(int code, HWND wnd, WPARAM wParam, LPARAM lParam);

// Registers callback for codes (a second registration only counts up).
// Unless onlyRegister, every hook kind serving one of the codes counts one
// more user and is installed for the thread when it was not.
void InstallHookProc(THookProcCallback callback, THookCodes codes, bool onlyRegister);
// Undoes one InstallHookProc: the serving kinds count one user less (not
// below 0) and are removed at 0; the callback is forgotten at its last.
void UninstallHookProc(THookProcCallback callback);

// The users counted for a hook kind (WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE)
// and whether its hook is installed.
[[nodiscard]] int HookInstallCount(int hookKind);
[[nodiscard]] bool HookInstalled(int hookKind);

}  // namespace lark
