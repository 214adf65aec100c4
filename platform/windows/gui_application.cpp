#include "platform/windows/gui_application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QThread>
#include <QThreadPool>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>

#include "platform/core/heap_warming.h"
#include "platform/windows/standard_icons.h"

namespace lark {
namespace {

// About what the main window takes from the allocator, beyond the toolkit's
// own start, until its first paint; more only added resident memory.
constexpr std::size_t kWarmHeapBytes = std::size_t{6} << 20;

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "";
  for (std::size_t at = 0; at <= folders.size();) {
    const std::size_t end = std::min(folders.find(':', at), folders.size());
    const std::string folder = end > at ? folders.substr(at, end - at) : ".";
    if (::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    at = end + 1;
  }
  return false;
}

// With no session bus to be found (no address, no bus in the user's runtime
// folder) and no launcher that could start one, the toolkit's first use of
// the bus (the accessibility bridge, the menu bar) forked the whole program
// to look for `dbus-launch` along the PATH, and the window waited for that
// child: a tenth of the start where there is no bus. An address that cannot
// be reached tells it at once that there is none; nothing else changes, as
// nothing could have been reached.
void SayThereIsNoSessionBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime && ::access((std::string(runtime) + "/bus").c_str(), F_OK) == 0) return;
  if (OnPath("dbus-launch")) return;
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/larkspan-no-session-bus", 1);
}

// The toolkit spreads every fill and copy of more than a few dozen rows
// over its global thread pool, waking its threads and waiting for them. For
// a window's fills (a border, a scroll bar, a page's background) the wake-ups
// cost more than the work they share out: with one pool thread instead of one
// per core, the main window's first paint took 2-3 ms less.
void LimitPaintThreads() { QThreadPool::globalInstance()->setMaxThreadCount(1); }

}  // namespace

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  // The toolkit keeps references to argc and argv for its whole life.
  static int argc = 1;
  static char name[] = "larkspan";
  static char* argv[] = {name, nullptr};
  SayThereIsNoSessionBus();
  LimitPaintThreads();
  // The font configuration (the system's and the user's files and caches)
  // would be read at the first text, after the toolkit has started: read
  // on a worker while the toolkit connects to the display and loads its
  // plugins, it is ready by then. Fontconfig makes its one configuration
  // once, whichever thread asks first, so the toolkit finds it made.
  std::thread fonts;
  try {
    fonts = std::thread([] { FcInit(); });
  } catch (const std::system_error&) {
    // No thread to spare: fontconfig reads it at the first text.
  }
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
  // Not sooner: a worker touching pages while the toolkit loads its plugins
  // slowed that loading more than it saved.
  WarmHeapInBackground(kWarmHeapBytes);
  DeferStandardIcons();
  if (fonts.joinable()) fonts.join();
}

void WakeGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  if (auto* dispatcher = QAbstractEventDispatcher::instance(app->thread())) dispatcher->wakeUp();
}

bool IsGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

}  // namespace lark
