#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>
#include <thread>

#include "platform/core/exception.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "controls/page_setup.h"
#include "print/vw_printer.h"
#include "tests/print/print_pass_fixture.h"
#include "tests/support/cups_server.h"
#include "tests/frame_browser/browser_fixture.h"

namespace lark {
namespace {

using test::PdfWord;
using test::PrintPassTest;

constexpr double kPointsPerCm = 72 / 2.54;

// Headers carry the document title, footers "Page n".
void AddHeaderAndFooter(THTMLViewer& viewer) {
  viewer.OnPrintHeader = [&viewer](TObject*, TCanvas& canvas, int, int, int h, bool&) {
    canvas.TextOut(100, h / 3, viewer.DocumentTitle());
  };
  viewer.OnPrintFooter = [](TObject*, TCanvas& canvas, int page, int, int, bool&) {
    canvas.TextOut(100, 10, "Page " + std::to_string(page));
  };
}

TEST_F(PrintPassTest, PdfPagesMatchThePreviewAndHoldTheWholeTextOnceInOrder) {
  Load(NumberedLines(150));
  std::vector<int> events;
  viewer->OnPageEvent = [&](TObject* sender, int page, bool&) {
    EXPECT_EQ(sender, viewer);
    events.push_back(page);
  };
  viewer->Print(1, 9999);
  const int pages = std::stoi(pdf_.Info("Pages"));
  EXPECT_GE(pages, 3);
  EXPECT_EQ(pdf_.Info("Page size").substr(0, 9), "595 x 842");  // A4
  EXPECT_EQ(pdf_.Info("Title"), "Numbered lines");
  EXPECT_EQ(viewer->CurrentPage(), pages);
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[0], 0);
  EXPECT_EQ(events[1], 1);  // the layout is done
  EXPECT_EQ(events.back(), pages);
  const std::vector<std::string> words = test::Words(PdfText());
  ASSERT_EQ(words.size(), 300u);
  for (int i = 0; i < 150; ++i) EXPECT_EQ(words[size_t(2 * i + 1)], std::to_string(i));

  EXPECT_EQ(viewer->PrintPreview(store_), pages);
  EXPECT_EQ(store_.PageCount(), pages);
  for (int page = 0; page < pages; ++page)  // the preview's pages hold the PDF's
    EXPECT_EQ(test::RecordedWords(store_.MetaFile(page)),
              test::Words(PdfText("-f " + std::to_string(page + 1) + " -l " + std::to_string(page + 1))));

