#include <gtest/gtest.h>

#include "images/bitmap_conversion.h"

namespace lark {
namespace {

TEST(BitmapConversion, EveryDepthRoundTripsThroughTBitmap) {
  for (PixelDepth depth : {PixelDepth::k1Bit, PixelDepth::k4Bit, PixelDepth::k8Bit, PixelDepth::k24Bit}) {
    SCOPED_TRACE(BitsPerPixel(depth));
    PixelImage image(13, 3, depth);
    const int entries = depth == PixelDepth::k24Bit ? 0 : 1 << BitsPerPixel(depth);
    for (int i = 0; i < entries; ++i) image.Palette.push_back({uint8_t(i * 7), uint8_t(255 - i), uint8_t(i)});
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 13; ++x) {
        if (entries) {
          image.SetPixelIndex(x, y, (x * 3 + y) % entries);
        } else {
          image.ScanLine(y)[x * 3] = uint8_t(x * 19 + y);
          image.ScanLine(y)[x * 3 + 2] = uint8_t(y * 50);
        }
      }
    }
    const std::unique_ptr<TBitmap> bitmap = ToBitmap(image);
    ASSERT_EQ(bitmap->Width(), 13);
    ASSERT_EQ(bitmap->Height(), 3);
    const PixelImage back = FromBitmap(*bitmap);
    ASSERT_EQ(back.Format(), depth);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 13; ++x) {
        const TRGB c = image.PixelColor(x, y);
        EXPECT_EQ(bitmap->Pixel(x, y) & 0xFFFFFF, RGB(c.R, c.G, c.B)) << x << "," << y;
        EXPECT_EQ(back.PixelColor(x, y), c);
        if (entries) {
          EXPECT_EQ(back.PixelIndex(x, y), image.PixelIndex(x, y));
        }
      }
    }
  }
}

TEST(BitmapConversion, ColourKeyBecomesTheFixedTransparentColour) {
  PixelImage image(2, 2, PixelDepth::k24Bit);
  image.Transparent = true;
  image.TransparentColor = {1, 2, 3};
  const std::unique_ptr<TBitmap> bitmap = ToBitmap(image);
  EXPECT_TRUE(bitmap->Transparent());
  EXPECT_EQ(bitmap->TransparentMode(), tmFixed);
  EXPECT_EQ(bitmap->TransparentColor(), RGB(1, 2, 3));
}

}  // namespace
}  // namespace lark
