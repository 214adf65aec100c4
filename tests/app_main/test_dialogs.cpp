#include <string>

#include "app/main_window.h"
#include "app/options.h"
#include "controls/toolbar_button.h"
#include "app/customize_form.h"
#include "app/dir_bar_form.h"
#include "app/home_page_form.h"
#include "html/document_utils.h"
#include "platform/windows/application.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/small_controls.h"
#include "app/proxy_form.h"
#include "platform/core/exception.h"
#include "platform/windows/action.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/test_driver.h"
#include "tests/app_main/main_window_fixture.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

class Dialogs : public MainWindowTest {
 protected:
  // Commands the window does not name in code.
  [[nodiscard]] TAction* Action(const char* name) const {
    auto* action = dynamic_cast<TAction*>(window_->FindComponent(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
  }
};

TEST_F(Dialogs, HomePageDialogEnablesByChoiceAndTakesTheIdleReturnOnlyWhenOffered) {
  const std::string page = Write("a b.html", "<title>Spaced</title>A page");
  Open({"/home=" + StartPage()});
  std::function<void(TfrmHomePage&)> step;
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TfrmHomePage*>(form);
    ASSERT_NE(dialog, nullptr);
    step(*dialog);
  });
  // Blank page, with the idle box checked underneath: no idle return.
  step = [](TfrmHomePage& d) {
    d.rbHomePage->Click();
    d.edHomePage->SetText("http://example.invalid/");
    d.cbLoadHomePage->SetChecked(true);
    d.rbBlankPage->Click();
    EXPECT_FALSE(d.edHomePage->Enabled());
    EXPECT_FALSE(d.btBrowse->Enabled());
    EXPECT_FALSE(d.cbLoadHomePage->Enabled());
    EXPECT_FALSE(d.seIdleSec->Enabled());
    EXPECT_EQ(d.edHomePage->Color(), clBtnFace);
    d.ModalResult = mrOk;
  };
  Action("actionHomePage")->Execute();
  EXPECT_EQ(window_->HomeType, 0);
  EXPECT_FALSE(window_->LoadHomePageAfter);
  // A home page without an address offers no idle return either.
  step = [](TfrmHomePage& d) {
    d.rbHomePage->Click();
    d.edHomePage->SetText("");
    EXPECT_TRUE(d.edHomePage->Enabled());
    EXPECT_FALSE(d.cbLoadHomePage->Enabled());
    d.ModalResult = mrCancel;
  };
  Action("actionHomePage")->Execute();
  EXPECT_EQ(window_->HomeType, 0);
  // Browse gives the file's URL, which the home command opens.
  test_driver::AnswerDialogs([&](TCommonDialog* dialog) {
    dynamic_cast<TOpenDialog&>(*dialog).FileName = page;
    return true;
  });
  step = [](TfrmHomePage& d) {
    d.rbHomePage->Click();
    d.btBrowse->Click();
    EXPECT_TRUE(d.cbLoadHomePage->Enabled());
    d.cbLoadHomePage->Click();
    EXPECT_TRUE(d.seIdleSec->Enabled());
    d.seIdleSec->SetValue(7);
    d.ModalResult = mrOk;
  };
  Action("actionHomePage")->Execute();
  const std::string url = "file://" + Path("a%20b.html");
  EXPECT_EQ(window_->HomeAddress, url);
  EXPECT_EQ(window_->HomeType, 2);
  EXPECT_TRUE(window_->LoadHomePageAfter);
  EXPECT_EQ(window_->SecondsIdleTime, 7);
  EXPECT_EQ(FileURLToPath(url), page);
  Action("actionHome")->Execute();
  Settle();
  EXPECT_EQ(ShownTitle(), "Spaced");
  // The values come back from the settings file.
  Close();
  Open({});
  EXPECT_EQ(window_->HomeAddress, url);
  EXPECT_TRUE(window_->LoadHomePageAfter);
  EXPECT_EQ(window_->SecondsIdleTime, 7);
}

TEST_F(Dialogs, CustomizeListsTheCommandsInOrderAndHidesTheUnchecked) {
  Open({"/home=" + StartPage()});
  bool confirm = false;
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TfrmCustomize*>(form);
    ASSERT_NE(dialog, nullptr);
    std::vector<TListItem>& items = dialog->ListView->Items();
    ASSERT_EQ(items.size(), 11u);
    EXPECT_EQ(items[0].Caption, "Back");
    EXPECT_EQ(items[0].ImageIndex, 3);
    EXPECT_EQ(items[5].Caption, "Search");
    EXPECT_EQ(items[5].ImageIndex, 10);
    EXPECT_EQ(items[10].Caption, "Print");
    EXPECT_EQ(items[10].ImageIndex, 5);
    EXPECT_TRUE(items[10].Checked);
    items[10].Checked = false;
    dialog->ListView->ItemsChanged();
    dialog->ModalResult = confirm ? mrOk : mrCancel;
  });
  window_->miCustomize->Click();
  EXPECT_TRUE(window_->actionPrint->Visible());
  confirm = true;
  window_->miCustomize->Click();
  EXPECT_FALSE(window_->actionPrint->Visible());
  Close();
  Open({"/home=" + StartPage()});
  EXPECT_FALSE(window_->actionPrint->Visible());
  EXPECT_TRUE(window_->actionPreview->Visible());
  // Its button, its menu entry and its key are gone with it.
  EXPECT_FALSE(dynamic_cast<TControl&>(*window_->FindComponent("tbPrint")).Visible());
  EXPECT_FALSE(dynamic_cast<TMenuItem&>(*window_->FindComponent("miPrint")).Visible());
  int dialogs = 0;
  test_driver::AnswerDialogs([&](TCommonDialog*) { return ++dialogs, false; });
  window_->FrameBrowser->SetFocus();
  test_driver::PressKey('P', ssCtrl);
  Settle();
  EXPECT_EQ(dialogs, 0);
}

