#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printer.h"
#include "tests/platform_graphics/scene.h"
#include "tests/support/cups_server.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

namespace fs = std::filesystem;
using namespace testing_scene;

class PdfPrinting : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("lark-print-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    printer_.OutputFileName = (dir_ / "out.pdf").string();
    printer_.SetPrinterIndex(int(printer_.Printers().size()) - 1);  // the PDF printer
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The print pass's mapping: logical units are 96-dpi pixels.
  void MapToScreenPixels() {
    TCanvas& c = printer_.Canvas();
    SetMapMode(c, MM_ANISOTROPIC);
    SetWindowExtEx(c, 96, 96);
    SetViewportExtEx(c, GetDeviceCaps(c, LOGPIXELSX), GetDeviceCaps(c, LOGPIXELSY));
  }

  fs::path dir_;
  TSystemPrinter printer_;
};

TEST_F(PdfPrinting, ThreePagesMakeAThreePagePdf) {
  EXPECT_EQ(printer_.PrinterName(), "PDF");
  EXPECT_EQ(GetDeviceCaps(printer_.Canvas(), LOGPIXELSX), 600);
  printer_.Title = "Three pages";
  printer_.BeginDoc();
  for (int page = 1; page <= 3; ++page) {
    EXPECT_EQ(printer_.PageNumber(), page);
    printer_.Canvas().TextOut(100, 100, "Page " + std::to_string(page));
    if (page < 3) printer_.NewPage();
  }
  printer_.EndDoc();
  const std::string info = test::CommandOutput("pdfinfo '" + printer_.OutputFileName + "' 2>&1");
  const size_t pages = info.find("Pages:");
  ASSERT_NE(pages, std::string::npos) << info;
  EXPECT_EQ(std::atoi(info.c_str() + pages + 6), 3) << info;
  EXPECT_NE(info.find("Three pages"), std::string::npos) << info;
  EXPECT_FALSE(fs::exists(printer_.OutputFileName + ".part"));
}

// pdfinfo gives the page size in points: A4 is 595 x 842, Letter 612 x 792.
TEST_F(PdfPrinting, PagesFollowTheDeviceModesOrientationAndPaper) {
  std::string device, driver, port;
  DEVMODE mode;
  printer_.GetPrinter(device, driver, port, mode);
  const int portraitWidth = printer_.PageWidth();
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  printer_.SetPrinter(device, driver, port, mode);
  EXPECT_EQ(printer_.PageHeight(), portraitWidth);
  EXPECT_GT(printer_.PageWidth(), printer_.PageHeight());
  auto printedSize = [&] {
    printer_.BeginDoc();
    printer_.Canvas().TextOut(100, 100, "turned");
    printer_.EndDoc();
    const std::string info = test::CommandOutput("pdfinfo '" + printer_.OutputFileName + "' 2>&1");
    const size_t size = info.find("Page size:");
    return size == std::string::npos ? info : info.substr(size, info.find('\n', size) - size);
  };
  EXPECT_NE(printedSize().find("842 x 595"), std::string::npos);
  mode.dmOrientation = DMORIENT_PORTRAIT;
  mode.dmPaperSize = DMPAPER_LETTER;
  printer_.SetPrinter(device, driver, port, mode);
  EXPECT_NE(printedSize().find("612 x 792"), std::string::npos);
}

// Text the clip hides must not live on in the PDF, where pdftotext would
// find it.
TEST_F(PdfPrinting, TextWhollyOutsideTheClipIsLeftOut) {
  printer_.BeginDoc();
  MapToScreenPixels();
  IntersectClipRect(printer_.Canvas(), 0, 0, 400, 100);
  printer_.Canvas().TextOut(10, 10, "shown");
  printer_.Canvas().TextOut(10, 300, "hidden");
  printer_.Canvas().TextOut(1000, 10, "beside");
  printer_.EndDoc();
  EXPECT_EQ(test::CommandOutput("pdftotext '" + printer_.OutputFileName + "' - | tr -s '\\n\\f' ' '"), "shown ");
}

