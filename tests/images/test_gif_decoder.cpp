#include <gtest/gtest.h>

#include "images/display_palette.h"
#include "images/gif_image.h"
#include "platform/core/exception.h"
#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "tests/images/gif_builder.h"
#include "tests/images/reference_gif.h"
#include "tests/images/test_files.h"

namespace lark {
namespace {

using test::GIFHeader;
using test::GIFImage;
using test::GraphicControl;

std::unique_ptr<TGIFImage> Load(const std::string& bytes, bool& nonAnimated) {
  return CreateAGifFromStream(nonAnimated, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
std::unique_ptr<TGIFImage> Load(const std::string& bytes) {
  bool nonAnimated = false;
  return Load(bytes, nonAnimated);
}

// A frame's decoded picture and mask, wherever the image keeps them.
const PixelImage& Picture(TGIFImage& image, int number) {
  TgfFrame& frame = image.Frame(number);
  return frame.ImageIndex >= 0 ? image.ImageList()->Pictures[frame.ImageIndex] : *frame.frBitmap;
}
const PixelImage* Mask(TGIFImage& image, int number) {
  TgfFrame& frame = image.Frame(number);
  if (frame.ImageIndex >= 0) return &image.ImageList()->Masks[frame.ImageIndex];
  return frame.frMask.get();
}

// The loop count stored in the file's NETSCAPE extension, or -1.
int StoredLoopCount(const std::string& bytes) {
  const size_t at = bytes.find("NETSCAPE2.0");
  if (at == std::string::npos) return -1;
  return uint8_t(bytes[at + 13]) | uint8_t(bytes[at + 14]) << 8;
}

// How many times the animation shows its first frame before it stops
// (capped: 0 means it was still running).
int Plays(TGIFImage& image) {
  image.SetAnimate(true);
  uint32_t now = image.LastTime;
  int plays = 1;
  for (int tick = 0; tick < 5000; ++tick) {
    now += 100000;
    const int before = image.CurrentFrame;
    image.CheckTimeAt(now);
    if (!image.Animate) return plays;
    if (image.CurrentFrame == 1 && before != 1) ++plays;
  }
  return 0;
}

class GIFCorpus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = new test::TempDir;
    ASSERT_TRUE(test::Run(LARK_IMAGE_SCRIPTS "/make_gif_corpus.sh " + Dir->Path()));
  }
  static void TearDownTestSuite() {
    delete Dir;
    Dir = nullptr;
  }
  static std::string Bytes(const std::string& name) { return test::ReadFile(Dir->File(name)); }
  static inline test::TempDir* Dir = nullptr;
};

TEST_F(GIFCorpus, EveryFrameMatchesGiflib) {
  const auto files = test::ListFiles(Dir->Path(), ".gif");
  ASSERT_GE(files.size(), 15u);
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    const std::string bytes = Bytes(name);
    test::ReferenceGIF reference;
    ASSERT_TRUE(test::DecodeWithGiflib(bytes, reference));
    auto image = Load(bytes);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->NumFrames, std::min<int>(256, reference.Frames.size()));
    for (int n = 1; n <= image->NumFrames; ++n) {
      SCOPED_TRACE(n);
      const test::ReferenceGIFFrame& expected = reference.Frames[n - 1];
      TgfFrame& frame = image->Frame(n);
      ASSERT_EQ(frame.frLeft, expected.Left);
      ASSERT_EQ(frame.frTop, expected.Top);
      ASSERT_EQ(frame.frWidth, expected.Width);
      ASSERT_EQ(frame.frHeight, expected.Height);
      EXPECT_EQ(frame.frDisposal, expected.Disposal);
      EXPECT_EQ(frame.frDelay, expected.Delay * 10);
      const PixelImage& picture = Picture(*image, n);
      const PixelImage* mask = Mask(*image, n);
      int differences = 0;
      for (int y = 0; y < frame.frHeight; ++y) {
        for (int x = 0; x < frame.frWidth; ++x) {
          const size_t p = size_t(y) * frame.frWidth + x;
          const bool clear = frame.frTransparent && mask && !mask->Empty() && mask->PixelIndex(x, y) == 1;
          const uint8_t* rgb = &expected.RGB[p * 3];
          differences += clear != expected.Clear[p];
          differences += picture.PixelColor(x, y) != TRGB{rgb[0], rgb[1], rgb[2]};
        }
      }
      EXPECT_EQ(differences, 0);
    }
  }
}

