#pragma once

namespace lark {

// Makes the program's one window-system application object on first call
// (Qt's widget application, which fonts and painting need as well). Every
// part of the layer that needs the window system calls this first.
void EnsureGuiApplication();

// Wakes the GUI thread's loop from any thread (a message was posted, a
// synchronized call is waiting).
void WakeGuiThread();

bool IsGuiThread();

}  // namespace lark
