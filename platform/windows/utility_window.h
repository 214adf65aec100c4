#pragma once

#include <functional>

#include "platform/windows/messages.h"

namespace lark {

class TTimer;

// A hidden window that only receives messages, for components without a
// window of their own.
HWND AllocateHWnd(std::function<void(TMessage&)> handler);
void DeallocateHWnd(HWND handle);

// The hidden window that turns WM_TIMER into the timers' OnTimer.
HWND TimerWindow();
// Drops a freed timer's waiting WM_TIMER.
void PurgeTimerMessages(TTimer* timer);

}  // namespace lark