// The tools' loop options do not say what they write (ImageMagick writes
// -loop 3 as 2, and no extension for -loop 1): the stored count N means N
// plays, none means one, and 0 means for ever.
TEST_F(GIFCorpus, LoopCountsAreTheStoredOnes) {
  const struct {
    const char* Name;
    int Stored;
    int Plays;
  } cases[] = {{"gs_loop0.gif", 0, 0}, {"gs_loop1.gif", 1, 1}, {"gs_loop3.gif", 3, 3}, {"gs_noloop.gif", -1, 1},
               {"im_dispose_previous_loop3.gif", 2, 2}, {"im_dispose_background.gif", 0, 0},
               {"gb_disposals.gif", 2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string bytes = Bytes(c.Name);
    ASSERT_EQ(StoredLoopCount(bytes), c.Stored);
    auto image = Load(bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->LoopLimit, c.Stored < 0 ? 1 : c.Stored);
    EXPECT_EQ(Plays(*image), c.Plays);
  }
}

TEST_F(GIFCorpus, ReadsAtMost256Frames) {
  bool nonAnimated = true;
  auto image = Load(Bytes("gs_300_frames.gif"), nonAnimated);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->NumFrames, 256);
  EXPECT_FALSE(nonAnimated);
  EXPECT_EQ(int(image->ImageList()->Pictures.size()), 256);
}

TEST_F(GIFCorpus, StillImageIsNotAnimatedAndKeepsItsPicture) {
  bool nonAnimated = false;
  auto image = Load(Bytes("im_transparent.gif"), nonAnimated);
  ASSERT_TRUE(image);
  EXPECT_TRUE(nonAnimated);
  EXPECT_TRUE(image->IsTransparent);
  ASSERT_NE(image->GetBitmap(), nullptr);
  ASSERT_NE(image->GetMaskedBitmap(), nullptr);
  const PixelImage* current = image->GetCurrentBitmap();
  ASSERT_NE(current, nullptr);
  // See-through pixels are black in the picture and in their file colour in
  // the current bitmap.
  EXPECT_EQ(image->GetMaskedBitmap()->PixelIndex(20, 0), 1);
  EXPECT_EQ(image->GetBitmap()->PixelColor(20, 0), (TRGB{0, 0, 0}));
  EXPECT_EQ(current->PixelColor(20, 0), image->Frame(1).frTransColor);
  EXPECT_EQ(current->PixelColor(2, 2), (TRGB{0, 0, 255}));
}

// Each step of a file with every disposal, a transparent frame, a local
// table and a frame reaching past the screen. Letters: R G B W red, green,
// blue, white; x and y the local colours; "." see-through.
TEST_F(GIFCorpus, DisposalsComposeTheFrameBuffer) {
  auto image = Load(Bytes("gb_disposals.gif"));
  ASSERT_TRUE(image);
  ASSERT_EQ(image->Width, 6);
  ASSERT_EQ(image->Height, 3);
  auto picture = [&] {
    std::string out;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 6; ++x) {
        const TRGB c = image->FrameBuffer().PixelColor(x, y);
        if (image->MaskBuffer().PixelIndex(x, y)) {
          out += c == TRGB{} ? '.' : '?';
          continue;
        }
        const struct {
          TRGB Color;
          char Letter;
        } names[] = {{{255, 0, 0}, 'R'}, {{0, 255, 0}, 'G'}, {{0, 0, 255}, 'B'}, {{255, 255, 255}, 'W'},
                     {{10, 20, 30}, 'x'}, {{1, 2, 3}, 'y'}};
        char letter = '#';
        for (const auto& name : names)
          if (name.Color == c) letter = name.Letter;
        out += letter;
      }
      out += '|';
    }
    return out;
  };
  EXPECT_EQ(picture(), "RRRR..|RRRR..|......|");
  image->SetCurrentFrame(2);
  EXPECT_EQ(picture(), "RGRR..|RRGR..|......|");
  image->SetCurrentFrame(3);
  EXPECT_EQ(picture(), "RGRR..|RRBB..|......|");
  image->SetCurrentFrame(4);
  EXPECT_EQ(picture(), "WxRR..|yR....|......|");
  image->SetCurrentFrame(5);
  EXPECT_EQ(picture(), "RGRR..|RR.RGB|...BGR|");
  image->SetCurrentFrame(6);  // past the last: back to the first
  EXPECT_EQ(image->CurrentFrame, 1);
}

