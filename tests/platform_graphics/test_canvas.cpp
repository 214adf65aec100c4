#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/screen.h"

namespace lark {
namespace {

// The pixels of one row as letters: '.' white, '#' black, '?' other.
std::string Row(TBitmap& bitmap, int y) {
  std::string row;
  for (int x = 0; x < bitmap.Width(); ++x) {
    const TColor c = bitmap.Pixel(x, y);
    row += c == clWhite ? '.' : c == clBlack ? '#' : '?';
  }
  return row;
}

TEST(Canvas, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  TBitmap bitmap(6, 5);
  TCanvas& c = bitmap.Canvas();
  c.Brush().Color = clRed;
  c.Rectangle(0, 0, 5, 4);
  EXPECT_EQ(Row(bitmap, 0), "#####.");
  EXPECT_EQ(bitmap.Pixel(1, 1), clRed);
  EXPECT_EQ(bitmap.Pixel(4, 1), clBlack);
  EXPECT_EQ(Row(bitmap, 3), "#####.");
  EXPECT_EQ(Row(bitmap, 4), "......");
  c.Pen().Style = psClear;  // without a pen the fill is a pixel smaller
  c.Brush().Color = clBlack;
  TBitmap plain(4, 4);
  plain.Canvas().Pen().Style = psClear;
  plain.Canvas().Brush().Color = clBlack;
  plain.Canvas().Rectangle(0, 0, 4, 4);
  EXPECT_EQ(Row(plain, 0), "###.");
  EXPECT_EQ(Row(plain, 3), "....");
}

TEST(Canvas, LinesStopBeforeTheirEndPoint) {
  TBitmap bitmap(6, 3);
  TCanvas& c = bitmap.Canvas();
  c.MoveTo(1, 1);
  c.LineTo(5, 1);
  EXPECT_EQ(Row(bitmap, 1), ".####.");
  EXPECT_EQ(c.PenPos(), Point(5, 1));
  c.MoveTo(5, 0);
  c.LineTo(1, 0);  // right to left: the start is drawn, the end is not
  EXPECT_EQ(Row(bitmap, 0), "..####");
  c.Pen().Color = clRed;
  c.MoveTo(0, 0);
  c.LineTo(0, 2);
  EXPECT_EQ(bitmap.Pixel(0, 1), clRed);
  EXPECT_EQ(bitmap.Pixel(0, 2), clWhite);
}

TEST(Canvas, PenModesCombineWithTheTarget) {
  TBitmap bitmap(4, 1);
  TCanvas& c = bitmap.Canvas();
  c.Pen().Mode = pmXor;
  c.Pen().Color = clRed;
  c.MoveTo(0, 0);
  c.LineTo(2, 0);
  EXPECT_EQ(bitmap.Pixel(0, 0), clAqua);  // white XOR red
  c.MoveTo(0, 0);
  c.LineTo(2, 0);  // drawn twice: gone
  EXPECT_EQ(bitmap.Pixel(0, 0), clWhite);
  c.Pen().Mode = pmNot;
  c.MoveTo(0, 0);
  c.LineTo(4, 0);
  EXPECT_EQ(Row(bitmap, 0), "####");
  c.Brush().Color = clBlue;
  PatBlt(c, 0, 0, 2, 1, PATINVERT);
  EXPECT_EQ(bitmap.Pixel(1, 0), clBlue);
  PatBlt(c, 2, 0, 2, 1, WHITENESS);
  EXPECT_EQ(bitmap.Pixel(3, 0), clWhite);
}

// Diagonals and curves in the combining pen modes touch exactly the pixels
// that the copying pen paints, each once: inverting gives the copy's
// picture, and XOR drawn twice leaves no trace.
TEST(Canvas, PenModesAreExactForDiagonalsAndCurves) {
  const std::vector<std::function<void(TCanvas&)>> shapes = {
      [](TCanvas& c) { c.MoveTo(1, 1), c.LineTo(17, 9); },
      [](TCanvas& c) { c.Ellipse(2, 2, 18, 14); },
      [](TCanvas& c) { c.Arc(0, 0, 20, 16, 20, 8, 0, 8); },
      [](TCanvas& c) { c.Polyline({{2, 12}, {10, 2}, {18, 12}, {3, 6}}); },
  };
  auto pixels = [](TBitmap& bitmap) {
    std::string all;
    for (int y = 0; y < bitmap.Height(); ++y) all += Row(bitmap, y) + "\n";
    return all;
  };
  for (int width : {1, 3}) {
    for (size_t i = 0; i < shapes.size(); ++i) {
      SCOPED_TRACE("shape " + std::to_string(i) + ", pen width " + std::to_string(width));
      TBitmap copied(20, 16), inverted(20, 16), toggled(20, 16);
      for (TBitmap* bitmap : {&copied, &inverted, &toggled}) {
        bitmap->Canvas().Pen().Width = width;
        bitmap->Canvas().Brush().Style = bsClear;
      }
      shapes[i](copied.Canvas());
      inverted.Canvas().Pen().Mode = pmNot;
      shapes[i](inverted.Canvas());
      EXPECT_EQ(pixels(inverted), pixels(copied));
      EXPECT_NE(pixels(copied).find('#'), std::string::npos);

      toggled.Canvas().Brush().Style = bsSolid;
      toggled.Canvas().Brush().Color = RGB(10, 200, 30);
      toggled.Canvas().FillRect(Rect(0, 0, 20, 8));
      const std::string before = pixels(toggled);
      toggled.Canvas().Brush().Style = bsClear;
      toggled.Canvas().Pen().Mode = pmXor;
      toggled.Canvas().Pen().Color = RGB(255, 0, 128);
      shapes[i](toggled.Canvas());
      EXPECT_NE(pixels(toggled), before);
      shapes[i](toggled.Canvas());
      EXPECT_EQ(pixels(toggled), before);
    }
  }
  // NOT XOR with white leaves the target as it is; the brush still fills.
  TBitmap filled(10, 10);
  filled.Canvas().Pen().Mode = pmNotXor;
  filled.Canvas().Pen().Color = clWhite;
  filled.Canvas().Brush().Color = clRed;
  filled.Canvas().Ellipse(0, 0, 10, 10);
  EXPECT_EQ(filled.Pixel(5, 5), clRed);
  EXPECT_EQ(pixels(filled).find_first_not_of(".?\n"), std::string::npos);  // nothing black
}

TEST(Canvas, FramesAndFocusRectangles) {
  TBitmap bitmap(5, 4);
  TCanvas& c = bitmap.Canvas();
  c.Brush().Color = clBlack;
  c.FrameRect(Rect(0, 0, 5, 4));
  EXPECT_EQ(Row(bitmap, 0), "#####");
  EXPECT_EQ(Row(bitmap, 1), "#...#");
  EXPECT_EQ(Row(bitmap, 3), "#####");
  TBitmap focus(6, 4);
  focus.Canvas().DrawFocusRect(Rect(0, 0, 6, 4));
  EXPECT_EQ(Row(focus, 0), "#.#.#.");
  EXPECT_EQ(Row(focus, 1), ".....#");
  focus.Canvas().DrawFocusRect(Rect(0, 0, 6, 4));  // drawing twice removes it
  EXPECT_EQ(Row(focus, 0), "......");
  EXPECT_EQ(Row(focus, 1), "......");
}

TEST(Canvas, DrawEdgeUsesTheClassicButtonColours) {
  TBitmap bitmap(6, 6);
  TRect r = Rect(0, 0, 6, 6);
  DrawEdge(bitmap.Canvas(), r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  EXPECT_EQ(bitmap.Pixel(0, 0), ColorToRGB(cl3DLight));
  EXPECT_EQ(bitmap.Pixel(5, 5), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(bitmap.Pixel(1, 1), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(bitmap.Pixel(4, 4), ColorToRGB(clBtnShadow));
  EXPECT_EQ(bitmap.Pixel(2, 2), ColorToRGB(clBtnFace));
  EXPECT_EQ(r, Rect(2, 2, 4, 4));
  TRect sunken = Rect(0, 0, 6, 6);
  DrawEdge(bitmap.Canvas(), sunken, BDR_SUNKENOUTER, BF_RECT);
  EXPECT_EQ(bitmap.Pixel(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(bitmap.Pixel(5, 5), ColorToRGB(clBtnHighlight));
}

TEST(Canvas, AnisotropicMappingScalesLogicalUnits) {
  TBitmap bitmap(20, 20);
  TCanvas& c = bitmap.Canvas();
  SetMapMode(c, MM_ANISOTROPIC);
  SetWindowExtEx(c, 96, 96);
  SetViewportExtEx(c, 192, 192);  // one logical unit is two pixels
  SetWindowOrgEx(c, 1, 0);
  c.Brush().Color = clBlack;
  c.FillRect(Rect(2, 1, 4, 2));
  EXPECT_EQ(Row(bitmap, 1), "....................");
  EXPECT_EQ(Row(bitmap, 2), "..####..............");
  EXPECT_EQ(Row(bitmap, 3), "..####..............");
  TPoint p{4, 2};
  LPtoDP(c, &p, 1);
  EXPECT_EQ(p, Point(6, 4));
  DPtoLP(c, &p, 1);
  EXPECT_EQ(p, Point(4, 2));
  EXPECT_EQ(c.ClipRect(), Rect(1, 0, 11, 10));
  SetMapMode(c, MM_TEXT);
  SetWindowOrgEx(c, 0, 0);
  c.FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(bitmap.Pixel(0, 0), clBlack);
}

TEST(Canvas, DeviceCapsOfBitmaps) {
  TBitmap bitmap(30, 20);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), HORZRES), 30);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), VERTRES), 20);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), BITSPIXEL), 24);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), PLANES), 1);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), NUMCOLORS), -1);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), TECHNOLOGY), DT_RASDISPLAY);
  bitmap.SetMonochrome(true);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), BITSPIXEL), 1);
  EXPECT_EQ(GetDeviceCaps(bitmap.Canvas(), NUMCOLORS), 2);
}

