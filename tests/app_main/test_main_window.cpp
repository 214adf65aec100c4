#include <sys/stat.h>

#include "app/options.h"
#include "controls/form_placement.h"
#include "platform/core/file_routines.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/menus.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"
#include "tests/app_main/main_window_fixture.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

using MainWindowStart = MainWindowTest;

TEST_F(MainWindowStart, HomeSwitchShowsALocalPage) {
  Open({"/home=" + StartPage()});
  EXPECT_EQ(ShownURL(), FileURL("start.html"));
  EXPECT_EQ(ShownTitle(), "Larkspan");
  EXPECT_EQ(window_->Caption(), FileURL("start.html"));
}

TEST_F(MainWindowStart, SwitchesCountOnlyOutsideTheHomeValue) {
  Open({"/home=/cdrom/index.html", "/Cache=OFF"});
  EXPECT_TRUE(window_->HomeGiven);
  EXPECT_EQ(window_->HomeLocalPath, "/cdrom/index.html");
  EXPECT_FALSE(window_->CdromMode);
  EXPECT_FALSE(window_->CacheOn);
  // The missing page is reported in a page of its own, not thrown out of
  // the activation.
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(ShownTitle(), "Error");
  Close();
  Open({"/home=http://example.invalid/x/cdrom/nowindowstate", "/CDROM"});
  EXPECT_TRUE(window_->CdromMode);
  EXPECT_FALSE(window_->NoWindowState);
  EXPECT_EQ(window_->cbAddress->GetText(), "http://example.invalid/x/cdrom/nowindowstate");
}

TEST_F(MainWindowStart, SettingsRoundTripKeepsCommentsAndOtherLines) {
  const std::string ini =
      "; kiosk settings\n[Kiosk]\nOwner=desk 4\n[FrameBrowser]\nDefFontSize=15\nDefFontName=Arial\n"
      "[Bar]\nStyleButtons=1\nStatusBar=0\n[Proxy]\nProxy=proxy.local\nPort=3128\n[HomePage]\nType=0\n"
      "SecondsIdleTime=99999999\n[Address]\n0=http://a.example/\n1=http://b.example/\n";
  Write("larkspan.ini", ini);
  Open({"/home=" + StartPage()});
  EXPECT_EQ(window_->FrameBrowser->DefFontSize(), 15);
  EXPECT_EQ(window_->FrameBrowser->DefFontName(), "Arial");
  EXPECT_TRUE(window_->actionImageOnly->Checked());
  EXPECT_FALSE(window_->actionStatusBar->Checked());
  EXPECT_EQ(window_->ProxyHost, "proxy.local");
  EXPECT_EQ(window_->ProxyPort, 3128);
  EXPECT_EQ(window_->cbAddress->Items().Count(), 2);
  // A value whose interval in milliseconds would overflow is held at a day.
  EXPECT_EQ(window_->SecondsIdleTime, kMaxSecondsIdleTime);
  Close();
  const std::string written = test::ReadFile(IniFile());
  for (const char* line : {"; kiosk settings", "Owner=desk 4", "DefFontSize=15", "DefFontName=Arial", "StyleButtons=1",
                           "StatusBar=0", "Proxy=proxy.local", "Port=3128", "0=http://a.example/", "2=",
                           "CurrentAddress=" })
    EXPECT_NE(written.find(line), std::string::npos) << line;
  // A second start reads back what the first wrote.
  Open({"/home=" + StartPage()});
  EXPECT_EQ(window_->FrameBrowser->DefFontSize(), 15);
  EXPECT_TRUE(window_->actionImageOnly->Checked());
}

TEST_F(MainWindowStart, AnUnwritableSettingsFileDoesNotStopTheExit) {
  Write("blocker", "a file where a folder should be");
  window_ = CreateMainWindow(TProgramContext{Path("") , Path("blocker/larkspan.ini"), {"/home=" + StartPage()}});
  window_->Show();
  Settle();
  EXPECT_NO_THROW(Close());
  EXPECT_EQ(test::ReadFile(Path("blocker")), "a file where a folder should be");
}