TEST_F(PdfPrinting, AnAbortedJobLeavesNoFile) {
  printer_.BeginDoc();
  printer_.Canvas().TextOut(10, 10, "never printed");
  printer_.NewPage();
  printer_.Abort();
  EXPECT_TRUE(printer_.Aborted());
  EXPECT_FALSE(printer_.Printing());
  EXPECT_FALSE(fs::exists(printer_.OutputFileName));
  EXPECT_FALSE(fs::exists(printer_.OutputFileName + ".part"));
}

TEST_F(PdfPrinting, AnOutputFileThatCannotBeMadeFailsTheJobAtOnce) {
  printer_.OutputFileName = (dir_ / "missing" / "out.pdf").string();
  EXPECT_THROW(printer_.BeginDoc(), EPrinter);
  EXPECT_FALSE(printer_.Printing());
  printer_.OutputFileName = (dir_ / "out.pdf").string();
  printer_.BeginDoc();  // the printer is usable again
  printer_.EndDoc();
  EXPECT_TRUE(fs::exists(printer_.OutputFileName));
}

TEST_F(PdfPrinting, AJobObjectWritesThePrintersFile) {
  std::unique_ptr<TPrinter> job = printer_.OpenJob();
  EXPECT_EQ(job->PrinterName(), "PDF");
  job->BeginDoc();
  job->EndDoc();
  EXPECT_TRUE(fs::exists(printer_.OutputFileName));
}

TEST_F(PdfPrinting, JobStepsOutOfOrderRaise) {
  auto expect_message = [](auto&& step, const char* message) {
    try {
      step();
      ADD_FAILURE() << "no exception";
    } catch (const EPrinter& e) {
      EXPECT_STREQ(e.what(), message);
    }
  };
  expect_message([&] { printer_.NewPage(); }, "Printer is not currently printing");
  expect_message([&] { printer_.EndDoc(); }, "Printer is not currently printing");
  expect_message([&] { printer_.Abort(); }, "Printer is not currently printing");
  expect_message([&] { printer_.Canvas().FillRect(Rect(0, 0, 5, 5)); }, "Printer is not currently printing");
  expect_message([&] { printer_.SetPrinterIndex(99); }, "Printer selected is not valid");
  EXPECT_GT(printer_.Canvas().TextWidth("measured outside a job"), 0);
  printer_.BeginDoc();
  expect_message([&] { printer_.BeginDoc(); }, "Printing in progress");
  printer_.EndDoc();
}

// Tolerance of printed against drawn pixels: the PDF rasterized at 96 dpi
// without anti-aliasing may differ from the bitmap by more than 64 in a
// channel on at most 3% of the pixels (glyph hinting at the printer's
// resolution, edges of scaled shapes).
constexpr double kPrintedShare = 0.03;

TEST_F(PdfPrinting, PrintedSceneShowsTheSamePixelsAsTheBitmap) {
  TBitmap drawn(kWidth, kHeight);
  Draw(drawn.Canvas());
  // The same scene once more through a metafile replayed on the page.
  TBitmap reference(kWidth, kHeight);
  TMetafile metafile;
  {
    TMetafileCanvas recorder(metafile, &reference.Canvas());
    Draw(recorder);
  }
  printer_.BeginDoc();
  MapToScreenPixels();
  Draw(printer_.Canvas());
  printer_.NewPage();
  MapToScreenPixels();
  printer_.Canvas().Draw(0, 0, metafile);
  printer_.EndDoc();
  const std::string prefix = (dir_ / "page").string();
  ASSERT_EQ(std::system(("pdftoppm -r 96 -aa no -aaVector no -png '" + printer_.OutputFileName + "' '" + prefix + "'").c_str()), 0);
  for (const char* page : {"-1.png", "-2.png"}) {
    SCOPED_TRACE(page);
    const std::string bmp = prefix + page + ".bmp";
    ASSERT_EQ(std::system(("convert '" + prefix + page + "' -crop " + std::to_string(kWidth) + "x" +
                           std::to_string(kHeight) + "+0+0 -type TrueColor BMP3:'" + bmp + "'").c_str()), 0);
    TBitmap printed;
    printed.LoadFromFile(bmp);
    ASSERT_EQ(printed.Width(), kWidth);
    EXPECT_LE(DifferentShare(drawn, printed, 64, Rect(0, 0, kWidth, kHeight)), kPrintedShare);
    // The masked disc: red inside, the page's white around it.
    const TColor disc = printed.Pixel(260, 160);  // images may travel JPEG-compressed
    EXPECT_GE(GetRValue(disc), 240) << std::hex << disc;
    EXPECT_LE(GetGValue(disc) + GetBValue(disc), 30) << std::hex << disc;
    const TColor corner = printed.Pixel(241, 141);
    EXPECT_GE(GetRValue(corner) + GetGValue(corner) + GetBValue(corner), 3 * 240) << std::hex << corner;
  }
}

