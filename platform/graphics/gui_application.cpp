#include <QApplication>

#include "platform/graphics/gui_application_qt.h"

namespace lark::detail {

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "larkspan";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
}

}  // namespace lark::detail

// fontconfig keeps the font patterns Qt's font database read for the life of
// the process, which outlives the leak check at exit. Sanitizer builds are
// told so here, next to the object that causes it.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LARK_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LARK_ADDRESS_SANITIZER 1
#endif
#ifdef LARK_ADDRESS_SANITIZER
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
