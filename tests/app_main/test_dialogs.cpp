#include <cmath>
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
#include "app/go_page_form.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/scroll_bar.h"
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

// Draws the recorded page into a bitmap of the view's size, at the page box
// the preview reports, and compares it with what PB1 shows every few
// pixels: the share of points where a channel differs by more than 24.
double ViewMismatch(TfrmPreview& preview) {
  const TMetaFilePrinter& store = preview.Store();
  const TRect box = preview.PageBox(false);
  const int width = preview.PB1->Width(), height = preview.PB1->Height();
  TBitmap expected;
  expected.SetSize(width, height);
  TCanvas& canvas = expected.Canvas();
  canvas.Brush().Color = clWhite;
  canvas.FillRect({0, 0, width, height});
  SetMapMode(canvas, MM_ANISOTROPIC);
  SetWindowExtEx(canvas, store.PaperWidth(), store.PaperHeight());
  SetViewportExtEx(canvas, box.Width(), box.Height());
  SetViewportOrgEx(canvas, box.Left, box.Top);
  SetWindowOrgEx(canvas, -store.OffsetX(), -store.OffsetY());
  canvas.Draw(0, 0, store.MetaFile(preview.CurrentPage()));
  int compared = 0, differing = 0;
  for (int y = std::max(0, box.Top) + 1; y < std::min(height, box.Bottom) - 1; y += 5)
    for (int x = std::max(0, box.Left) + 1; x < std::min(width, box.Right) - 1; x += 5) {
      const TColor want = expected.Pixel(x, y);
      const std::uint32_t shown = test_driver::PixelAt(preview.ScrollBox1, preview.PB1->Left() + x, preview.PB1->Top() + y);
      const int channels[3][2] = {{int(want & 0xFF), int(shown >> 16 & 0xFF)},
                                  {int(want >> 8 & 0xFF), int(shown >> 8 & 0xFF)},
                                  {int(want >> 16 & 0xFF), int(shown & 0xFF)}};
      bool off = false;
      for (const auto& c : channels) off = off || std::abs(c[0] - c[1]) > 24;
      ++compared;
      differing += off;
    }
  return compared ? double(differing) / compared : 1.0;
}

// Big black letters, so that a misplaced page shows in many pixels.
std::string BigLetters(int lines) {
  std::string html = "<html><body>";
  for (int i = 0; i < lines; ++i) html += "<p><font size=7><b>Line " + std::to_string(i) + " WWW</b></font></p>";
  return html + "</body></html>";
}

