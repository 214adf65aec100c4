#pragma once

#include "platform/windows/native_control.h"

namespace lark {

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A check box; a click (mouse, Space, accelerator) toggles it and runs OnClick.
class TCheckBox : public TNativeControl {
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
  void SetChecked(bool checked) { SetState(checked ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState state);
  bool AllowGrayed = false;
  void Click() override;

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  virtual void Toggle();

 private:
  TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
};

// A radio button: checking it unchecks the radio buttons beside it (same parent).
class TRadioButton : public TCheckBox {
 public:
  explicit TRadioButton(TComponent* owner);
  void SetChecked(bool checked);

 protected:
  void CreateNativeWidget() override;
  void Toggle() override;
};

}  // namespace lark
