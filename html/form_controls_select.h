#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "html/form_control_base.h"

namespace lark {

class TComboBox;
class TListBox;

// One OPTION of a SELECT.
struct TOptionObj {
  std::string Value;
  bool Selected = false;
};

// What list boxes and combo boxes share: the options, collected first and
// handed to the window control whole when the list is reset, and an index
// of them by value for restoring saved values.
class TSelectFormControlObj : public THtmlFormControl {
 public:
  using THtmlFormControl::THtmlFormControl;
  // An OPTION: its text, value and SELECTED, text and value in the control's
  // code page.
  void AddStr(const std::string& text, const std::string& value, bool selected);
  [[nodiscard]] int OptionCount() const { return static_cast<int>(options_.size()); }

 protected:
  // The first option of value `value` (any case), or -1.
  [[nodiscard]] int FindOption(const std::string& value);
  // The widest option text in the window control's font, measured once per text.
  [[nodiscard]] int Longest(TCanvas& canvas);
  [[nodiscard]] int LastSelectedOption() const;
  [[nodiscard]] const std::vector<std::string>& Texts() const { return texts_; }
  [[nodiscard]] const std::vector<TOptionObj>& Options() const { return options_; }

 private:
  std::vector<std::string> texts_;
  std::vector<TOptionObj> options_;
  std::unordered_map<std::string, int> byValue_;  // built on first use
  std::size_t indexed_ = 0, measured_ = 0;
  int longest_ = 0;
};

// SELECT with MULTIPLE or SIZE above 1.
class TListBoxFormControlObj : public TSelectFormControlObj {
 public:
  TListBoxFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  void SetHeightWidth(TCanvas& canvas) override;
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& pair) override;
  void SetDataInit() override;
  void SetData(int index, const std::string& value) override;
  void SetDataDone() override;
  void Draw(TCanvas& canvas, int x1, int y1) override;
  [[nodiscard]] TListBox& ListBox() const;

  int LBSize = -1;  // rows shown; -1: from the options, 1..8

 private:
  [[nodiscard]] int Rows() const;
  std::vector<bool> submitted_;  // the selection, taken at index 0
  std::vector<bool> restored_;
  int restoredIndex_ = -1;
  bool restoring_ = false;
};

// SELECT otherwise: a drop-down list.
class TComboFormControlObj : public TSelectFormControlObj {
 public:
  TComboFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  void SetHeightWidth(TCanvas& canvas) override;
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& pair) override;
  void SetData(int index, const std::string& value) override;
  void Draw(TCanvas& canvas, int x1, int y1) override;
  [[nodiscard]] TComboBox& Combo() const;
};

}  // namespace lark
