#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "html/image_loader.h"
#include "images/display_palette.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/windows/application.h"
#include "tests/images/png_builder.h"
#include "tests/images/reference_png.h"
#include "tests/images/test_files.h"

namespace lark {
namespace {

using test::PNGChunk;

// The bytes in a heap block of exactly their size, so that the sanitizer
// build sees any read past them.
TImageFormat Sniff(const std::string& bytes) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
  std::memcpy(exact.get(), bytes.data(), bytes.size());
  return GetImageType(exact.get(), bytes.size());
}

TEST(GetImageType, RecognisesFirstBytesAndNeverReadsPastShortData) {
  EXPECT_EQ(Sniff("GIF87a....."), ifGif);
  EXPECT_EQ(Sniff("GIF89a....."), ifGif89);
  EXPECT_EQ(Sniff("GIF8"), ifGif);
  EXPECT_EQ(Sniff("BM"), ifBmp);
  EXPECT_EQ(Sniff("\x89PNG\r\n\x1a\n"), ifPng);
  EXPECT_EQ(Sniff("\xFF\xD8\xFF\xE0"), ifJpeg);
  EXPECT_EQ(Sniff("G"), ifNone);
  EXPECT_EQ(Sniff("\x89PN"), ifNone);
  EXPECT_EQ(Sniff("\xFF"), ifNone);
  EXPECT_EQ(GetImageType(nullptr, 0), ifNone);
  EXPECT_EQ(Sniff("<html>"), ifNone);
}

std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes) {
  auto stream = std::make_unique<TMemoryStream>();
  stream->WriteString(bytes);
  return stream;
}

std::string PalettePNG(const std::string& before, const std::string& after = "") {
  const std::string plte("\xff\0\0\0\xff\0\0\0\xff\x10\x20\x30", 12);
  const std::string rows = std::string("\0\0\1\2\3", 5) + std::string("\0\3\2\1\0", 5);
  return test::kPNGSignature + PNGChunk("IHDR", test::IHDRData(4, 2, 8, 3)) + PNGChunk("PLTE", plte) + before +
         PNGChunk("IDAT", test::Deflate(rows)) + after + PNGChunk("IEND", "");
}

TEST(IsTransparentPng, NeedsTRNSBeforeTheDataOfAnRGBOrPaletteImage) {
  const std::string trns = PNGChunk("tRNS", std::string("\0\xff\0", 3));
  EXPECT_TRUE(IsTransparentPng(*StreamOf(PalettePNG(trns))));
  EXPECT_FALSE(IsTransparentPng(*StreamOf(PalettePNG("", trns))));
  const std::string rgba = test::SimplePNG(1, 1, 8, 6, std::string(5, '\0'), trns);
  EXPECT_FALSE(IsTransparentPng(*StreamOf(rgba)));
  // A length beyond the data ends the walk instead of reading on.
  std::string broken = PalettePNG(trns);
  broken[33 + 3] = '\xff';
  broken[33] = '\x7f';
  EXPECT_FALSE(IsTransparentPng(*StreamOf(broken)));
  auto stream = StreamOf(PalettePNG(trns));
  stream->SetPosition(5);
  (void)IsTransparentPng(*stream);
  EXPECT_EQ(stream->Position(), 5);
}

TEST(LoadImageFromStream, RefusesShortStreamsGIFsAndBrokenData) {
  TTransparency transparent = trNone;
  std::unique_ptr<TBitmap> mask;
  const std::string png = PalettePNG("");
  EXPECT_FALSE(LoadImageFromStream(StreamOf(png.substr(0, 19)).get(), transparent, mask));
  EXPECT_FALSE(LoadImageFromStream(nullptr, transparent, mask));
  EXPECT_FALSE(LoadImageFromStream(StreamOf("GIF89a" + std::string(40, '\0')).get(), transparent, mask));
  EXPECT_FALSE(LoadImageFromStream(StreamOf("GIF87a" + std::string(40, '\0')).get(), transparent, mask));
  std::string corrupt = png;
  corrupt[png.size() - 20] ^= 0x55;
  EXPECT_FALSE(LoadImageFromStream(StreamOf(corrupt).get(), transparent, mask));
  EXPECT_FALSE(mask);
  ASSERT_TRUE(LoadImageFromStream(StreamOf(png).get(), transparent, mask));
}

