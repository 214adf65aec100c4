#pragma once

#include <memory>

#include "platform/windows/component.h"
#include "platform/windows/control_types.h"

namespace lark {

// Fires OnTimer every Interval milliseconds through the message queue
// (WM_TIMER, at most one waiting per timer). An Interval of 0 never fires.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned interval);
  TNotifyEvent OnTimer;

  // Runs OnTimer for a WM_TIMER taken from the queue.
  void Fire();

 private:
  struct Impl;
  void Restart();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  std::unique_ptr<Impl> impl_;
};

}  // namespace lark
