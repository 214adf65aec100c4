#include "platform/windows/check_box.h"

#include <QCheckBox>
#include <QRadioButton>

#include "platform/windows/native_widget.h"

namespace lark {

TCheckBox::TCheckBox(TComponent* owner) : TNativeControl(owner) {
  TabStop = true;
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetState(TCheckBoxState state) {
  if (state == state_) return;
  state_ = state;
  PushState();
}

void TCheckBox::Click() {
  Toggle();
  TNativeControl::Click();
}

void TCheckBox::Toggle() {
  switch (state_) {
    case TCheckBoxState::cbUnchecked:
      SetState(AllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
      break;
    case TCheckBoxState::cbGrayed:
      SetState(TCheckBoxState::cbChecked);
      break;
    default:
      SetState(TCheckBoxState::cbUnchecked);
  }
}

void TCheckBox::WndProc(TMessage& message) {
  if (!HandleButtonKeys(message, true)) TNativeControl::WndProc(message);
}

void TCheckBox::CreateNativeWidget() {
  auto* box = new QCheckBox;
  box->setFocusPolicy(Qt::StrongFocus);
  AttachNativeWidget(this, box);
}

void TCheckBox::PushState() {
  auto* button = NativeWidget<QAbstractButton>(this);
  if (!button) return;
  button->setText(QString::fromStdString(Caption()));
  button->setShortcut(QKeySequence());  // accelerators are the layer's
  if (auto* box = qobject_cast<QCheckBox*>(button)) {
    box->setTristate(AllowGrayed);
    box->setCheckState(state_ == TCheckBoxState::cbChecked  ? Qt::Checked
                       : state_ == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                            : Qt::Unchecked);
  } else {
    button->setChecked(Checked());
  }
}

TRadioButton::TRadioButton(TComponent* owner) : TCheckBox(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool checked) {
  TCheckBox::SetChecked(checked);
  if (!checked || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i)
    if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other && other != this)
      other->TCheckBox::SetChecked(false);
}

void TRadioButton::Toggle() {
  if (!Checked()) SetChecked(true);
}

void TRadioButton::CreateNativeWidget() {
  auto* radio = new QRadioButton;
  radio->setAutoExclusive(false);  // the group rule is ours
  radio->setFocusPolicy(Qt::StrongFocus);
  AttachNativeWidget(this, radio);
}

}  // namespace lark
