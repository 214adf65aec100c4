#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace lark::avi_samples {

using test::HaveTool;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

using Frame = std::vector<std::uint32_t>;  // 0xFFRRGGBB, top row first

// ffmpeg's test pattern as an uncompressed AVI in the given pixel format
// (bgr24, bgra, rgb555le, pal8).
std::string TestPatternClip(const TempDir& dir, const std::string& pixelFormat, int width, int height, int frames,
                            int framesPerSecond);

// Frames drawn by ImageMagick (each a list of drawing arguments on a red
// canvas), made into an uncompressed 24-bit AVI by ffmpeg.
std::string DrawnClip(const TempDir& dir, int width, int height, const std::vector<std::string>& frameDrawings,
                      int framesPerSecond);

// The same drawings as 8-bit run-length coded bitmaps (ImageMagick, one
// shared palette), put into an AVI container by AviWriter.
std::string RunLengthClip(const TempDir& dir, int width, int height, const std::vector<std::string>& frameDrawings,
                          int framesPerSecond);

// What ffmpeg decodes from a clip: every stored frame, none dropped or
// repeated.
std::vector<Frame> DecodeWithFfmpeg(const TempDir& dir, const std::string& clip, int width, int height);

// Builds AVI files chunk by chunk, for run-length frames from bitmaps and
// for files no tool writes (damaged ones, ones with sound).
class AviWriter {
 public:
  // `format` is the stream format: a bitmap info header and any palette.
  AviWriter(std::string format, std::uint32_t microSecondsPerFrame);
  void AddFrame(const std::string& data) { frames_.push_back(data); }
  void AddAudioStream() { audio_ = true; }
  [[nodiscard]] std::string Build() const;

 private:
  std::string format_;
  std::uint32_t micro_seconds_;
  std::vector<std::string> frames_;
  bool audio_ = false;
};

// A bitmap info header for a stream format.
std::string BitmapInfoHeader(int width, int height, int bits, std::uint32_t compression);

// A run-length bitmap file's pieces: its info header plus palette, and its
// coded pixels.
struct BitmapParts {
  std::string format;
  std::string pixels;
};
BitmapParts SplitBitmapFile(const std::string& bmp);

}  // namespace lark::avi_samples
