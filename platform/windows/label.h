#pragma once

#include "platform/windows/custom_control.h"

namespace lark {

// Static text painted by its parent. Its "&" accelerator focuses FocusControl.
class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  TAlignment Alignment = TAlignment::taLeftJustify;
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool value);
  bool Transparent = false;
  bool WordWrap = false;
  bool ShowAccelChar = true;
  TWinControl* FocusControl() const { return focus_control_; }
  void SetFocusControl(TWinControl* control);
  void SetText(const std::string& text) override;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  unsigned DrawFlags() const;
  void AdjustBounds();
  bool auto_size_ = true;
  TWinControl* focus_control_ = nullptr;
};

// The text a label shows: accelerator marks removed, "&&" kept as "&".
std::string LabelText(const std::string& caption);

}  // namespace lark
