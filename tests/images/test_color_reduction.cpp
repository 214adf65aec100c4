#include <gtest/gtest.h>

#include <set>

#include "images/color_reduction.h"
#include "images/display_palette.h"
#include "platform/graphics/canvas.h"

namespace lark {
namespace {

// Restores the 24-bit screen whatever a test sets.
class ScreenDepth : public ::testing::Test {
 protected:
  void TearDown() override { SetColorBits(24); }
};

PixelImage RowOfRed(std::initializer_list<int> reds, int rows = 1) {
  PixelImage image(static_cast<int>(reds.size()), rows, PixelDepth::k24Bit);
  for (int y = 0; y < rows; ++y) {
    int x = 0;
    for (int red : reds) image.ScanLine(y)[x++ * 3 + 2] = static_cast<uint8_t>(red);
  }
  return image;
}

std::vector<int> Indexes(const PixelImage& image) {
  std::vector<int> out;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) out.push_back(image.PixelIndex(x, y));
  return out;
}

TEST_F(ScreenDepth, ColorBitsIsReducedAndRebuildsThePalette) {
  EXPECT_EQ(ColorBits(), 24);
  EXPECT_FALSE(ThePalette());
  SetColorBits(8);
  ASSERT_EQ(PaletteColors(ThePalette()).size(), 256u);
  SetColorBits(1);
  EXPECT_EQ(ColorBits(), 4);
  EXPECT_FALSE(ThePalette());
  SetColorBits(16);
  EXPECT_EQ(ColorBits(), 24);
  EXPECT_FALSE(CopyPalette(DefaultPalette()));
  SetColorBits(6);
  EXPECT_EQ(ColorBits(), 8);
  EXPECT_EQ(PaletteColors(CopyPalette(DefaultPalette())), PaletteColors(DefaultPalette()));
}

TEST(ViewerPalette, HoldsStaticColoursCubeAndGreys) {
  const std::vector<TRGB> palette = PaletteColors(MakeViewerPalette());
  ASSERT_EQ(palette.size(), 256u);
  EXPECT_EQ(palette[0], (TRGB{0, 0, 0}));
  EXPECT_EQ(palette[9], (TRGB{166, 202, 240}));
  EXPECT_EQ(palette[10], (TRGB{55, 55, 55}));
  EXPECT_EQ(palette[11], (TRGB{55, 55, 115}));
  EXPECT_EQ(palette[224], (TRGB{255, 255, 235}));  // the white corner is left out
  EXPECT_EQ(palette[225], (TRGB{135, 135, 135}));
  EXPECT_EQ(palette[231], (TRGB{170, 170, 170}));  // 165 is in the cube
  EXPECT_EQ(palette[245], (TRGB{250, 250, 250}));
  EXPECT_EQ(palette[246], (TRGB{255, 251, 240}));
  EXPECT_EQ(palette[255], (TRGB{255, 255, 255}));
  EXPECT_EQ(std::set<int>({palette[100].R, palette[100].G, palette[100].B}).count(0), 0u);
}

TEST(NearestColour, MetricsAreFixed) {
  const std::vector<TRGB> palette = {{0, 0, 0}, {30, 30, 30}, {0, 0, 0}};
  // Squared distance for the GIF colour mapping ...
  EXPECT_EQ(GetNearestPaletteIndex(MakePalette(palette), RGB(60, 0, 0)), 1);
  // ... and the sum of absolute differences in the lookup cache, which keeps
  // the lowest index of equal entries.
  TFastColorLookup lookup(palette);
  int r, g, b;
  EXPECT_EQ(lookup.Lookup(60, 0, 0, r, g, b), 0);
  EXPECT_EQ(lookup.Lookup(1, 2, 3, r, g, b), 0);  // same cell as black
  EXPECT_EQ(lookup.Lookup(33, 28, 31, r, g, b), 1);
  EXPECT_EQ((TRGB{uint8_t(r), uint8_t(g), uint8_t(b)}), (TRGB{30, 30, 30}));
}

TEST(NetscapeCube, MapsPureRedTo180) {
  TNetscapeColorLookup lookup;
  int r, g, b;
  EXPECT_EQ(lookup.Lookup(255, 0, 0, r, g, b), 180);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(lookup.Lookup(47, 48, 100, r, g, b), 0 * 36 + 1 * 6 + 2);
  const PixelImage reduced = ReduceColors(RowOfRed({255}), rmNetscape, dmNearest);
  EXPECT_EQ(reduced.PixelIndex(0, 0), 180);
  EXPECT_EQ(reduced.Palette.size(), 216u);
  EXPECT_EQ(reduced.Palette[180], (TRGB{255, 0, 0}));
}

// The carried error is (e + 8) div 16, which truncates toward zero: a shift
// would turn the second pixel's -13/16 into -1 and pick another colour.
TEST(FloydSteinberg, DividesErrorsTowardZero) {
  EXPECT_EQ(Indexes(ReduceColors(RowOfRed({48, 48}), rmNetscape, dmFloydSteinberg)), (std::vector<int>{36, 36}));
}

TEST(FloydSteinberg, SpreadsSevenThreeFiveOneSixteenthsAlongASerpentine) {
  // Worked by hand: 40 -> 0 (error 40), 40 + 18 -> 51, 40 + 3 -> 0; the next
  // row, walked right to left, carries 222, 204 and 221 sixteenths.
  EXPECT_EQ(Indexes(ReduceColors(RowOfRed({40, 40, 40}, 2), rmNetscape, dmFloydSteinberg)),
            (std::vector<int>{0, 36, 0, 36, 36, 36}));
  EXPECT_EQ(Indexes(ReduceColors(RowOfRed({40, 40, 40}, 2), rmNetscape, dmNearest)),
            (std::vector<int>{0, 0, 0, 0, 0, 0}));
}

TEST(FloydSteinberg, OnePixelWideImageStaysInsideItsErrorRows) {
  PixelImage column(1, 50, PixelDepth::k24Bit);
  for (int y = 0; y < 50; ++y) column.ScanLine(y)[0] = static_cast<uint8_t>(y * 5);
  const PixelImage reduced = ReduceColors(column, rmWindows20, dmFloydSteinberg);
  ASSERT_EQ(reduced.Height(), 50);
  for (int y = 0; y < 50; ++y) EXPECT_LT(reduced.PixelIndex(0, y), 20);
}

TEST(ReduceColors, UnknownCodesGiveUpQuietly) {
  const PixelImage source = RowOfRed({200, 100});
  const PixelImage copy = ReduceColors(source, rmNone, dmNearest);
  EXPECT_EQ(copy.Format(), PixelDepth::k24Bit);
  EXPECT_EQ(copy.PixelColor(0, 0), (TRGB{200, 0, 0}));
  const PixelImage noPalette = ReduceColors(source, 2, dmNearest);
  EXPECT_EQ(noPalette.Format(), PixelDepth::k8Bit);
  EXPECT_TRUE(noPalette.Palette.empty());
  const PixelImage noDither = ReduceColors(source, rmWindows20, 7);
  EXPECT_EQ(noDither.Palette.size(), 20u);
  EXPECT_EQ(Indexes(noDither), (std::vector<int>{0, 0}));
  // The viewer palette is empty on a 24-bit screen: nothing is mapped.
  EXPECT_EQ(Indexes(ReduceColors(source, rmViewerPalette, dmNearest)), (std::vector<int>{0, 0}));
}

TEST(Octree, KeepsFewColoursExactlyAndFoldsManyInto236) {
  PixelImage few(4, 1, PixelDepth::k24Bit);
  const TRGB colors[4] = {{41, 82, 123}, {200, 10, 10}, {10, 200, 10}, {41, 82, 123}};
  for (int x = 0; x < 4; ++x) {
    uint8_t* p = few.ScanLine(0) + x * 3;
    p[0] = colors[x].B, p[1] = colors[x].G, p[2] = colors[x].R;
  }
  const PixelImage reduced = ReduceColors(few, rmQuantize, dmNearest);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(reduced.PixelColor(x, 0), colors[x]);
  EXPECT_EQ(reduced.Palette[0], PaletteColors(DefaultPalette())[0]);
  EXPECT_EQ(reduced.Palette[255], PaletteColors(DefaultPalette())[19]);

  PixelImage many(256, 64, PixelDepth::k24Bit);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) {
      uint8_t* p = many.ScanLine(y) + x * 3;
      p[0] = uint8_t(x), p[1] = uint8_t(y * 4), p[2] = uint8_t(x ^ (y * 4));
    }
  TColorQuantizer quantizer(236, 8);
  std::vector<uint8_t> row(256 * 3);
  for (int y = 0; y < 64; ++y) {
    many.ReadRow24(y, row.data());
    for (int i = 0; i < 256 * 3; i += 3) quantizer.AddColor(row[i + 2], row[i + 1], row[i]);
  }
  const auto palette = quantizer.Palette();
  EXPECT_LE(palette.size(), 236u);
  EXPECT_GT(palette.size(), 100u);
}

