#include "app/go_page_form.h"

#include "app/language.h"
#include "platform/windows/button.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/small_controls.h"

namespace lark {

TfrmGoPage::TfrmGoPage(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmGoPage");
  PageNum = dynamic_cast<TSpinEdit*>(FindComponent("PageNum"));
  OKBtn = dynamic_cast<TButton*>(FindComponent("OKBtn"));
  CancelBtn = dynamic_cast<TButton*>(FindComponent("CancelBtn"));
}

void TfrmGoPage::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("28", text)) SetCaption(text);
  if (language.GetText("4", text)) OKBtn->SetCaption(text);
  if (language.GetText("5", text)) CancelBtn->SetCaption(text);
}

void TfrmGoPage::SetRange(int pageCount, int value) {
  PageNum->SetMaxValue(pageCount);
  PageNum->SetValue(value);
}

int TfrmGoPage::Value() const { return PageNum->Value(); }

void TfrmGoPage::PageNumEnter(TObject*) { PageNum->SelectAll(); }

void TfrmGoPage::PageNumKeyDown(TObject*, unsigned short& key, TShiftState) {
  if (key != VK_RETURN) return;
  key = 0;
  OKBtn->Click();
}

}  // namespace lark
