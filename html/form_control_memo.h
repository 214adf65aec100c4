#pragma once

#include <string>

#include "html/form_control_base.h"

namespace lark {

class TMemo;

// TEXTAREA.
class TTextAreaFormControlObj : public THtmlFormControl {
 public:
  enum TWrap { WrapOff, WrapSoft, WrapHard };
  TTextAreaFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  // Text between the tags, as the reader meets it.
  void AddText(const std::string& text) { TheText += text; }
  void SetHeightWidth(TCanvas& canvas) override;
  void ResetToValue() override;
  bool GetSubmission(int index, std::string& pair) override;
  void SetData(int index, const std::string& value) override;
  [[nodiscard]] bool HoldsOneText() const override { return true; }
  void Draw(TCanvas& canvas, int x1, int y1) override;
  [[nodiscard]] TMemo& Memo() const;

  int Rows = 5, Cols = 30;
  TWrap Wrap = WrapSoft;
  std::string TheText;
};

}  // namespace lark
