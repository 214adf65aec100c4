#pragma once

#include "app/main_window.h"

namespace lark {

// True when the window system can be reached: DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM is set. Without one the toolkit aborts with a misleading
// text, so the program says so itself.
[[nodiscard]] bool DisplayAvailable();

// What the process needs once before its first window: the document engine,
// the classes the form resources name, the cursors and the resources the
// program carries, and its private folder.
void StartProgram();

// Creates the main window as the application's main form (and its OnCreate
// runs). The program passes ProcessProgramContext(); tests pass a folder of
// their own and their own parameters.
TfrmMain* CreateMainWindow(TProgramContext context);

}  // namespace lark
