// A kiosk's settings lock the real program: keys typed through the X server
// open nothing and ask nothing, and the close box leaves the window up.
#include <fstream>

#include "tests/app_e2e/larkspan_fixture.h"
#include "tests/net/nginx_peer.h"
#include "tests/support/test_files.h"

namespace lark::test {
namespace {

int Lines(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

TEST_F(LarkspanTest, KioskSettingsLockKeysAndTheCloseBox) {
  ASSERT_TRUE(HaveTool("xdotool")) << "xdotool is not installed (Debian package xdotool)";
  TempDir logs;
  NginxPeer nginx;
  nginx.ServerConfig = "    access_log " + logs.Path() + "/access.log;\n";
  nginx.WriteFile("a.html", "<html><head><title>Kiosk</title></head><body>The kiosk page</body></html>");
  nginx.WriteFile("b.html", "<html><body>elsewhere</body></html>");
  nginx.Start();
  ASSERT_TRUE(nginx.Started()) << nginx.Error();
  auto log = [&] {
    std::ifstream in(logs.Path() + "/access.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  program->WriteProgramFile(
      "larkspan.ini",
      "[Buttons]\nForward=0\nStop=0\nReload=0\nSearch=0\nAdd=0\nOpen=0\nSave=0\nPreview=0\nPrint=0\nClose=0\n"
      "[FormMain]\nResize=0\n[Bar]\nMenuBar=0\nAdmin=0\nCustButton=0\nPanelAddress=0\nDirectoryButtons=0\n"
      "[Address]\nCurrentAddress=" +
          nginx.Url("/b.html") + "\n");
  Start({"/home=" + nginx.Url("/a.html")});
  const std::string before = log();
  ASSERT_NE(before.find("GET /a.html"), std::string::npos) << before;
  const std::string windows = program->Xdotool("search --onlyvisible --name .");
  ASSERT_FALSE(windows.empty());
  program->Xdotool("windowfocus --sync " + windows.substr(0, windows.find('\n')));
  ASSERT_TRUE(program->Command("click FrameBrowser 40 40").ok);
  ASSERT_TRUE(program->Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok);
  program->Xdotool("key --delay 50 ctrl+o ctrl+s ctrl+p ctrl+f ctrl+d F3 F5 F11 Return");
  ASSERT_TRUE(program->Command("close").ok);
  ASSERT_TRUE(program->Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok);
  EXPECT_EQ(Lines(program->Xdotool("search --onlyvisible --name .")), Lines(windows));
  EXPECT_NE(program->Command("shown FrameBrowser").Text().find("The kiosk page"), std::string::npos);
  EXPECT_EQ(log(), before);
  // The keys did arrive: the Home button shows, and its key works.
  ASSERT_NE(program->Command("text cbAddress").Text(), "");
  program->Xdotool("key alt+Home");
  ASSERT_TRUE(program->Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok);
  EXPECT_EQ(program->Command("text cbAddress").Text(), "");
}

}  // namespace
}  // namespace lark::test
