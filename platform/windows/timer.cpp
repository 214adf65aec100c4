#include "platform/windows/timer.h"

#include <QTimer>

#include "platform/windows/gui_application.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/utility_window.h"

namespace lark {

struct TTimer::Impl {
  QTimer timer;
  bool pending = false;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  EnsureGuiApplication();
  impl_ = std::make_unique<Impl>();
  impl_->timer.callOnTimeout([this] {
    // Like the desktop's timer messages: one waits at most, however long the
    // loop was busy.
    if (impl_->pending) return;
    impl_->pending = true;
    PostMessage(TimerWindow(), WM_TIMER, reinterpret_cast<WPARAM>(this));
  });
  Restart();
}

TTimer::~TTimer() {
  impl_->timer.stop();
  if (impl_->pending) PurgeTimerMessages(this);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Restart();
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Restart();
}

void TTimer::Restart() {
  impl_->timer.stop();
  impl_->pending = false;
  if (enabled_ && interval_ > 0) impl_->timer.start(static_cast<int>(interval_));
}

void TTimer::Fire() {
  impl_->pending = false;
  if (enabled_ && interval_ > 0 && OnTimer) OnTimer(this);
}

}  // namespace lark
