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
