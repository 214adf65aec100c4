// The password prompt of the real program: a frame from a second host asks,
// the prompt names that host and its realm, and the password is written
// nowhere.
#include <filesystem>

#include "tests/app_e2e/larkspan_fixture.h"
#include "tests/net/nginx_peer.h"
#include "tests/support/files_holding.h"
#include "tests/support/test_files.h"

namespace lark::test {
namespace {

constexpr char kPassword[] = "Pw-e2e-4b9d71c2";

TEST_F(LarkspanTest, AFrameFromAnotherHostIsAskedForByNameAndThePasswordStaysInMemory) {
  // Under the address sanitizer the second host is another loopback address.
  const bool named = kHostNamesOfOurOwn && std::filesystem::exists(kNssWrapper);
  const std::string host = named ? "members.example" : "127.0.0.2";
  TempDir files;
  const std::string users = files.Path() + "/users";
  ASSERT_EQ(system(("openssl passwd -apr1 " + std::string(kPassword) + " | sed 's/^/alice:/' > " + users).c_str()), 0);
  std::filesystem::permissions(files.Path(), std::filesystem::perms(0755));
  std::filesystem::permissions(users, std::filesystem::perms(0644));
  NginxPeer nginx;
  const int port = FreePort();
  const std::string hostAndPort = host + ":" + std::to_string(port);
  nginx.WriteFile("frames.html", "<html><frameset cols=\"50%,50%\"><frame src=\"own.html\"><frame src=\"http://" +
                                     hostAndPort + "/members/page.html\"></frameset></html>");
  nginx.WriteFile("own.html", "<html><body>own frame</body></html>");
  nginx.WriteFile("members/page.html", "<html><body>members frame</body></html>");
  nginx.HttpConfig = "  log_format auth '$status $request_uri';\n  server {\n    listen " +
                     std::string(named ? "127.0.0.1" : "127.0.0.2") + ":" + std::to_string(port) + ";\n    root " +
                     nginx.Root() + ";\n    access_log " + files.Path() + "/members.log auth;\n" +
                     "    location /members/ { auth_basic \"Second site\"; auth_basic_user_file " + users + "; }\n  }\n";
  nginx.Start();
  ASSERT_TRUE(nginx.Started()) << nginx.Error();
  std::vector<std::string> environment;
  if (named) {
    const std::string hosts = files.Write("hosts", "127.0.0.1 members.example\n");
    environment = {std::string("LD_PRELOAD=") + kNssWrapper, "NSS_WRAPPER_HOSTS=" + hosts};
  }
  const auto asked = [&](std::size_t times) {
    return WaitFor(
        [&] {
          std::error_code error;
          std::size_t answers = 0;
          if (std::filesystem::exists(files.Path() + "/members.log", error)) {
            const std::string log = ReadFile(files.Path() + "/members.log");
            for (std::size_t at = log.find("401 "); at != std::string::npos; at = log.find("401 ", at + 1)) ++answers;
          }
          return answers == times && program->Command("caption").Text() == "Authorization";
        },
        kIdleMs);
  };
  const auto answer = [&](const std::string& password) {
    // The dialog opens in the user name; Tab goes to the password.
    ASSERT_TRUE(program->Command("type alice").ok);
    ASSERT_TRUE(program->Command("key Tab").ok);
    ASSERT_TRUE(program->Command("type " + password).ok);
    ASSERT_TRUE(program->Command("click btOk").ok);
  };
  ASSERT_TRUE(program->Start({"/home=" + nginx.Url("/frames.html")}, display_.Name(), environment)) << program->Error();
  // The prompt names the frame's host, not the page's, and every 401 asks.
  ASSERT_TRUE(asked(1)) << program->Output();
  EXPECT_EQ(program->Command("text lbSiteName").Text(), hostAndPort);
  EXPECT_EQ(program->Command("text lbRealmName").Text(), "\"Second site\"");
  answer("wrong");
  ASSERT_TRUE(asked(2)) << program->Output();
  answer(kPassword);
  ASSERT_TRUE(program->Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok);
  ASSERT_TRUE(WaitFor([&] { return program->Command("shown FrameBrowser").Text().find("members frame") !=
                                   std::string::npos; }, kIdleMs))
      << program->Command("shown FrameBrowser").Text();
  CloseAndWait();
  for (const std::string& folder :
       {program->ProgramDir(), program->Home(), std::filesystem::path(program->PrivateTempDir()).parent_path().parent_path().string()}) {
    EXPECT_EQ(FilesHolding(folder, kPassword), std::vector<std::string>{}) << folder;
  }
}

}  // namespace
}  // namespace lark::test
