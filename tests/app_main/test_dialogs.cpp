#include <string>

#include "app/main_window.h"
#include "app/options.h"
#include "controls/toolbar_button.h"
#include "app/customize_form.h"
#include "app/dir_bar_form.h"
#include "app/home_page_form.h"
#include "app/print_preview_form.h"
#include "html/document_utils.h"
#include "app/print_status_form.h"
#include "print/metafile_printer.h"
#include "platform/windows/application.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/small_controls.h"
#include "app/proxy_form.h"
#include "platform/core/exception.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/windows/action.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
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

// Runs `check` on the preview once it shows, then closes it with its
// button; the number of previews shown.
int WithPreview(TAction* preview, const std::function<void(TfrmPreview&)>& check) {
  int shown = 0;
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* window = dynamic_cast<TfrmPreview*>(form);
    if (!window) return;
    ++shown;
    check(*window);
    window->CloseBut->Click();
  });
  preview->Execute();
  Application()->ProcessMessages();
  return shown;
}

TEST_F(Dialogs, OnePagePreviewDisablesPageButtonsAndPutsTheHintHandlerBack) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("short.html", "<p>One page");
  Open({"/home=" + Path("short.html")});
  int hints = 0;
  Application()->OnHint = [&](TObject*) { ++hints; };
  EXPECT_EQ(WithPreview(window_->actionPreview, [](TfrmPreview& preview) {
              EXPECT_EQ(preview.CurPageLabel->Caption(), "Page 1 of 1");
              for (TControl* c : std::initializer_list<TControl*>{preview.NextPageBut, preview.PrevPageBut,
                                                                  preview.FirstPageSpeed, preview.PrevPageSpeed,
                                                                  preview.NextPageSpeed, preview.LastPageSpeed,
                                                                  preview.PageNumSpeed})
                EXPECT_FALSE(c->Enabled()) << c->Name();
            }),
            1);
  ASSERT_TRUE(Application()->OnHint);
  Application()->OnHint(nullptr);
  EXPECT_EQ(hints, 1);
  Application()->OnHint = nullptr;
}

TEST_F(Dialogs, PreviewStepsPagesZoomsWithinLimitsAndShowsTheRecordedPages) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("long.html", NumberedLines(400));
  Open({"/home=" + Path("long.html")});
  TMetaFilePrinter direct(nullptr);
  const int pages = window_->FrameBrowser->ActiveViewer()->PrintPreview(direct);
  ASSERT_GE(pages, 4);
  WithPreview(window_->actionPreview, [&](TfrmPreview& preview) {
    EXPECT_EQ(preview.Store().PageCount(), pages);
    EXPECT_TRUE(preview.PageNumSpeed->Enabled());
    preview.NextPageBut->Click();
    EXPECT_EQ(preview.CurrentPage(), 1);
    preview.LastPageSpeed->Click();
    EXPECT_EQ(preview.CurPageLabel->Caption(), "Page " + std::to_string(pages) + " of " + std::to_string(pages));
    EXPECT_FALSE(preview.NextPageSpeed->Enabled());
    preview.PrevPageSpeed->Click();
    EXPECT_EQ(preview.CurrentPage(), pages - 2);
    // Two pages: beside the last page the second box stays empty.
    preview.TwoPageBut->Click();
    const TRect second = preview.PageBox(true);
    const auto middleOf = [&](const TRect& box) {
      return test_driver::PixelAt(preview.ScrollBox1, box.Left + 3, (box.Top + box.Bottom) / 2);
    };
    EXPECT_EQ(middleOf(second), 0xFFFFFFu);
    preview.LastPageSpeed->Click();
    EXPECT_EQ(middleOf(preview.PageBox(true)), 0x808080u);  // the background
    EXPECT_EQ(middleOf(preview.PageBox(false)), 0xFFFFFFu);
    preview.FirstPageSpeed->Click();
    EXPECT_EQ(preview.CurrentPage(), 0);
    // A percentage goes back to one page.
    preview.ZoomBox->SetItemIndex(6);
    preview.ZoomBoxChange(preview.ZoomBox);
    EXPECT_FALSE(preview.TwoPages());
    EXPECT_EQ(preview.ZoomLabel->Caption(), "100%");
    // Clicks: x 1.5 until 20 is reached, then no more.
    const auto click = [&](TMouseButton button) {
      const TRect box = preview.PageBox(false);
      const int x = std::clamp((box.Left + box.Right) / 2, 1, preview.PB1->Width() - 2);
      const int y = std::clamp((box.Top + box.Bottom) / 2, 1, preview.PB1->Height() - 2);
      test_driver::MouseDown(preview.PB1, button, x, y);
      test_driver::MouseUp(preview.PB1, button, x, y);
      Application()->ProcessMessages();
    };
    click(TMouseButton::mbLeft);
    EXPECT_EQ(preview.ZoomLabel->Caption(), "150%");
    click(TMouseButton::mbLeft);
    EXPECT_EQ(preview.ZoomLabel->Caption(), "225%");
    while (preview.Zoom() < kMaxZoom) click(TMouseButton::mbLeft);
    const double largest = preview.Zoom();
    EXPECT_LT(largest, kMaxZoom * kZoomStep);
    click(TMouseButton::mbLeft);
    EXPECT_EQ(preview.Zoom(), largest);
    // Only the view is drawn, and the middle of the page is under the pointer.
    EXPECT_LE(preview.PB1->Width(), preview.ClientWidth());
    const TRect box = preview.PageBox(false);
    EXPECT_NEAR((box.Left + box.Right) / 2.0, preview.PB1->Width() / 2.0, 2);
    while (preview.Zoom() > kMinZoom) click(TMouseButton::mbRight);
    const double smallest = preview.Zoom();
    click(TMouseButton::mbRight);
    EXPECT_EQ(preview.Zoom(), smallest);
  });
}