  std::string device, driver, port;
  DEVMODE mode;
  Printer().GetPrinter(device, driver, port, mode);
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  Printer().SetPrinter(device, driver, port, mode);
  viewer->Print(1, 1);
  EXPECT_EQ(pdf_.Info("Page size").substr(0, 9), "842 x 595");
  EXPECT_EQ(pdf_.Info("Pages"), "1");
}

// Every body word lies inside the margins within a point; the header in the
// top margin, the footer of page n in page n's bottom margin.
TEST_F(PrintPassTest, WordsLandInsideTheMarginsAndHeadersAndFootersInTheirs) {
  Load("<title>Margins</title><body>" + std::string(120, ' ') + [] {
    std::string text;
    for (int i = 0; i < 1500; ++i) text += "word" + std::to_string(i) + " ";
    return text;
  }());
  AddHeaderAndFooter(*viewer);
  struct Margins {
    double Left, Right, Top, Bottom;
  };
  // Margins chosen in the page setup dialog, in hundredths of a millimetre,
  // as the main window turns them into centimetres.
  TPageSetupDlg setup(nullptr);
  setup.SetMeasurements(TPSMeasurements::pmMillimeters);
  setup.Options = 0;
  setup.PaperSize = TPSPoint{21000, 29700};
  setup.MinimumMargins = TPSRect{};
  setup.Margins = TPSRect{2200, 1800, 1200, 2600};
  Application()->OnIdle = [](TObject*, bool&) { test_driver::AcceptToolkitDialog(); };
  ASSERT_TRUE(setup.Execute());
  Application()->OnIdle = nullptr;
  const Margins chosen{setup.Margins.Left / 1000.0, setup.Margins.Right / 1000.0, setup.Margins.Top / 1000.0,
                       setup.Margins.Bottom / 1000.0};
  EXPECT_NEAR(chosen.Left, 2.2, 0.002);
  for (const Margins m : {Margins{2, 2, 2, 2}, Margins{3, 1, 2.5, 1.5}, chosen}) {
    SCOPED_TRACE(m.Left);
    viewer->PrintMarginLeft = m.Left;
    viewer->PrintMarginRight = m.Right;
    viewer->PrintMarginTop = m.Top;
    viewer->PrintMarginBottom = m.Bottom;
    viewer->Print(1, 100);
    const std::vector<PdfWord> words = test::PdfWords(PdfFile());
    const int pages = std::stoi(pdf_.Info("Pages"));
    EXPECT_GE(pages, 2);
    const double left = m.Left * kPointsPerCm - 1, right = 595 - m.Right * kPointsPerCm + 1;
    const double top = m.Top * kPointsPerCm - 1, bottom = 842 - m.Bottom * kPointsPerCm + 1;
    int body = 0, headers = 0, footers = 0;
    for (size_t i = 0; i < words.size(); ++i) {
      const PdfWord& w = words[i];
      if (w.Text == "Margins") {
        ++headers;
        EXPECT_LT(w.Y1, top + 1);
      } else if (w.Text == "Page") {
        ++footers;
        ASSERT_LT(i + 1, words.size());
        EXPECT_EQ(words[i + 1].Text, std::to_string(w.Page));
        EXPECT_GT(w.Y0, bottom - 1);
        ++i;
      } else {
        ++body;
        EXPECT_GE(w.X0, left) << w.Text;
        EXPECT_LE(w.X1, right) << w.Text;
        EXPECT_GE(w.Y0, top) << w.Text;
        EXPECT_LE(w.Y1, bottom) << w.Text;
      }
    }
    EXPECT_EQ(body, 1500);
    EXPECT_EQ(headers, pages);
    EXPECT_EQ(footers, pages);
  }
}

TEST_F(PrintPassTest, RangesPrintTheirPagesAndAJobThatReachesNoneLeavesNoFile) {
  Load(NumberedLines(150));
  ASSERT_EQ(viewer->PrintPreview(store_), 5) << "the test wants five pages";
  viewer->Print(3, 3);
  EXPECT_EQ(pdf_.Info("Pages"), "1");
  EXPECT_EQ(test::Words(PdfText()), test::RecordedWords(store_.MetaFile(2)));
  EXPECT_EQ(viewer->CurrentPage(), 3);
  for (const int from : {6, 7}) {
    std::filesystem::remove(PdfFile());
    viewer->Print(from, from);
    EXPECT_FALSE(std::filesystem::exists(PdfFile())) << from;
    EXPECT_EQ(viewer->CurrentPage(), 5);
  }
  // A Cancel while the document is laid out is met at page event 1.
  viewer->OnPageEvent = [](TObject*, int page, bool& stop) { stop = page == 1; };
  viewer->Print(1, 5);
  EXPECT_FALSE(std::filesystem::exists(PdfFile()));
  EXPECT_EQ(viewer->PrintPreview(store_), 0);
  EXPECT_EQ(store_.PageCount(), 0);
  viewer->OnPageEvent = [](TObject*, int page, bool& stop) { stop = page == 2; };
  viewer->Print(1, 5);
  EXPECT_EQ(pdf_.Info("Pages"), "2");
  EXPECT_EQ(viewer->PrintPreview(store_), 2);
  EXPECT_FALSE(viewer->Processing());
}

TEST_F(PrintPassTest, MarginsThatLeaveNoBodyOrAreNotLengthsFailBeforeAJob) {
  Load(NumberedLines(10));
  viewer->Print(1, 1);
  const std::string previous = test::ReadFile(PdfFile());
  struct Case {
    double* margin;
    double value;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const Case c : {Case{&viewer->PrintMarginTop, 15}, Case{&viewer->PrintMarginLeft, nan},
                       Case{&viewer->PrintMarginRight, 1e300}, Case{&viewer->PrintMarginBottom, -1},
                       Case{&viewer->PrintMarginLeft, std::numeric_limits<double>::infinity()}}) {
    const double saved = *c.margin;
    *c.margin = c.value;
    if (c.value == 15) viewer->PrintMarginBottom = 15;  // 30 cm of a 29.7 cm sheet
    EXPECT_THROW(viewer->Print(1, 1), Exception) << c.value;
    EXPECT_THROW(viewer->PrintPreview(store_), Exception) << c.value;
    EXPECT_FALSE(viewer->Processing());
    *c.margin = saved;
    viewer->PrintMarginBottom = 2;
  }
  EXPECT_EQ(test::ReadFile(PdfFile()), previous);
  viewer->Print(1, 1);
  EXPECT_EQ(pdf_.Info("Pages"), "1");
}

TEST_F(PrintPassTest, WithoutAPrinterNothingIsDrawnAndThePreviousPrinterComesBack) {
  Load(NumberedLines(10));
  auto none = std::make_unique<TTestPrinter>(test::TestPrinterCaps(false));
  TTestPrinter* device = none.get();
  device->Listed.clear();
  test::ProgramPrinter installed(std::move(none));
  TvwPrinter* previous = &vwPrinter();
  int headers = 0;
  viewer->OnPrintHeader = [&](TObject*, TCanvas&, int, int, int, bool&) { ++headers; };
  try {
    viewer->PrintPreview(store_);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Printer not available");
  }
  try {
    viewer->Print(1, 1);
    ADD_FAILURE() << "no exception";
  } catch (const EPrinter& e) {
    EXPECT_STREQ(e.what(), "Printer selected is not valid");
  }
  EXPECT_EQ(headers, 0);
  EXPECT_EQ(&vwPrinter(), previous);
  EXPECT_EQ(device->PageCount(), 0);
  EXPECT_FALSE(viewer->Processing());
  device->Listed = {"Test"};
  viewer->Print(1, 1);
  EXPECT_EQ(device->PageCount(), 1);
  EXPECT_EQ(viewer->PrintPreview(store_), 1);
}

// While a pass runs the viewer is busy: loads, Clear, late pictures and
// another pass do nothing. A handler that raises ends the pass, the job is
// thrown away and the viewer is usable again.
TEST_F(PrintPassTest, TheViewerIsBusyDuringAPassAndARaisingHandlerLeavesNoFile) {
  Load(NumberedLines(150));
  viewer->Print(1, 1);
  const std::string previous = test::ReadFile(PdfFile());
  const std::string other = "<p>Another document</p>";
  TMetaFilePrinter inner(nullptr);
  int inside = 0;
  viewer->OnPrintHeader = [&](TObject*, TCanvas&, int page, int, int, bool&) {
    ++inside;
    EXPECT_TRUE(viewer->Processing());
    viewer->LoadFromBuffer(other.data(), other.size());
    viewer->Clear();
    auto png = StreamOf("not a picture");
    EXPECT_FALSE(viewer->InsertImage("x.png", *png));
    EXPECT_EQ(viewer->PrintPreview(inner), 0);
    if (page == 2) throw std::runtime_error("header failed");
  };
  for (const bool preview : {false, true}) {
    inside = 0;
    EXPECT_THROW(preview ? void(viewer->PrintPreview(store_)) : viewer->Print(1, 5), std::runtime_error);
    EXPECT_EQ(inside, 2);
    EXPECT_FALSE(viewer->Processing());
    EXPECT_NE(viewer->SectionList().Count(), 0);  // the document stayed
  }
  EXPECT_EQ(test::ReadFile(PdfFile()), previous);
  EXPECT_EQ(store_.PageCount(), 2);  // the preview keeps what it recorded
  EXPECT_FALSE(store_.Printing());
  viewer->OnPrintHeader = nullptr;
  viewer->Print(1, 1);
  EXPECT_EQ(pdf_.Info("Pages"), "1");
}

TEST_F(PrintPassTest, TheFrameBrowserPrintsItsActiveViewer) {
  auto* browser = new TFrameBrowser(form.get());  // owned by the form
  browser->SetParent(form.get());
  browser->SetBounds(0, 0, 400, 300);
  browser->SetfvOptions(browser->fvOptions() | fvMetaRefresh);
  TMemoryHost host;
  host.Attach(*browser);
  // The page refreshes itself a second after it shows: while a pass runs,
  // the refresh waits.
  host.Pages["http://host/page.html"].Bytes =
      "<meta http-equiv=refresh content=\"1; url=http://host/next.html\">" + NumberedLines(40);
  host.Pages["http://host/next.html"].Bytes = "<p>Next</p>";
  browser->LoadURL("http://host/page.html");
  Drain();
  THTMLViewer* shown = browser->ActiveViewer();
  ASSERT_NE(shown, nullptr);
  const auto pump = [](int ms) {
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
         std::chrono::steady_clock::now() < end;) {
      Application()->ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  };
  shown->OnPageEvent = [&](TObject*, int page, bool&) {
    if (page == 1) pump(1500);
  };
  browser->Print(1, 10);
  EXPECT_EQ(pdf_.Info("Pages"), "2");
  EXPECT_NE(PdfText().find("Line 39"), std::string::npos);
  EXPECT_EQ(browser->CurrentFile(), "http://host/page.html");
  shown->OnPageEvent = nullptr;
  pump(1500);
  EXPECT_EQ(browser->CurrentFile(), "http://host/next.html");  // and then it came
}

// The test printer: 300 dpi, 0.6 cm and 0.5 cm unprintable borders,
// monochrome.
TEST_F(ViewerTest, OnAMonochromePrinterTheFirstInkLandsAtTheMarginAndColouredTextIsBlack) {
  viewer->MarginWidth = 0;
  viewer->MarginHeight = 0;
  Load("<table width=100% cellspacing=0 cellpadding=0 border=0><tr><td bgcolor=black height=40>&nbsp;</td></tr></table>"
       "<font color=red size=7>MMMM</font>");
  auto owned = std::make_unique<TTestPrinter>(test::TestPrinterCaps(true));
  TTestPrinter* device = owned.get();
  test::ProgramPrinter installed(std::move(owned));
  // The first ink: the cell's background, or without table backgrounds the text below it.
  const auto firstInk = [&](int& firstX, int& firstY, int& black, int& other) {
    viewer->Print(1, 1);
    ASSERT_EQ(device->PageCount(), 1);
    TBitmap page;
    device->GetPage(0, page);
    firstX = page.Width(), firstY = page.Height(), other = 0, black = 0;
    for (int y = 0; y < page.Height(); ++y)
      for (int x = 0; x < page.Width(); ++x) {
        const TColor c = page.Pixel(x, y) & 0xFFFFFF;
        if (c == 0xFFFFFF) continue;
        firstX = std::min(firstX, x);
        firstY = std::min(firstY, y);
        ++(c == 0 ? black : other);
      }
  };
  const int left = int(std::lround(300 * 2 / 2.54)) - 71, top = int(std::lround(300 * 2 / 2.54)) - 59;
  int firstX, firstY, black, other;
  firstInk(firstX, firstY, black, other);  // table backgrounds print by default
  EXPECT_NEAR(firstX, left, 2);
  EXPECT_NEAR(firstY, top, 2);
  EXPECT_GT(black, 1000);
  EXPECT_EQ(other, 0);
  viewer->SethtOptions(viewer->htOptions() & ~htPrintTableBackground);
  firstInk(firstX, firstY, black, other);
  EXPECT_GT(firstY, top + 100);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

using test::PrintPassTest;

// The page (1-based) of each word of the PDF.
std::map<std::string, std::set<int>> PagesOfWords(const std::string& pdf) {
  std::map<std::string, std::set<int>> pages;
  for (const test::PdfWord& word : test::PdfWords(pdf)) pages[word.Text].insert(word.Page);
  return pages;
}

TEST_F(PrintPassTest, BreaksKeepRowsLinesAndPicturesWholeAndHonourForcedOnes) {
  // A table of three-line rows, taller than a page: each row on one page.
  std::string html = "<table border=1>";
  for (int i = 0; i < 120; ++i) html += "<tr><td>R" + std::to_string(i) + "a<br>R" + std::to_string(i) + "b<br>R" +
                                        std::to_string(i) + "c</td></tr>";
  Load(html + "</table>");
  viewer->Print(1, 100);
  auto pages = PagesOfWords(PdfFile());
  EXPECT_GE(std::stoi(pdf_.Info("Pages")), 3);
  for (int i = 0; i < 120; ++i) {
    const std::string row = "R" + std::to_string(i);
    ASSERT_EQ(pages[row + "a"].size(), 1u) << row;
    EXPECT_EQ(pages[row + "a"], pages[row + "c"]) << row;
  }

  // A short table that starts below two thirds of a page moves to the next.
  const auto filler = [](int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) lines += "Filler" + std::to_string(i) + "<br>";
    return lines;
  };
  Load(filler(200));
  viewer->Print(1, 1);
  const int perPage = int(test::Words(PdfText()).size());
  const int fill = perPage * 4 / 5;
  html = filler(fill);
  html += "<table border=1>";
  for (int i = 0; i < 10; ++i) html += "<tr><td>Cell" + std::to_string(i) + "</td></tr>";
  Load(html + "</table>");
  viewer->Print(1, 100);
  pages = PagesOfWords(PdfFile());
  ASSERT_EQ(pages["Filler" + std::to_string(fill - 1)], std::set<int>{1}) << "the filler must end on page 1";
  for (int i = 0; i < 10; ++i) EXPECT_EQ(pages["Cell" + std::to_string(i)], std::set<int>{2}) << i;

  // CSS and PAGE breaks start pages; a picture across the cut goes whole to
  // the next page.
  const std::string png = SolidPng(dir_, "red.png", 60, 300, 0xFF0000);
  ASSERT_FALSE(png.empty());
  Load("First<p style=\"page-break-before: always\">Second</p><page>Third<br>" +
       filler(fill) +
       "<img src=\"" + png + "\"><br>After");
  viewer->Print(1, 100);
  pages = PagesOfWords(PdfFile());
  EXPECT_EQ(pages["First"], std::set<int>{1});
  EXPECT_EQ(pages["Second"], std::set<int>{2});
  EXPECT_EQ(pages["Third"], std::set<int>{3});
  ASSERT_EQ(pages["Filler" + std::to_string(fill - 1)], std::set<int>{3}) << "the picture must start low on page 3";
  EXPECT_EQ(pages["After"], std::set<int>{4});
  ASSERT_EQ(viewer->PrintPreview(store_), 4);
  std::vector<int> imagePages;
  for (int page = 0; page < 4; ++page) {
    const TMetafile& sheet = store_.MetaFile(page);
    for (int i = 0; i < sheet.RecordCount(); ++i)
      if (sheet.Record(i).RecordKind == TMetafileRecord::Kind::Image) imagePages.push_back(page + 1);
  }
  EXPECT_EQ(imagePages, std::vector<int>{4});
}

// A long PRE: each page records its own lines and no other, every line once.
TEST_F(PrintPassTest, ALongPreformattedTextRecordsEachLineOnItsOwnPage) {
  std::string html = "<pre>";
  for (int i = 0; i < 5000; ++i) html += "L" + std::to_string(i) + "\n";
  Load(html + "</pre>");
  const int pages = viewer->PrintPreview(store_);
  ASSERT_GT(pages, 50);
  int next = 0;
  for (int page = 0; page < pages; ++page)
    for (const std::string& word : test::RecordedWords(store_.MetaFile(page))) {
      ASSERT_EQ(word, "L" + std::to_string(next)) << "page " << page + 1;
      ++next;
    }
  EXPECT_EQ(next, 5000);
}

// Each printed page, rasterized, shows what its preview page shows.
TEST_F(PrintPassTest, PrintedPagesShowTheirPreviewPages) {
  const std::string png = SolidPng(dir_, "blue.png", 80, 40, 0x0000FF);
  std::string html = "<body bgcolor=white><table border=1 bgcolor=yellow><tr><td>Cell</td><td><img src=\"" + png +
                     "\"></td></tr></table>";
  for (int i = 0; i < 60; ++i) html += "<p><font color=green>Paragraph " + std::to_string(i) + "</font></p>";
  Load(html);
  AddHeaderAndFooter(*viewer);
  viewer->Print(1, 100);
  const int pages = viewer->PrintPreview(store_);
  ASSERT_EQ(std::to_string(pages), pdf_.Info("Pages"));
  const std::string prefix = dir_.File("page");
  ASSERT_EQ(std::system(("pdftoppm -r 96 -aa no -aaVector no -png '" + PdfFile() + "' '" + prefix + "'").c_str()), 0);
  for (int page = 1; page <= pages; ++page) {
    SCOPED_TRACE(page);
    const std::string png = prefix + "-" + std::to_string(page) + ".png", bmp = png + ".bmp";
    ASSERT_EQ(std::system(("convert '" + png + "' -type TrueColor BMP3:'" + bmp + "'").c_str()), 0);
    TBitmap printed;
    printed.LoadFromFile(bmp);
    TBitmap previewed(printed.Width(), printed.Height());
    previewed.Canvas().StretchDraw(Rect(0, 0, printed.Width(), printed.Height()), store_.MetaFile(page - 1));
    EXPECT_LE(test::DifferentShare(printed, previewed, 64), 0.03);
  }
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

// 30 bytes, then a two-byte character over bytes 31 and 32, then 8 more.
const std::string kLongTitle = std::string(30, 'a') + "\xC3\xA9" + "bbbbbbbb";

// A private print server keeps the spooled document: the viewer's job
// arrives under its document's title, cut before the character that would
// not fit whole, as a PDF of the preview's page count.
TEST_F(ViewerTest, APrintServerReceivesThePagesUnderTheDocumentsTitle) {
  if (test::CupsServer::InChild()) {
    test::ProgramPrinter installed(std::make_unique<TSystemPrinter>());
    ASSERT_EQ(Printer().PrinterName(), "lark");
    std::string html = "<title>" + kLongTitle + "</title>";
    for (int i = 0; i < 120; ++i) html += "<p>Paragraph " + std::to_string(i) + "</p>";
    Load(html);
    TMetaFilePrinter store(nullptr);
    std::printf("preview pages: %d\n", viewer->PrintPreview(store));
    viewer->Print(1, 100);
    return;
  }
  test::CupsServer server(true);
  ASSERT_TRUE(server.Started()) << server.Error();
  const std::string child = server.RunInChild("ViewerTest.APrintServerReceivesThePagesUnderTheDocumentsTitle");
  ASSERT_TRUE(test::CupsServer::ChildPassed(child)) << child;
  const size_t at = child.find("preview pages: ");
  ASSERT_NE(at, std::string::npos) << child;
  const std::string previewPages = child.substr(at + 15, child.find('\n', at) - at - 15);
  EXPECT_NE(previewPages, "0");
  const std::string log = server.WaitForPageLog(std::string(30, 'a'));
  EXPECT_NE(log.find(std::string(30, 'a') + " "), std::string::npos) << log;
  EXPECT_EQ(log.find("\xC3"), std::string::npos) << log;
  const std::string spooled = test::CommandOutput("ls '" + server.SpoolDir() + "'/d*-001 2>/dev/null | head -1");
  ASSERT_FALSE(spooled.empty());
  EXPECT_EQ(test::PdfInfo(spooled.substr(0, spooled.size() - 1), "Pages"), previewPages);
}

// A PDF folder the printing user may not write to: the pass fails before
// it draws, the previous file stays and the viewer is ready again.
TEST_F(ViewerTest, PrintingIntoAFolderThatCannotBeWrittenFailsAndKeepsThePreviousFile) {
  constexpr const char* kTarget = "LARK_PDF_TARGET";
  if (const char* target = std::getenv(kTarget)) {
    auto pdf = std::make_unique<TSystemPrinter>();
    pdf->OutputFileName = target;
    pdf->SetPrinterIndex(int(pdf->Printers().size()) - 1);
    test::ProgramPrinter installed(std::move(pdf));
    Load("<p>Text</p>");
    int headers = 0;
    viewer->OnPrintHeader = [&](TObject*, TCanvas&, int, int, int, bool&) { ++headers; };
    EXPECT_THROW(viewer->Print(1, 1), EPrinter);
    EXPECT_EQ(headers, 0);
    EXPECT_FALSE(viewer->Processing());
    return;
  }
  if (geteuid() != 0 || !test::HaveTool("setpriv")) GTEST_SKIP() << "needs root and setpriv";
  test::TempDir dir;
  const std::string target = dir.Write("out.pdf", "%PDF previous");
  namespace fs = std::filesystem;
  fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  const std::string child = test::RunAsNobody(
      "ViewerTest.PrintingIntoAFolderThatCannotBeWrittenFailsAndKeepsThePreviousFile",
      std::string(kTarget) + "='" + target + "'");
  ASSERT_TRUE(test::CupsServer::ChildPassed(child)) << child;
  EXPECT_EQ(test::ReadFile(target), "%PDF previous");
}

}  // namespace
}  // namespace lark