TEST(Canvas, TheScreenMeasuresButCannotBeDrawnOn) {
  TCanvas& screen = ScreenCanvas();
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES), 24);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
  EXPECT_GT(screen.TextWidth("abc"), 0);
  EXPECT_THROW(screen.FillRect(Rect(0, 0, 1, 1)), EInvalidGraphicOperation);
}

TEST(Bitmap, ScanLinesFollowThePixelFormat) {
  TBitmap bitmap(3, 2);
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas().SetPixel(1, 0, RGB(10, 20, 30));
  const auto* row = static_cast<const uint8_t*>(bitmap.ScanLine(0));
  EXPECT_EQ(row[3], 30);  // blue, green, red
  EXPECT_EQ(row[4], 20);
  EXPECT_EQ(row[5], 10);
  bitmap.SetPixelFormat(pf32bit);
  const auto* wide = static_cast<const uint8_t*>(bitmap.ScanLine(0));
  EXPECT_EQ(wide[4], 30);
  EXPECT_EQ(wide[6], 10);
  EXPECT_EQ(bitmap.Pixel(1, 0), RGB(10, 20, 30));

  bitmap.SetPixelFormat(pf8bit);  // through the default palette, nearest colour
  EXPECT_EQ(bitmap.Palette()->Entries.size(), 256u);
  EXPECT_EQ(bitmap.Pixel(0, 0), clWhite);
  std::vector<PALETTEENTRY> gray = {{0, 0, 0, 0}, {128, 128, 128, 0}};
  bitmap.SetPalette(CreatePalette(gray));
  static_cast<uint8_t*>(bitmap.ScanLine(1))[2] = 1;
  EXPECT_EQ(bitmap.Pixel(2, 1), RGB(128, 128, 128));

  TBitmap mono(10, 1);
  mono.SetMonochrome(true);
  EXPECT_EQ(mono.PixelFormat(), pf1bit);
  static_cast<uint8_t*>(mono.ScanLine(0))[0] = 0x7F;  // first pixel 0 (black), the rest 1 (white)
  EXPECT_EQ(mono.Pixel(0, 0), clBlack);
  EXPECT_EQ(mono.Pixel(1, 0), clWhite);
  EXPECT_EQ(mono.BytesPerScanLine(), 4);
}

