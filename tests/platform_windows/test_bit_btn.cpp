#include "platform/windows/button.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class BitButtons : public WindowTest {};

// Where a colour shows on the control: the leftmost and rightmost column (-1
// when nowhere).
std::pair<int, int> ColumnsShowing(TWinControl* control, std::uint32_t rgb) {
  int first = -1, last = -1;
  for (int x = 0; x < control->Width(); ++x) {
    for (int y = 0; y < control->Height(); ++y) {
      if (test_driver::PixelAt(control, x, y) != rgb) continue;
      if (first < 0) first = x;
      last = x;
      break;
    }
  }
  return {first, last};
}

TEST_F(BitButtons, GlyphShowsBesideTheCaptionWithoutItsTransparentColour) {
  TForm form(nullptr);
  form.SetClientSize(200, 60);
  auto* button = new TBitBtn(&form);
  button->SetParent(&form);
  button->SetBounds(10, 10, 150, 34);
  button->SetCaption("Go");
  // Two glyphs side by side: a red square framed in fuchsia (the bottom-left
  // colour, so transparent), then a blue one that must not show.
  TBitmap glyph(32, 16);
  glyph.Canvas().Brush().Color = clFuchsia;
  glyph.Canvas().FillRect(Rect(0, 0, 32, 16));
  glyph.Canvas().Brush().Color = clRed;
  glyph.Canvas().FillRect(Rect(4, 4, 12, 12));
  glyph.Canvas().Brush().Color = clBlue;
  glyph.Canvas().FillRect(Rect(20, 4, 28, 12));
  button->NumGlyphs = 2;
  button->SetGlyph(glyph);
  form.Show();
  auto [redFirst, redLast] = ColumnsShowing(button, 0xFF0000);
  ASSERT_GE(redFirst, 0) << "the glyph is not shown";
  EXPECT_EQ(redLast - redFirst, 7);
  EXPECT_LT(redLast, button->Width() / 2);  // left of the middle, beside the caption
  EXPECT_EQ(ColumnsShowing(button, 0xFF00FF).first, -1);
  EXPECT_EQ(ColumnsShowing(button, 0x0000FF).first, -1);
}

}  // namespace
}  // namespace lark
