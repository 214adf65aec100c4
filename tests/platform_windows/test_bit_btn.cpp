#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

#include "platform/graphics/canvas.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/button.h"
#include "platform/windows/small_controls.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using Match = std::function<bool(std::uint32_t rgb)>;

Match Is(std::uint32_t wanted) {
  return [wanted](std::uint32_t rgb) { return rgb == wanted; };
}

// Caption pixels: the font's blue, or the blue's antialiased edges on the
// grey face.
bool Bluish(std::uint32_t rgb) {
  const int r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return b > r + 0x40 && b > g + 0x40;
}

struct PixelRun {
  int first = -1;
  int last = -1;
};

// The first and last place along a row (or a column) of what a window shows
// where a pixel matches; -1 when none does.
PixelRun RowRun(TWinControl* window, int y, int from, int to, const Match& match) {
  PixelRun run;
  for (int x = from; x < to; ++x) {
    if (!match(test_driver::PixelAt(window, x, y))) continue;
    if (run.first < 0) run.first = x;
    run.last = x;
  }
  return run;
}

PixelRun ColumnRun(TWinControl* window, int x, int from, int to, const Match& match) {
  PixelRun run;
  for (int y = from; y < to; ++y) {
    if (!match(test_driver::PixelAt(window, x, y))) continue;
    if (run.first < 0) run.first = y;
    run.last = y;
  }
  return run;
}

// A glyph strip of square pictures, each filled with its colour; the
// bottom-left pixel of the strip is fuchsia, the transparent colour.
void FillStrip(TBitmap& strip, int size, std::initializer_list<TColor> colours) {
  strip.SetSize(size * int(colours.size()), size);
  int left = 0;
  for (TColor colour : colours) {
    strip.Canvas().Brush().Color = colour;
    strip.Canvas().FillRect(Bounds(left, 0, size, size));
    left += size;
  }
  strip.Canvas().SetPixel(0, size - 1, clFuchsia);
}

constexpr std::uint32_t kRed = 0xFF0000, kLime = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;
constexpr std::uint32_t kFuchsia = 0xFF00FF, kWhite = 0xFFFFFF, kShadow = 0x808080;

class BitButtons : public WindowTest {
 protected:
  // A 160 x 40 button: its face (inside the two-pixel frame) is 156 x 36 at (2, 2).
  TBitBtn* NewButton(const std::string& caption, int glyphSize, std::initializer_list<TColor> colours) {
    form.SetClientSize(200, 60);
    auto* button = new TBitBtn(&form);
    button->SetParent(&form);
    button->SetBounds(10, 10, 160, 40);
    button->SetCaption(caption);
    TFont font = button->Font();
    font.SetColor(clBlue);
    button->SetFont(font);
    TBitmap strip;
    FillStrip(strip, glyphSize, colours);
    button->SetGlyph(strip);
    return button;
  }
  TSize TextSize(TControl* control, const std::string& text) {
    TBitmap scratch(1, 1);
    scratch.Canvas().SetFont(control->Font());
    return scratch.Canvas().TextExtent(text);
  }
  // The top-left corner of where a glyph of the colour shows (its first
  // row and column cross at the middle of a glyph of that size).
  TPoint GlyphAt(TWinControl* window, std::uint32_t colour, TPoint near, int size) {
    PixelRun across = RowRun(window, near.Y + size / 2, near.X - 4, near.X + size + 4, Is(colour));
    PixelRun down = ColumnRun(window, near.X + size / 2, near.Y - 4, near.Y + size + 4, Is(colour));
    return Point(across.first, down.first);
  }
  TForm form{nullptr};
};

