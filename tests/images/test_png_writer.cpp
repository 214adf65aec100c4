#include <gtest/gtest.h>

#include <random>
#include <set>

#include "images/png_image.h"
#include "images/png_pixels.h"
#include "images/zlib_stream.h"
#include "tests/images/reference_png.h"

namespace lark {
namespace {

PixelImage RandomBitmap(int width, int height, PixelDepth format, unsigned seed) {
  std::mt19937 random(seed);
  PixelImage bitmap(width, height, format);
  if (format != PixelDepth::k24Bit) {
    const int entries = 1 << BitsPerPixel(format);
    for (int i = 0; i < entries; ++i)
      bitmap.Palette.push_back({uint8_t(random()), uint8_t(random()), uint8_t(random())});
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Runs of equal pixels, so that the filter heuristic has choices.
      const bool repeat = x > 0 && random() % 3 != 0;
      if (format == PixelDepth::k24Bit) {
        uint8_t* p = bitmap.ScanLine(y) + x * 3;
        for (int c = 0; c < 3; ++c) p[c] = repeat ? p[c - 3] : uint8_t(random());
      } else {
        bitmap.SetPixelIndex(x, y, repeat ? bitmap.PixelIndex(x - 1, y) : int(random() % bitmap.Palette.size()));
      }
    }
  }
  return bitmap;
}

std::string Save(TPNGImage& image) {
  std::vector<uint8_t> out;
  image.SaveToStream(out);
  return std::string(out.begin(), out.end());
}

TEST(PNGWriter, EveryBitmapDepthReadsBackIdenticallyWithLibpng) {
  for (PixelDepth format : {PixelDepth::k1Bit, PixelDepth::k4Bit, PixelDepth::k8Bit, PixelDepth::k24Bit}) {
    for (uint8_t filters : {uint8_t(pfNone), uint8_t(31), uint8_t(pfNone | pfSub | pfAverage | pfPaeth)}) {
      SCOPED_TRACE(BitsPerPixel(format));
      SCOPED_TRACE(int(filters));
      TPNGImage image;
      image.Filters = filters;
      image.Bitmap() = RandomBitmap(53, 17, format, 42 + filters);
      const std::string file = Save(image);
      test::ReferencePNG reference;
      ASSERT_TRUE(test::DecodeWithLibpng(file, reference));
      ASSERT_EQ(reference.Width, 53);
      ASSERT_EQ(reference.Height, 17);
      TPNGImage back;
      back.LoadFromString(file);
      for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 53; ++x) {
          const TRGB expected = image.Bitmap().PixelColor(x, y);
          const uint8_t* p = &reference.RGB[(size_t(y) * 53 + x) * 3];
          ASSERT_EQ((TRGB{p[0], p[1], p[2]}), expected) << x << "," << y;
          ASSERT_EQ(back.Bitmap().PixelColor(x, y), expected) << x << "," << y;
        }
      }
    }
  }
}

// Which filters the rows of a written file use.
std::set<int> FiltersUsed(const std::string& file) {
  TPNGImage image;
  image.LoadFromString(file);
  const auto& header = static_cast<const TChunkIHDR&>(image.Chunks.Item(0));
  const TChunkIDAT& idat = *image.Chunks.Find<TChunkIDAT>();
  TZDecompressionStream z(idat.Data.data(), idat.Data.size());
  std::vector<uint8_t> row(PNGRowBytes(header.ColorType(), header.BitDepth(), header.Width()) + 1);
  std::set<int> used;
  for (uint32_t y = 0; y < header.Height(); ++y) {
    EXPECT_EQ(z.Read(row.data(), row.size()), int64_t(row.size()));
    used.insert(row[0]);
  }
  return used;
}

TEST(PNGWriter, PicksOnlyAllowedFilters) {
  TPNGImage image;
  image.Bitmap() = RandomBitmap(64, 32, PixelDepth::k24Bit, 7);
  image.Filters = pfNone;
  EXPECT_EQ(FiltersUsed(Save(image)), std::set<int>{0});
  image.Filters = pfNone | pfUp;
  for (int filter : FiltersUsed(Save(image))) EXPECT_TRUE(filter == 0 || filter == 2);
  image.Filters = 31;
  EXPECT_NE(FiltersUsed(Save(image)), std::set<int>{0});
}

TEST(PNGWriter, KeyColourOfAnRGBImageSurvivesAndPaletteImagesCarryNoTRNS) {
  TPNGImage image;
  image.Bitmap() = RandomBitmap(5, 5, PixelDepth::k24Bit, 3);
  image.Bitmap().Transparent = true;
  image.Bitmap().TransparentColor = {1, 2, 3};
  TPNGImage back;
  back.LoadFromString(Save(image));
  EXPECT_TRUE(back.Bitmap().Transparent);
  EXPECT_EQ(back.Bitmap().TransparentColor, (TRGB{1, 2, 3}));

  TPNGImage indexed;
  indexed.Bitmap() = RandomBitmap(5, 5, PixelDepth::k8Bit, 4);
  indexed.Bitmap().Transparent = true;
  TPNGImage reread;
  reread.LoadFromString(Save(indexed));
  EXPECT_EQ(reread.Chunks.Find<TChunkTRNS>(), nullptr);
  EXPECT_EQ(reread.Chunks.Item(0).ChunkType, "IHDR");
  EXPECT_EQ(reread.Chunks.Item(1).ChunkType, "PLTE");
  EXPECT_EQ(reread.Chunks.Item(2).ChunkType, "IDAT");
}

TEST(PNGWriter, WritesOnlyChunksWithUpperCaseFourthLetterAndCopiesByAssign) {
  TPNGImage image;
  image.Bitmap() = RandomBitmap(3, 3, PixelDepth::k8Bit, 5);
  image.Chunks.Add(CreateChunk(&image.Chunks, "tEXt")).Data = {'a', 0, 'b'};
  TPNGImage copy;
  copy.Assign(image);
  ASSERT_NE(copy.Chunks.Find<TChunkTEXT>(), nullptr);
  EXPECT_EQ(copy.Bitmap().PixelColor(2, 2), image.Bitmap().PixelColor(2, 2));
  const std::string file = Save(copy);
  EXPECT_EQ(file.find("tEXt"), std::string::npos);
  EXPECT_THROW((void)copy.Chunks.Item(99), EPNGImageException);
  TChunk stray(nullptr, "abcd");
  EXPECT_THROW(copy.Chunks.Remove(stray), EPNGImageException);
}

}  // namespace
}  // namespace lark