TEST_F(GIFCorpus, DelaysScaleWithSpeedAndZeroIsTheNextTick) {
  auto image = Load(Bytes("gs_loop0.gif"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Frame(1).frDelay, 0);
  image->SetAnimate(true);
  EXPECT_EQ(image->CurrentInterval, 1);
  auto slow = Load(Bytes("gb_disposals.gif"));
  slow->AnimateSpeed = 200;
  slow->SetAnimate(true);
  EXPECT_EQ(slow->CurrentInterval, 20);  // 40 ms at double speed
  slow->AnimateSpeed = 0;
  EXPECT_FALSE(slow->CheckTimeAt(slow->LastTime + 20));  // the first tick only sets the timing
  EXPECT_TRUE(slow->CheckTimeAt(slow->LastTime + 100000));
  EXPECT_GE(slow->CurrentInterval, 1);
}

TEST_F(GIFCorpus, TruncatedFilesKeepTheFramesAlreadyRead) {
  const std::string bytes = Bytes("gs_optimized.gif");
  test::ReferenceGIF reference;
  ASSERT_TRUE(test::DecodeWithGiflib(bytes, reference));
  int lastFrames = 0;
  for (size_t cut = 0; cut < bytes.size(); cut += 7) {
    auto image = Load(bytes.substr(0, cut));
    const int frames = image ? image->NumFrames : 0;
    EXPECT_GE(frames, lastFrames) << cut;
    lastFrames = frames;
  }
  EXPECT_EQ(lastFrames, int(reference.Frames.size()));
}

// A copy shares the image list and survives its original.
TEST_F(GIFCorpus, CopyOutlivesItsOriginal) {
  auto original = Load(Bytes("im_optimized.gif"));
  ASSERT_TRUE(original);
  std::unique_ptr<TGIFImage> copy = TGIFImage::CreateCopy(*original);
  EXPECT_EQ(copy->ImageList(), original->ImageList());
  EXPECT_TRUE(copy->IsCopy);
  const TRGB corner = original->FrameBuffer().PixelColor(0, 0);
  original.reset();
  EXPECT_EQ(copy->FrameBuffer().PixelColor(0, 0), corner);
  EXPECT_EQ(Plays(*copy), 1);
  EXPECT_EQ(copy->CurrentFrame, copy->NumFrames);
}

bool SamePixels(const PixelImage& a, const PixelImage& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.Format() != b.Format() || a.Palette != b.Palette)
    return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.ScanLine(y), a.ScanLine(y) + a.RowBytes(), b.ScanLine(y))) return false;
  return true;
}

