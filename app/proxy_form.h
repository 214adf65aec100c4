#pragma once

#include <string>

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TEdit;
class TLabel;
class TLanguage;

// The port typed into the proxy dialog. Raises EConvertError "'<text>' is
// not a valid integer value" for a non-number and, with the same message,
// for a number outside 1..65535 (the socket would cut it to 16 bits and
// reach another port).
[[nodiscard]] int ProxyPortValue(const std::string& text);

// Edits the proxy host and port; the main window fills it and reads it back.
class TfrmProxy : public TForm {
 public:
  explicit TfrmProxy(TComponent* owner);

  TLabel *lbProxy = nullptr, *lbPort = nullptr;
  TEdit *edProxy = nullptr, *edPort = nullptr;
  TButton *btOk = nullptr, *btCancel = nullptr;

  void ApplyLanguage(const TLanguage& language);
};

}  // namespace lark