TEST(LoadImageFromStream, PaletteTRNSMasksEveryTransparentEntry) {
  TTransparency transparent = trNone;
  std::unique_ptr<TBitmap> mask;
  // Entries 0 and 2 transparent, 1 and 3 opaque.
  const auto bitmap = LoadImageFromStream(StreamOf(PalettePNG(PNGChunk("tRNS", std::string("\0\xff\0", 3)))).get(),
                                          transparent, mask);
  ASSERT_TRUE(bitmap);
  ASSERT_TRUE(mask);
  EXPECT_EQ(transparent, trPngPalette);
  EXPECT_EQ(bitmap->Pixel(1, 0) & 0xFFFFFF, RGB(0, 255, 0));
  const int expected[8] = {1, 0, 1, 0, 0, 1, 0, 1};  // indexes 0 1 2 3 / 3 2 1 0
  for (int i = 0; i < 8; ++i) EXPECT_EQ(mask->Pixel(i % 4, i / 4) & 0xFFFFFF, expected[i] ? clWhite : clBlack) << i;
}

// Masks are built eight pixels at a time, reusing repeated words and rows:
// every depth and every row end must still mark exactly the clear pixels.
TEST(GetImageMask, MarksExactlyThePixelsOfTheColourAtEveryDepth) {
  const int w = 21, h = 5;
  auto index = [](int x, int y) { return y == 2 ? 1 : (x * 7 + std::min(y, 3)) % 5 == 0 ? 3 : x < 16 ? 2 : 0; };
  const std::vector<TRGB> colors = {{9, 9, 9}, {1, 2, 3}, {200, 100, 50}, {1, 2, 3}};
  for (TPixelFormat format : {pf8bit, pf4bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(format);
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetSize(w, h);
    bitmap.SetPalette(MakePalette(colors));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) static_cast<uint8_t*>(bitmap.ScanLine(y))[x] = uint8_t(index(x, y));
    if (format != pf8bit) bitmap.SetPixelFormat(format);
    const auto mask = GetImageMask(bitmap, true, RGB(1, 2, 3));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        EXPECT_EQ((mask->Pixel(x, y) & 0xFFFFFF) == clWhite, index(x, y) % 2 == 1) << x << "," << y;
  }
}

TEST(LoadImageFromStream, CornerMaskUsesTheLowerLeftColour) {
  TTransparency transparent = trCorner;
  std::unique_ptr<TBitmap> mask;
  const auto bitmap = LoadImageFromStream(StreamOf(PalettePNG("")).get(), transparent, mask);
  ASSERT_TRUE(bitmap);
  ASSERT_TRUE(mask);
  EXPECT_EQ(transparent, trCorner);
  EXPECT_EQ(mask->Pixel(0, 1) & 0xFFFFFF, clWhite);  // index 3, the corner
  EXPECT_EQ(mask->Pixel(3, 0) & 0xFFFFFF, clWhite);
  EXPECT_EQ(mask->Pixel(0, 0) & 0xFFFFFF, clBlack);
}

// RGBA and grey+alpha PNGs from ImageMagick and python3-png, drawn over a
// coloured page the way the document draws a masked picture (the mask ANDed
// on, the picture with its see-through pixels blackened ORed over), equal
// ImageMagick's composite with alpha thresholded at half, pixel for pixel.
TEST(LoadImageFromStream, AlphaChannelsDrawOverThePageLikeImageMagicksThresholdedComposite) {
  test::TempDir dir;
  ASSERT_TRUE(test::Run(LARK_IMAGE_SCRIPTS "/make_alpha_pngs.sh " + dir.Path()));
  const auto files = test::ListFiles(dir.Path(), ".png");
  ASSERT_EQ(files.size(), 8u);
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    TTransparency transparent = trNone;
    std::unique_ptr<TBitmap> mask;
    const auto bitmap = LoadImageFromFile(dir.File(name), transparent, mask);
    ASSERT_TRUE(bitmap);
    ASSERT_TRUE(mask);
    EXPECT_EQ(transparent, trPngPalette);
    const int w = bitmap->Width(), h = bitmap->Height();
    TBitmap blackened(w, h), page(w, h);
    blackened.Canvas().CopyRect(Rect(0, 0, w, h), bitmap->Canvas(), Rect(0, 0, w, h));
    blackened.Canvas().SetCopyMode(DSna);
    blackened.Canvas().CopyRect(Rect(0, 0, w, h), mask->Canvas(), Rect(0, 0, w, h));
    page.Canvas().Brush().Color = RGB(0x33, 0x66, 0xCC);
    page.Canvas().FillRect(Rect(0, 0, w, h));
    BitBlt(page.Canvas(), 0, 0, w, h, &mask->Canvas(), 0, 0, SRCAND);
    BitBlt(page.Canvas(), 0, 0, w, h, &blackened.Canvas(), 0, 0, SRCPAINT);
    // ImageMagick's PPM: "P6\n<w> <h>\n255\n" and R, G, B bytes.
    const std::string ppm = test::ReadFile(dir.File(name.substr(0, name.size() - 4) + ".ppm"));
    const std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    ASSERT_EQ(ppm.substr(0, header.size()), header);
    ASSERT_EQ(ppm.size(), header.size() + size_t(w) * h * 3);
    int differences = 0, seeThrough = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const auto* expected = reinterpret_cast<const uint8_t*>(ppm.data() + header.size() + (size_t(y) * w + x) * 3);
        differences += (page.Pixel(x, y) & 0xFFFFFF) != RGB(expected[0], expected[1], expected[2]);
        seeThrough += (mask->Pixel(x, y) & 0xFFFFFF) == clWhite;
      }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(seeThrough, 0);
    EXPECT_LT(seeThrough, w * h);
  }
}

