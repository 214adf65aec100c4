// The real program browsing real servers: the idle return, the lists, new
// windows and FTP downloads, end to end.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/app_e2e/larkspan_fixture.h"
#include "tests/net/nginx_peer.h"
#include "tests/net_ftp/ftp_test_support.h"
#include "tests/support/loopback_port.h"
#include "tests/support/test_files.h"

namespace lark::test {
namespace {

// A page whose top left corner, where the tests click, is a link.
std::string LinkPage(const std::string& href, const std::string& target) {
  return "<html><body><a href=\"" + href + "\"" + (target.empty() ? "" : " target=\"" + target + "\"") +
         "><font size=7>THE LINK THE LINK</font></a></body></html>";
}

// nginx logging every request it gets, serving two small pages.
class LarkspanBrowsing : public LarkspanTest {
 protected:
  void SetUp() override {
    LarkspanTest::SetUp();
    if (IsSkipped()) return;
    nginx_.ServerConfig = "    access_log " + logs_.Path() + "/access.log;\n";
    nginx_.WriteFile("home.html", "<html><head><title>Home</title></head><body>The home page</body></html>");
    nginx_.WriteFile("secret/a.html", "<html><body>secret</body></html>");
    nginx_.Start();
    ASSERT_TRUE(nginx_.Started()) << nginx_.Error();
  }
  [[nodiscard]] std::string Log() const {
    std::ifstream in(logs_.Path() + "/access.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  [[nodiscard]] std::string Shown() { return program->Command("shown FrameBrowser").Text(); }

  TempDir logs_;
  NginxPeer nginx_;
};

// Left alone for a second the window goes home; while the pointer moves
// over it, it stays.
TEST_F(LarkspanBrowsing, IdleReturnGoesHomeButNotWhileThePointerMoves) {
  program->WriteProgramFile("larkspan.ini", "[HomePage]\nType=2\nAddress=" + nginx_.Url("/home.html") +
                                                "\nLoadHomePageAfter=1\nSecondsIdleTime=1\n");
  Start({"/home=" + Page()});
  EXPECT_TRUE(WaitFor([&] { return Log().find("GET /home.html") != std::string::npos; }, 30000)) << Log();
  const std::string window = program->Xdotool("search --onlyvisible --name .");
  ASSERT_FALSE(window.empty());
  const std::string id = window.substr(0, window.find('\n'));
  std::atomic<bool> moving = true;
  std::thread mover([&] {
    for (int step = 0; moving; ++step) {
      program->Xdotool("mousemove --window " + id + " " + std::to_string(200 + step % 50) + " 300");
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  });
  ASSERT_TRUE(program->Command("choose View/Navigation/Back").ok);
  ASSERT_TRUE(program->Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok);
  EXPECT_NE(Shown().find("Hello from the page"), std::string::npos) << Shown();
  const std::size_t requests = Log().size();
  // Three idle intervals with moves throughout: no return home.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  moving = false;
  mover.join();
  EXPECT_EQ(Log().size(), requests) << Log();
  EXPECT_NE(Shown().find("Hello from the page"), std::string::npos);
}

// Every spelling of a denied address shows the block page, and the server
// behind it, reached by a host name of the test's own, never hears of it.
TEST_F(LarkspanBrowsing, EveryListBypassShowsTheBlockPageAndReachesNoServer) {
  if (!std::filesystem::exists(kNssWrapper)) GTEST_SKIP() << "libnss-wrapper is not installed";
  if (!kHostNamesOfOurOwn) GTEST_SKIP() << "libnss-wrapper cannot run under the address sanitizer";
  const std::string hosts = logs_.Write("hosts", "127.0.0.1 denied.example\n127.0.0.1 allowed.example\n");
  const std::string p = std::to_string(nginx_.Port());
  program->WriteProgramFile("Deny.lst", "http://denied.example:" + p + "/\nhttp://127.0.0.1:" + p + "/secret/\n");
  const std::vector<std::string> names{std::string("LD_PRELOAD=") + kNssWrapper, "NSS_WRAPPER_HOSTS=" + hosts};
  for (const std::string& address :
       {"HTTP://DENIED.Example:" + p + "/home.html", "http://user@denied.example:" + p + "/home.html",
        "http://denied.example.:" + p + "/home.html", "http://denied.%65xample:" + p + "/home.html",
        "http:\\\\denied.example:" + p + "\\home.html", "denied.example:" + p + "/home.html",
        "http://2130706433:" + p + "/secret/a.html", "http://0x7f.1:" + p + "/secret/a.html",
        "http://0177.0.0.1:" + p + "/secret/a.html", "http://127.0.0.1:" + p + "/x/../secret/a.html",
        "http://127.0.0.1:" + p + "/%73ecret/a.html"}) {
    Start({"/home=" + address}, names);
    EXPECT_NE(Shown().find("This address is blocked"), std::string::npos) << address;
    program->Stop();
  }
  EXPECT_EQ(Log(), "");
  // The way to the server is open for what the lists allow.
  Start({"/home=http://allowed.example:" + p + "/home.html"}, names);
  EXPECT_NE(Shown().find("The home page"), std::string::npos);
  EXPECT_NE(Log().find("GET /home.html"), std::string::npos);
}

// A frame, a style sheet and a form's action aimed at a denied host (a
// second loopback address, so that the sanitizer build runs this too): the
// frame and the form's answer are the block page (the form's in the whole
// window, as for a refused link), the sheet is nothing, and the denied
// host's server hears of none of them.
TEST_F(LarkspanBrowsing, FramesSheetsAndFormsAimedAtADeniedHostReachNoServer) {
  NginxPeer site;
  const int deniedPort = FreePort();
  const std::string denied = "http://127.0.0.2:" + std::to_string(deniedPort);
  const std::string deniedLog = logs_.Path() + "/denied.log";
  site.HttpConfig = "  server {\n    listen 127.0.0.2:" + std::to_string(deniedPort) + ";\n    root " + site.Root() +
                    ";\n    access_log " + deniedLog + ";\n  }\n";
  site.ServerConfig = "    access_log " + logs_.Path() + "/site.log;\n";
  site.WriteFile("frames.html", "<html><frameset cols=\"50%,50%\"><frame src=\"form.html\"><frame src=\"" + denied +
                                    "/frame.html\"></frameset></html>");
  site.WriteFile("form.html", "<html><head><link rel=stylesheet href=\"" + denied +
                                  "/sheet.css\"></head><body><form method=post action=\"" + denied +
                                  "/form\"><input type=submit value=\"SEND SEND SEND\"></form>the form page</body></html>");
  site.Start();
  ASSERT_TRUE(site.Started()) << site.Error();
  program->WriteProgramFile("Deny.lst", "*://127.0.0.2:" + std::to_string(deniedPort) + "/*\n");
  Start({"/home=" + site.Url("/frames.html")});
  ASSERT_TRUE(WaitFor([&] { return Shown().find("This address is blocked") != std::string::npos &&
                                   Shown().find("the form page") != std::string::npos; }, kIdleMs))
      << Shown();
  ASSERT_TRUE(program->Command("click FrameBrowser 30 16").ok);
  EXPECT_TRUE(WaitFor([&] { return Shown().find("the form page") == std::string::npos; }, kIdleMs)) << Shown();
  EXPECT_NE(Shown().find("This address is blocked"), std::string::npos) << Shown();
  EXPECT_NE(ReadFile(logs_.Path() + "/site.log").find("GET /form.html"), std::string::npos);
  EXPECT_EQ(ReadFile(deniedLog), "");
}

// An address typed into the address box opens with Enter, whether the
// keys come through the test control or through the X server.
TEST_F(LarkspanBrowsing, TypedAddressOpensWithEnter) {
  Start({"/home=" + Page()});
  ASSERT_TRUE(program->Command("click cbAddress").ok);
  ASSERT_TRUE(program->Command("key End").ok);
  ASSERT_TRUE(program->Command("key shift+Home").ok);
  ASSERT_TRUE(program->Command("type " + nginx_.Url("/home.html")).ok);
  ASSERT_TRUE(program->Command("key Return").ok);
  ASSERT_TRUE(program->Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok);
  EXPECT_EQ(program->Command("text cbAddress").Text(), nginx_.Url("/home.html"));
  // Under a sanitizer on a loaded machine one answer can take longer than
  // the control's reply bound: ask again rather than fail on the first.
  EXPECT_TRUE(WaitFor([&] { return Shown().find("The home page") != std::string::npos; }, kIdleMs)) << Shown();

  const std::string window = program->Xdotool("search --sync --limit 1 --onlyvisible --name .");
  ASSERT_FALSE(window.empty());
  program->Xdotool("windowfocus --sync " + window.substr(0, window.find('\n')));
  ASSERT_TRUE(program->Command("click cbAddress").ok);
  ASSERT_TRUE(program->Command("idle").ok);
  program->Xdotool("key --delay 20 End shift+Home");
  program->Xdotool("type --delay 5 " + nginx_.Url("/secret/a.html"));
  program->Xdotool("key Return");
  EXPECT_TRUE(WaitFor([&] { return Shown().find("secret") != std::string::npos; }, kIdleMs)) << Shown();
  EXPECT_NE(Log().find("GET /secret/a.html"), std::string::npos) << Log();
}

// A link to a new window starts the program again on the link's address,
// its "#" part left out.
TEST_F(LarkspanBrowsing, BlankTargetStartsAProcessOnTheAddressWithoutItsAnchor) {
  program->WriteProgramFile("page.html", LinkPage(nginx_.Url("/home.html#part"), "_blank"));
  Start({"/home=" + Page()});
  ASSERT_TRUE(program->Command("click FrameBrowser 60 20").ok);
  ASSERT_TRUE(WaitFor([&] { return !program->OtherInstanceSockets().empty(); }, kIdleMs)) << program->Output();
  const std::string socket = program->OtherInstanceSockets()[0];
  std::string arguments = ReadFile("/proc/" + socket.substr(socket.rfind('-') + 1) + "/cmdline");
  EXPECT_NE(arguments.find(std::string("/home=") + nginx_.Url("/home.html") + '\0'), std::string::npos) << arguments;
  EXPECT_EQ(arguments.find('#'), std::string::npos) << arguments;
}

// An ftp address is a download: saved where the user says, whole.
TEST_F(LarkspanBrowsing, FtpAddressesDownload) {
  VsftpdPeer ftp;
  const std::string bytes(300000, 'f');
  ftp.WriteFile("file.bin", bytes);
  ftp.Start();
  ASSERT_TRUE(ftp.Started()) << ftp.Error();
  program->WriteProgramFile("page.html", LinkPage("ftp://127.0.0.1:" + std::to_string(ftp.Port()) + "/file.bin", ""));
  Start({"/home=" + Page()});
  const std::string target = logs_.Path() + "/saved.bin";
  ASSERT_TRUE(program->Command("answer dialog ok " + target).ok);
  ASSERT_TRUE(program->Command("click FrameBrowser 60 20").ok);
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(target) && ReadFile(target) == bytes; }, kIdleMs))
      << program->Output();
}

}  // namespace
}  // namespace lark::test