TEST_F(BitButtons, GlyphAndCaptionGoWhereLayoutMarginAndSpacingPutThem) {
  const int g = 10, faceW = 156, faceH = 36;
  struct Case {
    TButtonLayout layout;
    int margin, spacing;
    // Expected glyph and caption top-left in the button, from the caption's size.
    std::function<TPoint(TSize)> glyph, caption;
  };
  const Case cases[] = {
      // Margin -1 centres glyph, gap and caption as one block.
      {TButtonLayout::blGlyphLeft, -1, 4,
       [&](TSize t) { return Point(2 + (faceW - (g + 4 + t.cx) + 1) / 2, 2 + (faceH - g + 1) / 2); },
       [&](TSize t) { return Point(2 + (faceW - (g + 4 + t.cx) + 1) / 2 + g + 4, 2 + (faceH - t.cy + 1) / 2); }},
      {TButtonLayout::blGlyphLeft, 5, 4, [&](TSize) { return Point(7, 15); },
       [&](TSize t) { return Point(7 + g + 4, 2 + (faceH - t.cy + 1) / 2); }},
      // Spacing -1: the caption sits midway in what is left after the glyph.
      {TButtonLayout::blGlyphLeft, 5, -1, [&](TSize) { return Point(7, 15); },
       [&](TSize t) { return Point(7 + g + (faceW - 5 - g - t.cx) / 2, 2 + (faceH - t.cy + 1) / 2); }},
      // Both -1: three equal gaps.
      {TButtonLayout::blGlyphLeft, -1, -1, [&](TSize t) { return Point(2 + (faceW - g - t.cx) / 3, 15); },
       [&](TSize t) { return Point(2 + 2 * ((faceW - g - t.cx) / 3) + g, 2 + (faceH - t.cy + 1) / 2); }},
      {TButtonLayout::blGlyphRight, 5, 4, [&](TSize) { return Point(2 + faceW - 5 - g, 15); },
       [&](TSize t) { return Point(2 + faceW - 5 - g - 4 - t.cx, 2 + (faceH - t.cy + 1) / 2); }},
      {TButtonLayout::blGlyphTop, 3, 2, [&](TSize) { return Point(2 + (faceW - g + 1) / 2, 5); },
       [&](TSize t) { return Point(2 + (faceW - t.cx + 1) / 2, 5 + g + 2); }},
      {TButtonLayout::blGlyphBottom, 3, 2, [&](TSize) { return Point(2 + (faceW - g + 1) / 2, 2 + faceH - 3 - g); },
       [&](TSize t) { return Point(2 + (faceW - t.cx + 1) / 2, 2 + faceH - 3 - g - 2 - t.cy); }},
  };
  TBitBtn* button = NewButton("HH", g, {clRed});
  form.Show();
  const TSize text = TextSize(button, "HH");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "layout " << int(c.layout) << " margin " << c.margin << " spacing " << c.spacing);
    button->SetLayout(c.layout);
    button->SetMargin(c.margin);
    button->SetSpacing(c.spacing);
    const TPoint glyph = c.glyph(text);
    EXPECT_EQ(GlyphAt(button, kRed, glyph, g), glyph);
    // The caption's ink: the crossbars of "HH" span it at half its height,
    // the first stem runs down from the cap height to the baseline.
    const TPoint caption = c.caption(text);
    const int middle = caption.Y + text.cy / 2 + 1;
    PixelRun across = RowRun(button, middle, caption.X - 6, caption.X + text.cx + 6, Bluish);
    EXPECT_GE(across.first, caption.X);
    EXPECT_LE(across.first, caption.X + 2);
    EXPECT_LT(across.last, caption.X + text.cx);
    PixelRun down = ColumnRun(button, across.first, caption.Y - 6, caption.Y + text.cy + 6, Bluish);
    EXPECT_GE(down.first, caption.Y);
    EXPECT_LT(down.last, caption.Y + text.cy);
    EXPECT_GT(down.last - down.first, text.cy / 2);
  }
}

TEST_F(BitButtons, AloneGlyphOrCaptionIsCentredWithoutSpacing) {
  TBitBtn* button = NewButton("", 10, {clRed});
  button->SetLayout(TButtonLayout::blGlyphTop);
  button->SetSpacing(20);
  form.Show();
  EXPECT_EQ(GlyphAt(button, kRed, Point(75, 15), 10), Point(2 + (156 - 10 + 1) / 2, 2 + (36 - 10 + 1) / 2));
  // Without a glyph a top layout places the caption as a left one would.
  button->SetGlyph(TBitmap());
  button->SetCaption("HH");
  button->SetMargin(6);
  const TSize text = TextSize(button, "HH");
  PixelRun across = RowRun(button, 2 + (36 - text.cy + 1) / 2 + text.cy / 2 + 1, 2, 40, Bluish);
  EXPECT_GE(across.first, 8);
  EXPECT_LE(across.first, 10);
}

