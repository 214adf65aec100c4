#include "app/dir_bar_form.h"

#include "app/language.h"
#include "app/options.h"
#include "platform/core/text_cut.h"
#include "platform/windows/button.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/label.h"
#include "platform/windows/panel.h"
#include "platform/windows/small_controls.h"

namespace lark {

constexpr std::size_t kShownCaptionCharacters = 8;

std::string DirectoryButtonCaption(const std::string& caption) {
  return CutToCharacters(caption, kShownCaptionCharacters);
}

TfrmDirBar::TfrmDirBar(TComponent* owner, TOptions* options) : TForm(owner), options_(options) {
  LoadFormResource(this, "frmDirBar");
  gbDirBtns = dynamic_cast<TGroupBox*>(FindComponent("gbDirBtns"));
  for (int i = 0; i < 10; ++i) btDB[i] = dynamic_cast<TSpeedButton*>(FindComponent("btDB" + std::to_string(i + 1)));
  lbCaption = dynamic_cast<TLabel*>(FindComponent("lbCaption"));
  lbHTMLFile = dynamic_cast<TLabel*>(FindComponent("lbHTMLFile"));
  edCaption = dynamic_cast<TEdit*>(FindComponent("edCaption"));
  edHTMLFile = dynamic_cast<TEdit*>(FindComponent("edHTMLFile"));
  btBrowse = dynamic_cast<TButton*>(FindComponent("btBrowse"));
  btApply = dynamic_cast<TButton*>(FindComponent("btApply"));
  btClose = dynamic_cast<TButton*>(FindComponent("btClose"));
  OpenDialog = dynamic_cast<TOpenDialog*>(FindComponent("OpenDialog"));
  for (int i = 0; i < 10; ++i) {
    std::string caption, file;
    options_->ReadDirectory(i, caption, file);
    if (!caption.empty() && !file.empty()) ShowButton(i, caption, file);
  }
  ShowEntry(0);
}

void TfrmDirBar::ApplyLanguage(const TLanguage& language) {
  std::string text;
  const auto caption = [&](const char* id, TControl* control) {
    if (language.GetText(id, text)) control->SetCaption(text);
  };
  caption("12", lbCaption), caption("13", lbHTMLFile), caption("14", btApply), caption("15", btClose);
  caption("16", btBrowse);
}

void TfrmDirBar::ShowButton(int index, const std::string& caption, const std::string& file) {
  TSpeedButton* button = btDB[index];
  button->SetCaption(DirectoryButtonCaption(caption));
  button->Hint = caption.empty() ? std::string() : caption + "\r\n" + file;
  button->SetShowHint(!caption.empty());
}

void TfrmDirBar::ShowEntry(int index) {
  std::string caption, file;
  options_->ReadDirectory(index, caption, file);
  edCaption->SetText(caption);
  edHTMLFile->SetText(file);
}

int TfrmDirBar::DownIndex() const {
  for (int i = 0; i < 10; ++i)
    if (btDB[i]->Down()) return i;
  return 0;
}

void TfrmDirBar::btDBClick(TObject* sender) { ShowEntry(int(dynamic_cast<TComponent*>(sender)->Tag)); }

void TfrmDirBar::btApplyClick(TObject*) {
  changed_ = true;
  const int index = DownIndex();
  const std::string caption = edCaption->GetText(), file = edHTMLFile->GetText();
  if (!caption.empty() && !file.empty()) {
    options_->WriteDirectory(index, caption, file);
    options_->UpdateFile();
    ShowButton(index, caption, file);
    return;
  }
  ShowButton(index, "", "");
  edCaption->SetText("");
  edHTMLFile->SetText("");
  options_->DeleteDirectory(index);
}

void TfrmDirBar::btBrowseClick(TObject*) {
  if (OpenDialog->Execute()) edHTMLFile->SetText(OpenDialog->FileName);
}

}  // namespace lark