// The copy that plays holds the original's composed screen until it shows
// another frame; the original keeps its first frame, and copies of a copy
// that moved on start from the first frame again.
TEST_F(GIFCorpus, CopySharesTheComposedScreenUntilItChangesIt) {
  auto original = Load(Bytes("im_optimized.gif"));
  ASSERT_TRUE(original);
  const PixelImage first = original->FrameBuffer();
  auto copy = TGIFImage::CreateCopy(*original);
  EXPECT_EQ(&copy->FrameBuffer(), &original->FrameBuffer());
  copy->SetCurrentFrame(2);
  EXPECT_NE(&copy->FrameBuffer(), &original->FrameBuffer());
  EXPECT_FALSE(SamePixels(copy->FrameBuffer(), first));
  EXPECT_TRUE(SamePixels(original->FrameBuffer(), first));
  EXPECT_TRUE(SamePixels(TGIFImage::CreateCopy(*copy)->FrameBuffer(), first));

  // A first frame to restore, under a copy whose original is gone.
  const std::string restoring = GIFHeader(2, 1, {0xFF0000, 0x00FF00}) + GraphicControl(3, 10, -1) +
                                GIFImage(0, 0, 1, 1, {0}) + GIFImage(1, 0, 1, 1, {1}) + test::kGIFTrailer;
  auto image = Load(restoring);
  ASSERT_TRUE(image);
  auto orphan = TGIFImage::CreateCopy(*image);
  image.reset();
  orphan->SetCurrentFrame(2);
  EXPECT_EQ(orphan->FrameBuffer().PixelColor(0, 0), (TRGB{0, 0, 0}));
  EXPECT_EQ(orphan->FrameBuffer().PixelColor(1, 0), (TRGB{0, 255, 0}));
}

// Frames compose in palette indices while their colours and black fit one
// byte; two local tables of 256 colours each do not, and compose in 24 bits.
TEST(GIFDecoder, ScreenKeepsIndicesWhileTheColoursFit) {
  std::vector<uint32_t> reds, blues;
  for (uint32_t i = 0; i < 256; ++i) reds.push_back(i << 16 | 1), blues.push_back(i | 0x100);
  const std::string few = GIFHeader(2, 1, {0xFF0000, 0x00FF00}) + GIFImage(0, 0, 2, 1, {0, 1}) +
                          GIFImage(1, 0, 1, 1, {0}) + test::kGIFTrailer;
  const std::string many = GIFHeader(2, 1, {}) + GIFImage(0, 0, 2, 1, {7, 9}, 8, 255, reds) +
                           GIFImage(1, 0, 1, 1, {200}, 8, 255, blues) + test::kGIFTrailer;
  auto indexed = Load(few), deep = Load(many);
  ASSERT_TRUE(indexed && deep);
  EXPECT_EQ(indexed->FrameBuffer().Format(), PixelDepth::k8Bit);
  EXPECT_EQ(deep->FrameBuffer().Format(), PixelDepth::k24Bit);
  indexed->SetCurrentFrame(2);
  deep->SetCurrentFrame(2);
  EXPECT_EQ(indexed->FrameBuffer().PixelColor(1, 0), (TRGB{255, 0, 0}));
  EXPECT_EQ(deep->FrameBuffer().PixelColor(0, 0), (TRGB{7, 0, 1}));
  EXPECT_EQ(deep->FrameBuffer().PixelColor(1, 0), (TRGB{0, 1, 200}));
}

// Drawn scaled onto a white bitmap: see-through pixels leave it white.
TEST_F(GIFCorpus, DrawKeepsTheCanvasUnderSeeThroughPixels) {
  TBitmap target(50, 50);
  auto still = Load(Bytes("im_transparent.gif"));
  ASSERT_TRUE(still);
  EXPECT_FALSE(still->Visible);  // the factory leaves showing to the document
  still->SetVisible(true);
  still->Draw(target.Canvas(), 0, 0, 42, 38);
  EXPECT_EQ(target.Pixel(4, 4) & 0xFFFFFF, RGB(0, 0, 255));
  EXPECT_EQ(target.Pixel(41, 1) & 0xFFFFFF, clWhite);
  EXPECT_EQ(target.Pixel(20, 18) & 0xFFFFFF, RGB(255, 0, 0));
  EXPECT_EQ(still->ScreenRect.Width, 42);

  TBitmap page(6, 3);
  auto animation = Load(Bytes("gb_disposals.gif"));
  ASSERT_TRUE(animation);
  animation->SetVisible(true);
  animation->SetCurrentFrame(2);
  animation->Draw(page.Canvas(), 0, 0, 6, 3);
  EXPECT_EQ(page.Pixel(1, 0) & 0xFFFFFF, RGB(0, 255, 0));
  EXPECT_EQ(page.Pixel(2, 0) & 0xFFFFFF, RGB(255, 0, 0));
  EXPECT_EQ(page.Pixel(5, 0) & 0xFFFFFF, clWhite);
  animation->SetVisible(false);
  TBitmap hidden(6, 3);
  animation->Draw(hidden.Canvas(), 0, 0, 6, 3);
  EXPECT_EQ(hidden.Pixel(1, 0) & 0xFFFFFF, clWhite);
}

