#include "app/authorization_form.h"

#include "app/language.h"
#include "platform/core/secret_erase.h"
#include "platform/core/text_cut.h"
#include "platform/windows/button.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/label.h"

namespace lark {

TfrmAuthorization::TfrmAuthorization(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmAuthorization");
  lbSite = dynamic_cast<TLabel*>(FindComponent("lbSite"));
  lbSiteName = dynamic_cast<TLabel*>(FindComponent("lbSiteName"));
  lbRealm = dynamic_cast<TLabel*>(FindComponent("lbRealm"));
  lbRealmName = dynamic_cast<TLabel*>(FindComponent("lbRealmName"));
  lbUserName = dynamic_cast<TLabel*>(FindComponent("lbUserName"));
  lbPassword = dynamic_cast<TLabel*>(FindComponent("lbPassword"));
  edUserName = dynamic_cast<TEdit*>(FindComponent("edUserName"));
  edPassword = dynamic_cast<TEdit*>(FindComponent("edPassword"));
  btOk = dynamic_cast<TButton*>(FindComponent("btOk"));
  btCancel = dynamic_cast<TButton*>(FindComponent("btCancel"));
  // What the server named is shown as it is: an "&" underlines nothing.
  lbSiteName->ShowAccelChar = false;
  lbRealmName->ShowAccelChar = false;
  btOk->OnClick = [this](TObject* sender) { btOkClick(sender); };
}

TfrmAuthorization::~TfrmAuthorization() {
  for (auto& [realm, account] : realms_) OverwriteAndClear(account.Password);
  edPassword->SetText("");
}

void TfrmAuthorization::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("7", text)) lbUserName->SetCaption(text);
  if (language.GetText("8", text)) lbPassword->SetCaption(text);
  if (language.GetText("4", text)) btOk->SetCaption(text);
  if (language.GetText("5", text)) btCancel->SetCaption(text);
  if (language.GetText("186", text)) lbSite->SetCaption(text);
  if (language.GetText("187", text)) lbRealm->SetCaption(text);
}

std::string TfrmAuthorization::ShownText(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return CutToCharacters(shown, kShownAskerCharacters);
}

bool TfrmAuthorization::Execute(bool UseCache, const std::string& Realm, std::string& Password,
                                std::string& UserName) {
  if (UseCache) {
    if (auto kept = realms_.find(Realm); kept != realms_.end()) {
      UserName = kept->second.UserName;
      Password = kept->second.Password;
      return true;
    }
  }
  lbSiteName->SetCaption(ShownText(Host));
  lbRealmName->SetCaption(ShownText(Realm));
  edPassword->SetText("");
  if (ShowModal() != mrOk) return false;
  UserName = edUserName->GetText();
  Password = edPassword->GetText();
  edPassword->SetText("");
  TRealmAccount& account = realms_[Realm];
  OverwriteAndClear(account.Password);
  account = TRealmAccount{UserName, Password};
  return true;
}

void TfrmAuthorization::btOkClick(TObject*) {
  if (!edUserName->GetText().empty() && !edPassword->GetText().empty()) {
    ModalResult = mrOk;
    return;
  }
  ShowMessage("Entry required for both Username and Password");
  ModalResult = mrCancel;
}

}  // namespace lark
