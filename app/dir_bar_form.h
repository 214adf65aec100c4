#pragma once

#include <string>

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TEdit;
class TGroupBox;
class TLabel;
class TLanguage;
class TOpenDialog;
class TOptions;
class TSpeedButton;

// The caption a directory button shows: at most 8 whole characters, and
// "..." after them when the caption is longer.
[[nodiscard]] std::string DirectoryButtonCaption(const std::string& caption);

// Edits the ten directory entries of the settings, one button each.
class TfrmDirBar : public TForm {
 public:
  TfrmDirBar(TComponent* owner, TOptions* options);

  TGroupBox* gbDirBtns = nullptr;
  TSpeedButton* btDB[10] = {};
  TLabel *lbCaption = nullptr, *lbHTMLFile = nullptr;
  TEdit *edCaption = nullptr, *edHTMLFile = nullptr;
  TButton *btBrowse = nullptr, *btApply = nullptr, *btClose = nullptr;
  TOpenDialog* OpenDialog = nullptr;

  // True once Apply ran: the main window rebuilds its bar.
  [[nodiscard]] bool Changed() const { return changed_; }

  void ApplyLanguage(const TLanguage& language);
  void btDBClick(TObject* sender);
  void btApplyClick(TObject* sender);
  void btBrowseClick(TObject* sender);

 private:
  void ShowButton(int index, const std::string& caption, const std::string& file);
  void ShowEntry(int index);
  [[nodiscard]] int DownIndex() const;

  TOptions* options_;
  bool changed_ = false;
};

}  // namespace lark
