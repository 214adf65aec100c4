#pragma once

#include <string>

#include "platform/windows/form.h"

namespace lark {

class TBitBtn;
class TEdit;
class TLabel;
class TLanguage;
class TOptions;

// Names the page shown and keeps it as the newest bookmark. The main window
// hands over the store, its texts, the address and the current history
// entry's title; OK adds the bookmark and closes with mrOk.
class TfrmAddBookmark : public TForm {
 public:
  TfrmAddBookmark(TComponent* owner, TOptions& options, const TLanguage& language, std::string address,
                  std::string title);

  TLabel* lbNameBookmark = nullptr;
  TEdit* edNameBookmark = nullptr;
  TBitBtn *bbOK = nullptr, *bbCancel = nullptr;

  void FormActivate(TObject* sender);
  void bbOKClick(TObject* sender);

 private:
  TOptions& options_;
  const TLanguage& language_;
  std::string address_;
  std::string title_;
};

}  // namespace lark