TEST_F(BitButtons, TransparentColourLetsTheFaceShowAndOtherPicturesStayHidden) {
  // Two pictures: red (up) and lime (disabled), bottom-left pixel fuchsia.
  TBitBtn* button = NewButton("Go", 16, {clRed, clLime});
  EXPECT_EQ(button->NumGlyphs(), 2);  // taken from the strip's shape
  form.Show();
  button->SetMargin(4);
  const TPoint at = Point(6, 2 + (36 - 16 + 1) / 2);
  EXPECT_EQ(GlyphAt(button, kRed, at, 16), at);
  EXPECT_NE(test_driver::PixelAt(button, at.X, at.Y + 15), kFuchsia);
  EXPECT_EQ(RowRun(button, at.Y + 15, 0, 160, Is(kFuchsia)).first, -1);
  EXPECT_EQ(RowRun(button, at.Y + 8, 0, 160, Is(kLime)).first, -1);
  // A fixed transparent colour replaces the bottom-left pixel's.
  button->Glyph().SetTransparentColor(clRed);
  EXPECT_EQ(RowRun(button, at.Y + 8, 0, 160, Is(kRed)).first, -1);
  EXPECT_EQ(test_driver::PixelAt(button, at.X, at.Y + 15), kFuchsia);
}

TEST_F(BitButtons, DisabledAndClickedButtonsShowTheirOwnPictures) {
  TBitBtn* button = NewButton("Go", 16, {clRed, clLime, clYellow});
  button->SetMargin(4);
  form.Show();
  const TPoint at = Point(6, 12);
  EXPECT_EQ(GlyphAt(button, kRed, at, 16), at);
  // Held down by the mouse: the clicked picture, one pixel right and down.
  test_driver::MouseDown(button, TMouseButton::mbLeft, 80, 20);
  Drain();
  EXPECT_EQ(GlyphAt(button, kYellow, Point(7, 13), 16), Point(7, 13));
  // Dragged off the button it pops up; back on, it goes down again.
  test_driver::MouseMove(button, 300, 20, ssLeft);
  Drain();
  EXPECT_EQ(GlyphAt(button, kRed, at, 16), at);
  test_driver::MouseMove(button, 80, 20, ssLeft);
  Drain();
  EXPECT_EQ(GlyphAt(button, kYellow, Point(7, 13), 16), Point(7, 13));
  test_driver::MouseUp(button, TMouseButton::mbLeft, 80, 20);
  Drain();
  EXPECT_EQ(GlyphAt(button, kRed, at, 16), at);
  button->SetEnabled(false);
  EXPECT_EQ(GlyphAt(button, kLime, at, 16), at);
  EXPECT_EQ(RowRun(button, at.Y + 8, 0, 160, Is(kRed)).first, -1);
}

TEST_F(BitButtons, MissingDisabledPictureIsEmbossedFromTheUpPicture) {
  form.SetClientSize(200, 60);
  auto* button = new TBitBtn(&form);
  button->SetParent(&form);
  button->SetBounds(10, 10, 160, 40);
  button->SetMargin(4);
  // On fuchsia: a black 4 x 4 block at (2, 2), a white one at (8, 2) and a
  // silver one at (2, 8); only the black one is dark enough to emboss.
  TBitmap glyph(16, 16);
  glyph.Canvas().Brush().Color = clFuchsia;
  glyph.Canvas().FillRect(Rect(0, 0, 16, 16));
  const std::pair<TColor, TPoint> blocks[] = {{clBlack, Point(2, 2)}, {clWhite, Point(8, 2)}, {clSilver, Point(2, 8)}};
  for (const auto& [colour, p] : blocks) {
    glyph.Canvas().Brush().Color = colour;
    glyph.Canvas().FillRect(Bounds(p.X, p.Y, 4, 4));
  }
  button->SetGlyph(glyph);
  button->SetEnabled(false);
  form.Show();
  const TPoint at = Point(6, 12);
  // Shadow on the block, highlight peeking out one pixel right and below.
  EXPECT_EQ(RowRun(button, at.Y + 3, at.X, at.X + 16, Is(kShadow)).first, at.X + 2);
  EXPECT_EQ(RowRun(button, at.Y + 3, at.X, at.X + 16, Is(kShadow)).last, at.X + 5);
  EXPECT_EQ(test_driver::PixelAt(button, at.X + 6, at.Y + 3), kWhite);
  EXPECT_EQ(RowRun(button, at.Y + 6, at.X, at.X + 16, Is(kWhite)).first, at.X + 3);
  EXPECT_EQ(RowRun(button, at.Y + 6, at.X, at.X + 16, Is(kWhite)).last, at.X + 6);
  // The light blocks and the transparent ground leave the face as it is.
  // (The face's shade changes from row to row.)
  for (TPoint light : {Point(9, 3), Point(3, 9)}) {
    const std::uint32_t face = test_driver::PixelAt(button, at.X + 14, at.Y + light.Y);
    EXPECT_NE(face, kFuchsia);
    EXPECT_EQ(test_driver::PixelAt(button, at.X + light.X, at.Y + light.Y), face);
  }
}

