#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/authorization_form.h"
#include "app/disk_cache.h"
#include "app/main_window.h"
#include "platform/core/private_temp_dir.h"
#include "platform/core/stream.h"
#include "platform/windows/button.h"
#include "platform/windows/edit.h"
#include "platform/windows/label.h"
#include "platform/windows/test_driver.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/net/nginx_peer.h"
#include "tests/support/files_holding.h"
#include "tests/support/loopback_port.h"

namespace lark {
namespace {

constexpr const char* kUser = "alice";
// Distinct enough that finding it in a file cannot be chance.
constexpr const char* kPassword = "Pw-7f3c1a9e-kiosk";
constexpr const char* kProtected = "<html><head><title>members</title></head><body>members page</body></html>";

// What the prompt showed, and how a test answers it.
struct Prompt {
  std::string caption, host, realm;
};
struct Answer {
  std::string user, password;
  bool ok = true;
};

// nginx asking for a password under /members/ (and /staff/, another
// realm), and a second server that logs the Authorization it is sent.
class Authorization : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    const std::string users = Path("users");
    ASSERT_EQ(system(("openssl passwd -apr1 " + std::string(kPassword) + " | sed 's/^/" + kUser + ":/' > " + users +
                      " && chmod 644 " + users)
                         .c_str()),
              0);
    chmod(std::filesystem::path(users).parent_path().c_str(), 0755);
    nginx_.WriteFile("members/page.html", kProtected);
    nginx_.WriteFile("staff/page.html", "<title>staff</title>staff page");
    const std::string other = "127.0.0.1:" + std::to_string(otherPort_);
    nginx_.HttpConfig = "  log_format auth '$request_uri [$http_authorization]';\n  server {\n    listen " + other +
                        ";\n    access_log " + Path("other.log") +
                        " auth;\n    location = /hop { return 302 http://" + other +
                        "/landed; }\n    location / { return 200 'landed'; }\n  }\n";
    const std::string auth = " auth_basic_user_file " + users + "; ";
    nginx_.ServerConfig = "    location /members/ { auth_basic \"Members only\";" + auth +
                          "}\n    location /staff/ { auth_basic \"Staff & co\";" + auth +
                          "}\n    location = /members/away { auth_basic \"Members only\";" + auth +
                          "proxy_redirect off; proxy_pass http://" + other + "/hop; }\n";
    nginx_.Start();
    ASSERT_TRUE(nginx_.Started()) << nginx_.Error();
    test_driver::OnModalShown([this](TCustomForm* form) {
      auto* dialog = dynamic_cast<TfrmAuthorization*>(form);
      ASSERT_NE(dialog, nullptr);
      prompts_.push_back({dialog->Caption(), dialog->lbSiteName->Caption(), dialog->lbRealmName->Caption()});
      EXPECT_EQ(dialog->edPassword->PasswordChar(), '*');
      const Answer answer = answers_.empty() ? Answer{"", "", false} : answers_.front();
      if (!answers_.empty()) answers_.erase(answers_.begin());
      if (!answer.ok) {
        dialog->btCancel->Click();
        return;
      }
      dialog->edUserName->SetText(answer.user);
      dialog->edPassword->SetText(answer.password);
      dialog->btOk->Click();
    });
  }
  std::string Request(const std::string& url) {
    std::string newURL;
    ThtmlFileType docType = ThtmlFileType::ftHTML;
    TMemoryStream* stream = nullptr;
    window_->FrameBrowserGetPostRequestEx(nullptr, true, url, "", "", "", false, newURL, docType, stream);
    return stream != nullptr ? std::string(stream->Bytes()) : "<none>";
  }
  [[nodiscard]] std::string Host() const { return "127.0.0.1:" + std::to_string(nginx_.Port()); }

  test::NginxPeer nginx_;
  int otherPort_ = test::FreePort();
  std::vector<Prompt> prompts_;
  std::vector<Answer> answers_;
};

TEST_F(Authorization, EachAnswerAsksWithItsHostAndRealmAndNothingIsKept) {
  Open({"/home=" + StartPage()});
  // A wrong password asks again; the right one opens the page.
  answers_ = {{kUser, "wrong"}, {kUser, kPassword}};
  EXPECT_EQ(Request(nginx_.Url("/members/page.html")), kProtected);
  ASSERT_EQ(prompts_.size(), 2u);
  for (const Prompt& prompt : prompts_) {
    EXPECT_EQ(prompt.caption, "Authorization");
    EXPECT_EQ(prompt.host, Host());
    EXPECT_EQ(prompt.realm, "\"Members only\"");
  }
  std::string fileName;
  int docType = 0;
  EXPECT_FALSE(window_->DiskCache->FindInCache(nginx_.Url("/members/page.html"), fileName, docType));
  // Another realm is named as its server sent it; Cancel fails the request.
  prompts_.clear();
  answers_ = {{"", "", false}};
  EXPECT_EQ(Request(nginx_.Url("/staff/page.html")).find("staff page"), std::string::npos);
  ASSERT_EQ(prompts_.size(), 1u);
  EXPECT_EQ(prompts_[0].realm, "\"Staff & co\"");
  // OK with an empty field says so and fails too.
  answers_ = {{kUser, ""}};
  EXPECT_EQ(Request(nginx_.Url("/staff/page.html")).find("staff page"), std::string::npos);
  EXPECT_EQ(boxes_, std::vector<std::string>{"Entry required for both Username and Password"});
  // The password goes to the host that asked, not where it redirects to.
  answers_ = {{kUser, kPassword}};
  EXPECT_EQ(Request(nginx_.Url("/members/away")), "landed");
  // nginx logs a request just after answering it.
  std::string log;
  for (int i = 0; i < 100 && log.find("/landed") == std::string::npos; ++i) {
    usleep(50000);
    log = test::ReadFile(Path("other.log"));
  }
  EXPECT_NE(log.find("/landed [-]"), std::string::npos) << log;
  Close();
  for (const std::string& folder : {Path(""), PrivateTempDirectory()}) {
    EXPECT_EQ(test::FilesHolding(folder, kPassword), std::vector<std::string>{}) << folder;
  }
}

TEST(AuthorizationText, ServerTextIsShownPlainAndShort) {
  EXPECT_EQ(TfrmAuthorization::ShownText("a\tb\r\nc"), "a b  c");
  const std::string shown = TfrmAuthorization::ShownText(std::string(200, 'x'));
  EXPECT_EQ(shown, std::string(kShownAskerCharacters, 'x') + "...");
}

}  // namespace
}  // namespace lark
