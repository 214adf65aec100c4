#include "platform/windows/busy_bar_peer.h"

#include <QEvent>
#include <QProgressBar>

#include "platform/windows/gui_application.h"

namespace lark {
namespace {

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int ShowBusyProgressBar(int width, int height, std::chrono::milliseconds how_long,
                        const std::function<void()>& pump) {
  EnsureGuiApplication();
  QProgressBar bar;
  PaintCounter counter;
  bar.installEventFilter(&counter);
  bar.setRange(0, 0);
  bar.setTextVisible(false);
  bar.resize(width, height);
  bar.show();
  const auto end = std::chrono::steady_clock::now() + how_long;
  while (std::chrono::steady_clock::now() < end) pump();
  return counter.paints;
}

}  // namespace lark
