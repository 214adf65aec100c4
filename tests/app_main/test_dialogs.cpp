#include <string>

#include "app/main_window.h"
#include "app/print_status_form.h"
#include "app/proxy_form.h"
#include "platform/core/exception.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/windows/action.h"
#include "platform/windows/button.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/test_driver.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/print/print_fixtures.h"
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

std::string NumberedLines(int lines) {
  std::string html = "<html><head><title>Lines</title></head><body>";
  for (int i = 0; i < lines; ++i) html += "<p>Line " + std::to_string(i) + "</p>";
  return html + "</body></html>";
}

// The print dialog answers with a range (0: all pages).
void AnswerPrintDialog(int from, int to) {
  test_driver::AnswerDialogs([from, to](TCommonDialog* dialog) {
    auto* print = dynamic_cast<TPrintDialog*>(dialog);
    if (!print) return false;
    EXPECT_TRUE(print->Options & poPageNums);
    if (from) {
      print->PrintRange = TPrintRange::prPageNums;
      print->FromPage = from;
      print->ToPage = to;
    }
    return true;
  });
}

TEST_F(Dialogs, PrintSendsTheChosenRangeOrEverythingThroughTheStatusDialog) {
  test::PdfProgramPrinter pdf;
  Write("long.html", NumberedLines(400));
  Open({"/home=" + Path("long.html")});
  int statusShown = 0;
  test_driver::OnModalShown([&](TCustomForm* form) { statusShown += dynamic_cast<TfrmPrintStatus*>(form) != nullptr; });
  AnswerPrintDialog(2, 3);
  window_->actionPrint->Execute();
  EXPECT_EQ(pdf.Info("Pages"), "2");
  EXPECT_EQ(statusShown, 1);
  AnswerPrintDialog(0, 0);
  window_->actionPrint->Execute();
  const int all = std::stoi(pdf.Info("Pages"));
  EXPECT_GE(all, 8);
  EXPECT_TRUE(boxes_.empty());

  // Cancel clicked while page 3 is made: the job ends with three pages, and
  // the dialog with it.
  TfrmPrintStatus* status = nullptr;
  test_driver::OnModalShown([&](TCustomForm* form) { status = dynamic_cast<TfrmPrintStatus*>(form); });
  THTMLViewer* viewer = window_->FrameBrowser->ActiveViewer();
  viewer->OnPrintFooter = [&](TObject*, TCanvas&, int page, int, int, bool&) {
    if (page == 3 && status) status->CancelButton->Click();
  };
  window_->actionPrint->Execute();
  EXPECT_EQ(pdf.Info("Pages"), "3");
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Dialogs, APassThatRaisesEndsTheStatusDialogAndShowsItsErrorOnce) {
  Write("long.html", NumberedLines(40));
  Open({"/home=" + Path("long.html")});
  THTMLViewer* viewer = window_->FrameBrowser->ActiveViewer();
  viewer->OnPrintHeader = [](TObject*, TCanvas&, int, int, int, bool&) { throw EPrinter("Printer error"); };
  test::PdfProgramPrinter pdf;
  AnswerPrintDialog(0, 0);
  window_->actionPrint->Execute();  // returns: the dialog ended
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "Printer error");
  EXPECT_EQ(pdf.Info("Pages"), "");
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
