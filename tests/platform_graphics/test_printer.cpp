#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/loopback_port.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printer.h"
#include "tests/platform_graphics/scene.h"

namespace lark {
namespace {

namespace fs = std::filesystem;
using namespace testing_scene;

std::string Output(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  pclose(pipe);
  return output;
}

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
  const std::string info = Output("pdfinfo '" + printer_.OutputFileName + "' 2>&1");
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
    const std::string info = Output("pdfinfo '" + printer_.OutputFileName + "' 2>&1");
    const size_t size = info.find("Page size:");
    return size == std::string::npos ? info : info.substr(size, info.find('\n', size) - size);
  };
  EXPECT_NE(printedSize().find("842 x 595"), std::string::npos);
  mode.dmOrientation = DMORIENT_PORTRAIT;
  mode.dmPaperSize = DMPAPER_LETTER;
  printer_.SetPrinter(device, driver, port, mode);
  EXPECT_NE(printedSize().find("612 x 792"), std::string::npos);
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

TEST(TestPrinter, CanStandInForTheProgramsPrinter) {
  TDeviceCaps caps;
  caps.HorzRes = caps.VertRes = 100;
  std::unique_ptr<TPrinter> previous = SetPrinter(std::make_unique<TTestPrinter>(caps));
  EXPECT_EQ(Printer().PrinterName(), "Test");
  SetPrinter(std::move(previous));
}


// A print queue of a private CUPS server (cupsd on a loopback port with a raw
// queue). The server's page log shows the job it received. Qt's print plugin
// reads the server address once per process, so the printing half runs in a
// child process of this test.
class CupsPrinting : public testing::Test {
 protected:
  static constexpr const char* kChild = "LARK_CUPS_CHILD_OUTPUT";

  void SetUp() override {
    if (getenv(kChild)) return;
    dir_ = fs::temp_directory_path() / ("lark-cups-" + std::to_string(getpid()));
    for (const char* sub : {"spool", "tmp", "cache", "state"}) fs::create_directories(dir_ / sub);
    fs::permissions(dir_, fs::perms::all);  // the backend runs as the spooler's user
    port_ = test::FreePort();
    WriteFile("cupsd.conf", "Listen 127.0.0.1:" + std::to_string(port_) +
                                "\nDefaultAuthType None\nWebInterface No\n"
                                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    const std::string root = dir_.string();
    WriteFile("cups-files.conf", "ServerRoot " + root + "\nRequestRoot " + root + "/spool\nTempDir " + root +
                                     "/tmp\nCacheDir " + root + "/cache\nStateDir " + root + "/state\nErrorLog " +
                                     root + "/error_log\nAccessLog " + root + "/access_log\nPageLog " + root +
                                     "/page_log\nFileDevice Yes\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n");
    pid_ = fork();
    if (pid_ == 0) {
      execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", (root + "/cupsd.conf").c_str(), "-s",
            (root + "/cups-files.conf").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    const std::string server = "CUPS_SERVER=127.0.0.1:" + std::to_string(port_) + " ";
    bool added = false;
    for (int attempt = 0; attempt < 50 && !added; ++attempt) {
      usleep(100000);
      added = std::system((server + "lpadmin -p lark -E -v file:///dev/null -m raw 2>/dev/null").c_str()) == 0;
    }
    ASSERT_TRUE(added) << "cupsd did not start";
  }

  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (!dir_.empty()) fs::remove_all(dir_);
  }


  void WriteFile(const std::string& name, const std::string& text) {
    FILE* f = fopen((dir_ / name).c_str(), "w");
    ASSERT_NE(f, nullptr);
    fputs(text.c_str(), f);
    fclose(f);
  }

  fs::path dir_;
  int port_ = 0;
  pid_t pid_ = -1;
};

TEST_F(CupsPrinting, AConfiguredQueueIsListedAndPrintsThroughTheServer) {
  if (getenv(kChild)) {  // the child: print two pages to the queue
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
  const std::string command = "CUPS_SERVER=127.0.0.1:" + std::to_string(port_) + " " + kChild + "=1 " +
                              fs::read_symlink("/proc/self/exe").string() +
                              " --gtest_filter=CupsPrinting.AConfiguredQueueIsListedAndPrintsThroughTheServer 2>&1";
  const std::string child = Output(command);
  ASSERT_NE(child.find("[  PASSED  ] 1 test"), std::string::npos) << child;
  std::string log;
  for (int wait = 0; wait < 100 && log.find("CUPS job") == std::string::npos; ++wait) {
    usleep(100000);
    log = Output("cat '" + (dir_ / "page_log").string() + "' 2>/dev/null");
  }
  EXPECT_NE(log.find("lark root"), std::string::npos) << log;
  EXPECT_NE(log.find("CUPS job"), std::string::npos) << log;
}

}  // namespace
}  // namespace lark
