// The routines the controls share: words, resources, the four-digit year,
// gradients, the controls' cursors.

#include <clocale>

#include "controls/control_cursors.h"
#include "controls/date_util.h"
#include "controls/gui_utils.h"
#include "controls/word_routines.h"
#include "platform/graphics/arithmetic.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/windows/graphic_controls.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

TEST(WordRoutines, WordsAreRunsBetweenDelimiters) {
  EXPECT_EQ(WordPosition(1, " a,,b ", " ,"), 1u);
  EXPECT_EQ(WordPosition(2, " a,,b ", " ,"), 4u);
  EXPECT_EQ(ExtractWord(2, " a,,b ", " ,"), "b");
  EXPECT_EQ(WordPosition(3, " a,,b ", " ,"), std::string::npos);  // not 0: that is the first character
  EXPECT_EQ(ExtractWord(3, " a,,b ", " ,"), "");
  EXPECT_EQ(ExtractWord(1, "abc", " "), "abc");
  EXPECT_EQ(WordPosition(0, "abc", " "), std::string::npos);
  EXPECT_EQ(WordPosition(1, "", " "), std::string::npos);
}

TEST(GuiUtils, MissingResourcesRaiseResourceNotFound) {
  auto message = [](auto&& call) {
    try {
      call();
    } catch (const EResNotFound& e) {
      return e.Message;
    }
    return std::string("nothing raised");
  };
  EXPECT_EQ(message([] { ResourceNotFound("BUTTONS"); }), "Resource BUTTONS not found");
  EXPECT_EQ(message([] { ResourceNotFound(32754); }), "Resource 32754 not found");
  // The system has no bitmaps of its own here.
  EXPECT_EQ(message([] { (void)MakeModuleBitmap(0, 32754); }), "Resource 32754 not found");
  EXPECT_EQ(message([] { (void)CreateBitmap("NO_SUCH_BITMAP"); }), "Resource NO_SUCH_BITMAP not found");
}

TEST(DateUtil, FourDigitYearFollowsTheShortDateFormat) {
  std::setlocale(LC_ALL, "C");  // "mm/dd/yy"
  EXPECT_FALSE(FourDigitYear());
  EXPECT_TRUE(HasFourDigitYear("dd.MM.yyyy"));
  EXPECT_FALSE(HasFourDigitYear("yyy-mm-dd"));
}

// Fills a bitmap width x 3 pixels from left to right (or right to left) and
// returns each column's colour.
std::vector<TColor> Gradient(int width, int colors, TFillDirection direction = fdLeftToRight) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, 3);
  GradientFillRect(bitmap.Canvas(), Rect(0, 0, width, 3), RGB(0, 0, 0), RGB(255, 128, 64), direction, colors);
  std::vector<TColor> columns;
  for (int x = 0; x < width; ++x) columns.push_back(bitmap.Pixel(x, 1));
  return columns;
}

TColor BandColor(int band, int last) {
  return RGB(MulDiv(band, 255, last), MulDiv(band, 128, last), MulDiv(band, 64, last));
}

TEST(GuiUtils, GradientBandsArePixelExact) {
  const std::vector<TColor> narrow = Gradient(10, 64);  // 10 bands of 1 pixel
  for (int x = 0; x < 10; ++x) EXPECT_EQ(narrow[x], BandColor(x, 9)) << x;

  const std::vector<TColor> wide = Gradient(130, 64);  // 64 bands of 2, then 2 of the end colour
  for (int x = 0; x < 128; ++x) EXPECT_EQ(wide[x], BandColor(x / 2, 63)) << x;
  EXPECT_EQ(wide[128], RGB(255, 128, 64));
  EXPECT_EQ(wide[129], RGB(255, 128, 64));

  const std::vector<TColor> reversed = Gradient(10, 64, fdRightToLeft);
  EXPECT_EQ(reversed.front(), RGB(255, 128, 64));
  EXPECT_EQ(reversed.back(), RGB(0, 0, 0));

  for (TColor c : Gradient(7, 1)) EXPECT_EQ(c, RGB(0, 0, 0));  // one colour: a plain fill
}

TEST(GuiUtils, ManyColoursAreClampedNotWrapped) {
  for (int colors : {256, 300, 100000}) {
    const std::vector<TColor> columns = Gradient(300, colors);  // 255 bands of 1, then 45 of the end
    EXPECT_EQ(columns[0], RGB(0, 0, 0)) << colors;
    EXPECT_EQ(columns[254], RGB(255, 128, 64)) << colors;
    EXPECT_EQ(columns[127], BandColor(127, 254)) << colors;
    EXPECT_EQ(columns[299], RGB(255, 128, 64)) << colors;
  }
}

class ControlCursors : public FormTest {};

TEST_F(ControlCursors, TheHandsAreScreenCursorsThatTheToolkitCanShow) {
  RegisterControlCursors();
  RegisterControlCursors();
  auto* hand = new TPaintBox(form.get());
  hand->SetParent(form.get());
  hand->SetBounds(0, 0, 50, 50);
  hand->SetCursor(crHand);
  auto* drag = new TPaintBox(form.get());
  drag->SetParent(form.get());
  drag->SetBounds(100, 0, 50, 50);
  drag->SetCursor(crDragHand);
  form->Show();
  test_driver::MouseMove(form.get(), 10, 10);
  Drain();
  EXPECT_EQ(test_driver::ShownCursor(form.get()), crHand);  // an unreadable resource shows the arrow
  test_driver::MouseMove(form.get(), 110, 10);
  Drain();
  EXPECT_EQ(test_driver::ShownCursor(form.get()), crDragHand);
}

}  // namespace
}  // namespace lark
