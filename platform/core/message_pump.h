#pragma once

#include <functional>

namespace lark {

// Long work on the GUI thread (network waits, printing, the local search)
// lets pending window messages run now and then, so that a Stop or Cancel
// button works. The core half cannot see the window system; the GUI half
// installs the pump here when the application starts: one function that runs
// every pending message and, optionally, one that runs a single message (for
// waits that must give the window system only a short turn). Without a pump
// (tests, tools without windows) both calls do nothing.
void SetMessagePump(std::function<void()> pumpAll, std::function<void()> pumpOne = nullptr);
void ProcessPendingMessages();
// Runs at most one pending message; with no single-message pump installed it
// runs them all, which is still a turn for the window system.
void ProcessOnePendingMessage();

}  // namespace lark
