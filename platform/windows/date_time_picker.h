#pragma once

#include "platform/core/date_time.h"
#include "platform/windows/native_control.h"

namespace lark {

enum class TDateTimeKind { dtkDate, dtkTime };

// Picks a date (or a time of day) as a TDateTime.
class TDateTimePicker : public TNativeControl {
 public:
  explicit TDateTimePicker(TComponent* owner);
  TDateTime DateTime() const;
  void SetDateTime(TDateTime value);
  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind kind);
  TNotifyEvent OnChange;

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  void PullState() override;
  bool ReplaysMouse() const override { return true; }

 private:
  TDateTime value_ = 0;
  TDateTimeKind kind_ = TDateTimeKind::dtkDate;
};

}  // namespace lark