TEST(GIFDecoder, MinimumCodeSizeOneDecodesAndAboveElevenIsAnError) {
  const std::vector<uint8_t> pixels = {1, 0, 0, 1, 1, 1};
  const std::string header = GIFHeader(3, 2, {0x000000, 0xFFFFFF});
  auto image = Load(header + GIFImage(0, 0, 3, 2, pixels, 1) + test::kGIFTrailer);
  ASSERT_TRUE(image);
  const PixelImage& picture = *image->Frame(1).frBitmap;
  for (int i = 0; i < 6; ++i) EXPECT_EQ(picture.PixelIndex(i % 3, i / 3), pixels[i]) << i;
  // Clear code 4096 and an end code past the tables.
  const std::string descriptor(",\0\0\0\0\3\0\2\0\0", 10);
  EXPECT_FALSE(Load(header + descriptor + test::LZWData(12, {4096, 1, 4097}, 13, 255) + ";"));
  EXPECT_FALSE(Load(header + descriptor + test::LZWData(0, {1, 0, 2}, 1, 255) + ";"));
}

TEST(GIFDecoder, CodesSpanningOneByteSubBlocksDecode) {
  std::vector<uint8_t> pixels(50);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 5);
  // 9-bit codes in 1-byte sub-blocks: every code spans two or three blocks.
  auto image = Load(GIFHeader(10, 5, std::vector<uint32_t>(256, 0x102030)) + GIFImage(0, 0, 10, 5, pixels, 8, 1) + ";");
  ASSERT_TRUE(image);
  const PixelImage& picture = *image->Frame(1).frBitmap;
  for (int i = 0; i < 50; ++i) EXPECT_EQ(picture.PixelIndex(i % 10, i / 10), pixels[i]) << i;
}

TEST(GIFDecoder, PixelsAndTransparentIndexBeyondTheTableAreSafe) {
  const std::string file = GIFHeader(2, 1, {0xFF0000, 0x00FF00}) + GraphicControl(0, 0, 200) +
                           GIFImage(0, 0, 2, 1, {250, 1}) + ";";
  auto image = Load(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Frame(1).frBitmap->PixelColor(0, 0), (TRGB{0, 0, 0}));
  EXPECT_EQ(image->Frame(1).frBitmap->PixelColor(1, 0), (TRGB{0, 255, 0}));
  EXPECT_EQ(image->Frame(1).frTransColor, (TRGB{0, 0, 0}));
  EXPECT_EQ(image->GetMaskedBitmap()->PixelIndex(0, 0), 0);
}

TEST(GIFDecoder, GraphicControlWithAWrongSizeByteIsIgnored) {
  const std::string header = GIFHeader(1, 1, {0xFF0000, 0x00FF00});
  auto image = Load(header + GraphicControl(2, 50, 1, 3) + GIFImage(0, 0, 1, 1, {1}) + ";");
  ASSERT_TRUE(image);
  EXPECT_FALSE(image->Frame(1).frTransparent);
  EXPECT_EQ(image->Frame(1).frDelay, 0);
  auto longer = Load(header + GraphicControl(5, 50, 1, 6) + GIFImage(0, 0, 1, 1, {1}) + ";");
  ASSERT_TRUE(longer);
  EXPECT_EQ(longer->Frame(1).frDisposal, 2);  // 5 acts as 2
  EXPECT_EQ(longer->Frame(1).frDelay, 500);
  EXPECT_TRUE(longer->Frame(1).frTransparent);
}