TEST_F(BitButtons, GlyphChangedInPlaceShowsAtTheNextPaint) {
  TBitBtn* button = NewButton("Go", 16, {clRed});
  button->SetMargin(4);
  form.Show();
  const TPoint at = Point(6, 12);
  ASSERT_EQ(GlyphAt(button, kRed, at, 16), at);
  // Drawn on.
  button->Glyph().Canvas().Brush().Color = clLime;
  button->Glyph().Canvas().FillRect(Rect(0, 0, 16, 8));
  EXPECT_EQ(test_driver::PixelAt(button, at.X + 8, at.Y + 2), kLime);
  EXPECT_EQ(test_driver::PixelAt(button, at.X + 8, at.Y + 12), kRed);
  // Loaded from a file.
  TBitmap file;
  FillStrip(file, 20, {clYellow});
  const std::string path = testing::TempDir() + "glyph_" + std::to_string(getpid()) + ".bmp";
  file.SaveToFile(path);
  button->Glyph().LoadFromFile(path);
  std::remove(path.c_str());
  const TPoint larger = Point(6, 2 + (36 - 20 + 1) / 2);
  EXPECT_EQ(GlyphAt(button, kYellow, larger, 20), larger);
  // Resized: the new white part shows too.
  button->Glyph().SetSize(28, 20);
  EXPECT_EQ(RowRun(button, larger.Y + 10, 0, 60, Is(kWhite)).last, larger.X + 27);
}

TEST_F(BitButtons, FocusRectangleAndUnderlinedAccelerator) {
  form.SetClientSize(200, 100);
  TBitBtn* plain = NewButton("Go", 10, {clRed});
  auto* marked = new TBitBtn(&form);
  marked->SetParent(&form);
  marked->SetBounds(10, 55, 160, 40);
  marked->SetFont(plain->Font());
  marked->SetCaption("&Go");
  form.Show();
  // The accelerator's letter is underlined: a row below the caption where
  // the "&" button shows the font colour and the plain one does not.
  const TSize text = TextSize(plain, "Go");
  const int top = 2 + (36 - text.cy + 1) / 2;
  int underlined = 0;
  for (int y = top + text.cy / 2; y < top + text.cy + 2; ++y) {
    PixelRun mark = RowRun(marked, y, 20, 150, Bluish);
    PixelRun none = RowRun(plain, y, 20, 150, Bluish);
    if (mark.first >= 0 && mark.last - mark.first >= 4 && none.first < 0) ++underlined;
  }
  EXPECT_GE(underlined, 1);
  // A dotted rectangle four pixels inside the edge marks the focused button.
  marked->SetFocus();
  std::vector<std::uint32_t> before;
  for (int x = 10; x < 20; ++x) before.push_back(test_driver::PixelAt(plain, x, 4));
  plain->SetFocus();
  ASSERT_TRUE(plain->Focused());
  int changed = 0;
  for (int x = 10; x < 20; ++x) changed += test_driver::PixelAt(plain, x, 4) != before[size_t(x - 10)];
  EXPECT_GE(changed, 4);
  EXPECT_LE(changed, 6);
  marked->SetFocus();
  for (int x = 10; x < 20; ++x) EXPECT_EQ(test_driver::PixelAt(plain, x, 4), before[size_t(x - 10)]);
}

TEST_F(BitButtons, SpaceBarHoldsTheButtonDownUntilItClicks) {
  TBitBtn* button = NewButton("Go", 16, {clRed, clGreen, clYellow});
  button->SetMargin(4);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form.Show();
  button->SetFocus();
  test_driver::KeyDown(VK_SPACE);
  Drain();
  EXPECT_EQ(GlyphAt(button, kYellow, Point(7, 13), 16), Point(7, 13));
  EXPECT_EQ(clicks, 0);
  test_driver::KeyUp(VK_SPACE);
  Drain();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GlyphAt(button, kRed, Point(6, 12), 16), Point(6, 12));
}

