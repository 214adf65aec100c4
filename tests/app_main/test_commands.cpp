#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

#include "app/options.h"
#include "controls/toolbar_button.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/bars.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/shell.h"
#include "platform/windows/test_driver.h"
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

namespace lark {
namespace {

// Every caption the window takes from the language file, and the built-in
// ones back once a language lacks them.
TEST_F(Commands, LanguageTextsReachEveryComponentAndFallBackToBuiltIns) {
  std::string file = "[Languages]\nn=2\n1=Brackets\n2=Sparse\n[Brackets]\nl1=Brackets\nn=185\n";
  for (int id = 1; id <= 185; ++id) file += std::to_string(id) + "=&[" + std::to_string(id) + "]\n";
  file += "[Sparse]\nl1=One\nl2=Two\nn=5\n";
  Write("BROWSER.LGV", file);
  Write("larkspan.ini", "[FormMain]\nLanguage=1\n");
  Open({"/home=" + StartPage()});
  // Components no text names: the encodings without a number, entries
  // without a text, the directory bar, the address box's text and the
  // search form (its own texts).
  const std::set<std::string> withoutId = {"frmMain", "miANSI", "miOEM", "miManager", "actionBookmarksManager",
                                           "MNU_ShowImages1", "ClearAll1", "OnlineManual1", "btConfigDB",
                                           "gbDirectoryButtons", "cbAddress", "frmLocalSearch"};
  std::vector<std::string> untranslated;
  for (int i = 0; i < window_->ComponentCount(); ++i) {
    TComponent* c = window_->Components(i);
    std::string caption;
    if (auto* item = dynamic_cast<TMenuItem*>(c)) caption = item->Caption();
    else if (auto* action = dynamic_cast<TCustomAction*>(c)) caption = action->Caption();
    else if (auto* control = dynamic_cast<TControl*>(c); control && (control->ControlStyle & csSetCaption))
      caption = control->Caption();
    if (caption.empty() || caption == "-" || caption.starts_with("&[") || withoutId.contains(c->Name())) continue;
    untranslated.push_back(c->Name() + "=" + caption);
  }
  EXPECT_TRUE(untranslated.empty()) << testing::PrintToString(untranslated);
  EXPECT_EQ(window_->actionBack->Hint, "[74]");
  ASSERT_TRUE(window_->miLanguage->Visible());
  ASSERT_EQ(window_->miLanguage->Count(), 2);
  EXPECT_EQ(window_->miLanguage->Items(1)->Caption(), "Sparse");  // no "l2": the language's name
  window_->miLanguage->Items(1)->Click();
  Settle();
  EXPECT_EQ(window_->actionBack->Caption(), "Back");
  EXPECT_EQ(window_->actionBack->Hint, "Back");
  EXPECT_EQ(window_->miFile->Caption(), "&File");
  EXPECT_EQ(window_->lbAddress->Caption(), "Address");
  EXPECT_FALSE(window_->miLanguage->Visible());  // no text 185
}

TEST_F(Commands, WithoutALanguageFileTheLanguageMenuHides) {
  std::filesystem::remove(Path("BROWSER.LGV"));
  Open({"/home=" + StartPage()});
  EXPECT_FALSE(window_->miLanguage->Visible());
  EXPECT_EQ(window_->miFile->Caption(), "&File");
}

// Resizing the window gives every directory button the same width again.
TEST_F(Commands, DirectoryButtonsShareTheWidthAfterAResize) {
  std::string ini = "[Directory]\n";
  for (int i = 0; i < 9; ++i) ini += "Caption" + std::to_string(i) + "=D" + std::to_string(i) + "\nHTMLFile" +
                                     std::to_string(i) + "=" + StartPage() + "\n";
  Write("larkspan.ini", ini);
  Open({"/home=" + StartPage()});
  const int before = window_->gbDirectoryButtons->Width();
  test_driver::ResizeWindow(window_, 900, 600);
  test_driver::PumpWindowSystem();
  Settle();
  ASSERT_LT(window_->gbDirectoryButtons->Width(), before);
  const int width = (window_->gbDirectoryButtons->Width() - window_->btConfigDB->Width()) / 9;
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(window_->btPDB[i]->Width(), width) << i;
    EXPECT_EQ(window_->btPDB[i]->Left(), 4 + i * width) << i;
  }
  EXPECT_FALSE(window_->btPDB[9]->Visible());
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

// Commands the long run below gives: 200, fewer under the address sanitizer
// (ten times slower there); LARK_COMMAND_RUNS sets another number.
int CommandRuns() {
  if (const char* runs = std::getenv("LARK_COMMAND_RUNS")) return std::atoi(runs);
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
  return 60;
#endif
#endif
  return 200;
}

// Many commands and language switches in a row: run under the sanitizers,
// nothing may be used after it is freed or left behind.
TEST_F(Commands, TwoHundredCommandsAndLanguageSwitches) {
  Write("larkspan.ini", "[Bookmarks]\nName0=A&B\nLink0=" + FileURL("error.html") + "\n");
  Open({"/home=" + StartPage()});
  test_driver::OnModalShown([](TCustomForm* form) { form->ModalResult = mrCancel; });
  test_driver::AnswerDialogs([](TCommonDialog*) { return false; });
  const std::vector<std::function<void()>> commands = {
      [&] { dynamic_cast<TAction*>(window_->FindComponent("actionCopy"))->Execute(); },
      [&] { dynamic_cast<TAction*>(window_->FindComponent("actionFindNext"))->Execute(); },
      [&] { dynamic_cast<TAction*>(window_->FindComponent("actionSelectAll"))->Execute(); },
      [&] { window_->actionReload->Execute(); },
      [&] { window_->miBookmarks->Items(window_->miBookmarks->Count() - 1)->Click(); },
      [&] { window_->actionBack->Execute(); },
      [&] { window_->actionAddCurrentDocumentsHere->Execute(); },
      [&] { dynamic_cast<TMenuItem*>(window_->FindComponent("miGreek"))->Click(); },
      [&] { window_->actionHome->Execute(); },
  };
  // A switch rebuilds the whole menu bar for each caption: one in twenty
  // keeps the sanitizer run short.
  auto switchLanguage = [&] {
    window_->miLanguage->Items(window_->miLanguage->Items(0)->Checked() ? 1 : 0)->Click();
  };
  for (int i = 0, runs = CommandRuns(); i < runs; ++i) {
    if (i % 20 == 0) switchLanguage();
    commands[static_cast<std::size_t>(i) % commands.size()]();
    Application()->ProcessMessages();
  }
  Settle();
  EXPECT_TRUE(window_->actionReload->Enabled());
}

}  // namespace
}  // namespace lark
