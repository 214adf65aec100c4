#pragma once

#include <functional>

#include "platform/windows/messages.h"

namespace lark {

class TWinControl;

// The GUI thread's queue. Posting is safe from any thread and wakes the GUI
// loop; everything else runs on the GUI thread.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// On the GUI thread, makes the control's window first when it has none yet,
// so a message posted to a form before it shows waits for it. From another
// thread nothing is created: the message goes to the window the control has,
// and without one the post fails (false), as a post to no window does.
// Workers should post to an HWND taken on the GUI thread beforehand: a
// control's window may be re-created under them at any time.
bool PostMessage(TWinControl* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Delivers at once through the thread's send hooks and the control's WindowProc.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
LRESULT SendMessage(TWinControl* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
void PostQuitMessage(int exitCode);

enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };
// The first queued message for hwnd (any window when null) whose number lies
// in filterMin..filterMax (both 0: any). Input waiting in the window system
// is taken into the queue first.
bool PeekMessage(TMsg& msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Sleeps until a message is queued or the window system has something for
// the program, at most `timeoutMs` milliseconds (a loop that must act on a
// clock as well as on input waits here instead of spinning).
void WaitMessageTimeout(unsigned timeoutMs);
// Sends a message taken from the queue to its window.
LRESULT DispatchMessage(const TMsg& msg);

// Thread hooks: callbacks that see messages not addressed to them.
//   WH_CALLWNDPROC: every sent message, before the window gets it (HC_ACTION);
//   WH_CBT: a window about to be destroyed (HCBT_DESTROYWND, msg.hwnd);
//   WH_GETMESSAGE: every message taken from the queue (HC_ACTION).
enum : int { WH_GETMESSAGE = 3, WH_CALLWNDPROC = 4, WH_CBT = 5 };
enum : int { HC_ACTION = 0, HCBT_DESTROYWND = 4 };
using THookProc = std::function<void(int code, const TMsg& msg)>;
struct THook;
using HHOOK = THook*;
HHOOK SetWindowsHookEx(int idHook, THookProc proc);
bool UnhookWindowsHookEx(HHOOK hook);
void CallHooks(int idHook, int code, const TMsg& msg);

// Drops every queued message for a window (it is going away).
void PurgeMessages(HWND hwnd);

}  // namespace lark
