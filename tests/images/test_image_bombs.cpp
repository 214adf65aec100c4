// Small files that announce huge pictures are refused from their headers:
// nothing large is allocated for them, and the log says why.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "html/image_loader.h"
#include "images/gif_image.h"
#include "images/png_image.h"
#include "platform/graphics/jpeg_image.h"
#include "tests/images/gif_builder.h"
#include "tests/images/reference_gif.h"
#include "tests/images/reference_png.h"
#include "tests/images/test_files.h"

namespace lark {
namespace {

// A field of /proc/self/status in kB.
int64_t StatusKB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stoll(line.substr(field.size() + 1));
  return -1;
}

// How far the resident set's peak rises above what was resident before
// `work` ran: the memory it touched, whether it was freed again or not.
int64_t PeakGrowthMB(const std::function<void()>& work) {
  const int64_t before = StatusKB("VmRSS");
  std::ofstream("/proc/self/clear_refs") << "5";  // restarts the peak from here
  work();
  return (StatusKB("VmHWM") - before) / 1024;
}

class ImageBombs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = new test::TempDir;
    ASSERT_TRUE(test::Run("/usr/bin/python3 " LARK_IMAGE_SCRIPTS "/make_bombs.py " + Dir->Path()));
  }
  static void TearDownTestSuite() {
    delete Dir;
    Dir = nullptr;
  }
  static std::string Bytes(const std::string& name) { return test::ReadFile(Dir->File(name)); }
  static inline test::TempDir* Dir = nullptr;
};

std::unique_ptr<TBitmap> LoadStill(const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  TTransparency transparent = trNone;
  std::unique_ptr<TBitmap> mask;
  return LoadImageFromStream(&stream, transparent, mask);
}

std::unique_ptr<TGIFImage> LoadGIF(const std::string& bytes) {
  bool nonAnimated = false;
  return CreateAGifFromStream(nonAnimated, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST_F(ImageBombs, StillImagesAreRefusedBeforeAllocating) {
  for (const char* name : {"bomb_wide_rgba16.png", "bomb_rle8_wide.bmp"}) {
    SCOPED_TRACE(name);
    const std::string bytes = Bytes(name);
    testing::internal::CaptureStderr();
    std::unique_ptr<TBitmap> bitmap;
    EXPECT_LT(PeakGrowthMB([&] { bitmap = LoadStill(bytes); }), 16);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(bitmap);
    EXPECT_NE(log.find("too large"), std::string::npos) << log;
  }
  try {
    TPNGImage png;
    png.LoadFromString(Bytes("bomb_wide_rgba16.png"));
    ADD_FAILURE() << "the wide PNG loaded";
  } catch (const EPNGImageException& e) {
    EXPECT_NE(std::string(e.what()).find(png_text::kTooLarge), std::string::npos);
  }
  test::ReferencePNG reference;  // libpng's own width limit (a million) refuses it too
  EXPECT_FALSE(test::DecodeWithLibpng(Bytes("bomb_wide_rgba16.png"), reference));
  // A JPEG wider than the limit, which libjpeg itself would decode.
  TBitmap wide(40000, 2);
  TJPEGImage jpeg;
  jpeg.Assign(wide);
  TMemoryStream jpegBytes;
  jpeg.SaveToStream(jpegBytes);
  EXPECT_FALSE(LoadStill(std::string(jpegBytes.Bytes())));
}

// Frames their data cannot fill end the reading before anything is made for
// them; a file whose frames would fill more than the animation's budget is
// refused from the header pass.
TEST_F(ImageBombs, GIFsAreRefusedBeforeAllocating) {
  for (const char* name : {"bomb_two_frames.gif", "bomb_300_frames.gif", "bomb_small_screen.gif", "bomb_budget.gif"}) {
    SCOPED_TRACE(name);
    const std::string bytes = Bytes(name);
    testing::internal::CaptureStderr();
    std::unique_ptr<TGIFImage> image;
    EXPECT_LT(PeakGrowthMB([&] { image = LoadGIF(bytes); }), 16);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(image);
    EXPECT_NE(log.find("larkspan: image not shown: The GIF image"), std::string::npos) << log;
    test::ReferenceGIF reference;
    std::printf("%s: giflib %s it\n", name, test::DecodeWithGiflib(bytes, reference) ? "decodes" : "refuses");
  }
}

// A truncated frame after a complete one keeps the complete one.
TEST_F(ImageBombs, FramesAfterAnUnfillableOneAreDropped) {
  const std::string good = Bytes("bomb_small_screen.gif").substr(0, 13 + 6);  // header and global table
  std::string file = good + "," + std::string("\0\0\0\0\2\0\1\0\0", 9) + "\x08\x03\x01\x01\x01" + std::string(1, '\0');
  file += std::string(",\0\0\0\0\0\x04\0\x02\0", 10) + "\x08\x01\x01" + std::string(1, '\0') + ";";
  const auto image = LoadGIF(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->NumFrames, 1);
}

// Pictures within the limits but mostly empty: the memory they take is what
// their pixels need once, with no second copy, and nothing for the parts
// of an animation's screen that no frame covers.
TEST_F(ImageBombs, SparsePicturesTouchOnlyWhatTheyNeed) {
  // Two one-pixel frames in the corners of a 6324 x 6324 screen (120 MB
  // composed, twice with the copy that plays).
  const std::string gif = test::GIFHeader(6324, 6324, {0x000000, 0xFF0000}) + test::GraphicControl(1, 10, 0) +
                          test::GIFImage(0, 0, 1, 1, {1}) + test::GraphicControl(1, 10, 0) +
                          test::GIFImage(6323, 6323, 1, 1, {1}) + test::kGIFTrailer;
  EXPECT_LT(PeakGrowthMB([&] {
              const auto image = LoadGIF(gif);
              ASSERT_TRUE(image);
              const auto copy = TGIFImage::CreateCopy(*image);
              copy->SetCurrentFrame(2);
              EXPECT_EQ(copy->FrameBuffer().PixelColor(6323, 6323), (TRGB{255, 0, 0}));
            }),
            40);
  // A 4352 x 5888 run-length bitmap of one run: its 24 MiB of indices and
  // 98 MiB on a 32-bit screen, each once.
  std::string bmp = "BM" + std::string(12, '\0');
  auto put32 = [&bmp](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = char(value >> (8 * i));
  };
  bmp += std::string(40 + 16 * 4, '\0') + std::string("\x10\x12\0\x01", 4);
  put32(10, 14 + 40 + 64);
  put32(14, 40);
  put32(18, 4352);
  put32(22, 5888);
  put32(26, 1 | 4 << 16);  // planes, bits
  put32(30, 2);            // run-length coded, 4 bits
  put32(14 + 40 + 4, 0xFFFFFF);
  std::unique_ptr<TBitmap> bitmap;
  EXPECT_LT(PeakGrowthMB([&] { bitmap = LoadStill(bmp); }), 140);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->Pixel(0, 5887), clWhite);  // the run alternates indices 1 and 2
  EXPECT_EQ(bitmap->Pixel(16, 5887), clBlack);
}

}  // namespace
}  // namespace lark
