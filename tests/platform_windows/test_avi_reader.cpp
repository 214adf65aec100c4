#include <gtest/gtest.h>

#include <cstring>

#include "platform/graphics/avi_reader.h"
#include "tests/platform_windows/avi_samples.h"

namespace lark {
namespace {

using namespace avi_samples;

class AviReader : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTool("ffmpeg") || !HaveTool("convert")) GTEST_SKIP() << "ffmpeg and ImageMagick make the test clips";
  }

  // Every frame of the clip equals what ffmpeg decodes from the same file.
  static void ExpectSameAsFfmpeg(const TempDir& dir, const std::string& path, int frames) {
    TAviClip clip(ReadFile(path));
    const std::vector<Frame> reference = DecodeWithFfmpeg(dir, path, clip.Width(), clip.Height());
    ASSERT_EQ(clip.FrameCount(), frames);
    ASSERT_EQ(int(reference.size()), frames);
    for (int i = 0; i < frames; ++i) EXPECT_EQ(clip.Frame(i), reference[std::size_t(i)]) << "frame " << i + 1;
  }

  static std::string ErrorOf(const std::string& file) {
    try {
      TAviClip clip(file);
    } catch (const EInvalidAvi& error) {
      return error.Message;
    }
    return "";
  }

  // Three drawings whose squares move, so every frame differs.
  static std::vector<std::string> MovingSquare() {
    return {"-fill blue -draw 'rectangle 2,2 9,9'", "-fill blue -draw 'rectangle 20,2 27,9'",
            "-fill white -draw 'circle 15,12 20,12'"};
  }

  TempDir dir_;
};

