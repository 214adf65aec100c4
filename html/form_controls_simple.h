#pragma once

#include <string>

#include "html/form_control_base.h"

namespace lark {

class TButton;
class TCheckBox;
class TEdit;
class TFormRadioButton;

// INPUT TYPE=hidden: a pair and nothing on screen.
class THiddenFormControlObj : public THtmlFormControl {
 public:
  using THtmlFormControl::THtmlFormControl;
  bool GetSubmission(int index, std::string& pair) override;
  void SetData(int index, const std::string& value) override;
  [[nodiscard]] bool HoldsOneText() const override { return true; }
};

// INPUT text and password.
class TEditFormControlObj : public THtmlFormControl {
 public:
  TEditFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  void SetHeightWidth(TCanvas& canvas) override;
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& pair) override;
  void SetData(int index, const std::string& value) override;
  [[nodiscard]] bool HoldsOneText() const override { return true; }
  void Draw(TCanvas& canvas, int x1, int y1) override;
  [[nodiscard]] TEdit& Edit() const;

  int EditSize = 15;  // characters
};

// INPUT submit, reset and button.
class TButtonFormControlObj : public THtmlFormControl {
 public:
  enum TWhich { Submit, Reset, Plain };
  TButtonFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  void SetHeightWidth(TCanvas& canvas) override;
  void Draw(TCanvas& canvas, int x1, int y1) override;
  [[nodiscard]] TButton& Button() const;

  TWhich Which = Plain;

 private:
  void Clicked();
};

// INPUT checkbox.
class TCheckBoxFormControlObj : public THtmlFormControl {
 public:
  TCheckBoxFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& pair) override;
  void SetDataInit() override;
  void SetData(int index, const std::string& value) override;
  void Draw(TCanvas& canvas, int x1, int y1) override;
  [[nodiscard]] TCheckBox& CheckBox() const;

  bool IsChecked = false;  // as the page gave it
};

// INPUT radio: the button sits alone in a frameless panel, so that the
// window system's own grouping of sibling radio buttons never applies; the
// form groups them by name.
class TRadioButtonFormControlObj : public THtmlFormControl {
 public:
  TRadioButtonFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& pair) override;
  void SetData(int index, const std::string& value) override;
  void Draw(TCanvas& canvas, int x1, int y1) override;
  [[nodiscard]] bool HasFocus() const override;
  [[nodiscard]] bool Checked() const;
  void SetChecked(bool checked);
  // The window that takes the focus (the button, not its panel).
  [[nodiscard]] TWinControl* FocusTarget() const;

  bool IsChecked = false;

 private:
  void Clicked();

  TFormRadioButton* button_ = nullptr;  // owned by its panel
};

}  // namespace lark
