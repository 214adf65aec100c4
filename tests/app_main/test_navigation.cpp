#include <sys/stat.h>

#include "app/download_form.h"
#include "platform/core/file_routines.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/test_driver.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/support/loopback_port.h"
#include "tests/support/peer_process.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

using Starts = std::vector<std::pair<std::string, std::vector<std::string>>>;

class Navigation : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    test_driver::CaptureStarts([this](const std::string& program, const std::vector<std::string>& arguments) {
      starts_.emplace_back(program, arguments);
    });
  }
  Starts starts_;
};

// Every spelling of a denied folder shows the block page; the server's own
// spelling of an allowed one shows the page.
TEST_F(Navigation, DenyListLinesHoldForEverySpellingOfTheAddress) {
  test::TempDir site;
  ForceDirectories(site.File("secret"));
  ForceDirectories(site.File("open"));
  site.Write("secret/a.html", "<title>secret</title>secret");
  site.Write("open/a.html", "<title>open</title>open");
  const int port = test::FreePort();
  test::PeerProcess server({"/usr/bin/python3", "-m", "http.server", std::to_string(port), "--bind", "127.0.0.1"},
                           "python3", port, site.Path());
  ASSERT_TRUE(server.Started()) << server.Error();
  const std::string p = std::to_string(port);
  Write("Deny.lst", "  http://127.0.0.1:" + p + "/secret/  \n*://LOCALHOST/*\n");
  Open({"/home=" + StartPage()});
  const std::string block = FileURL("block.html");
  for (const std::string& address :
       {"HTTP://127.0.0.1:" + p + "/secret/a.html", "http://2130706433:" + p + "/secret/a.html",
        "http://0x7f.1:" + p + "/secret/a.html", "http://0177.0.0.1:" + p + "/secret/a.html",
        "http://user@127.0.0.1:" + p + "/secret/a.html", "http://127.0.0.1.:" + p + "/secret/a.html",
        "http://127.0.0.1:" + p + "/open/../secret/a.html", "http://127.0.0.1:" + p + "/%73ecret/a.html",
        "http:\\\\127.0.0.1:" + p + "\\secret\\a.html", "127.0.0.1:" + p + "/secret/a.html",
        std::string("http://localhost:80/x.html")}) {
    Navigate(address);
    EXPECT_EQ(ShownURL(), block) << address;
  }
  Navigate("http://127.0.0.1:" + p + "/open/a.html");
  EXPECT_EQ(ShownTitle(), "open");
  // A link on an allowed page to a denied one is refused too.
  bool handled = false;
  window_->FrameBrowserHotSpotTargetClick(nullptr, "", "http://2130706433:" + p + "/secret/a.html", handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(ShownURL(), block);
}

TEST_F(Navigation, AnAllowListWithLinesAdmitsOnlyWhatMatches) {
  Write("Allow.lst", "*://allowed.example/*\n");
  Open({"/home=" + StartPage()});
  EXPECT_EQ(ShownURL(), FileURL("start.html"));  // the program's own pages pass
  Navigate("http://other.example/");
  EXPECT_EQ(ShownURL(), FileURL("block.html"));
  EXPECT_TRUE(window_->URLAllowed("HTTP://Allowed.Example/docs/"));
}

TEST_F(Navigation, NewWindowsGetTheURLWithoutItsAnchorAndTheParentsModes) {
  Open({"/home=" + StartPage(), "/cdrom", "/cache=temp"});
  const std::string url = "http://example.invalid/" + std::string(300, 'a') + "/page.html";
  window_->FrameBrowserBlankWindowRequest(nullptr, "_blank", url + "#part");
  ASSERT_EQ(starts_.size(), 1u);
  EXPECT_EQ(starts_[0].second,
            (std::vector<std::string>{"/nowindowstate", "/home=" + url, "/cdrom", "/cache=temp"}));
}

TEST_F(Navigation, ProgramLinksNeedTheExecuteBitAndALocalPage) {
  const std::string program = Write("tool.exe", "#!/bin/sh\n");
  Write("plain.exe", "not a program");
  chmod(program.c_str(), 0755);
  Open({"/home=" + StartPage()});
  bool handled = false;
  window_->FrameBrowserHotSpotTargetClick(nullptr, "", FileURL("plain.exe"), handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(starts_.empty());
  window_->FrameBrowserHotSpotTargetClick(nullptr, "", FileURL("tool.exe") + " -a  b", handled);
  ASSERT_EQ(starts_.size(), 1u);
  EXPECT_EQ(starts_[0].first, program);
  EXPECT_EQ(starts_[0].second, (std::vector<std::string>{"-a", "b"}));
}

TEST_F(Navigation, ARemotePageCannotHandLocalFilesToTheDesktop) {
  test::TempDir site;
  site.Write("page.html", "<title>remote</title>remote");
  const int port = test::FreePort();
  test::PeerProcess server({"/usr/bin/python3", "-m", "http.server", std::to_string(port), "--bind", "127.0.0.1"},
                           "python3", port, site.Path());
  ASSERT_TRUE(server.Started()) << server.Error();
  Open({"/home=" + StartPage()});
  bool handled = false;
  window_->FrameBrowserHotSpotTargetClick(nullptr, "externaldoc", FileURL("start.html"), handled);
  EXPECT_EQ(starts_.size(), 1u);  // from the program's own page it opens
  Navigate("http://127.0.0.1:" + std::to_string(port) + "/page.html");
  ASSERT_EQ(ShownTitle(), "remote");
  for (const char* target : {"externaldoc", ""}) {
    handled = false;
    window_->FrameBrowserHotSpotTargetClick(nullptr, target, "file:///etc/passwd", handled);
    EXPECT_TRUE(handled) << target;
  }
  EXPECT_EQ(starts_.size(), 1u);
}

TEST_F(Navigation, DownloadGoesBesideTheTargetAndIntoPlaceWhenWhole) {
  const std::string source = Write("source.bin", std::string(300000, 'x'));
  Write("target.bin", "old");
  Open({"/home=" + StartPage()});
  test_driver::AnswerDialogs([this](TCommonDialog* dialog) {
    auto* save = dynamic_cast<TSaveDialog*>(dialog);
    if (save) save->FileName = Path("target.bin");
    return save != nullptr;
  });
  boxes_.clear();
  test_driver::AnswerMessageBoxes([this](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
    boxes_.push_back(text);
    return static_cast<int>(mrYes);
  });
  window_->DownloadURL = FileURL("source.bin");
  window_->WMDownload();
  ASSERT_EQ(boxes_.size(), 1u);  // the replace question
  EXPECT_EQ(test::ReadFile(Path("target.bin")), std::string(300000, 'x'));
  EXPECT_FALSE(FileExists(Path("target.bin.part")));
  // A source that cannot be read leaves the target as it was.
  window_->DownloadURL = FileURL("missing.bin");
  window_->WMDownload();
  EXPECT_EQ(test::ReadFile(Path("target.bin")), std::string(300000, 'x'));
  EXPECT_FALSE(FileExists(Path("target.bin.part")));
}

TEST(DownloadTexts, SixtyFourBitProgress) {
  const std::int64_t total = 6LL << 30, received = 3LL << 30;
  EXPECT_EQ(TDownLoadForm::StatusText(received, total, 1000),
            "3145728k of 6291456k (at 3221225.5k/sec)");
  EXPECT_EQ(TDownLoadForm::TimeLeftText(received, total, 3600 * 1000), "01:00:00");
  EXPECT_EQ(TDownLoadForm::StatusText(1024, 0, 1000), "1k of 0k (at  1.0k/sec)");
  // No announced length (-1 from HTTP, FTP SIZE refused): 0k and no time left.
  EXPECT_EQ(TDownLoadForm::StatusText(4096, -1, 1000), "4k of 0k (at  4.1k/sec)");
  for (const std::int64_t announced : {-1LL, 0LL, 1000LL})
    EXPECT_EQ(TDownLoadForm::TimeLeftText(4096, announced, 5000), "") << announced;
}

}  // namespace
}  // namespace lark
