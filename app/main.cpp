// The program: checks that there is a display, makes the process-wide
// pieces known, creates the main window and runs the message loop.
#include <cstdio>
#include <cstdlib>

#include "app/main_entry.h"
#include "app/test_control.h"
#include "platform/windows/application.h"

// Read by the program's allocator (jemalloc) as it starts. Its default of
// an arena per thread made every thread that allocates (the toolkit's,
// fontconfig's, the network's) first touch an arena's worth of fresh
// pages: about 8 ms of the start on this kind of machine. The program's
// threads allocate little, and each keeps a cache of its own in front of
// the one arena.
extern "C" {
const char* malloc_conf = "narenas:1";
}

int main() {
  if (!lark::DisplayAvailable()) {
    std::fputs("larkspan: no display: set DISPLAY or WAYLAND_DISPLAY (or QT_QPA_PLATFORM=offscreen)\n", stderr);
    return EXIT_FAILURE;
  }
  lark::StartProgram();
  lark::Application()->SetTitle("Larkspan");
  lark::CreateMainWindow(lark::ProcessProgramContext());
  // Null unless a test build runs under LARK_TEST_CONTROL; kept until the loop ends.
  const auto testControl = lark::StartTestControlFromEnvironment();
  lark::Application()->Run();
  return EXIT_SUCCESS;
}