TEST(TestPrinter, ReportsTheGeometryAndDepthItWasGiven) {
  TDeviceCaps caps;
  caps.LogPixelsX = caps.LogPixelsY = 300;
  caps.HorzRes = 2400;
  caps.VertRes = 3200;
  caps.PhysicalWidth = 2550;
  caps.PhysicalHeight = 3300;
  caps.PhysicalOffsetX = 75;
  caps.PhysicalOffsetY = 50;
  caps.BitsPixel = 1;
  TTestPrinter printer(caps);
  TCanvas& c = printer.Canvas();
  EXPECT_EQ(GetDeviceCaps(c, PHYSICALOFFSETX), 75);
  EXPECT_EQ(GetDeviceCaps(c, PHYSICALOFFSETY), 50);
  EXPECT_EQ(GetDeviceCaps(c, PHYSICALWIDTH), 2550);
  EXPECT_EQ(GetDeviceCaps(c, HORZRES), 2400);
  EXPECT_EQ(GetDeviceCaps(c, VERTRES), 3200);
  EXPECT_EQ(GetDeviceCaps(c, LOGPIXELSY), 300);
  EXPECT_EQ(GetDeviceCaps(c, BITSPIXEL), 1);
  EXPECT_EQ(GetDeviceCaps(c, NUMCOLORS), 2);
  EXPECT_EQ(GetDeviceCaps(c, TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(printer.PageWidth(), 2400);
  printer.BeginDoc();
  c.Brush().Color = clRed;
  c.FillRect(Rect(0, 0, 10, 10));
  printer.NewPage();
  printer.EndDoc();
  ASSERT_EQ(printer.PageCount(), 2);
  TBitmap page;
  printer.GetPage(0, page);
  EXPECT_TRUE(page.Monochrome());
  EXPECT_EQ(page.Pixel(5, 5), clBlack);  // red prints black on a monochrome device
  EXPECT_EQ(page.Pixel(50, 50), clWhite);
}

TEST(TestPrinter, DeviceModeTurnsThePageAndIsReadBack) {
  TDeviceCaps caps;
  caps.HorzRes = 80;
  caps.VertRes = 120;
  caps.PhysicalOffsetX = 3;
  caps.PhysicalOffsetY = 5;
  TTestPrinter printer(caps);
  std::string device, driver, port;
  DEVMODE mode;
  printer.GetPrinter(device, driver, port, mode);
  EXPECT_EQ(device, "Test");
  EXPECT_EQ(mode.dmDeviceName, "Test");
  EXPECT_EQ(mode.dmOrientation, DMORIENT_PORTRAIT);
  EXPECT_EQ(mode.dmCopies, 1);

  mode.dmOrientation = DMORIENT_LANDSCAPE;
  mode.dmPaperSize = DMPAPER_LETTER;
  mode.dmCopies = 0;
  printer.SetPrinter(device, driver, port, mode);
  EXPECT_EQ(printer.PageWidth(), 120);
  EXPECT_EQ(printer.PageHeight(), 80);
  EXPECT_EQ(GetDeviceCaps(printer.Canvas(), PHYSICALOFFSETX), 5);
  EXPECT_EQ(GetDeviceCaps(printer.Canvas(), PHYSICALOFFSETY), 3);
  DEVMODE back;
  printer.GetPrinter(device, driver, port, back);
  EXPECT_EQ(back.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(back.dmPaperSize, DMPAPER_LETTER);
  EXPECT_EQ(back.dmCopies, 1);  // at least one copy
  printer.BeginDoc();
  printer.Canvas().Brush().Color = clBlack;
  printer.Canvas().FillRect(Rect(110, 70, 120, 80));  // the far corner of the turned page
  EXPECT_THROW(printer.SetPrinter(device, driver, port, mode), EPrinter);  // during a job
  printer.EndDoc();
  TBitmap page;
  printer.GetPage(0, page);
  EXPECT_EQ(page.Width(), 120);
  EXPECT_EQ(page.Pixel(119, 79), clBlack);

  try {
    printer.SetPrinter("Elsewhere", driver, port, mode);
    ADD_FAILURE() << "selected";
  } catch (const EPrinter& e) {
    EXPECT_STREQ(e.what(), "Printer selected is not valid");
  }
  mode.dmOrientation = 7;  // not an orientation: portrait
  printer.SetPrinter(device, driver, port, mode);
  EXPECT_EQ(printer.PageWidth(), 80);
}

// A job object carries a copy of the selection taken when it opens, runs
// its job beside its printer's, and keeps its pages with the test printer.
TEST(TestPrinter, JobObjectsPrintBesideTheirPrinter) {
  TDeviceCaps caps;
  caps.HorzRes = 80;
  caps.VertRes = 120;
  TTestPrinter printer(caps);
  std::string device, driver, port;
  DEVMODE mode;
  printer.GetPrinter(device, driver, port, mode);
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  printer.SetPrinter(device, driver, port, mode);
  std::unique_ptr<TPrinter> job = printer.OpenJob();
  mode.dmOrientation = DMORIENT_PORTRAIT;
  printer.SetPrinter(device, driver, port, mode);
  EXPECT_EQ(job->PageWidth(), 120);
  job->BeginDoc();
  printer.BeginDoc();  // both at once
  printer.Abort();
  job->Canvas().Brush().Color = clBlack;
  job->Canvas().FillRect(Rect(0, 0, 10, 10));
  job->NewPage();
  job->EndDoc();
  ASSERT_EQ(printer.PageCount(), 2);
  TBitmap page;
  printer.GetPage(0, page);
  EXPECT_EQ(page.Width(), 120);
  EXPECT_EQ(page.Pixel(5, 5), clBlack);

  printer.Listed.clear();  // no printer installed
  try {
    (void)printer.OpenJob();
    ADD_FAILURE() << "opened";
  } catch (const EPrinter& e) {
    EXPECT_STREQ(e.what(), "Printer selected is not valid");
  }
}

TEST(TestPrinter, CanStandInForTheProgramsPrinter) {
  TDeviceCaps caps;
  caps.HorzRes = caps.VertRes = 100;
  std::unique_ptr<TPrinter> previous = SetPrinter(std::make_unique<TTestPrinter>(caps));
  EXPECT_EQ(Printer().PrinterName(), "Test");
  SetPrinter(std::move(previous));
}


// A queue of a private CUPS server; the server's page log shows the job it
// received.
TEST(CupsPrinting, AConfiguredQueueIsListedAndPrintsThroughTheServer) {
  if (test::CupsServer::InChild()) {  // print two pages to the queue
    TSystemPrinter printer;
    const std::vector<std::string> printers = printer.Printers();
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_EQ(printers[0], "lark");
    EXPECT_EQ(printers[1], "PDF");
    EXPECT_EQ(printer.PrinterName(), "lark");
    EXPECT_GT(GetDeviceCaps(printer.Canvas(), LOGPIXELSX), 0);
    EXPECT_GT(printer.PageHeight(), 0);
    printer.Title = "CUPS job";
    printer.BeginDoc();
    printer.Canvas().TextOut(100, 100, "first");
    printer.NewPage();
    printer.Canvas().TextOut(100, 100, "second");
    printer.EndDoc();
    return;
  }
  test::CupsServer server;
  ASSERT_TRUE(server.Started()) << server.Error();
  const std::string child = server.RunInChild("CupsPrinting.AConfiguredQueueIsListedAndPrintsThroughTheServer");
  ASSERT_TRUE(test::CupsServer::ChildPassed(child)) << child;
  const std::string log = server.WaitForPageLog("CUPS job");
  EXPECT_NE(log.find("lark root"), std::string::npos) << log;
  EXPECT_NE(log.find("CUPS job"), std::string::npos) << log;
}

}  // namespace
}  // namespace lark
