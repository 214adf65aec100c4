#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/go_page_form.h"
#include "app/main_window.h"
#include "app/print_preview_form.h"
#include "app/print_status_form.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/printer.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/panel.h"
#include "platform/windows/scroll_bar.h"
#include "platform/windows/small_controls.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"
#include "print/metafile_printer.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/app_main/preview_view_check.h"
#include "tests/net/nginx_peer.h"
#include "tests/print/print_fixtures.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

std::string NumberedLines(int lines) {
  std::string html = "<html><head><title>Lines</title></head><body>";
  for (int i = 0; i < lines; ++i) html += "<p>Line " + std::to_string(i) + "</p>";
  return html + "</body></html>";
}

// Big black letters, so that a misplaced page shows in many pixels.
std::string BigLetters(int lines) {
  std::string html = "<html><body>";
  for (int i = 0; i < lines; ++i) html += "<p><font size=7><b>Line " + std::to_string(i) + " WWW</b></font></p>";
  return html + "</body></html>";
}

// Twelve pages, each ended by a forced break.
std::string TwelvePages() {
  std::string html = "<html><body>";
  for (int i = 1; i <= 12; ++i)
    html += std::string("<div") + (i < 12 ? " style=\"page-break-after: always\"" : "") + "><h1>Page " +
            std::to_string(i) + "</h1></div>";
  return html + "</body></html>";
}

// Two frames: sixty lines beside one line.
constexpr const char* kFrameset = "<frameset cols=\"50%,50%\"><frame src=\"a.html\"><frame src=\"b.html\"></frameset>";
constexpr const char* kOtherFrame = "<p>The other frame";

// The layer's test printer at 600 dpi: Letter, with unprintable borders.
std::unique_ptr<TTestPrinter> TestPrinter() {
  TDeviceCaps caps = test::TestPrinterCaps(false);
  for (int* value : {&caps.LogPixelsX, &caps.LogPixelsY, &caps.PhysicalWidth, &caps.PhysicalHeight,
                     &caps.PhysicalOffsetX, &caps.PhysicalOffsetY, &caps.HorzRes, &caps.VertRes})
    *value *= 2;
  return std::make_unique<TTestPrinter>(caps);
}

// Printing and the preview through the main window, on documents one nginx
// serves to the whole suite.
class PreviewOverNginx : public MainWindowTest {
 public:
  static void SetUpTestSuite() {
    nginx_ = std::make_unique<test::NginxPeer>();
    for (const auto& [name, html] : std::initializer_list<std::pair<const char*, std::string>>{
             {"short.html", "<p>One page"},
             {"twelve.html", TwelvePages()},
             {"long.html", NumberedLines(400)},
             {"huge.html", NumberedLines(12000)},
             {"big.html", BigLetters(40)},
             {"a.html", NumberedLines(60)},
             {"b.html", kOtherFrame},
             {"home.html", "<title>Home</title>At home"},
             {"frames.html", kFrameset}})
      nginx_->WriteFile(name, html);
    nginx_->Start();
  }
  static void TearDownTestSuite() { nginx_.reset(); }

 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(nginx_->Started()) << nginx_->Error();
  }
  [[nodiscard]] static std::string Served(const std::string& name) { return nginx_->Url("/" + name); }
  void OpenServed(const std::string& name) { Open({"/home=" + Served(name)}); }
  // Served as the start page, the frameset stays whole: its frames' requests
  // write their addresses into the address box, which must not be opened
  // again at the window's first activation.
  void OpenFrameset() { OpenServed("frames.html"); }

 private:
  static inline std::unique_ptr<test::NginxPeer> nginx_;
};

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