// Every BMP depth ImageMagick writes, against libpng's reading of the same
// pixels as PNG. 5- and 6-bit channels may widen to 8 bits by another rule
// than ImageMagick's, within one step of the narrow value.
TEST(LoadImageFromStream, BMPsMatchTheirPNGTwins) {
  test::TempDir dir;
  ASSERT_TRUE(test::Run(LARK_IMAGE_SCRIPTS "/make_bmp_corpus.sh " + dir.Path()));
  int files = 0;
  for (const std::string& name : test::ListFiles(dir.Path(), ".bmp")) {
    SCOPED_TRACE(name);
    TTransparency transparent = trNone;
    std::unique_ptr<TBitmap> mask;
    const auto bitmap = LoadImageFromFile(dir.File(name), transparent, mask);
    ASSERT_TRUE(bitmap);
    test::ReferencePNG reference;
    ASSERT_TRUE(test::DecodeWithLibpng(test::ReadFile(dir.File(name + ".png")), reference));
    ASSERT_EQ(bitmap->Width(), reference.Width);
    ASSERT_EQ(bitmap->Height(), reference.Height);
    const int tolerance = name.rfind("rgb5", 0) == 0 ? 8 : 0;
    int differences = 0;
    for (int y = 0; y < reference.Height; ++y)
      for (int x = 0; x < reference.Width; ++x) {
        const uint8_t* p = &reference.RGB[(size_t(y) * reference.Width + x) * 3];
        const TColor c = bitmap->Pixel(x, y);
        differences += std::abs(GetRValue(c) - p[0]) > tolerance || std::abs(GetGValue(c) - p[1]) > tolerance ||
                       std::abs(GetBValue(c) - p[2]) > tolerance;
      }
    EXPECT_EQ(differences, 0);
    ++files;
  }
  EXPECT_EQ(files, 10);
  TTransparency transparent = trNone;
  std::unique_ptr<TBitmap> mask;
  EXPECT_FALSE(LoadImageFromFile(dir.File("missing.bmp"), transparent, mask));
}

std::string BMPHeader(int32_t width, int32_t height, int bits, uint32_t offset = 54) {
  std::string h = "BM" + std::string(8, '\0');
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) h += char(v >> (8 * i));
  };
  put32(offset);
  put32(40);
  put32(uint32_t(width));
  put32(uint32_t(height));
  h += std::string{1, 0, char(bits), 0};
  h += std::string(24, '\0');
  return h;
}

TEST(LoadImageFromStream, BMPHeadersAreChecked) {
  TTransparency transparent = trNone;
  std::unique_ptr<TBitmap> mask;
  auto load = [&](const std::string& bytes) { return LoadImageFromStream(StreamOf(bytes).get(), transparent, mask); };
  const std::string pixels(4, '\x7f');  // one 24-bit pixel and its padding
  EXPECT_TRUE(load(BMPHeader(1, 1, 24) + pixels));
  EXPECT_TRUE(load(BMPHeader(1, -1, 24) + pixels));  // top-down
  EXPECT_FALSE(load(BMPHeader(100000, 100000, 24) + pixels));
  EXPECT_FALSE(load(BMPHeader(1, 1, 7) + pixels));
  EXPECT_FALSE(load(BMPHeader(0, 1, 24) + pixels));
  EXPECT_FALSE(load(BMPHeader(1, INT32_MIN, 24) + pixels));
}