TEST_F(MainWindowStart, NoWindowStateStoresNoPlacementAnywhere) {
  const std::string defaultFile = SettingsFileName();
  DeleteFile(defaultFile);
  Open({"/nowindowstate", "/home=" + StartPage()});
  EXPECT_FALSE(window_->FormPlacement->Active);
  Close();
  EXPECT_FALSE(FileExists(defaultFile));
  EXPECT_EQ(test::ReadFile(IniFile()).find("FormVersion"), std::string::npos);
}

TEST_F(MainWindowStart, CdromModeWritesNothing) {
  Open({"/home=" + StartPage(), "/cdrom"});
  window_->Options->AddBookmark("Start", FileURL("start.html"));
  EXPECT_EQ(window_->Options->BookmarkCount(), 1);
  Close();
  EXPECT_FALSE(FileExists(IniFile()));
  EXPECT_FALSE(DirectoryExists(Path("Cache")));
}

TEST_F(MainWindowStart, StartUpNavigationRunsAtTheFirstActivationOnly) {
  Open({"/home=" + StartPage()});
  window_->OpenLocalFile(Path("error.html"));
  Settle();
  ASSERT_EQ(ShownURL(), FileURL("error.html"));
  // A dialog closing activates the window again.
  TForm other(nullptr);
  other.Show();
  test_driver::ActivateWindow(&other);
  Settle();
  test_driver::ActivateWindow(window_);
  Settle();
  EXPECT_EQ(ShownURL(), FileURL("error.html"));
  EXPECT_FALSE(window_->FirstActivation);
}

TEST_F(MainWindowStart, LanguageFileSwitchesCaptionsAndItsAbsenceHidesTheMenu) {
  Write("larkspan.ini", "[FormMain]\nLanguage=2\n");
  Open({"/home=" + StartPage()});
  EXPECT_EQ(window_->miFile->Caption(), "&Datei") ;
  EXPECT_TRUE(window_->miLanguage->Visible());
  ASSERT_EQ(window_->miLanguage->Count(), 2);
  EXPECT_TRUE(window_->miLanguage->Items(1)->Checked());
  window_->miLanguage->Items(0)->Click();
  Settle();
  EXPECT_EQ(window_->miFile->Caption(), "&File");
  Close();
  EXPECT_NE(test::ReadFile(IniFile()).find("Language=1"), std::string::npos);
  DeleteFile(Path("BROWSER.LGV"));
  Open({"/home=" + StartPage()});
  EXPECT_FALSE(window_->miLanguage->Visible());
}

TEST_F(MainWindowStart, WheelCountsAsActivity) {
  Write("larkspan.ini", "[HomePage]\nType=2\nAddress=" + FileURL("start.html") + "\nLoadHomePageAfter=1\nSecondsIdleTime=1\n");
  Open({});
  EXPECT_EQ(window_->timerHome->Interval(), 1000u);
  bool done = false;
  window_->AppIdle(nullptr, done);
  EXPECT_TRUE(window_->timerHome->Enabled());
  TMsg wheel;
  wheel.message = WM_MOUSEWHEEL;
  bool handled = false;
  window_->AppMessage(wheel, handled);
  EXPECT_FALSE(window_->timerHome->Enabled());
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

// What the window shows on screen, its browser's child windows included.
TEST_F(MainWindowStart, TheStartPageIsOnScreen) {
  Open({"/home=" + StartPage()});
  int dark = 0;
  for (int y = 4; y < 60; y += 2)
    for (int x = 4; x < 200; x += 2) dark += (test_driver::PixelAt(window_->FrameBrowser, x, y) & 0xFF) < 100;
  EXPECT_GT(dark, 20);
}

}  // namespace
}  // namespace lark
