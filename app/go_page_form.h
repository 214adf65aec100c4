#pragma once

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TLanguage;
class TSpinEdit;

// Asks the print preview for a page number (1 .. the page count).
class TfrmGoPage : public TForm {
 public:
  explicit TfrmGoPage(TComponent* owner);

  TSpinEdit* PageNum = nullptr;
  TButton *OKBtn = nullptr, *CancelBtn = nullptr;

  void ApplyLanguage(const TLanguage& language);
  void SetRange(int pageCount, int value);
  [[nodiscard]] int Value() const;
  void PageNumKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
  // Entering the number selects it, so that typing replaces it.
  void PageNumEnter(TObject* sender);
};

}  // namespace lark