TEST_F(Dialogs, DirectoryButtonsAreWrittenShownCutAndRemoved) {
  EXPECT_EQ(DirectoryButtonCaption("Eightchr"), "Eightchr");
  EXPECT_EQ(DirectoryButtonCaption("Ninechars"), "Ninechar...");
  EXPECT_EQ(DirectoryButtonCaption("\xC3\xA9t\xC3\xA9s d'or"), "\xC3\xA9t\xC3\xA9s d'o...");
  Open({"/home=" + StartPage()});
  std::function<void(TfrmDirBar&)> step;
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TfrmDirBar*>(form);
    ASSERT_NE(dialog, nullptr);
    step(*dialog);
    dialog->btClose->Click();
  });
  test_driver::AnswerDialogs([&](TCommonDialog* dialog) {
    dynamic_cast<TOpenDialog&>(*dialog).FileName = Path("error.html");
    return true;
  });
  // Captions of nine and eight characters, each with the file browsed.
  step = [](TfrmDirBar& d) {
    for (const auto& [entry, caption] : {std::pair{2, "Ninechars"}, std::pair{4, "Eightchr"}}) {
      d.btDB[entry]->Click();
      d.edCaption->SetText(caption);
      d.btBrowse->Click();
      d.btApply->Click();
    }
    EXPECT_EQ(d.btDB[2]->Caption(), "Ninechar...");
    EXPECT_EQ(d.btDB[4]->Caption(), "Eightchr");
  };
  window_->btConfigDB->Click();
  // After a restart in the same program folder, from the settings file.
  Close();
  Open({"/home=" + StartPage()});
  std::string caption, file;
  window_->Options->ReadDirectory(2, caption, file);
  EXPECT_EQ(file, Path("error.html"));
  ASSERT_TRUE(window_->btPDB[1]->Visible());
  EXPECT_EQ(window_->btPDB[0]->Caption(), "Ninechars");
  EXPECT_EQ(window_->btPDB[1]->Caption(), "Eightchr");
  window_->btPDB[0]->Click();
  Settle();
  EXPECT_EQ(ShownURL(), FileURL("error.html"));
  // An empty file removes the entry, for good.
  step = [](TfrmDirBar& d) {
    EXPECT_EQ(d.btDB[4]->Caption(), "Eightchr");
    d.btDB[2]->Click();
    EXPECT_EQ(d.edCaption->GetText(), "Ninechars");
    d.edHTMLFile->SetText("");
    d.btApply->Click();
    EXPECT_EQ(d.btDB[2]->Caption(), "");
  };
  window_->btConfigDB->Click();
  EXPECT_EQ(window_->btPDB[0]->Caption(), "Eightchr");
  EXPECT_FALSE(window_->btPDB[1]->Visible());
  Close();
  Open({"/home=" + StartPage()});
  window_->Options->ReadDirectory(2, caption, file);
  EXPECT_EQ(caption, "");
  EXPECT_EQ(window_->btPDB[0]->Caption(), "Eightchr");
  EXPECT_FALSE(window_->btPDB[1]->Visible());
}

TEST_F(Dialogs, ProxyIsTakenOnlyWithAPortOfOneTo65535) {
  Open({"/home=" + StartPage()});
  const std::string host = window_->ProxyHost;
  const int port = window_->ProxyPort;
  std::string typedPort;
  TModalResult answer = mrOk;
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* proxy = dynamic_cast<TfrmProxy*>(form);
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(proxy->edPort->GetText(), std::to_string(window_->ProxyPort));
    proxy->edProxy->SetText("proxy.example");
    proxy->edPort->SetText(typedPort);
    form->ModalResult = answer;
  });
  for (const char* bad : {"abc", "0", "-1", "70000"}) {
    typedPort = bad;
    try {
      Action("actionProxy")->Execute();
      ADD_FAILURE() << bad << " was taken";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + typedPort + "' is not a valid integer value");
    }
    EXPECT_EQ(window_->ProxyHost, host);
    EXPECT_EQ(window_->ProxyPort, port);
  }
  typedPort = "8888";
  answer = mrCancel;
  Action("actionProxy")->Execute();
  EXPECT_EQ(window_->ProxyPort, port);
  answer = mrOk;
  Action("actionProxy")->Execute();
  EXPECT_EQ(window_->ProxyHost, "proxy.example");
  EXPECT_EQ(window_->ProxyPort, 8888);
  EXPECT_EQ(ProxyPortValue("65535"), 65535);
}

}  // namespace
}  // namespace lark
