#pragma once

#include <string>

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TCheckBox;
class TEdit;
class TGroupBox;
class TLabel;
class TLanguage;
class TOpenDialog;
class TRadioButton;
class TSpinEdit;

// What the program starts with: a blank page, the local search engine or a
// home page, and whether the home page returns after some idle seconds.
class TfrmHomePage : public TForm {
 public:
  explicit TfrmHomePage(TComponent* owner);

  TGroupBox* gbStartProgramWith = nullptr;
  TRadioButton *rbBlankPage = nullptr, *rbLocalSearchEngine = nullptr, *rbHomePage = nullptr;
  TEdit* edHomePage = nullptr;
  TButton *btBrowse = nullptr, *btOk = nullptr, *btCancel = nullptr;
  TCheckBox* cbLoadHomePage = nullptr;
  TSpinEdit* seIdleSec = nullptr;
  TLabel* lbSecondsIdleTime = nullptr;
  TOpenDialog* OpenDialog = nullptr;

  void ApplyLanguage(const TLanguage& language);
  // Start type 0, 1 or 2 (by the checked choice), and back.
  void Fill(int homeType, const std::string& address, bool loadAfterIdle, int idleSeconds);
  [[nodiscard]] int HomeType() const;
  // The idle return as the dialog offers it: a disabled box (no home page
  // to return to) never asks for it, whatever its check mark.
  [[nodiscard]] bool LoadHomePageAfter() const;
  void ControlChanged(TObject* sender);
  void btBrowseClick(TObject* sender);

 private:
  void UpdateEnabling();
};

}  // namespace lark
