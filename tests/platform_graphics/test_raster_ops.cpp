#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"

namespace lark {
namespace {

// Test values chosen so that every bit combination of source and
// destination occurs in every channel.
const std::vector<uint32_t> kValues = {0x000000, 0xFFFFFF, 0x0F0F0F, 0xF0F0F0, 0x123456,
                                       0xA5A5A5, 0xFF00FF, 0x00FF00, 0x5A3CC3};

uint32_t PixelRgb(TBitmap& bitmap, int x, int y) {
  const auto* row = static_cast<const uint8_t*>(bitmap.ScanLine(y));
  return uint32_t(row[x * 3 + 2]) << 16 | uint32_t(row[x * 3 + 1]) << 8 | row[x * 3];
}

void SetPixelRgb(TBitmap& bitmap, int x, int y, uint32_t rgb) {
  auto* row = static_cast<uint8_t*>(bitmap.ScanLine(y));
  row[x * 3] = uint8_t(rgb);
  row[x * 3 + 1] = uint8_t(rgb >> 8);
  row[x * 3 + 2] = uint8_t(rgb >> 16);
}

// A 24-bit bitmap with the value v(x, y) at each pixel of an n x n grid.
template <typename F>
std::unique_ptr<TBitmap> Grid(F value) {
  const int n = int(kValues.size());
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(n, n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) SetPixelRgb(*bitmap, x, y, value(x, y));
  return bitmap;
}

struct RopCase {
  const char* name;
  unsigned rop;
  uint32_t (*expected)(uint32_t s, uint32_t d);
};

TEST(RasterOps, EachOperationFollowsItsTruthTableOn24BitBitmaps) {
  const RopCase cases[] = {
      {"SRCCOPY", SRCCOPY, [](uint32_t s, uint32_t) { return s; }},
      {"SRCAND", SRCAND, [](uint32_t s, uint32_t d) { return s & d; }},
      {"SRCPAINT", SRCPAINT, [](uint32_t s, uint32_t d) { return s | d; }},
      {"SRCINVERT", SRCINVERT, [](uint32_t s, uint32_t d) { return s ^ d; }},
      {"NOTSRCCOPY", NOTSRCCOPY, [](uint32_t s, uint32_t) { return ~s & 0xFFFFFF; }},
      {"DSna", DSna, [](uint32_t s, uint32_t d) { return d & ~s & 0xFFFFFF; }},
      {"SRCERASE", SRCERASE, [](uint32_t s, uint32_t d) { return s & ~d & 0xFFFFFF; }},
      {"DSTINVERT", DSTINVERT, [](uint32_t, uint32_t d) { return ~d & 0xFFFFFF; }},
      {"BLACKNESS", BLACKNESS, [](uint32_t, uint32_t) { return 0u; }},
      {"WHITENESS", WHITENESS, [](uint32_t, uint32_t) { return 0xFFFFFFu; }},
  };
  auto source = Grid([](int x, int) { return kValues[size_t(x)]; });
  for (const RopCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto dest = Grid([](int, int y) { return kValues[size_t(y)]; });
    ASSERT_TRUE(BitBlt(dest->Canvas(), 0, 0, dest->Width(), dest->Height(), &source->Canvas(), 0, 0, c.rop));
    for (int y = 0; y < dest->Height(); ++y)
      for (int x = 0; x < dest->Width(); ++x)
        ASSERT_EQ(PixelRgb(*dest, x, y), c.expected(kValues[size_t(x)], kValues[size_t(y)])) << x << "," << y;
  }
}

TEST(RasterOps, ColourToMonochromeKeysOnTheSourceBackgroundColour) {
  auto source = Grid([](int x, int) { return kValues[size_t(x)]; });
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(source->Width(), source->Height());
  SetBkColor(source->Canvas(), TColor(0x563412));  // 0x123456 as a colour value (red low)
  BitBlt(mask.Canvas(), 0, 0, mask.Width(), mask.Height(), &source->Canvas(), 0, 0, SRCCOPY);
  for (int x = 0; x < mask.Width(); ++x) {
    const bool key = kValues[size_t(x)] == 0x123456;
    EXPECT_EQ(mask.Pixel(x, 3), key ? clWhite : clBlack) << x;
    const auto* bits = static_cast<const uint8_t*>(mask.ScanLine(3));
    EXPECT_EQ((bits[x / 8] >> (7 - x % 8)) & 1, key ? 1 : 0);
  }
}

TEST(RasterOps, MonochromeToColourUsesTheDestinationTextAndBackgroundColours) {
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(2, 1);
  mask.Canvas().Brush().Color = clBlack;
  mask.Canvas().FillRect(Rect(0, 0, 1, 1));  // pixel 0 black (0), pixel 1 stays white (1)
  TBitmap dest(2, 1);
  SetTextColor(dest.Canvas(), clRed);
  SetBkColor(dest.Canvas(), clBlue);
  BitBlt(dest.Canvas(), 0, 0, 2, 1, &mask.Canvas(), 0, 0, SRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), clRed);
  EXPECT_EQ(dest.Pixel(1, 0), clBlue);
}

TEST(RasterOps, TransparentDrawingThroughAMaskLeavesTheBackground) {
  // The classic sequence: the mask ANDed onto the target, the image with
  // black transparent pixels ORed on top.
  TBitmap image(4, 1), mask, target(4, 1);
  image.Canvas().Brush().Color = clRed;
  image.Canvas().FillRect(Rect(0, 0, 2, 1));
  image.Canvas().Brush().Color = clBlack;
  image.Canvas().FillRect(Rect(2, 0, 4, 1));
  mask.SetMonochrome(true);
  mask.SetSize(4, 1);
  mask.Canvas().Brush().Color = clBlack;
  mask.Canvas().FillRect(Rect(0, 0, 2, 1));  // opaque where black
  target.Canvas().Brush().Color = clLime;
  target.Canvas().FillRect(Rect(0, 0, 4, 1));
  BitBlt(target.Canvas(), 0, 0, 4, 1, &mask.Canvas(), 0, 0, SRCAND);
  BitBlt(target.Canvas(), 0, 0, 4, 1, &image.Canvas(), 0, 0, SRCPAINT);
  EXPECT_EQ(target.Pixel(0, 0), clRed);
  EXPECT_EQ(target.Pixel(1, 0), clRed);
  EXPECT_EQ(target.Pixel(2, 0), clLime);
  EXPECT_EQ(target.Pixel(3, 0), clLime);
}

TEST(RasterOps, StretchingCopiesNearestPixelsAndMirrors) {
  TBitmap source(2, 1), dest(4, 2);
  source.Canvas().SetPixel(0, 0, clRed);
  source.Canvas().SetPixel(1, 0, clBlue);
  SetStretchBltMode(dest.Canvas(), COLORONCOLOR);
  StretchBlt(dest.Canvas(), 0, 0, 4, 2, &source.Canvas(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), clRed);
  EXPECT_EQ(dest.Pixel(1, 1), clRed);
  EXPECT_EQ(dest.Pixel(2, 0), clBlue);
  EXPECT_EQ(dest.Pixel(3, 1), clBlue);
  StretchBlt(dest.Canvas(), 4, 0, -4, 1, &source.Canvas(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), clBlue);
  EXPECT_EQ(dest.Pixel(3, 0), clRed);
}

TEST(RasterOps, ShrinkingBlackOnWhiteKeepsBlackPixels) {
  TBitmap source(4, 1), dest(1, 1);
  source.Canvas().SetPixel(3, 0, clBlack);  // one black pixel among white ones
  SetStretchBltMode(dest.Canvas(), BLACKONWHITE);
  StretchBlt(dest.Canvas(), 0, 0, 1, 1, &source.Canvas(), 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), clBlack);
  SetStretchBltMode(dest.Canvas(), COLORONCOLOR);
  StretchBlt(dest.Canvas(), 0, 0, 1, 1, &source.Canvas(), 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), clWhite);
}

