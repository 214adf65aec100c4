#include "platform/windows/gui_application.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include "platform/graphics/gui_application_qt.h"

namespace lark {

// One policy for the whole layer: the graphics half makes the widget
// application; windows only make sure it exists.
void EnsureGuiApplication() { detail::EnsureGuiApplication(); }

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