// 4-bit run-length coding, which ImageMagick does not write: a run, an end
// of line, a literal run, the end.
TEST(LoadImageFromStream, RunLengthCodedFourBitBMP) {
  std::string file = BMPHeader(4, 2, 4, 54 + 64);
  file[30] = 2;  // compression: RLE4
  for (int i = 0; i < 16; ++i) file += std::string{char(i * 16), char(i * 8), char(i), 0};
  file += std::string("\x04\x12\x00\x00\x00\x04\x34\x56\x00\x01", 10);
  TTransparency transparent = trNone;
  std::unique_ptr<TBitmap> mask;
  const auto bitmap = LoadImageFromStream(StreamOf(file).get(), transparent, mask);
  ASSERT_TRUE(bitmap);
  const int expected[8] = {3, 4, 5, 6, 1, 2, 1, 2};  // top row first
  for (int i = 0; i < 8; ++i) {
    const int index = expected[i];
    EXPECT_EQ(bitmap->Pixel(i % 4, i / 4) & 0xFFFFFF, RGB(index, index * 8, index * 16)) << i;
  }
}

// An 8-bit run-length coded 6x4 bitmap with the colour table i -> (i, 2i, 3i)
// and index 0 a colour of its own, followed by the runs given.
std::string RunLength8BMP(const std::string& runs, int32_t height = 4) {
  std::string file = BMPHeader(6, height, 8, 54 + 256 * 4);
  file[30] = 1;  // compression: RLE8
  file += std::string{char(200), char(100), char(50), 0};
  for (int i = 1; i < 256; ++i) file += std::string{char(3 * i), char(2 * i), char(i), 0};
  return file + runs;
}

std::vector<int> Indices(const TBitmap& bitmap) {
  std::vector<int> indices;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor c = bitmap.Pixel(x, y) & 0xFFFFFF;
      indices.push_back(c == RGB(50, 100, 200) ? 0 : int(GetRValue(c)));
    }
  return indices;
}

// Deltas, early ends of line and an early end of bitmap skip pixels; they
// show the background, index 0, never whatever the memory held.
TEST(LoadBitmapFile, PixelsRunLengthDataSkipsAreBackground) {
  // Bottom row: 2 x index 5, end of line. Next row: delta (3, 0), literal
  // 7 8 9 (padded), a run of 4 all past the width, end of line. Next: 2 x
  // index 10, then the end of the bitmap before the top row.
  const std::string runs("\x02\x05\x00\x00\x00\x02\x03\x00\x00\x03\x07\x08\x09\x00\x04\x0A\x00\x00"
                         "\x02\x0A\x00\x01",
                         22);
  TStringStream stream(RunLength8BMP(runs));
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  const std::vector<int> expected = {0,  0,  0, 0, 0, 0,   // never reached
                                     10, 10, 0, 0, 0, 0,   // after the end of line
                                     0,  0,  0, 7, 8, 9,   // after the delta
                                     5,  5,  0, 0, 0, 0};  // the bottom row
  EXPECT_EQ(Indices(bitmap), expected);
}

TEST(LoadBitmapFile, FourBitRunsThatEndEarlyLeaveTheRestBackground) {
  std::string file = BMPHeader(4, 2, 4, 54 + 64);
  file[30] = 2;  // compression: RLE4
  file += std::string{char(200), char(100), char(50), 0};
  for (int i = 1; i < 16; ++i) file += std::string{char(3 * i), char(2 * i), char(i), 0};
  file += std::string("\x03\x12\x00\x01", 4);  // 1 2 1, then the end
  TStringStream stream(file);
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(Indices(bitmap), (std::vector<int>{0, 0, 0, 0, 1, 2, 1, 0}));
}

