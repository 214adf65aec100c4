#include "platform/windows/date_time_picker.h"

#include <QDateTimeEdit>
#include <QSignalBlocker>
#include <cmath>

#include "platform/windows/native_widget.h"

namespace lark {
namespace {

QDateTime ToQ(TDateTime value) {
  int year, month, day, hour, minute, second, ms;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, ms);
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms));
}

TDateTime FromQ(const QDateTime& value) {
  QDate d = value.date();
  QTime t = value.time();
  return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* owner) : TNativeControl(owner), value_(Now()) {
  TabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 186, 21);
}

TDateTime TDateTimePicker::DateTime() const {
  if (auto* edit = NativeWidget<QDateTimeEdit>(const_cast<TDateTimePicker*>(this))) return FromQ(edit->dateTime());
  return value_;
}

void TDateTimePicker::SetDateTime(TDateTime value) {
  value_ = value;
  PushState();
}

void TDateTimePicker::SetKind(TDateTimeKind kind) {
  PullState();
  kind_ = kind;
  RecreateWnd();
}

void TDateTimePicker::WndProc(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TNativeControl::WndProc(message);
}

void TDateTimePicker::CreateNativeWidget() {
  auto* edit = new QDateTimeEdit;
  edit->setFocusPolicy(Qt::StrongFocus);
  edit->setCalendarPopup(kind_ == TDateTimeKind::dtkDate);
  edit->setDisplayFormat(kind_ == TDateTimeKind::dtkDate ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("HH:mm:ss"));
  QObject::connect(edit, &QDateTimeEdit::dateTimeChanged, [this](const QDateTime& value) {
    value_ = FromQ(value);
    if (OnChange) OnChange(this);
  });
  AttachNativeWidget(this, edit);
}

void TDateTimePicker::PushState() {
  auto* edit = NativeWidget<QDateTimeEdit>(this);
  if (!edit) return;
  QSignalBlocker quiet(edit);
  edit->setDateTime(ToQ(value_));
}

void TDateTimePicker::PullState() { value_ = DateTime(); }

}  // namespace lark
