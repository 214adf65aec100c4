#pragma once

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TLabel;
class TPaintBox;

// The release the program shows in its About box.
inline constexpr char kProgramVersion[] = "0.1";

// The program's title, version and logo. As the About box it shows its OK
// button; otherwise the button stays hidden.
class TfrmSplash : public TForm {
 public:
  explicit TfrmSplash(TComponent* owner);

  TPaintBox* pbLogo = nullptr;
  TLabel *lbTitle = nullptr, *lbVersion = nullptr;
  TButton* btOK = nullptr;

  void pbLogoPaint(TObject* sender);
};

}  // namespace lark
