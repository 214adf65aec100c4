#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/core/exception.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_exceptions.h"
#include "print/metafile_printer.h"
#include "tests/print/print_fixtures.h"

namespace lark {
namespace {

class MetaFilePrinterOnTestPrinter : public testing::Test {
 protected:
  MetaFilePrinterOnTestPrinter() {
    auto printer = std::make_unique<TTestPrinter>(test::TestPrinterCaps(false));
    device_ = printer.get();
    installed_ = std::make_unique<test::ProgramPrinter>(std::move(printer));
  }
  TTestPrinter* device_;
  std::unique_ptr<test::ProgramPrinter> installed_;
  TMetaFilePrinter store_{nullptr};
};

TEST_F(MetaFilePrinterOnTestPrinter, PagesAreWhiteSheetsOfTheWholePaperAndAnUnusedLastOneIsDropped) {
  std::vector<int> events;
  store_.OnPageEvent = [&](TObject* sender, int page, bool& stop) {
    EXPECT_EQ(sender, &store_);
    EXPECT_FALSE(stop);
    stop = true;  // not the store's business
    events.push_back(page);
  };
  store_.BeginDoc();
  EXPECT_EQ(store_.PixelsPerInchX(), 300);
  EXPECT_EQ(store_.PaperWidth(), 2550);
  EXPECT_EQ(store_.OffsetY(), 59);
  EXPECT_EQ(store_.PageHeight(), 3180);
  EXPECT_EQ(store_.Canvas().Font().Name(), "Arial");
  store_.Canvas().TextOut(10, 10, "one");
  store_.NewPage();
  store_.Canvas().TextOut(10, 10, "two");
  store_.NewPage();  // never drawn on
  EXPECT_EQ(store_.PageCount(), 3);
  store_.EndDoc();
  EXPECT_EQ(events, (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(store_.PageCount(), 2);
  for (int i = 0; i < 2; ++i) {
    const TMetafile& page = store_.MetaFile(i);
    EXPECT_EQ(page.Width(), 2550);
    EXPECT_EQ(page.Height(), 3300);
    ASSERT_GE(page.RecordCount(), 2);
    TRect sheet{page.Width(), page.Height(), 0, 0};  // the white rectangle: its fill and its outline
    for (int r = 0; r < page.RecordCount() && page.Record(r).RecordKind != TMetafileRecord::Kind::Text; ++r) {
      EXPECT_EQ(page.Record(r).Color, clWhite);
      sheet = {std::min(sheet.Left, page.Record(r).Bounds.Left), std::min(sheet.Top, page.Record(r).Bounds.Top),
               std::max(sheet.Right, page.Record(r).Bounds.Right), std::max(sheet.Bottom, page.Record(r).Bounds.Bottom)};
    }
    EXPECT_EQ(sheet.Left, 0);
    EXPECT_EQ(sheet.Top, 0);
    EXPECT_GE(sheet.Right, 2549);
    EXPECT_GE(sheet.Bottom, 3299);
    EXPECT_EQ(page.Record(page.RecordCount() - 1).Text, i == 0 ? "one" : "two");
  }
  EXPECT_THROW((void)store_.MetaFile(2), EListError);
  EXPECT_THROW((void)store_.MetaFile(-1), EListError);
}

// Outside a job EndDoc does nothing, however often it comes: it neither
// drops a drawn page nor reads an empty list.
TEST_F(MetaFilePrinterOnTestPrinter, EndDocOutsideAJobChangesNothing) {
  store_.EndDoc();
  EXPECT_EQ(store_.PageCount(), 0);
  store_.BeginDoc();
  store_.Canvas().TextOut(10, 10, "kept");
  store_.EndDoc();
  store_.EndDoc();
  EXPECT_EQ(store_.PageCount(), 1);
  EXPECT_THROW(store_.Canvas(), EPrinter);
  EXPECT_THROW(store_.NewPage(), EPrinter);
  EXPECT_EQ(store_.PageCount(), 1);
}

TEST_F(MetaFilePrinterOnTestPrinter, ANewJobReplacesThePagesAndAMissingPrinterChangesNothing) {
  store_.BeginDoc();
  (void)store_.Canvas();
  store_.NewPage();
  (void)store_.Canvas();
  store_.EndDoc();
  ASSERT_EQ(store_.PageCount(), 2);
  store_.BeginDoc();
  EXPECT_EQ(store_.PageCount(), 1);
  store_.EndDoc();
  EXPECT_EQ(store_.PageCount(), 0);  // a job that drew nothing keeps nothing

  store_.BeginDoc();
  (void)store_.Canvas();
  store_.EndDoc();
  device_->Listed.clear();
  try {
    store_.BeginDoc();
    ADD_FAILURE() << "started";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Printer not available");
  }
  EXPECT_FALSE(store_.Printing());
  EXPECT_EQ(store_.PageCount(), 1);
}

// A recorded page played onto the printer lands where drawing on the
// printer directly would: both measure against the same device.
TEST_F(MetaFilePrinterOnTestPrinter, ARecordedPagePlaysBackOnThePrinterAsDrawn) {
  store_.BeginDoc();
  TCanvas& page = store_.Canvas();
  page.Brush().Style = bsSolid;
  page.Brush().Color = clBlue;
  page.FillRect(Rect(300, 600, 900, 1200));
  store_.EndDoc();
  Printer().BeginDoc();
  Printer().Canvas().Draw(-store_.OffsetX(), -store_.OffsetY(), store_.MetaFile(0));
  Printer().EndDoc();
  TBitmap printed;
  device_->GetPage(0, printed);
  EXPECT_EQ(printed.Pixel(300 - 71, 600 - 59), clBlue);
  EXPECT_EQ(printed.Pixel(899 - 71, 1199 - 59), clBlue);
  EXPECT_EQ(printed.Pixel(299 - 71, 600 - 59), clWhite);
  EXPECT_EQ(printed.Pixel(900 - 71, 1200 - 59), clWhite);
}

}  // namespace
}  // namespace lark
