#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/core/message_pump.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "print/vw_printer.h"
#include "tests/print/print_fixtures.h"
#include "tests/support/cups_server.h"

namespace lark {
namespace {

namespace fs = std::filesystem;

template <typename Step>
void ExpectPrinterError(Step step, const char* message) {
  try {
    step();
    ADD_FAILURE() << "no exception, expected " << message;
  } catch (const EPrinter& e) {
    EXPECT_STREQ(e.what(), message);
  }
}

// 30 bytes, then a two-byte character over bytes 31 and 32, then 8 more.
const std::string kLongTitle = std::string(30, 'a') + "\xC3\xA9" + "bbbbbbbb";

class VwPrinterOnPdf : public testing::Test {
 protected:
  test::PdfProgramPrinter pdf_;
};

TEST_F(VwPrinterOnPdf, PrintsOnTheSelectedPrinterWithTheSettingsItHadWhenTheJobOpened) {
  std::string device, driver, port;
  DEVMODE mode;
  Printer().GetPrinter(device, driver, port, mode);
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  Printer().SetPrinter(device, driver, port, mode);
  TvwPrinter printer;
  EXPECT_GT(printer.GetPageWidth(), printer.GetPageHeight());
  EXPECT_EQ(printer.State(), TvwPrinter::TState::InformationContext);
  EXPECT_EQ(GetDeviceCaps(printer.Canvas(), LOGPIXELSX), 600);
  printer.Title = kLongTitle;
  printer.BeginDoc();
  mode.dmOrientation = DMORIENT_PORTRAIT;  // the program's printer changes; the job does not
  Printer().SetPrinter(device, driver, port, mode);
  printer.Canvas().TextOut(100, 100, "one");
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  EXPECT_GT(printer.GetPageWidth(), printer.GetPageHeight());
  EXPECT_EQ(printer.State(), TvwPrinter::TState::DeviceContext);  // page size asked in a job keeps the job
  printer.Canvas().TextOut(100, 100, "two");
  printer.EndDoc();
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(printer.PageNumber(), 0);
  EXPECT_EQ(pdf_.Info("Pages"), "2");
  EXPECT_EQ(pdf_.Info("Page size").substr(0, 9), "842 x 595");
  EXPECT_EQ(pdf_.Info("Title"), std::string(30, 'a'));  // cut before the character that would not fit
  EXPECT_EQ(test::CommandOutput("pdftotext '" + pdf_.Pdf().OutputFileName + "' - | tr -s '\\n\\f' ' '"), "one two ");
}

// A pass that leaves with an exception ends its printer with the job open:
// half a document must not replace the previous one.
TEST_F(VwPrinterOnPdf, AJobLeftOpenIsAbortedAndThePreviousFileKept) {
  {
    TvwPrinter first;
    first.BeginDoc();
    first.Canvas().TextOut(100, 100, "previous");
    first.EndDoc();
  }
  const std::string previous = test::ReadFile(pdf_.Pdf().OutputFileName);
  {
    auto left = std::make_unique<TvwPrinter>();
    left->BeginDoc();
    left->Canvas().TextOut(100, 100, "half");
    left->NewPage();
  }
  EXPECT_EQ(test::ReadFile(pdf_.Pdf().OutputFileName), previous);
  EXPECT_FALSE(fs::exists(pdf_.Pdf().OutputFileName + ".part"));
}

TEST_F(VwPrinterOnPdf, AJobThatCannotStartRaisesAndLeavesThePrinterIdle) {
  const std::string wanted = pdf_.Pdf().OutputFileName;
  pdf_.Pdf().OutputFileName = pdf_.Dir().Write("plain", "a file, not a folder") + "/out.pdf";
  TvwPrinter printer;
  EXPECT_THROW(printer.BeginDoc(), EPrinter);
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(printer.PageNumber(), 0);
  ExpectPrinterError([&] { printer.Canvas().TextOut(1, 1, "x"); }, "Printer is not currently printing");
  ExpectPrinterError([&] { printer.EndDoc(); }, "Printer is not currently printing");
  pdf_.Pdf().OutputFileName = wanted;  // the next job takes the printer's settings afresh
  printer.BeginDoc();
  printer.EndDoc();
  EXPECT_EQ(pdf_.Info("Pages"), "1");
}

// A folder the printing user may not write to (root obeys no permission,
// so the job runs in a child as nobody): the job fails at once and the
// previous file stays as it was.
TEST(VwPrinterAsNobody, AFolderThatCannotBeWrittenFailsTheJobAndKeepsThePreviousFile) {
  constexpr const char* kTarget = "LARK_PDF_TARGET";
  if (const char* target = std::getenv(kTarget)) {
    auto pdf = std::make_unique<TSystemPrinter>();
    pdf->OutputFileName = target;
    pdf->SetPrinterIndex(int(pdf->Printers().size()) - 1);
    test::ProgramPrinter installed(std::move(pdf));
    TvwPrinter printer;
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    EXPECT_FALSE(printer.Printing());
    return;
  }
  if (geteuid() != 0 || !test::HaveTool("setpriv")) GTEST_SKIP() << "needs root and setpriv";
  test::TempDir dir;
  const std::string target = dir.Write("out.pdf", "%PDF previous");
  fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  const std::string child =
      test::RunAsNobody("VwPrinterAsNobody.AFolderThatCannotBeWrittenFailsTheJobAndKeepsThePreviousFile",
                        std::string(kTarget) + "='" + target + "'");
  ASSERT_TRUE(test::CupsServer::ChildPassed(child)) << child;
  EXPECT_EQ(test::ReadFile(target), "%PDF previous");
  EXPECT_FALSE(fs::exists(target + ".part"));
}

TEST_F(VwPrinterOnPdf, AnAbortedJobLeavesNoFileAndThePrinterReady) {
  TvwPrinter printer;
  printer.BeginDoc();
  printer.Canvas().TextOut(100, 100, "never");
  printer.Abort();
  EXPECT_FALSE(printer.Printing());
  EXPECT_FALSE(fs::exists(pdf_.Pdf().OutputFileName));
  EXPECT_FALSE(fs::exists(pdf_.Pdf().OutputFileName + ".part"));
  printer.BeginDoc();
  printer.EndDoc();
  EXPECT_TRUE(fs::exists(pdf_.Pdf().OutputFileName));
}

TEST(VwPrinter, JobStepsOutOfOrderAndAMissingPrinterRaise) {
  auto test_printer = std::make_unique<TTestPrinter>(test::TestPrinterCaps(false));
  TTestPrinter& device = *test_printer;
  test::ProgramPrinter installed(std::move(test_printer));
  TvwPrinter printer;
  ExpectPrinterError([&] { printer.NewPage(); }, "Printer is not currently printing");
  ExpectPrinterError([&] { printer.EndDoc(); }, "Printer is not currently printing");
  ExpectPrinterError([&] { printer.Abort(); }, "Printer is not currently printing");
  printer.BeginDoc();
  ExpectPrinterError([&] { printer.BeginDoc(); }, "Printing in progress");
  ExpectPrinterError([&] { printer.SetState(TvwPrinter::TState::NoHandle); }, "Printing in progress");
  printer.EndDoc();
  printer.SetState(TvwPrinter::TState::NoHandle);

  device.Listed.clear();  // no printer installed
  TvwPrinter none;
  ExpectPrinterError([&] { none.BeginDoc(); }, "Printer selected is not valid");
  ExpectPrinterError([&] { (void)none.GetPageHeight(); }, "Printer selected is not valid");
  EXPECT_FALSE(none.Printing());
  EXPECT_EQ(none.State(), TvwPrinter::TState::NoHandle);
}

// Pending messages run at each page boundary, as the spooler's abort
// procedure ran them, so that a Cancel button works while pages go out.
TEST(VwPrinter, PendingMessagesRunAtEachPageBoundary) {
  test::ProgramPrinter installed(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  TvwPrinter printer;
  int pumped = 0;
  bool abort_now = false;
  SetMessagePump([&] {
    ++pumped;
    if (abort_now) printer.Abort();
  });
  printer.BeginDoc();
  printer.NewPage();
  printer.NewPage();
  printer.EndDoc();
  EXPECT_EQ(pumped, 3);
  printer.BeginDoc();
  abort_now = true;  // a handler that ends the job while a page goes out
  ExpectPrinterError([&] { printer.NewPage(); }, "Printer is not currently printing");
  EXPECT_FALSE(printer.Printing());
  SetMessagePump(nullptr);
}

// The canvas keeps its mapping and colours across the context it draws on;
// on a monochrome device coloured ink prints black.
TEST(VwPrinter, DrawsThroughItsCanvasOntoTheTestPrintersPages) {
  auto test_printer = std::make_unique<TTestPrinter>(test::TestPrinterCaps(true));
  TTestPrinter& device = *test_printer;
  test::ProgramPrinter installed(std::move(test_printer));
  TvwPrinter printer;
  TCanvas& canvas = printer.Canvas();  // taken before the job opens, as the print pass does
  printer.BeginDoc();
  SetMapMode(canvas, MM_ANISOTROPIC);
  SetWindowExtEx(canvas, 96, 96);
  SetViewportExtEx(canvas, GetDeviceCaps(canvas, LOGPIXELSX), GetDeviceCaps(canvas, LOGPIXELSY));
  canvas.Brush().Color = clRed;
  canvas.FillRect(Rect(96, 96, 192, 192));  // one inch square, one inch in
  printer.NewPage();
  printer.EndDoc();
  ASSERT_EQ(device.PageCount(), 2);
  TBitmap page;
  device.GetPage(0, page);
  EXPECT_EQ(page.Pixel(299, 299), clWhite);
  EXPECT_EQ(page.Pixel(300, 300), clBlack);
  EXPECT_EQ(page.Pixel(599, 599), clBlack);
  EXPECT_EQ(page.Pixel(600, 600), clWhite);
}

TEST(VwPrinter, TheSharedInstanceIsReplacedAndHandedBack) {
  TvwPrinter& shared = vwPrinter();
  EXPECT_EQ(&vwPrinter(), &shared);
  auto mine = std::make_unique<TvwPrinter>();
  TvwPrinter* mine_address = mine.get();
  std::unique_ptr<TvwPrinter> previous = SetvwPrinter(std::move(mine));
  EXPECT_EQ(previous.get(), &shared);
  EXPECT_EQ(&vwPrinter(), mine_address);
  EXPECT_EQ(SetvwPrinter(std::move(previous)).get(), mine_address);
  EXPECT_EQ(&vwPrinter(), &shared);
}

// A private print server keeps the spooled document: the queue received a
// PDF of the job's pages under the job's title, cut as the PDF's was.
TEST(VwPrinterOnCups, TheQueueReceivesTheJobUnderItsTitle) {
  if (test::CupsServer::InChild()) {
    test::ProgramPrinter installed(std::make_unique<TSystemPrinter>());
    ASSERT_EQ(Printer().PrinterName(), "lark");
    TvwPrinter printer;
    printer.Title = kLongTitle;
    printer.BeginDoc();
    printer.Canvas().TextOut(100, 100, "first");
    printer.NewPage();
    printer.Canvas().TextOut(100, 100, "second");
    printer.EndDoc();
    return;
  }
  test::CupsServer server(true);
  ASSERT_TRUE(server.Started()) << server.Error();
  const std::string child = server.RunInChild("VwPrinterOnCups.TheQueueReceivesTheJobUnderItsTitle");
  ASSERT_TRUE(test::CupsServer::ChildPassed(child)) << child;
  const std::string log = server.WaitForPageLog(std::string(30, 'a'));
  EXPECT_NE(log.find(std::string(30, 'a') + " "), std::string::npos) << log;
  EXPECT_EQ(log.find("\xC3"), std::string::npos) << log;
  const std::string spooled = test::CommandOutput("ls '" + server.SpoolDir() + "'/d*-001 2>/dev/null | head -1");
  ASSERT_FALSE(spooled.empty());
  EXPECT_EQ(test::PdfInfo(spooled.substr(0, spooled.size() - 1), "Pages"), "2");
}

}  // namespace
}  // namespace lark
