#pragma once

#include <functional>

namespace lark {

// Long work on the GUI thread (network waits, printing, the local search)
// lets pending window messages run now and then, so that a Stop or Cancel
// button works. The core half cannot see the window system; the GUI half
// installs the pump here when the application starts. Without one (tests,
// tools without windows) ProcessPendingMessages does nothing.
void SetMessagePump(std::function<void()> pump);
void ProcessPendingMessages();

}  // namespace lark