TEST_F(Dialogs, PreviewWithoutPrinterOrCancelledIsNotShown) {
  auto none = std::make_unique<TTestPrinter>(test::TestPrinterCaps(false));
  none->Listed.clear();
  test::ProgramPrinter printer(std::move(none));
  Write("long.html", NumberedLines(200));
  Open({"/home=" + Path("long.html")});
  EXPECT_EQ(WithPreview(window_->actionPreview, [](TfrmPreview&) {}), 0);
  EXPECT_EQ(boxes_, std::vector<std::string>{"Printer not available"});
}

TEST_F(Dialogs, PreviewCancelledWhileRecordingIsNotShown) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("long.html", NumberedLines(200));
  Open({"/home=" + Path("long.html")});
  TfrmPrintStatus* status = nullptr;
  int previews = 0;
  test_driver::OnModalShown([&](TCustomForm* form) {
    if (auto* s = dynamic_cast<TfrmPrintStatus*>(form)) status = s;
    previews += dynamic_cast<TfrmPreview*>(form) != nullptr;
  });
  window_->FrameBrowser->ActiveViewer()->OnPrintFooter = [&](TObject*, TCanvas&, int page, int, int, bool&) {
    if (page == 2 && status) status->CancelButton->Click();
  };
  window_->actionPreview->Execute();
  Application()->ProcessMessages();
  EXPECT_EQ(previews, 0);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Dialogs, PrintFromThePreviewSendsTheChosenRange) {
  test::PdfProgramPrinter pdf;
  Write("long.html", NumberedLines(400));
  Open({"/home=" + Path("long.html")});
  AnswerPrintDialog(2, 4);
  WithPreview(window_->actionPreview, [](TfrmPreview& preview) { preview.PrintBut->Click(); });
  EXPECT_EQ(pdf.Info("Pages"), "3");
}

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
  step = [](TfrmDirBar& d) {
    d.btDB[2]->Click();
    d.edCaption->SetText("Ninechars");
    d.btBrowse->Click();
    d.btApply->Click();
    EXPECT_EQ(d.btDB[2]->Caption(), "Ninechar...");
  };
  window_->btConfigDB->Click();
  std::string caption, file;
  window_->Options->ReadDirectory(2, caption, file);
  EXPECT_EQ(file, Path("error.html"));
  ASSERT_TRUE(window_->btPDB[0]->Visible());
  EXPECT_EQ(window_->btPDB[0]->Caption(), "Ninechars");
  window_->btPDB[0]->Click();
  Settle();
  EXPECT_EQ(ShownURL(), FileURL("error.html"));
  // An empty file removes the entry.
  step = [](TfrmDirBar& d) {
    d.btDB[2]->Click();
    EXPECT_EQ(d.edCaption->GetText(), "Ninechars");
    d.edHTMLFile->SetText("");
    d.btApply->Click();
    EXPECT_EQ(d.btDB[2]->Caption(), "");
  };
  window_->btConfigDB->Click();
  window_->Options->ReadDirectory(2, caption, file);
  EXPECT_EQ(caption, "");
  EXPECT_FALSE(window_->btPDB[0]->Visible());
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