TEST(GIFDecoder, ZeroAreaFrameKeepsItsPlaceAndDelay) {
  const std::string file = GIFHeader(2, 2, {0xFF0000, 0x00FF00}) + GraphicControl(0, 10, -1) +
                           GIFImage(0, 0, 2, 2, {1, 1, 1, 1}) + GraphicControl(0, 30, -1) +
                           GIFImage(1, 1, 0, 0, {}) + GraphicControl(0, 20, -1) + GIFImage(0, 0, 1, 1, {0}) + ";";
  auto image = Load(file);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->NumFrames, 3);
  EXPECT_EQ(image->Frame(2).frDelay, 300);
  EXPECT_TRUE(Picture(*image, 2).Empty());
  image->SetCurrentFrame(2);
  image->SetCurrentFrame(3);
  EXPECT_EQ(image->FrameBuffer().PixelColor(0, 0), (TRGB{255, 0, 0}));
  EXPECT_EQ(image->FrameBuffer().PixelColor(1, 1), (TRGB{0, 255, 0}));
}

TEST(GIFDecoder, UnknownExtensionEndsTheReadingAfterEarlierFrames) {
  const std::string header = GIFHeader(1, 1, {0xFF0000, 0x00FF00});
  const std::string frame = GIFImage(0, 0, 1, 1, {1});
  auto image = Load(header + frame + frame + std::string("\x21\x42\x01x\0", 5) + frame + ";");
  ASSERT_TRUE(image);
  EXPECT_EQ(image->NumFrames, 2);
  EXPECT_FALSE(Load("GIF89a"));
  EXPECT_FALSE(Load(header + ";"));  // no image at all
  EXPECT_FALSE(Load("PNG89a" + frame));
}

TEST(GIFDecoder, PaletteScreensMapFileColoursToTheViewerPalette) {
  SetColorBits(8);
  const std::string header = GIFHeader(2, 1, {0xFE0000, 0x0000FE, 0, 0});
  auto still = Load(header + GIFImage(0, 0, 2, 1, {0, 1}) + ";");
  auto animated = Load(header + GIFImage(0, 0, 2, 1, {0, 1}) + GIFImage(0, 0, 2, 1, {1, 0}) + ";");
  SetColorBits(24);
  ASSERT_TRUE(still);
  ASSERT_TRUE(animated);
  EXPECT_TRUE(still->Dither);  // a still image is dithered
  EXPECT_EQ(still->Frame(1).frBitmap->Palette.size(), 256u);
  EXPECT_EQ(still->Frame(1).frBitmap->PixelColor(0, 0), (TRGB{255, 0, 0}));
  EXPECT_FALSE(animated->Dither);  // frames of an animation are mapped
  EXPECT_EQ(Picture(*animated, 1).PixelColor(0, 0), (TRGB{255, 0, 0}));
  EXPECT_EQ(Picture(*animated, 2).PixelColor(0, 0), (TRGB{0, 0, 255}));
}

TEST(GIFDecoder, LoadsFromStreamsAndFilesWithOrWithoutPixels) {
  const std::string file = GIFHeader(2, 1, {0xFF0000, 0x00FF00}) + GIFImage(0, 0, 2, 1, {0, 1}) +
                           GIFImage(0, 0, 2, 1, {1, 0}) + ";";
  TStringStream stream("junk" + file);
  stream.SetPosition(4);
  TGIFImage image;
  image.LoadFromStream(stream, true);
  EXPECT_EQ(image.NumFrames, 2);
  EXPECT_FALSE(image.Frame(1).frBitmap);  // the pixels were skipped

  test::TempDir dir;
  test::WriteFile(dir.File("a.gif"), file);
  TGIFImage full;
  full.LoadFromFile(dir.File("a.gif"));
  EXPECT_TRUE(full.Animated);
  EXPECT_EQ(full.FrameBuffer().PixelColor(1, 0), (TRGB{0, 255, 0}));

  test::WriteFile(dir.File("b.gif"), "GIF89a");
  TGIFImage broken;
  EXPECT_THROW(broken.LoadFromFile(dir.File("b.gif")), EOutOfMemory);
  EXPECT_THROW(broken.LoadFromFile(dir.File("missing.gif")), Exception);
}