TEST_F(BitButtons, PropertiesKeepTheirLimits) {
  TBitBtn button(nullptr);
  button.SetNumGlyphs(0);
  EXPECT_EQ(button.NumGlyphs(), 1);
  button.SetNumGlyphs(9);
  EXPECT_EQ(button.NumGlyphs(), 4);
  button.SetMargin(-5);
  EXPECT_EQ(button.Margin(), -1);
  // Five square pictures are not a strip of the button's: one picture.
  TBitmap five(50, 10);
  button.SetGlyph(five);
  EXPECT_EQ(button.NumGlyphs(), 1);
}

TEST_F(BitButtons, FormResourcesSetTheGlyphProperties) {
  const char* resource = R"(object form: TForm
  object btGo: TBitBtn
    Layout = blGlyphBottom
    Margin = -1
    Spacing = 7
    NumGlyphs = 3
  end
  object sbBold: TSpeedButton
    Layout = blGlyphRight
    Margin = 2
    Spacing = -1
  end
end
)";
  TForm root(nullptr);
  ReadFormResource(&root, resource, "form.lfm");
  auto* go = dynamic_cast<TBitBtn*>(root.FindComponent("btGo"));
  auto* bold = dynamic_cast<TSpeedButton*>(root.FindComponent("sbBold"));
  ASSERT_TRUE(go && bold);
  EXPECT_EQ(go->Layout(), TButtonLayout::blGlyphBottom);
  EXPECT_EQ(go->Margin(), -1);
  EXPECT_EQ(go->Spacing(), 7);
  EXPECT_EQ(go->NumGlyphs(), 3);
  EXPECT_EQ(bold->Layout(), TButtonLayout::blGlyphRight);
  EXPECT_EQ(bold->Margin(), 2);
  EXPECT_EQ(bold->Spacing(), -1);
}

class SpeedButtons : public BitButtons {};

TEST_F(SpeedButtons, LatchedButtonShowsTheExclusivePicture) {
  form.SetClientSize(200, 60);
  auto* a = new TSpeedButton(&form);
  auto* b = new TSpeedButton(&form);
  for (TSpeedButton* button : {a, b}) {
    button->SetParent(&form);
    button->GroupIndex = 1;
    TBitmap strip;
    FillStrip(strip, 10, {clRed, clLime, clYellow, clBlue});
    button->SetGlyph(strip);
    button->SetMargin(3);
  }
  a->SetBounds(10, 10, 40, 30);
  b->SetBounds(60, 10, 40, 30);
  form.Show();
  // Face 36 x 26 at (2, 2): the glyph at margin 3, centred down.
  const TPoint at = Point(10 + 5, 10 + 2 + (26 - 10 + 1) / 2);
  EXPECT_EQ(GlyphAt(&form, kRed, at, 10), at);
  a->SetDown(true);
  EXPECT_EQ(GlyphAt(&form, kBlue, Point(at.X + 1, at.Y + 1), 10), Point(at.X + 1, at.Y + 1));
  // Pressing the other button shows its clicked picture, its release latches
  // it and releases the first.
  test_driver::MouseDown(&form, TMouseButton::mbLeft, 80, 25);
  Drain();
  EXPECT_EQ(GlyphAt(&form, kYellow, Point(at.X + 51, at.Y + 1), 10), Point(at.X + 51, at.Y + 1));
  test_driver::MouseUp(&form, TMouseButton::mbLeft, 80, 25);
  Drain();
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(GlyphAt(&form, kBlue, Point(at.X + 51, at.Y + 1), 10), Point(at.X + 51, at.Y + 1));
  EXPECT_EQ(GlyphAt(&form, kRed, at, 10), at);
  b->SetEnabled(false);
  EXPECT_EQ(GlyphAt(&form, kLime, Point(at.X + 50, at.Y), 10), Point(at.X + 50, at.Y));
}

TEST_F(SpeedButtons, GlyphDrawnOnInPlaceShowsWithoutAnInvalidate) {
  form.SetClientSize(100, 60);
  auto* button = new TSpeedButton(&form);
  button->SetParent(&form);
  button->SetBounds(10, 10, 40, 30);
  FillStrip(button->Glyph(), 10, {clRed});
  form.Show();
  const TPoint at = Point(10 + 2 + (36 - 10 + 1) / 2, 10 + 2 + (26 - 10 + 1) / 2);
  ASSERT_EQ(GlyphAt(&form, kRed, at, 10), at);
  button->Glyph().Canvas().Brush().Color = clLime;
  button->Glyph().Canvas().FillRect(Rect(0, 0, 10, 9));
  EXPECT_EQ(GlyphAt(&form, kLime, at, 10), at);
}

}  // namespace
}  // namespace lark