TEST_F(PreviewOverNginx, PrintSendsTheChosenRangeOrEverythingThroughTheStatusDialog) {
  test::PdfProgramPrinter pdf;
  OpenServed("long.html");
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

TEST_F(PreviewOverNginx, APassThatRaisesEndsTheStatusDialogAndShowsItsErrorOnce) {
  OpenServed("long.html");
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

TEST_F(PreviewOverNginx, OnePagePreviewDisablesPageButtonsAndPutsTheHintHandlerBack) {
  test::ProgramPrinter printer(TestPrinter());
  OpenServed("short.html");
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

TEST_F(PreviewOverNginx, TwelvePagesStepAndZoomClicksStayWithinTheLimits) {
  test::ProgramPrinter printer(TestPrinter());
  OpenServed("twelve.html");
  WithPreview(window_->actionPreview, [&](TfrmPreview& preview) {
    ASSERT_EQ(preview.Store().PageCount(), 12);
    EXPECT_TRUE(preview.PageNumSpeed->Enabled());
    EXPECT_FALSE(preview.PrevPageSpeed->Enabled());
    preview.NextPageBut->Click();
    EXPECT_EQ(preview.CurrentPage(), 1);
    preview.NextPageSpeed->Click();
    EXPECT_EQ(preview.CurPageLabel->Caption(), "Page 3 of 12");
    preview.LastPageSpeed->Click();
    EXPECT_EQ(preview.CurPageLabel->Caption(), "Page 12 of 12");
    EXPECT_FALSE(preview.NextPageSpeed->Enabled());
    EXPECT_FALSE(preview.LastPageSpeed->Enabled());
    preview.PrevPageSpeed->Click();
    EXPECT_EQ(preview.CurrentPage(), 10);
    // Two pages: beside the last page the second box stays empty.
    preview.TwoPageBut->Click();
    const TRect second = preview.PageBox(true);
    const auto middleOf = [&](const TRect& box) {
      return test_driver::PixelAt(preview.ScrollBox1, box.Left, (box.Top + box.Bottom) / 2);
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

TEST_F(PreviewOverNginx, WithoutPrinterThePreviewIsNotShownAndEachCommandSaysSoOnce) {
  auto none = TestPrinter();
  none->Listed.clear();
  test::ProgramPrinter printer(std::move(none));
  OpenServed("long.html");
  EXPECT_EQ(WithPreview(window_->actionPreview, [](TfrmPreview&) {}), 0);
  EXPECT_EQ(boxes_, std::vector<std::string>{"Printer not available"});
  // Printing, the printer's own error, once.
  boxes_.clear();
  AnswerPrintDialog(0, 0);
  window_->actionPrint->Execute();
  EXPECT_EQ(boxes_, std::vector<std::string>{"Printer selected is not valid"});
}

TEST_F(PreviewOverNginx, PreviewCancelledWhileRecordingIsNotShown) {
  test::ProgramPrinter printer(TestPrinter());
  OpenServed("long.html");
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

TEST_F(PreviewOverNginx, PrintFromThePreviewSendsTheChosenRange) {
  test::PdfProgramPrinter pdf;
  OpenServed("long.html");
  AnswerPrintDialog(2, 4);
  WithPreview(window_->actionPreview, [](TfrmPreview& preview) { preview.PrintBut->Click(); });
  EXPECT_EQ(pdf.Info("Pages"), "3");
}

TEST_F(PreviewOverNginx, PreviewToolsHaveTheirCursorsAndTheHandPansByTheDrag) {
  test::ProgramPrinter printer(TestPrinter());
  OpenServed("big.html");
  WithPreview(window_->actionPreview, [&](TfrmPreview& preview) {
    EXPECT_EQ(Screen()->CursorResource(40), "ZOOM_CURSOR");
    EXPECT_EQ(Screen()->CursorResource(41), "HAND_CURSOR");
    EXPECT_EQ(preview.PB1->Cursor(), 40);
    // What PB1 shows is the recorded page replayed at the box's scale.
    EXPECT_LT(test::ViewMismatch(preview), 0.01);
    preview.ZoomBox->SetItemIndex(9);  // 200%
    preview.ZoomBoxChange(preview.ZoomBox);
    EXPECT_LT(test::ViewMismatch(preview), 0.01);
    // Both bars as thick as a window's own, the view the rest of the box.
    EXPECT_EQ(preview.VertBar->Width(), preview.HorzBar->Height());
    EXPECT_EQ(preview.PB1->Width() + preview.VertBar->Width(), preview.ScrollBox1->ClientWidth());
    preview.HandCursorBut->Click();
    EXPECT_EQ(preview.PB1->Cursor(), 41);
    const int left = preview.HorzBar->Position(), top = preview.VertBar->Position();
    test_driver::MouseDown(preview.PB1, TMouseButton::mbLeft, 200, 200);
    test_driver::MouseMove(preview.PB1, 160, 170, ssLeft);
    test_driver::MouseUp(preview.PB1, TMouseButton::mbLeft, 160, 170);
    Application()->ProcessMessages();
    EXPECT_EQ(preview.HorzBar->Position(), left + 40);
    EXPECT_EQ(preview.VertBar->Position(), top + 30);
    EXPECT_EQ(preview.Zoom(), 2.0);  // the hand does not zoom
    test_driver::MouseMove(preview.PB1, 100, 100);
    EXPECT_EQ(preview.HorzBar->Position(), left + 40);  // released: no more panning
    EXPECT_LT(test::ViewMismatch(preview), 0.01);
    // At the largest factor the clicks reach, the view still shows the page
    // where it lies, and the hand still pans it.
    preview.ZoomCursorBut->Click();
    EXPECT_EQ(preview.PB1->Cursor(), 40);
    preview.ZoomBox->SetItemIndex(6);
    preview.ZoomBoxChange(preview.ZoomBox);
    // Pressed first on ink, then on the middle, where the pressed point goes.
    const TPoint middle{preview.PB1->Width() / 2, preview.PB1->Height() / 2};
    TPoint press = test::InkNearTheMiddle(preview);
    ASSERT_GE(press.X, 0);
    while (preview.Zoom() < kMaxZoom) {
      test_driver::MouseDown(preview.PB1, TMouseButton::mbLeft, press.X, press.Y);
      test_driver::MouseUp(preview.PB1, TMouseButton::mbLeft, press.X, press.Y);
      Application()->ProcessMessages();
      press = middle;
    }
    EXPECT_NEAR(preview.Zoom(), 25.6, 0.1);
    EXPECT_TRUE(test::InkAt(preview, middle.X, middle.Y));
    EXPECT_LT(test::ViewMismatch(preview), 0.01);
    preview.HandCursorBut->Click();
    const int deepLeft = preview.HorzBar->Position();
    test_driver::MouseDown(preview.PB1, TMouseButton::mbLeft, 100, 100);
    test_driver::MouseMove(preview.PB1, 20, 100, ssLeft);
    test_driver::MouseUp(preview.PB1, TMouseButton::mbLeft, 20, 100);
    Application()->ProcessMessages();
    EXPECT_EQ(preview.HorzBar->Position(), deepLeft + 80);
    EXPECT_LT(test::ViewMismatch(preview), 0.01);
  });
}

TEST_F(PreviewOverNginx, GoToPageSelectsTheNumberAndEnterGoesThere) {
  test::ProgramPrinter printer(TestPrinter());
  OpenServed("long.html");
  int asked = 0;
  TfrmPreview* preview = nullptr;
  test_driver::OnModalShown([&](TCustomForm* form) {
    if (auto* shown = dynamic_cast<TfrmPreview*>(form)) {
      preview = shown;
      shown->NextPageBut->Click();
      shown->PageNumSpeed->Click();
      EXPECT_EQ(shown->CurrentPage(), 2);
      shown->CloseBut->Click();
      return;
    }
    auto* dialog = dynamic_cast<TfrmGoPage*>(form);
    if (!dialog) return;  // the status dialog recording the pages
    ++asked;
    EXPECT_EQ(dialog->Caption(), "Go to page");
    EXPECT_EQ(dialog->PageNum->MaxValue(), preview->Store().PageCount());
    EXPECT_EQ(dialog->Value(), 2);
    dialog->PageNum->SetFocus();
    EXPECT_EQ(dialog->PageNum->SelLength(), 1);
    dialog->PageNum->SetValue(3);
    test_driver::PressKey(VK_RETURN);
  });
  window_->actionPreview->Execute();
  Application()->ProcessMessages();
  EXPECT_EQ(asked, 1);
}

TEST_F(PreviewOverNginx, PrintAndPreviewRunFromTheirMenuEntriesAndToolButtons) {
  test::PdfProgramPrinter pdf;
  OpenServed("long.html");
  AnswerPrintDialog(2, 3);
  ASSERT_TRUE(test_driver::ChooseMenuBarEntry(window_, "&File/&Print..."));
  Settle();
  EXPECT_EQ(pdf.Info("Pages"), "2");
  AnswerPrintDialog(1, 4);
  auto* printButton = dynamic_cast<TControl*>(window_->FindComponent("tbPrint"));
  ASSERT_NE(printButton, nullptr);
  test_driver::Click(printButton, 8, 8);
  Settle();
  EXPECT_EQ(pdf.Info("Pages"), "4");
  int previews = 0;
  test_driver::OnModalShown([&](TCustomForm* form) {
    if (auto* preview = dynamic_cast<TfrmPreview*>(form)) {
      ++previews;
      preview->CloseBut->Click();
    }
  });
  ASSERT_TRUE(test_driver::ChooseMenuBarEntry(window_, "&File/Print pre&view"));
  Settle();
  auto* previewButton = dynamic_cast<TControl*>(window_->FindComponent("tbPreview"));
  ASSERT_NE(previewButton, nullptr);
  test_driver::Click(previewButton, 8, 8);
  Settle();
  EXPECT_EQ(previews, 2);
}

// Run under the address sanitizer too: fifty previews leave nothing behind,
// and the idle return, which runs inside the preview's loop and can free the
// frames, leaves the preview without a viewer to print.
TEST_F(PreviewOverNginx, FiftyPreviewsAndTheIdleReturnUnderThePreviewOfAFrameset) {
  test::ProgramPrinter printer(TestPrinter());
  Write("larkspan.ini", "[HomePage]\nType=2\nAddress=" + Served("home.html") +
                            "\nLoadHomePageAfter=1\nSecondsIdleTime=1\n");
  OpenFrameset();
  ASSERT_EQ(window_->FrameBrowser->ViewerCount(), 2);
  window_->FrameBrowser->Viewers(0)->SetFocus();
  int previews = 0;
  std::function<void(TfrmPreview&)> check = [](TfrmPreview&) {};
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* preview = dynamic_cast<TfrmPreview*>(form);
    if (!preview) return;
    ++previews;
    check(*preview);
    preview->CloseBut->Click();
  });
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(window_->actionPreview->Execute());
    Application()->ProcessMessages();  // a closed preview is freed from the loop
  }
  EXPECT_EQ(previews, 50);
  int prints = 0;
  test::PdfProgramPrinter pdf;
  check = [&](TfrmPreview& preview) {
    EXPECT_TRUE(preview.PrintBut->Enabled());
    // As the idle step of the preview's loop starts it, and a second later.
    window_->timerHome->SetEnabled(true);
    window_->timerHome->Fire();
    Settle();
    EXPECT_EQ(ShownTitle(), "Home");
    // The frameset lives on in the history until the history lets it go.
    EXPECT_TRUE(preview.PrintBut->Enabled());
    window_->FrameBrowser->ClearHistory();
    Settle();
    EXPECT_FALSE(preview.PrintBut->Enabled());
    test_driver::AnswerDialogs([&](TCommonDialog*) { return ++prints, true; });
    preview.PrintBut->Click();
  };
  window_->actionPreview->Execute();
  Settle();
  EXPECT_EQ(previews, 51);
  EXPECT_EQ(prints, 0);
  EXPECT_TRUE(boxes_.empty());
}

// A frameset opened at start-up, before the window is active, has no active
// frame at its history changes; a click in a frame makes the commands act on
// it.
TEST_F(PreviewOverNginx, PreviewAndPrintFollowTheFrameClickedIn) {
  test::PdfProgramPrinter pdf;
  Write("a.html", NumberedLines(60));
  Write("b.html", kOtherFrame);
  Write("frames.html", kFrameset);
  Open({"/home=" + Path("frames.html")});
  TFrameBrowser& browser = *window_->FrameBrowser;
  ASSERT_EQ(browser.ViewerCount(), 2);
  EXPECT_FALSE(window_->actionPreview->Enabled());
  EXPECT_FALSE(window_->actionPrint->Enabled());
  int previewed = 0;
  test_driver::OnModalShown([&](TCustomForm* form) {
    if (auto* preview = dynamic_cast<TfrmPreview*>(form)) {
      previewed = preview->Store().PageCount();
      preview->CloseBut->Click();
    }
  });
  std::vector<int> printed;
  for (int frame : {1, 0}) {
    test_driver::Click(browser.Viewers(frame), 30, 30);
    Settle();
    EXPECT_EQ(browser.ActiveViewer(), browser.Viewers(frame));
    ASSERT_TRUE(window_->actionPreview->Execute());
    Settle();
    AnswerPrintDialog(0, 0);
    ASSERT_TRUE(window_->actionPrint->Execute());
    printed.push_back(std::stoi(pdf.Info("Pages")));
    EXPECT_EQ(previewed, printed.back()) << frame;
  }
  EXPECT_EQ(printed[0], 1);
  EXPECT_GE(printed[1], 2);  // the frame of sixty lines
}

TEST_F(PreviewOverNginx, CancelAfterPageThreeOfThreeHundredPagesKeepsThreeAndShowsNoPreview) {
  test::PdfProgramPrinter pdf;
  OpenServed("huge.html");
  TfrmPrintStatus* status = nullptr;
  int previews = 0;
  test_driver::OnModalShown([&](TCustomForm* form) {
    if (auto* s = dynamic_cast<TfrmPrintStatus*>(form)) status = s;
    previews += dynamic_cast<TfrmPreview*>(form) != nullptr;
  });
  THTMLViewer* viewer = window_->FrameBrowser->ActiveViewer();
  int lastPage = 0;
  viewer->OnPrintFooter = [&](TObject*, TCanvas&, int page, int, int, bool&) {
    lastPage = page;
    if (page == 3 && status) status->CancelButton->Click();
  };
  AnswerPrintDialog(0, 0);
  window_->actionPrint->Execute();
  EXPECT_EQ(pdf.Info("Pages"), "3");
  window_->actionPreview->Execute();
  Settle();
  EXPECT_EQ(lastPage, 3);
  EXPECT_EQ(previews, 0);
  EXPECT_TRUE(boxes_.empty());
  // The document is that long: a page dialog's range near its end prints.
  status = nullptr;
  AnswerPrintDialog(299, 300);
  window_->actionPrint->Execute();
  EXPECT_EQ(pdf.Info("Pages"), "2");
}

TEST_F(PreviewOverNginx, GridLinesLieEveryInchOrCentimetreOfThePaper) {
  test::ProgramPrinter printer(TestPrinter());
  OpenServed("short.html");
  WithPreview(window_->actionPreview, [&](TfrmPreview& preview) {
    preview.ZoomBox->SetItemIndex(6);  // 100%
    preview.ZoomBoxChange(preview.ZoomBox);
    preview.GridBut->Click();
    ASSERT_TRUE(preview.GridBut->Down());
    const TMetaFilePrinter& store = preview.Store();
    const TRect box = preview.PageBox(false);
    const auto pixel = [&](int x, int y) { return test_driver::PixelAt(preview.ScrollBox1, x, y); };
    const auto lineNear = [&](int x, int y, bool vertical) {
      for (int d = -1; d <= 1; ++d)
        if (pixel(vertical ? x + d : x, vertical ? y : y + d) == 0xC0C0C0u) return true;
      return false;
    };
    const int below = std::min(box.Bottom, preview.PB1->Height()) - 4;  // under the text
    for (int units = 0; units < 2; ++units) {
      preview.UnitsBox->SetItemIndex(units);
      preview.UnitsBoxChange(preview.UnitsBox);
      const double perInch = units ? 2.54 : 1.0;
      int checked = 0;
      for (int i = 1;; ++i) {
        const double at = std::round(store.PixelsPerInchX() * i / perInch);
        const int x = box.Left + int(std::lround(at * box.Width() / store.PaperWidth()));
        if (x >= std::min(box.Right, preview.PB1->Width()) - 2) break;
        EXPECT_TRUE(lineNear(x, below, true)) << units << " " << i;
        const double next = std::round(store.PixelsPerInchX() * (i + 1) / perInch);
        const int between = box.Left + int(std::lround((at + next) / 2 * box.Width() / store.PaperWidth()));
        if (between < std::min(box.Right, preview.PB1->Width()) - 2) {
          EXPECT_EQ(pixel(between, below), 0xFFFFFFu) << units << " " << i;
        }
        ++checked;
      }
      EXPECT_GE(checked, units ? 5 : 2);
      const double first = std::round(store.PixelsPerInchY() * 1 / perInch);
      const int y = box.Top + int(std::lround(first * box.Height() / store.PaperHeight()));
      EXPECT_TRUE(lineNear(box.Left + 5, y, false)) << units;
    }
  });
}
}  // namespace
}  // namespace lark