TEST_F(Dialogs, PreviewToolsHaveTheirCursorsAndTheHandPansByTheDrag) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("big.html", BigLetters(40));
  Open({"/home=" + Path("big.html")});
  WithPreview(window_->actionPreview, [&](TfrmPreview& preview) {
    EXPECT_EQ(Screen()->CursorResource(40), "ZOOM_CURSOR");
    EXPECT_EQ(Screen()->CursorResource(41), "HAND_CURSOR");
    EXPECT_EQ(preview.PB1->Cursor(), 40);
    // What PB1 shows is the recorded page replayed at the box's scale.
    EXPECT_LT(ViewMismatch(preview), 0.01);
    preview.ZoomBox->SetItemIndex(9);  // 200%
    preview.ZoomBoxChange(preview.ZoomBox);
    EXPECT_LT(ViewMismatch(preview), 0.01);
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
    EXPECT_LT(ViewMismatch(preview), 0.01);
    // At the largest factor the clicks reach, the view still shows the page
    // where it lies, and the hand still pans it.
    preview.ZoomCursorBut->Click();
    EXPECT_EQ(preview.PB1->Cursor(), 40);
    preview.ZoomBox->SetItemIndex(6);
    preview.ZoomBoxChange(preview.ZoomBox);
    // Pressed first on ink, then on the middle, where the pressed point goes.
    const auto inkAt = [&](int x, int y) {
      return (test_driver::PixelAt(preview.ScrollBox1, preview.PB1->Left() + x, preview.PB1->Top() + y) & 0xC0C0C0) == 0;
    };
    // Inside a stroke, as near the middle of the view as there is one.
    const TPoint middle{preview.PB1->Width() / 2, preview.PB1->Height() / 2};
    TPoint press{-1, -1};
    int nearest = 1 << 30;
    for (int y = middle.Y - 100; y < middle.Y + 100; y += 3)
      for (int x = middle.X - 150; x < middle.X + 150; x += 3) {
        const int distance = (x - middle.X) * (x - middle.X) + (y - middle.Y) * (y - middle.Y);
        if (distance >= nearest || !inkAt(x, y)) continue;
        if (inkAt(x - 1, y) && inkAt(x + 1, y) && inkAt(x, y - 1) && inkAt(x, y + 1)) press = {x, y}, nearest = distance;
      }
    ASSERT_GE(press.X, 0);
    while (preview.Zoom() < kMaxZoom) {
      test_driver::MouseDown(preview.PB1, TMouseButton::mbLeft, press.X, press.Y);
      test_driver::MouseUp(preview.PB1, TMouseButton::mbLeft, press.X, press.Y);
      Application()->ProcessMessages();
      press = middle;
    }
    EXPECT_NEAR(preview.Zoom(), 25.6, 0.1);
    EXPECT_TRUE(inkAt(middle.X, middle.Y));
    EXPECT_LT(ViewMismatch(preview), 0.01);
    preview.HandCursorBut->Click();
    const int deepLeft = preview.HorzBar->Position();
    test_driver::MouseDown(preview.PB1, TMouseButton::mbLeft, 100, 100);
    test_driver::MouseMove(preview.PB1, 20, 100, ssLeft);
    test_driver::MouseUp(preview.PB1, TMouseButton::mbLeft, 20, 100);
    Application()->ProcessMessages();
    EXPECT_EQ(preview.HorzBar->Position(), deepLeft + 80);
    EXPECT_LT(ViewMismatch(preview), 0.01);
  });
}

TEST_F(Dialogs, GoToPageSelectsTheNumberAndEnterGoesThere) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("long.html", NumberedLines(400));
  Open({"/home=" + Path("long.html")});
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

TEST_F(Dialogs, PrintAndPreviewRunFromTheirMenuEntriesAndToolButtons) {
  test::PdfProgramPrinter pdf;
  Write("long.html", NumberedLines(400));
  Open({"/home=" + Path("long.html")});
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
TEST_F(Dialogs, FiftyPreviewsAndTheIdleReturnUnderThePreviewOfAFrameset) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("a.html", NumberedLines(60));
  Write("b.html", "<p>The other frame");
  Write("home.html", "<title>Home</title>At home");
  Write("frames.html", "<frameset cols=\"50%,50%\"><frame src=\"a.html\"><frame src=\"b.html\"></frameset>");
  Write("larkspan.ini", "[HomePage]\nType=2\nAddress=" + FileURL("home.html") +
                            "\nLoadHomePageAfter=1\nSecondsIdleTime=1\n");
  Open({"/home=" + Path("frames.html")});
  ASSERT_NE(window_->FrameBrowser->Viewers(0), nullptr);
  window_->FrameBrowser->Viewers(0)->SetFocus();
  ASSERT_NE(window_->FrameBrowser->ActiveViewer(), nullptr);
  // The commands follow the active viewer at history changes only, and a
  // frameset's page has none until a frame takes the focus: the handler runs
  // as the enabled command would.
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
    window_->actionPreviewExecute(nullptr);
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
  window_->actionPreviewExecute(nullptr);
  Settle();
  EXPECT_EQ(previews, 51);
  EXPECT_EQ(prints, 0);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Dialogs, CancelAfterPageThreeOfThreeHundredPagesKeepsThreeAndShowsNoPreview) {
  test::PdfProgramPrinter pdf;
  Write("long.html", NumberedLines(12000));
  Open({"/home=" + Path("long.html")});
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

TEST_F(Dialogs, GridLinesLieEveryInchOrCentimetreOfThePaper) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("short.html", "<p>One page");
  Open({"/home=" + Path("short.html")});
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
        if (between < std::min(box.Right, preview.PB1->Width()) - 2)
          EXPECT_EQ(pixel(between, below), 0xFFFFFFu) << units << " " << i;
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
