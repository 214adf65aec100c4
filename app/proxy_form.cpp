#include "app/proxy_form.h"

#include "app/language.h"
#include "platform/core/exception.h"
#include "platform/core/string_routines.h"
#include "platform/windows/button.h"
#include "platform/windows/edit.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/label.h"

namespace lark {

int ProxyPortValue(const std::string& text) {
  const int port = StrToInt(text);
  if (port < 1 || port > 65535) throw EConvertError("'" + text + "' is not a valid integer value");
  return port;
}

TfrmProxy::TfrmProxy(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmProxy");
  lbProxy = dynamic_cast<TLabel*>(FindComponent("lbProxy"));
  lbPort = dynamic_cast<TLabel*>(FindComponent("lbPort"));
  edProxy = dynamic_cast<TEdit*>(FindComponent("edProxy"));
  edPort = dynamic_cast<TEdit*>(FindComponent("edPort"));
  btOk = dynamic_cast<TButton*>(FindComponent("btOk"));
  btCancel = dynamic_cast<TButton*>(FindComponent("btCancel"));
}

void TfrmProxy::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("130", text)) lbProxy->SetCaption(text);
  if (language.GetText("174", text)) lbPort->SetCaption(text);
  if (language.GetText("4", text)) btOk->SetCaption(text);
  if (language.GetText("5", text)) btCancel->SetCaption(text);
}

}  // namespace lark