// Each target pixel is the rounded mean of the source pixels it stands for,
// per channel; enlarging still repeats pixels.
TEST(RasterOps, ShrinkingInHalftoneAveragesTheSourcePixels) {
  TBitmap source(4, 2), dest(2, 1);
  source.Canvas().SetPixel(0, 0, RGB(255, 0, 10));
  source.Canvas().SetPixel(1, 0, clBlack);
  source.Canvas().SetPixel(0, 1, clBlack);
  source.Canvas().SetPixel(1, 1, RGB(0, 0, 11));
  source.Canvas().Brush().Color = RGB(200, 100, 0);
  source.Canvas().FillRect(Rect(2, 0, 4, 2));
  SetStretchBltMode(dest.Canvas(), HALFTONE);
  StretchBlt(dest.Canvas(), 0, 0, 2, 1, &source.Canvas(), 0, 0, 4, 2, SRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), RGB(64, 0, 5));  // (255 + 2) / 4, (10 + 11 + 2) / 4
  EXPECT_EQ(dest.Pixel(1, 0), RGB(200, 100, 0));
  TBitmap large(4, 2);
  SetStretchBltMode(large.Canvas(), HALFTONE);
  StretchBlt(large.Canvas(), 0, 0, 4, 2, &dest.Canvas(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(large.Pixel(1, 1), RGB(64, 0, 5));
  EXPECT_EQ(large.Pixel(2, 0), RGB(200, 100, 0));
}

TEST(RasterOps, ClipRegionLimitsTheBlit) {
  TBitmap source(4, 4), dest(4, 4);
  source.Canvas().Brush().Color = clBlack;
  source.Canvas().FillRect(Rect(0, 0, 4, 4));
  TRegion clip = CreateRectRgn(1, 1, 3, 3);
  SelectClipRgn(dest.Canvas(), &clip);
  BitBlt(dest.Canvas(), 0, 0, 4, 4, &source.Canvas(), 0, 0, SRCCOPY);
  EXPECT_EQ(dest.Pixel(0, 0), clWhite);
  EXPECT_EQ(dest.Pixel(1, 1), clBlack);
  EXPECT_EQ(dest.Pixel(2, 2), clBlack);
  EXPECT_EQ(dest.Pixel(3, 3), clWhite);
}

TEST(RasterOps, DibBitsRoundTripAndDrawBottomUp) {
  // A 2 x 2 bottom-up 24-bit DIB: bottom row red, green; top row blue, white.
  BITMAPINFO info;
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = 2;
  info.bmiHeader.biBitCount = 24;
  const int row = DibRowBytes(2, 24);
  ASSERT_EQ(row, 8);
  std::vector<uint8_t> bits(size_t(row * 2));
  const uint8_t bottom[] = {0, 0, 255, 0, 255, 0};
  const uint8_t top[] = {255, 0, 0, 255, 255, 255};
  std::memcpy(bits.data(), bottom, 6);
  std::memcpy(bits.data() + row, top, 6);
  TBitmap dest(2, 2);
  EXPECT_EQ(StretchDIBits(dest.Canvas(), 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), info, DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(dest.Pixel(0, 0), clBlue);
  EXPECT_EQ(dest.Pixel(1, 0), clWhite);
  EXPECT_EQ(dest.Pixel(0, 1), clRed);
  EXPECT_EQ(dest.Pixel(1, 1), clLime);

  BITMAPINFO back;
  back.bmiHeader.biBitCount = 24;
  std::vector<uint8_t> read(bits.size());
  EXPECT_EQ(GetDIBits(dest.Canvas(), dest, 0, 2, read.data(), back, DIB_RGB_COLORS), 2);
  EXPECT_EQ(back.bmiHeader.biHeight, 2);
  EXPECT_EQ(std::memcmp(read.data(), bottom, 6), 0);
  EXPECT_EQ(std::memcmp(read.data() + row, top, 6), 0);

  info.bmiHeader.biBitCount = 7;  // not a DIB depth
  EXPECT_EQ(StretchDIBits(dest.Canvas(), 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), info, DIB_RGB_COLORS, SRCCOPY), 0);
}

}  // namespace
}  // namespace lark