// Broken files are refused whole, so the page shows the error picture.
TEST(LoadBitmapFile, ShortDataAndBadOffsetsAreRefused) {
  const std::string pixels(2 * 4, '\x7f');  // 1x2 at 24 bits: two padded rows
  const struct {
    const char* name;
    std::string bytes;
  } broken[] = {
      {"a row short", BMPHeader(1, 2, 24) + pixels.substr(0, 4)},
      {"a row's padding short", BMPHeader(1, 2, 24) + pixels.substr(0, 7)},
      {"offset past the end", BMPHeader(1, 2, 24, 4000) + pixels},
      {"offset inside the headers", BMPHeader(1, 2, 24, 20) + pixels},
      {"offset inside the colour table", RunLength8BMP(std::string("\x00\x01", 2)).replace(10, 2, "\x40\x01", 2)},
      {"runs stop inside a literal", RunLength8BMP(std::string("\x00\x05\x01\x02", 4))},
      {"runs stop inside a delta", RunLength8BMP(std::string("\x00\x02\x01", 3))},
      {"runs stop before the end", RunLength8BMP(std::string("\x02\x05", 2))},
      {"run-length rows top down", RunLength8BMP(std::string("\x00\x01", 2), -4)},
      {"run-length coding at 24 bits", [] {
         std::string file = BMPHeader(1, 1, 24) + std::string("\x00\x01\x00\x00", 4);
         file[30] = 1;
         return file;
       }()},
  };
  for (const auto& file : broken) {
    SCOPED_TRACE(file.name);
    TStringStream stream(file.bytes);
    TBitmap bitmap;
    try {
      bitmap.LoadFromStream(stream);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
    TTransparency transparent = trNone;
    std::unique_ptr<TBitmap> mask;
    EXPECT_FALSE(LoadImageFromStream(StreamOf(file.bytes).get(), transparent, mask));
  }
  TStringStream whole(BMPHeader(1, 2, 24) + pixels);
  TBitmap bitmap;
  EXPECT_NO_THROW(bitmap.LoadFromStream(whole));
  // Runs that fill every row need no end marker.
  TStringStream filled(RunLength8BMP(std::string("\x06\x01\x00\x00\x06\x02\x00\x00\x06\x03\x00\x00\x06\x04\x00\x00", 16)));
  EXPECT_NO_THROW(bitmap.LoadFromStream(filled));
}

class LoaderScreenDepth : public ::testing::Test {
 protected:
  void TearDown() override { SetColorBits(24); }
};

TEST_F(LoaderScreenDepth, ConvertImageFitsTheScreen) {
  auto deep = std::make_unique<TBitmap>(3, 3);
  deep->SetPixelFormat(pf24bit);
  TBitmap* same = deep.get();
  EXPECT_EQ(ConvertImage(std::move(deep)).get(), same);
  auto indexed = std::make_unique<TBitmap>();
  indexed->SetPixelFormat(pf8bit);
  indexed->SetSize(2, 2);
  EXPECT_EQ(ConvertImage(std::move(indexed))->PixelFormat(), pf8bit);  // drawn as it is
  EXPECT_FALSE(ConvertImage(nullptr));

  SetColorBits(8);
  auto picture = std::make_unique<TBitmap>(4, 4);
  picture->SetPixelFormat(pf24bit);
  const auto reduced = ConvertImage(std::move(picture));
  EXPECT_EQ(reduced->PixelFormat(), pf8bit);
  EXPECT_EQ(PaletteColors(reduced->Palette()), PaletteColors(ThePalette()));
  // White's lookup cell is claimed by the lower index of grey 250.
  EXPECT_EQ(reduced->Pixel(1, 1) & 0xFFFFFF, RGB(250, 250, 250));
}

TEST(LoadImageFromStream, JPEGHasNoMaskWhateverIsAsked) {
  test::TempDir dir;
  ASSERT_TRUE(test::Run("convert -size 17x9 xc:'#3060c0' -quality 95 " + dir.File("blue.jpg")));
  TTransparency transparent = trCorner;
  std::unique_ptr<TBitmap> mask;
  const auto bitmap = LoadImageFromFile(dir.File("blue.jpg"), transparent, mask);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(transparent, trNone);
  EXPECT_FALSE(mask);
  EXPECT_EQ(bitmap->Width(), 17);
  const TColor color = bitmap->Pixel(8, 4);
  EXPECT_NEAR(GetRValue(color), 0x30, 3);
  EXPECT_NEAR(GetBValue(color), 0xc0, 3);
}

TEST(ProcessImages, UnitStartRegistersTheDocumentCursors) {
  StartImageUnit();
  EXPECT_EQ(ColorBits(), 24);
  for (TCursor id = 1; id <= 5; ++id) EXPECT_TRUE(Screen()->HasCursor(id)) << id;
}

TEST(ProcessImages, PlaceholdersAndWaitStreamExist) {
  EXPECT_FALSE(DefBitmap().Empty());
  EXPECT_FALSE(ErrorBitmap().Empty());
  EXPECT_EQ(ErrorBitmapMask().Width(), ErrorBitmap().Width());
  EXPECT_TRUE(ErrorBitmapMask().Monochrome());
  EXPECT_EQ(&WaitStream(), &WaitStream());
  EXPECT_EQ(WaitStream().Size(), 0);
}

}  // namespace
}  // namespace lark
