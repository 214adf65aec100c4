// The page setup component over the toolkit's dialog and the test printer.

#include "controls/page_setup.h"

#include <cstdlib>

#include "platform/graphics/gdi.h"
#include "platform/graphics/printer.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class PageSetup : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    auto printer = std::make_unique<TTestPrinter>(LetterPrinterCaps());
    test_printer = printer.get();
    previous = SetPrinter(std::move(printer));
  }
  void TearDown() override {
    SetPrinter(std::move(previous));
    WindowTest::TearDown();
  }
  // Runs the dialog, answering the toolkit's dialog with accept or reject
  // once it shows; the dialog's place on the screen goes to shown_at.
  bool Run(TPageSetupDlg& setup, bool accept) {
    Application()->OnIdle = [&](TObject*, bool&) {
      const TRect bounds = test_driver::ToolkitDialogBounds();
      if (bounds.Right > bounds.Left) shown_at = bounds;
      accept ? test_driver::AcceptToolkitDialog() : test_driver::RejectToolkitDialog();
    };
    const bool confirmed = setup.Execute();
    Application()->OnIdle = nullptr;
    return confirmed;
  }

  TTestPrinter* test_printer = nullptr;
  std::unique_ptr<TPrinter> previous;
  TRect shown_at{};
};

TEST_F(PageSetup, InchesTurnIntoHundredthsOfAMillimetreAndBack) {
  TPageSetupDlg setup(nullptr);
  setup.SetMeasurements(TPSMeasurements::pmInches);
  setup.GetDefaults();
  EXPECT_EQ(setup.PaperSize, (TPSPoint{8500, 11000}));
  EXPECT_EQ(setup.MinimumMargins, (TPSRect{250, 250, 250, 250}));
  setup.Margins = TPSRect{250, 250, 250, 250};
  setup.SetMeasurements(TPSMeasurements::pmMillimeters);
  EXPECT_EQ(setup.Margins, (TPSRect{635, 635, 635, 635}));
  EXPECT_EQ(setup.PaperSize, (TPSPoint{21590, 27940}));
  setup.SetMeasurements(TPSMeasurements::pmInches);
  EXPECT_EQ(setup.Margins, (TPSRect{250, 250, 250, 250}));
  EXPECT_EQ(TPageSetupDlg::Version(), "TPageSetupDlg v2.13");
}

TEST_F(PageSetup, WithoutAnyPrinterTheDefaultsAreLetterWithQuarterInchMargins) {
  test_printer->Listed.clear();
  TPageSetupDlg setup(nullptr);
  setup.SetMeasurements(TPSMeasurements::pmInches);
  setup.GetDefaults();
  EXPECT_EQ(setup.PaperSize, (TPSPoint{8500, 11000}));
  EXPECT_EQ(setup.MinimumMargins, (TPSRect{250, 250, 250, 250}));
  EXPECT_EQ(setup.Margins, (TPSRect{250, 250, 250, 250}));
}

TEST_F(PageSetup, TheAcceptedDialogReturnsMarginsRaisedToTheMinimumAndCancelChangesNothing) {
  TPageSetupDlg setup(nullptr);
  setup.SetMeasurements(TPSMeasurements::pmMillimeters);
  setup.Options = 0;  // the minimum margins apply
  setup.PaperSize = TPSPoint{21000, 29700};
  setup.MinimumMargins = TPSRect{1000, 1000, 1000, 1000};
  setup.Margins = TPSRect{500, 2000, 500, 2500};
  ASSERT_TRUE(Run(setup, true));
  auto near = [](int a, int b) { return std::abs(a - b) <= 1; };  // the toolkit keeps millimetres as floats
  EXPECT_TRUE(near(setup.Margins.Left, 1000) && near(setup.Margins.Top, 2000) && near(setup.Margins.Right, 1000) &&
              near(setup.Margins.Bottom, 2500))
      << setup.Margins.Left << "," << setup.Margins.Top << "," << setup.Margins.Right << "," << setup.Margins.Bottom;
  EXPECT_TRUE(near(setup.PaperSize.X, 21000) && near(setup.PaperSize.Y, 29700));

  setup.Margins = TPSRect{3000, 3000, 3000, 3000};
  EXPECT_FALSE(Run(setup, false));
  EXPECT_EQ(setup.Margins, (TPSRect{3000, 3000, 3000, 3000}));
}

TEST_F(PageSetup, OkSetsThePrintersSheetAndCancelLeavesIt) {
  auto sheet = [] {
    std::string device, driver, port;
    DEVMODE mode;
    Printer().GetPrinter(device, driver, port, mode);
    return mode.dmPaperSize;
  };
  ASSERT_NE(sheet(), DMPAPER_A5);
  TPageSetupDlg setup(nullptr);
  setup.SetMeasurements(TPSMeasurements::pmMillimeters);
  setup.PaperSize = TPSPoint{14800, 21000};
  ASSERT_TRUE(Run(setup, true));
  EXPECT_EQ(sheet(), DMPAPER_A5);

  setup.PaperSize = TPSPoint{29700, 42000};
  EXPECT_FALSE(Run(setup, false));
  EXPECT_EQ(sheet(), DMPAPER_A5);
}

TEST_F(PageSetup, CenteredPlacesTheDialogHalfwayAcrossAndAThirdDown) {
  TPageSetupDlg setup(nullptr);
  ASSERT_TRUE(Run(setup, true));
  const int width = shown_at.Right - shown_at.Left;
  const int height = shown_at.Bottom - shown_at.Top;
  ASSERT_GT(width, 0);
  EXPECT_NEAR(shown_at.Left, (Screen()->Width() - width) / 2, 1);
  EXPECT_NEAR(shown_at.Top, (Screen()->Height() - height) / 3, 1);
}

}  // namespace
}  // namespace lark