TEST_F(ScreenDepth, DeviceBitmapsAreCopiedNotReduced) {
  SetColorBits(8);
  EXPECT_FALSE(ReduceBitmapColors(static_cast<const TBitmap*>(nullptr)));
  TBitmap empty;
  EXPECT_FALSE(ReduceBitmapColors(&empty));
  TBitmap device(2, 1);
  device.SetPixelFormat(pfDevice);
  device.Canvas().SetPixel(0, 0, RGB(1, 2, 3));
  const auto copy = ReduceBitmapColors(&device);
  EXPECT_EQ(copy->PixelFormat(), pfDevice);
  EXPECT_EQ(copy->Pixel(0, 0) & 0xFFFFFF, RGB(1, 2, 3));
  TBitmap dib(2, 1);
  dib.SetPixelFormat(pf24bit);
  const auto reduced = ReduceBitmapColors(&dib);
  EXPECT_EQ(reduced->PixelFormat(), pf8bit);
}

TEST_F(ScreenDepth, ReduceBitmapColorsUsesTheScreensPalette) {
  EXPECT_TRUE(ReduceBitmapColors(PixelImage()).Empty());
  SetColorBits(4);
  EXPECT_EQ(ReduceBitmapColors(RowOfRed({255, 0})).Palette, PaletteColors(DefaultPalette()));
  SetColorBits(8);
  const PixelImage reduced = ReduceBitmapColors(RowOfRed({255, 0}));
  EXPECT_EQ(reduced.Palette, PaletteColors(ThePalette()));
  EXPECT_EQ(reduced.PixelColor(0, 0), (TRGB{255, 0, 0}));
  EXPECT_EQ(reduced.PixelColor(1, 0), (TRGB{0, 0, 0}));
}

}  // namespace
}  // namespace lark