TEST(Bitmap, ResizingKeepsTheTopLeftAndNewPixelsAreWhite) {
  TBitmap bitmap(2, 2);
  bitmap.Canvas().SetPixel(1, 1, clRed);
  bitmap.SetSize(3, 3);
  EXPECT_EQ(bitmap.Pixel(1, 1), clRed);
  EXPECT_EQ(bitmap.Pixel(2, 2), clWhite);
  bitmap.SetSize(1, 1);
  EXPECT_EQ(bitmap.Width(), 1);
  EXPECT_TRUE(bitmap.ScanLine(1) == nullptr);
  TBitmap copy;
  copy.Assign(bitmap);
  bitmap.Canvas().SetPixel(0, 0, clBlue);
  EXPECT_EQ(copy.Pixel(0, 0), clWhite);  // an independent copy
  EXPECT_TRUE(TBitmap().Empty());
  EXPECT_THROW(bitmap.SetSize(1 << 30, 1 << 30), EOutOfResources);
  EXPECT_EQ(bitmap.Width(), 1);  // unchanged
}

TEST(Bitmap, TransparentBitmapsSkipTheirCornerColour) {
  TBitmap glyph(2, 2);
  glyph.Canvas().Brush().Color = clLime;
  glyph.Canvas().FillRect(Rect(0, 0, 2, 2));
  glyph.Canvas().SetPixel(1, 0, clRed);
  glyph.SetTransparent(true);
  EXPECT_EQ(glyph.TransparentColor() & 0xFFFFFF, clLime);
  TBitmap target(2, 2);
  target.Canvas().Draw(0, 0, glyph);
  EXPECT_EQ(target.Pixel(0, 0), clWhite);
  EXPECT_EQ(target.Pixel(1, 0), clRed);
  TBitmap stretched(4, 4);
  stretched.Canvas().StretchDraw(Rect(0, 0, 4, 4), glyph);
  EXPECT_EQ(stretched.Pixel(3, 0), clRed);
  EXPECT_EQ(stretched.Pixel(0, 3), clWhite);
}

}  // namespace
}  // namespace lark
