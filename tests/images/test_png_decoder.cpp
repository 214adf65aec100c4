#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "images/png_image.h"
#include "images/png_pixels.h"
#include "images/zlib_stream.h"
#include "tests/images/png_builder.h"
#include "tests/images/reference_png.h"
#include "tests/images/test_files.h"

namespace lark {
namespace {

using test::PNGChunk;
using test::SimplePNG;

// Every PNG of the generated corpus, made once per test process.
class PNGCorpus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = new test::TempDir;
    ASSERT_TRUE(test::Run("/usr/bin/python3 " LARK_IMAGE_SCRIPTS "/make_png_corpus.py " + Dir->Path()));
    ASSERT_TRUE(test::Run(LARK_IMAGE_SCRIPTS "/make_png_filters.sh " + Dir->Path()));
  }
  static void TearDownTestSuite() {
    delete Dir;
    Dir = nullptr;
  }
  static std::vector<std::string> Files() { return test::ListFiles(Dir->Path(), ".png"); }
  static inline test::TempDir* Dir = nullptr;
};

TEST_F(PNGCorpus, EveryPixelMatchesLibpng) {
  const auto files = Files();
  ASSERT_GT(files.size(), 300u);
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    const std::string bytes = test::ReadFile(Dir->File(name));
    test::ReferencePNG reference;
    ASSERT_TRUE(test::DecodeWithLibpng(bytes, reference));
    TPNGImage image;
    image.LoadFromString(bytes);
    const PixelImage& bitmap = image.Bitmap();
    ASSERT_EQ(bitmap.Width(), reference.Width);
    ASSERT_EQ(bitmap.Height(), reference.Height);
    int differences = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
      for (int x = 0; x < bitmap.Width(); ++x) {
        const uint8_t* expected = &reference.RGB[(size_t(y) * reference.Width + x) * 3];
        const TRGB actual = bitmap.PixelColor(x, y);
        differences += actual != TRGB{expected[0], expected[1], expected[2]};
      }
    }
    EXPECT_EQ(differences, 0);
  }
}

// ImageMagick's files must exercise every row filter, or the comparison above
// proves less than it seems.
TEST_F(PNGCorpus, ToolFilesCoverEveryFilterType) {
  std::set<int> seen;
  for (const std::string& name : Files()) {
    if (name.rfind("im_", 0) != 0 || name.find("_none") == std::string::npos) continue;
    TPNGImage image;
    image.LoadFromString(test::ReadFile(Dir->File(name)));
    const auto& header = static_cast<const TChunkIHDR&>(image.Chunks.Item(0));
    const TChunkIDAT& idat = *image.Chunks.Find<TChunkIDAT>();
    TZDecompressionStream z(idat.Data.data(), idat.Data.size());
    const size_t rowBytes = PNGRowBytes(header.ColorType(), header.BitDepth(), header.Width());
    std::vector<uint8_t> row(rowBytes + 1);
    for (uint32_t y = 0; y < header.Height(); ++y) {
      ASSERT_EQ(z.Read(row.data(), row.size()), int64_t(row.size()));
      seen.insert(row[0]);
    }
  }
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4}));
}

