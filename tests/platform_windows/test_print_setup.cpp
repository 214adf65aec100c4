#include "platform/graphics/gdi.h"
#include "platform/graphics/printer.h"
#include "platform/windows/common_dialogs.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class PrintSetup : public WindowTest {
 protected:
  void TearDown() override {
    if (swapped_) SetPrinter(std::move(previous_));
    WindowTest::TearDown();
  }
  void UseLetterPrinter() {
    previous_ = SetPrinter(std::make_unique<TTestPrinter>(LetterPrinterCaps()));
    swapped_ = true;
  }

 private:
  std::unique_ptr<TPrinter> previous_;  // null when none had been made yet
  bool swapped_ = false;
};

TEST_F(PrintSetup, DefaultsComeFromThePrintersSheetInEitherUnit) {
  UseLetterPrinter();
  TPageSetupDialog setup(nullptr);
  setup.Units = TPageMeasureUnits::pmInches;
  setup.ReturnDefault();
  EXPECT_EQ(setup.PaperSize, Point(8500, 11000));
  EXPECT_EQ(setup.MinMargins, Rect(250, 250, 250, 250));
  EXPECT_EQ(setup.Margins, Rect(1000, 1000, 1000, 1000));
  // Hundredths of a millimetre: a quarter inch is 635.
  setup.Units = TPageMeasureUnits::pmMillimeters;
  setup.ReturnDefault();
  EXPECT_EQ(setup.PaperSize, Point(21590, 27940));
  EXPECT_EQ(setup.MinMargins, Rect(635, 635, 635, 635));
  EXPECT_EQ(setup.Margins, Rect(2540, 2540, 2540, 2540));
}

TEST_F(PrintSetup, ThePageSetupDialogReportsInHundredthsOfAMillimetre) {
  TPageSetupDialog setup(nullptr);
  setup.PaperSize = Point(21000, 29700);
  setup.Margins = Rect(1000, 1500, 2000, 2500);  // 10, 15, 20 and 25 mm
  Application()->OnIdle = [](TObject*, bool&) { test_driver::AcceptToolkitDialog(); };
  ASSERT_TRUE(setup.Execute());
  EXPECT_EQ(setup.Margins, Rect(1000, 1500, 2000, 2500));
  EXPECT_EQ(setup.PaperSize, Point(21000, 29700));
}

TEST_F(PrintSetup, ThePrinterChosenInThePrintDialogBecomesTheProgramsPrinter) {
  auto* system = dynamic_cast<TSystemPrinter*>(&Printer());
  ASSERT_NE(system, nullptr);
  std::string device, driver, port;
  DEVMODE mode;
  system->GetPrinter(device, driver, port, mode);
  TPrintDialog print(nullptr);
  print.Options = poPageNums;
  print.MinPage = 1;
  print.MaxPage = 9;
  print.Copies = 3;
  Application()->OnIdle = [](TObject*, bool&) { test_driver::AcceptToolkitDialog(); };
  ASSERT_TRUE(print.Execute());
  EXPECT_EQ(print.Copies, 3);
  // Without print queues the dialog offers the file: the PDF printer.
  if (system->Printers() == std::vector<std::string>{"PDF"}) {
    EXPECT_EQ(system->PrinterName(), "PDF");
    DEVMODE chosen;
    system->GetPrinter(device, driver, port, chosen);
    EXPECT_EQ(chosen.dmCopies, 3);
  }
  system->SetPrinter(device, driver, port, mode);
}

}  // namespace
}  // namespace lark
