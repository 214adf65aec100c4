#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TEdit;
class TLabel;
class TLanguage;

// Longest host and realm the prompt shows, in characters: a server chooses
// both, and a long one must not push the fields off the dialog.
inline constexpr std::size_t kShownAskerCharacters = 60;

// Asks for the user name and password of a protected realm, naming the host
// and the realm that ask, so that a frame or a redirect from another site is
// never mistaken for the page's own. The accounts it is given are kept in
// memory only, per realm, and overwritten when the form goes.
class TfrmAuthorization : public TForm {
 public:
  explicit TfrmAuthorization(TComponent* owner);
  ~TfrmAuthorization() override;

  TLabel *lbSite = nullptr, *lbSiteName = nullptr, *lbRealm = nullptr, *lbRealmName = nullptr;
  TLabel *lbUserName = nullptr, *lbPassword = nullptr;
  TEdit *edUserName = nullptr, *edPassword = nullptr;
  TButton *btOk = nullptr, *btCancel = nullptr;

  // The host (with its port) whose answer asked for the password.
  std::string Host;

  void ApplyLanguage(const TLanguage& language);
  // With UseCache and an account kept for Realm: that account, no dialog.
  // Otherwise the dialog; OK keeps what was typed for Realm and gives it.
  [[nodiscard]] bool Execute(bool UseCache, const std::string& Realm, std::string& Password, std::string& UserName);
  void btOkClick(TObject* sender);

  // A server's text as the dialog shows it: control characters as blanks,
  // cut to kShownAskerCharacters.
  [[nodiscard]] static std::string ShownText(const std::string& text);

 private:
  struct TRealmAccount {
    std::string UserName;
    std::string Password;
  };
  std::map<std::string, TRealmAccount> realms_;
};

}  // namespace lark