// Frame 2 (restore to background) is drawn and taken away again; frame 3
// keeps frames. Drawn one after the other on a page that nothing repaints,
// frame 3 shows the page where frame 2 was, not frame 2's leftovers.
TEST(GIFDecoder, KeptFramesDrawOverTheBackgroundSavedAtTheFirstFrame) {
  const std::string file = GIFHeader(4, 1, {0xFF0000, 0x00FF00, 0xFFFFFF, 0x123456}) + GraphicControl(1, 10, 3) +
                           GIFImage(0, 0, 4, 1, {0, 3, 3, 3}) + GraphicControl(2, 10, 3) + GIFImage(1, 0, 1, 1, {1}) +
                           GraphicControl(1, 10, 3) + GIFImage(0, 0, 4, 1, {3, 3, 2, 3}) + ";";
  auto image = Load(file);
  ASSERT_TRUE(image);
  image->SetVisible(true);
  TBitmap page(8, 2);
  page.Canvas().Brush().Color = clBlue;
  page.Canvas().FillRect(Rect(0, 0, 8, 2));
  auto row = [&] {
    std::vector<TColor> pixels;
    for (int x = 0; x < 8; x += 2) pixels.push_back(page.Pixel(x, 1) & 0xFFFFFF);
    return pixels;
  };
  image->Draw(page.Canvas(), 0, 0, 8, 2);  // drawn at twice the size
  EXPECT_EQ(row(), (std::vector<TColor>{clRed, clBlue, clBlue, clBlue}));
  image->SetCurrentFrame(2);
  image->Draw(page.Canvas(), 0, 0, 8, 2);
  EXPECT_EQ(row(), (std::vector<TColor>{clRed, clLime, clBlue, clBlue}));
  image->SetCurrentFrame(3);
  image->Draw(page.Canvas(), 0, 0, 8, 2);
  EXPECT_EQ(row(), (std::vector<TColor>{clRed, clBlue, clWhite, clBlue}));
}

TEST(GIFDecoder, CurrentBitmapOnAPaletteScreenUsesTheViewerPalette) {
  const std::string file = GIFHeader(2, 1, {0xFE0000, 0x0000FE}) + GraphicControl(0, 0, 1) +
                           GIFImage(0, 0, 2, 1, {0, 1}) + ";";
  auto deep = Load(file);
  ASSERT_TRUE(deep);
  const PixelImage* colors = deep->GetCurrentBitmap();
  ASSERT_TRUE(colors);
  EXPECT_EQ(colors->Format(), PixelDepth::k24Bit);
  EXPECT_EQ(colors->PixelColor(1, 0), (TRGB{0, 0, 254}));  // the see-through colour as the file has it

  SetColorBits(8);
  auto image = Load(file);
  ASSERT_TRUE(image);
  const PixelImage* current = image->GetCurrentBitmap();
  const std::vector<TRGB> viewer = PaletteColors(ThePalette());
  SetColorBits(24);
  ASSERT_TRUE(current);
  EXPECT_EQ(current->Format(), PixelDepth::k8Bit);
  EXPECT_EQ(current->Palette, viewer);
  EXPECT_EQ(current->PixelColor(0, 0), (TRGB{255, 0, 0}));
  EXPECT_EQ(current->PixelColor(1, 0), (TRGB{0, 0, 255}));
}

}  // namespace
}  // namespace lark
