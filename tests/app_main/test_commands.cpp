#include "app/options.h"
#include "controls/toolbar_button.h"
#include "platform/windows/action.h"
#include "platform/windows/bars.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/shell.h"
#include "tests/app_main/main_window_fixture.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

using Commands = MainWindowTest;

TEST_F(Commands, DirectoryEntriesFillTheButtonsInOrderWithoutGaps) {
  std::string ini = "[Directory]\n";
  for (int i = 0; i < 10; ++i) {
    if (i == 3) continue;  // no caption: no button
    ini += "Caption" + std::to_string(i) + "=Entry " + std::to_string(i) + "\n";
    ini += "HTMLFile" + std::to_string(i) + "=" + (i == 5 ? StartPage() : "http://example.invalid/" + std::to_string(i)) +
           "\n";
  }
  Write("larkspan.ini", ini);
  Open({"/home=" + Path("error.html")});
  int shown = 0;
  for (TToolbarButton* button : window_->btPDB) shown += button->Visible();
  EXPECT_EQ(shown, 9);
  EXPECT_EQ(window_->btPDB[3]->Caption(), "Entry 4");
  EXPECT_EQ(window_->btPDB[3]->Tag, 4);
  EXPECT_EQ(window_->btPDB[8]->Left() + window_->btPDB[8]->Width(), window_->btConfigDB->Left());
  // A local file opens as one; the fifth button holds entry 5.
  window_->btPDB[4]->Click();
  Settle();
  EXPECT_EQ(ShownURL(), FileURL("start.html"));
}

TEST_F(Commands, ToolbarStylesSizeTheBar) {
  Open({"/home=" + StartPage()});
  window_->actionImageOnly->Execute();
  EXPECT_EQ(window_->tbInternetButtons->ButtonWidth(), 23);
  EXPECT_EQ(window_->tbInternetButtons->ButtonHeight(), 22);
  EXPECT_EQ(window_->CoolBar->Height(), 26);
  EXPECT_FALSE(window_->tbInternetButtons->ShowCaptions());
  window_->actionCaptionOnly->Execute();
  EXPECT_EQ(window_->tbInternetButtons->Images(), nullptr);
  EXPECT_EQ(window_->CoolBar->Height(), 22);
  EXPECT_TRUE(window_->actionCaptionOnly->Checked());
  EXPECT_FALSE(window_->actionImageOnly->Checked());
}

TEST_F(Commands, EnterAddsANewAddressOnceAtTheTop) {
  Open({"/home=" + StartPage()});
  Navigate(Path("error.html"));
  Navigate(Path("block.html"));
  Navigate(Path("error.html"));
  ASSERT_EQ(window_->cbAddress->Items().Count(), 2);
  EXPECT_EQ(window_->cbAddress->Items().Get(0), Path("block.html"));
  EXPECT_EQ(ShownURL(), FileURL("error.html"));
  // History: back to the block page through the Back menu.
  EXPECT_TRUE(window_->actionBack->Enabled());
  ASSERT_GE(window_->pmBack->Items()->Count(), 1);
  window_->pmBack->Items()->Items(window_->pmBack->Items()->Count() - 1)->Click();
  Settle();
  EXPECT_NE(ShownURL(), FileURL("error.html"));
  EXPECT_TRUE(window_->actionForward->Enabled());
}

TEST_F(Commands, BookmarksMenuFollowsTheStoreAndItsClicksPassTheLists) {
  Write("Deny.lst", "*denied*\n");
  Write("larkspan.ini", "[Bookmarks]\nName0=Denied\nLink0=http://denied.example/\nName1=Error page\nLink1=" +
                            FileURL("error.html") + "\n");
  Open({"/home=" + StartPage()});
  const int before = window_->miBookmarks->Count();
  ASSERT_GE(before, 4);  // Add, Manager, a line, the two bookmarks
  window_->miBookmarks->Items(before - 1)->Click();
  Settle();
  EXPECT_EQ(ShownURL(), FileURL("error.html"));
  window_->miBookmarks->Items(before - 2)->Click();
  Settle();
  EXPECT_EQ(ShownURL(), FileURL("block.html"));
  window_->RemoveBookmarkItems();
  EXPECT_EQ(window_->miBookmarks->Count(), 2);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST_F(Commands, ACoveredLinkShowsInTheStatusBarAndFeedsThePopUp) {
  Open({"/home=" + StartPage()});
  window_->FrameBrowserHotSpotTargetCovered(nullptr, "main", "http://example.invalid/a");
  EXPECT_EQ(window_->lbURL->Caption(), "Target: main  URL: http://example.invalid/a");
  EXPECT_TRUE(window_->imgURL->Visible());
  window_->pmBrowserPopup(nullptr);
  EXPECT_TRUE(window_->miOpenInNewWindow->Visible());
  EXPECT_TRUE(window_->miCopyLink->Enabled());
  window_->miCopyLinkClick(nullptr);
  EXPECT_EQ(Clipboard()->AsText(), "http://example.invalid/a");
  window_->FrameBrowserHotSpotTargetCovered(nullptr, "", "");
  EXPECT_EQ(window_->lbURL->Caption(), "");
  window_->pmBrowserPopup(nullptr);
  EXPECT_FALSE(window_->miOpenInNewWindow->Visible());
  EXPECT_FALSE(window_->miCopyLink->Enabled());
}

}  // namespace
}  // namespace lark