// The mask marks every palette entry whose alpha is below half, an RGB
// image's key colour, and every pixel whose alpha channel is below half (of
// 8- and 16-bit samples alike); greyscale keys are not used. Without any
// see-through pixel there is no mask.
TEST_F(PNGCorpus, TransparencyMaskFollowsTRNSAndAlpha) {
  int checked = 0;
  for (const std::string& name : Files()) {
    const bool alpha = name.find("alpha") != std::string::npos || name.find("rgba") != std::string::npos;
    if (name.find("_trns") == std::string::npos && !alpha) continue;
    SCOPED_TRACE(name);
    const std::string bytes = test::ReadFile(Dir->File(name));
    test::ReferencePNG reference;
    ASSERT_TRUE(test::DecodeWithLibpng(bytes, reference));
    TPNGImage image;
    image.LoadFromString(bytes);
    const PixelImage mask = image.TransparencyMask();
    if (name.find("py_grey_") == 0) {
      EXPECT_TRUE(mask.Empty());
      continue;
    }
    if (mask.Empty()) {
      EXPECT_TRUE(std::all_of(reference.Alpha.begin(), reference.Alpha.end(), [](uint8_t a) { return a >= 128; }));
      continue;
    }
    ASSERT_EQ(mask.Width(), reference.Width);
    const bool sixteen = name.find("_d16_") != std::string::npos;
    for (int y = 0; y < mask.Height(); ++y) {
      for (int x = 0; x < mask.Width(); ++x) {
        const uint8_t alpha = reference.Alpha[size_t(y) * reference.Width + x];
        const bool clear = mask.PixelIndex(x, y) == 1;
        if (sixteen && !alpha)  // the key is compared on the high bytes only
          EXPECT_TRUE(alpha != 0 || clear);
        else
          EXPECT_EQ(clear, alpha < 128) << x << "," << y;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 1000);
}

// The specific text of the reader's error, or empty when the file loads.
std::string ErrorOf(const std::string& bytes);

uint32_t BigEndianAt(const std::string& bytes, size_t at) {
  return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
         uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
}

// The file with its first IDAT chunk's data replaced (length and CRC made
// right), so that damage reaches the zlib stream behind the chunk checks.
std::string WithIDATData(const std::string& file, const std::function<void(std::string&)>& damage) {
  for (size_t pos = 8; pos + 12 <= file.size();) {
    const uint32_t length = BigEndianAt(file, pos);
    if (file.compare(pos + 4, 4, "IDAT") == 0) {
      std::string data = file.substr(pos + 8, length);
      damage(data);
      return file.substr(0, pos) + PNGChunk("IDAT", data) + file.substr(pos + 12 + length);
    }
    pos += size_t{length} + 12;
  }
  return file;
}

// Truncated and bit-flipped copies of corpus files, some with their chunk
// CRCs made right again so that the damage reaches the zlib stream. libpng
// reads them strictly (every CRC, the stream's end and its Adler-32 sum);
// whatever it refuses is refused here, and where the damage is a checksum or
// the stream's end the two agree both ways.
TEST_F(PNGCorpus, DamagedFilesAreRefusedWhereLibpngRefusesThem) {
  struct Tally {
    int both = 0, ours = 0, libpng = 0, neither = 0;  // who refused
  };
  std::map<std::string, Tally> tallies;
  const auto files = Files();
  for (size_t f = 0; f < files.size(); f += 7) {
    const std::string good = test::ReadFile(Dir->File(files[f]));
    std::vector<std::pair<std::string, std::string>> variants;
    for (size_t cut = 9; cut < good.size(); cut += std::max<size_t>(1, good.size() / 12))
      variants.emplace_back("truncated", good.substr(0, cut));
    for (size_t at = 8; at < good.size(); at += std::max<size_t>(1, good.size() / 12)) {
      std::string flipped = good;
      flipped[at] ^= char(1 << (at % 8));
      variants.emplace_back("bit flipped", flipped);
      variants.emplace_back("zlib bit flipped, CRC right", WithIDATData(good, [&](std::string& data) {
                              if (!data.empty()) data[at % data.size()] ^= char(1 << (at % 8));
                            }));
    }
    for (size_t cut = 1; cut <= 4; ++cut)
      variants.emplace_back("zlib stream end cut, CRC right", WithIDATData(good, [&](std::string& data) {
                              data.resize(data.size() > cut ? data.size() - cut : 0);
                            }));
    for (const auto& [kind, bytes] : variants) {
      test::ReferencePNG reference;
      const bool libpngRefuses = !test::DecodeWithLibpng(bytes, reference, test::LibpngChecks::Strict);
      const bool weRefuse = !ErrorOf(bytes).empty();
      Tally& tally = tallies[kind];
      (weRefuse ? (libpngRefuses ? tally.both : tally.ours) : (libpngRefuses ? tally.libpng : tally.neither))++;
      EXPECT_FALSE(libpngRefuses && !weRefuse) << kind << " of " << files[f] << " is refused by libpng only";
    }
  }
  for (const auto& [kind, tally] : tallies) {
    std::printf("%-32s both refuse %4d, only we %3d, only libpng %3d, both accept %3d\n", kind.c_str(), tally.both,
                tally.ours, tally.libpng, tally.neither);
    if (kind.find("zlib") != std::string::npos) {
      EXPECT_EQ(tally.ours, 0) << kind;
    }
  }
}

// 2 x 2 palette image (depth 8) of the given indexes over `entries` colours.
std::string PaletteImage(int entries, const std::string& pixels, const std::string& extra = "") {
  std::string plte;
  for (int i = 0; i < entries; ++i) plte += std::string{char(10 * i), char(20 * i), char(30 * i)};
  return SimplePNG(2, 2, 8, 3, std::string("\0", 1) + pixels.substr(0, 2) + std::string("\0", 1) + pixels.substr(2),
                   PNGChunk("PLTE", plte) + extra);
}

std::string ErrorOf(const std::string& bytes) {
  try {
    TPNGImage image;
    image.LoadFromString(bytes);
  } catch (const Exception& e) {
    const std::string message = e.what();
    const std::string heading = "Portable Network Graphics format handler error\r\n\r\n";
    return message.rfind(heading, 0) == 0 ? message.substr(heading.size()) : "other: " + message;
  }
  return "";
}

TEST(PNGDecoder, RefusesBrokenFilesWithTheirMessages) {
  const std::string rgbRow = std::string("\0", 1) + "abc";
  const std::string good = SimplePNG(1, 1, 8, 2, rgbRow);
  std::string badCRC = good;
  badCRC[30] ^= 1;  // inside the IHDR CRC
  std::string shortData = SimplePNG(4, 4, 8, 2, std::string(13, '\0'));
  std::string overlong = good;
  overlong[8 + 3] = 100;  // IHDR length beyond the data
  const std::string noHeader = test::kPNGSignature + PNGChunk("IDAT", test::Deflate(rgbRow)) + PNGChunk("IEND", "");
  const std::string noData = test::kPNGSignature + PNGChunk("IHDR", test::IHDRData(1, 1, 8, 2)) + PNGChunk("IEND", "");
  const std::string twoByFilter = [] {
    std::string rows = std::string("\5", 1) + "abc";
    return SimplePNG(1, 1, 8, 2, rows);
  }();
  const std::string interlace2 = test::kPNGSignature + PNGChunk("IHDR", test::IHDRData(1, 1, 8, 2, 2)) +
                                 PNGChunk("IDAT", test::Deflate(rgbRow)) + PNGChunk("IEND", "");
  auto withHeader = [&](std::string header, int at, char value, const std::string& idat) {
    header[at] = value;
    return test::kPNGSignature + PNGChunk("IHDR", header) + PNGChunk("IDAT", idat) + PNGChunk("IEND", "");
  };
  const std::string header = test::IHDRData(1, 1, 8, 2);
  const std::string packed = test::Deflate(rgbRow);
  std::string badAdler = packed;
  badAdler.back() ^= 1;
  const struct {
    std::string Bytes;
    const char* Message;
  } cases[] = {
      {"GIF89a" + good.substr(6), png_text::kInvalidHeader},
      {good.substr(0, 7), png_text::kInvalidHeader},
      {badCRC, png_text::kCorrupted},
      {overlong, png_text::kCorrupted},
      {good.substr(0, good.size() - 5), png_text::kCorrupted},
      {good.substr(0, good.size() - 12), png_text::kCorrupted},  // no IEND
      {SimplePNG(1, 1, 8, 2, rgbRow, PNGChunk("ABCD", "x")), png_text::kUnknownCritical},
      {noHeader, png_text::kNoIHDR},
      {noData, png_text::kNoData},
      {SimplePNG(1, 1, 8, 5, rgbRow), png_text::kUnknownColorType},
      {SimplePNG(1, 1, 4, 2, rgbRow), png_text::kInvalidBitDepth},
      {SimplePNG(1, 1, 16, 3, rgbRow), png_text::kInvalidBitDepth},
      {SimplePNG(1, 1, 8, 3, std::string(2, '\0')), png_text::kNoPalette},
      {SimplePNG(1, 1, 8, 3, std::string(2, '\0'), PNGChunk("PLTE", "1234567")), png_text::kInvalidPalette},
      {SimplePNG(1, 1, 8, 3, std::string(2, '\0'), PNGChunk("PLTE", std::string(257 * 3, 'x'))),
       png_text::kInvalidPalette},
      {twoByFilter, png_text::kUnknownFilter},
      {interlace2, png_text::kUnknownInterlace},
      {shortData, png_text::kTruncated},
      {SimplePNG(100000, 100000, 8, 2, rgbRow), png_text::kTooLarge},
      {SimplePNG(39000000, 1, 16, 6, rgbRow), png_text::kTooLarge},  // a bomb: tiny data, 300 MB rows
      {SimplePNG(0x80000000u, 1, 8, 2, rgbRow), png_text::kTooLarge},
      {SimplePNG(32768, 1, 8, 0, rgbRow), png_text::kTooLarge},
      {SimplePNG(6000, 6000, 16, 6, rgbRow), png_text::kTooLarge},  // 288 MB of rows
      {SimplePNG(6000, 6000, 8, 0, rgbRow), png_text::kTruncated},  // within the limits, but no data
      {SimplePNG(0, 1, 8, 2, ""), png_text::kCorrupted},
      {SimplePNG(1, 0, 8, 2, ""), png_text::kCorrupted},
      {withHeader(header, 10, 1, packed), png_text::kCorrupted},  // compression method
      {withHeader(header, 11, 1, packed), png_text::kCorrupted},  // filter method
      {withHeader(header, 12, 0, badAdler), png_text::kCorrupted},
      {withHeader(header, 12, 0, packed.substr(0, packed.size() - 4)), png_text::kCorrupted},  // no stream end
      {withHeader(header, 12, 0, packed.substr(0, 3) + "\xff" + packed.substr(4)), png_text::kCorrupted},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.Bytes), c.Message) << c.Message;
  EXPECT_EQ(ErrorOf(good), "");
  EXPECT_EQ(ErrorOf(good + "data after IEND"), "");
  EXPECT_EQ(ErrorOf(SimplePNG(1, 1, 8, 2, rgbRow + rgbRow)), "");  // more rows than the picture: dropped
}

TEST(PNGDecoder, PaletteIsPaddedAndSafeBeyondItsEntries) {
  TPNGImage image;
  image.LoadFromString(PaletteImage(2, std::string("\0\1\2\xff", 4)));
  const PixelImage& bitmap = image.Bitmap();
  EXPECT_EQ(bitmap.Palette.size(), 256u);
  EXPECT_EQ(bitmap.PixelColor(1, 0), (TRGB{10, 20, 30}));
  EXPECT_EQ(bitmap.PixelColor(0, 1), (TRGB{0, 0, 0}));
  EXPECT_EQ(bitmap.PixelColor(1, 1), (TRGB{0, 0, 0}));
}

TEST(PNGDecoder, TwoBitPaletteOfFourColoursGetsSixteenEntries) {
  const std::string plte("\1\1\1\2\2\2\3\3\3\4\4\4", 12);
  TPNGImage image;
  image.LoadFromString(SimplePNG(4, 1, 2, 3, std::string("\0\x1b", 2), PNGChunk("PLTE", plte)));
  const PixelImage& bitmap = image.Bitmap();
  ASSERT_EQ(bitmap.Format(), PixelDepth::k4Bit);
  ASSERT_EQ(bitmap.Palette.size(), 16u);
  EXPECT_EQ(bitmap.Palette[13], (TRGB{2, 2, 2}));
  EXPECT_EQ(bitmap.PixelIndex(0, 0), 0);
  EXPECT_EQ(bitmap.PixelIndex(1, 0), 1);
  EXPECT_EQ(bitmap.PixelIndex(2, 0), 2);
  EXPECT_EQ(bitmap.PixelIndex(3, 0), 3);
}

TEST(PNGDecoder, ImageDataSplitOverManyIDATChunksDecodesAsOne) {
  const std::string raw = std::string("\0", 1) + "abcdef" + std::string("\2", 1) + "\1\1\1\1\1\1";
  const std::string z = test::Deflate(raw);
  std::string idats;
  for (char byte : z) idats += PNGChunk("IDAT", std::string(1, byte));
  TPNGImage image;
  image.LoadFromString(test::kPNGSignature + PNGChunk("IHDR", test::IHDRData(2, 2, 8, 2)) + idats +
                       PNGChunk("IEND", ""));
  EXPECT_EQ(image.Bitmap().PixelColor(1, 1), (TRGB{'d' + 1, 'e' + 1, 'f' + 1}));
  int idatCount = 0;
  for (int i = 0; i < image.Chunks.Count(); ++i) idatCount += image.Chunks.Item(i).ChunkType == "IDAT";
  EXPECT_EQ(idatCount, 1);
}

TEST(PNGDecoder, KeepsUnknownAncillaryChunksAndTime) {
  TPNGImage image;
  image.LoadFromString(SimplePNG(1, 1, 8, 0, std::string("\0\x80", 2),
                                 PNGChunk("tIME", std::string(7, '\1')) + PNGChunk("prVt", "hello")));
  ASSERT_EQ(image.Chunks.Count(), 5);
  EXPECT_EQ(image.Chunks.Item(1).ChunkType, "tIME");
  EXPECT_EQ(image.Chunks.Item(2).ChunkType, "prVt");
  EXPECT_EQ(std::string(image.Chunks.Item(2).Data.begin(), image.Chunks.Item(2).Data.end()), "hello");
}

// Gamma is where this decoder deliberately differs from libpng without gamma
// handling: a usable gAMA before the data maps RGB samples and palettes.
TEST(PNGDecoder, GammaTablesApplyOnlyWhenUsableAndBeforeTheData) {
  const std::string raw = std::string("\0", 1) + "\x40\x80\xc0";
  auto load = [&](const std::string& before, const std::string& after) {
    const std::string file = test::kPNGSignature + PNGChunk("IHDR", test::IHDRData(1, 1, 8, 2)) + before +
                             PNGChunk("IDAT", test::Deflate(raw)) + after + PNGChunk("IEND", "");
    TPNGImage image;
    image.LoadFromString(file);
    return image.Bitmap().PixelColor(0, 0);
  };
  const TRGB plain{0x40, 0x80, 0xc0};
  EXPECT_EQ(load(PNGChunk("gAMA", test::BigEndian32(45455)), ""), plain);  // 1/2.2 is the identity
  EXPECT_EQ(load(PNGChunk("gAMA", test::BigEndian32(0)), ""), plain);
  EXPECT_EQ(load(PNGChunk("gAMA", test::BigEndian32(0xFFFFFFFF)), ""), plain);
  EXPECT_EQ(load("", PNGChunk("gAMA", test::BigEndian32(100000))), plain);
  const TRGB brighter = load(PNGChunk("gAMA", test::BigEndian32(100000)), "");
  // f^(1/2.2) * 255, rounded
  EXPECT_EQ(brighter, (TRGB{136, 186, 224}));
}

TEST(PNGDecoder, RGBKeyColourIsThreeSixteenBitSamples) {
  const std::string raw = std::string("\0", 1) + "\x10\x20\x30\x10\x20\x31";
  TPNGImage image;
  image.LoadFromString(SimplePNG(2, 1, 8, 2, raw, PNGChunk("tRNS", std::string("\0\x10\0\x20\0\x30", 6))));
  EXPECT_TRUE(image.Bitmap().Transparent);
  EXPECT_EQ(image.Bitmap().TransparentColor, (TRGB{0x10, 0x20, 0x30}));
  const PixelImage mask = image.TransparencyMask();
  EXPECT_EQ(mask.PixelIndex(0, 0), 1);
  EXPECT_EQ(mask.PixelIndex(1, 0), 0);
}

TEST(PNGDecoder, OneByOneInterlacedImageDecodes) {
  TPNGImage image;
  image.LoadFromString(test::kPNGSignature + PNGChunk("IHDR", test::IHDRData(1, 1, 8, 2, 1)) +
                       PNGChunk("IDAT", test::Deflate(std::string("\0", 1) + "xyz")) + PNGChunk("IEND", ""));
  EXPECT_EQ(image.Bitmap().PixelColor(0, 0), (TRGB{'x', 'y', 'z'}));
}

TEST(PNGDecoder, ReportsProgressPerRow) {
  std::vector<int> percents;
  TPNGImage image;
  image.OnProgress = [&](int percent, const std::string& text) {
    EXPECT_EQ(text, "Drawing...");
    percents.push_back(percent);
  };
  image.LoadFromString(SimplePNG(1, 4, 8, 0, std::string(8, '\0')));
  EXPECT_EQ(percents, (std::vector<int>{0, 25, 50, 75}));
}

}  // namespace
}  // namespace lark