TEST_F(AviReader, UncompressedClipsOfEveryDepthDecodeAsFfmpegDoes) {
  // An odd width, so rows carry padding.
  for (const char* format : {"bgr24", "bgra", "pal8", "rgb555le"}) {
    SCOPED_TRACE(format);
    const std::string path = TestPatternClip(dir_, format, 31, 17, 4, 10);
    ExpectSameAsFfmpeg(dir_, path, 4);
    TAviClip clip(ReadFile(path));
    EXPECT_EQ(clip.Width(), 31);
    EXPECT_EQ(clip.Height(), 17);
    EXPECT_EQ(clip.FrameDelay(), 100'000u);
  }
}

TEST_F(AviReader, BottomUpRowsAreTurnedOver) {
  // ffmpeg writes rows top down (a negative height); the usual bottom-up
  // layout is the same file with the height's sign turned.
  std::string file = ReadFile(TestPatternClip(dir_, "bgr24", 20, 12, 2, 25));
  const std::size_t format = file.find("strf") + 8;
  std::int32_t height = 0;
  std::memcpy(&height, file.data() + format + 8, 4);
  ASSERT_EQ(height, -12);
  height = 12;
  std::memcpy(file.data() + format + 8, &height, 4);
  WriteFile(dir_.File("bottom-up.avi"), file);
  ExpectSameAsFfmpeg(dir_, dir_.File("bottom-up.avi"), 2);
  EXPECT_EQ(TAviClip(file).FrameDelay(), 40'000u);
}

TEST_F(AviReader, RunLengthClipsDecodeAsFfmpegDoes) {
  const std::string path = RunLengthClip(dir_, 31, 17, MovingSquare(), 8);
  ExpectSameAsFfmpeg(dir_, path, 3);
  EXPECT_EQ(TAviClip(ReadFile(path)).FrameDelay(), 125'000u);
}

// A delta frame only touches what its runs reach: a jump, one run, then the
// end of the picture. The rest of the frame before stays.
TEST_F(AviReader, RunLengthDeltaFramesBuildOnTheFrameBefore) {
  RunLengthClip(dir_, 31, 17, MovingSquare(), 8);
  const BitmapParts first = SplitBitmapFile(ReadFile(dir_.File("coded0.bmp")));
  AviWriter writer(first.format, 100'000);
  writer.AddFrame(first.pixels);
  writer.AddFrame(std::string("\x00\x02\x05\x03\x06\x01\x00\x01", 8));  // jump (5,3), 6 x index 1, end
  writer.AddFrame(std::string("\x00\x00\x04\x02\x00\x01", 6));          // end of line, 4 x index 2, end
  WriteFile(dir_.File("delta.avi"), writer.Build());
  ExpectSameAsFfmpeg(dir_, dir_.File("delta.avi"), 3);

  // Stepping back decodes from the start again and gives the same frames.
  TAviClip clip(ReadFile(dir_.File("delta.avi")));
  const Frame third = clip.Frame(2);
  const Frame firstAgain = clip.Frame(0);
  EXPECT_NE(firstAgain, third);
  EXPECT_EQ(clip.Frame(2), third);
}

TEST_F(AviReader, AFrameWithoutDataRepeatsTheOneBefore) {
  AviWriter writer(BitmapInfoHeader(2, 2, 24, 0), 50'000);
  writer.AddFrame(std::string("\x00\x00\xFF\x00\xFF\x00\0\0\xFF\x00\x00\xFF\xFF\xFF\0\0", 16));
  writer.AddFrame("");
  TAviClip clip(writer.Build());
  ASSERT_EQ(clip.FrameCount(), 2);
  // Bottom-up rows: the second row of the data is the top one.
  EXPECT_EQ(clip.Frame(0), (Frame{0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00}));
  EXPECT_EQ(clip.Frame(1), clip.Frame(0));
}

TEST_F(AviReader, DamagedAndUnsupportedFilesAreRefusedWithTheirReason) {
  const std::string good = ReadFile(TestPatternClip(dir_, "bgr24", 16, 8, 3, 10));
  const std::string frame24(16 * 8 * 3, '\x40');
  auto clipOf = [&](std::string format, std::vector<std::string> frames, std::uint32_t delay = 100'000) {
    AviWriter writer(std::move(format), delay);
    for (const std::string& frame : frames) writer.AddFrame(frame);
    return writer.Build();
  };
  AviWriter withSound(BitmapInfoHeader(16, 8, 24, 0), 100'000);
  withSound.AddFrame(frame24);
  withSound.AddAudioStream();
  std::string hugeChunk = good;
  const std::uint32_t huge = 0x7FFFFFF0;
  std::memcpy(hugeChunk.data() + good.find("movi") + 4 + 4, &huge, 4);  // the first frame's size

  const struct {
    const char* what;
    std::string file;
    const char* reason;
  } cases[] = {
      {"empty", "", "Not an AVI file"},
      {"wave file", std::string("RIFF\x04\0\0\0WAVE", 12), "Not an AVI file"},
      {"cut short", good.substr(0, good.size() / 2), "AVI file is truncated"},
      {"chunk past its parent", hugeChunk, "AVI file is truncated"},
      {"sound", withSound.Build(), "AVI files with sound are not supported"},
      {"other codec", clipOf(BitmapInfoHeader(16, 8, 24, 0x47504A4D), {frame24}),
       "AVI frames coded as 'MJPG' are not supported"},
      {"4-bit", clipOf(BitmapInfoHeader(16, 8, 4, 0), {std::string(64, '\0')}),
       "AVI frames of 4 bits per pixel are not supported"},
      {"run-length 4-bit", clipOf(BitmapInfoHeader(16, 8, 4, 2), {std::string("\0\1", 2)}),
       "AVI frames coded as 2 are not supported"},
      {"too large", clipOf(BitmapInfoHeader(100000, 100000, 24, 0), {}), "AVI frames of 100000x100000 pixels are too large"},
      {"no size", clipOf(BitmapInfoHeader(0, 8, 24, 0), {frame24}), "AVI frame size is not valid"},
      {"short frame", clipOf(BitmapInfoHeader(16, 8, 24, 0), {frame24, frame24.substr(1)}), "AVI frame 2 is damaged"},
      {"run cut short", clipOf(BitmapInfoHeader(16, 8, 8, 1), {std::string("\x00\x05\x01\x02", 4)}),
       "AVI frame 1 is damaged"},
      {"no end marker", clipOf(BitmapInfoHeader(16, 8, 8, 1), {std::string("\x10\x01", 2)}), "AVI frame 1 is damaged"},
      {"no frames", clipOf(BitmapInfoHeader(16, 8, 24, 0), {}), "AVI file has no frames"},
      {"too many frames", clipOf(BitmapInfoHeader(1, 1, 8, 0), std::vector<std::string>(4097, std::string(4, '\0'))),
       "AVI files of more than 4096 frames are not supported"},
      {"no frame rate", clipOf(BitmapInfoHeader(16, 8, 24, 0), {frame24}, 0), "AVI file has no frame rate"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.file), c.reason) << c.what;
  EXPECT_EQ(ErrorOf(good), "");
}

TEST_F(AviReader, RunsAndJumpsPastThePictureAreClipped) {
  // A run longer than its row, literal pixels past the right edge, then a
  // jump far outside: every pixel is written once, nothing outside.
  const std::string palette = std::string(4, '\0') + std::string(1020, '\x11');
  AviWriter writer(BitmapInfoHeader(4, 2, 8, 1) + palette, 100'000);
  writer.AddFrame(std::string("\xFF\x01\x00\x00\x00\x05\x01\x01\x01\x01\x01\x00\x00\x02\xFF\xFF", 16));
  TAviClip clip(writer.Build());
  EXPECT_EQ(clip.Frame(0), Frame(8, 0xFF111111u));
}

}  // namespace
}  // namespace lark
