#include "platform/windows/gui_application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QThread>


namespace lark {

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  // The toolkit keeps references to argc and argv for its whole life.
  static int argc = 1;
  static char name[] = "larkspan";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
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
