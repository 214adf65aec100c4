#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/graphics_exceptions.h"

namespace lark {

// An AVI file that cannot be played; the message says why.
class EInvalidAvi : public EInvalidGraphic {
 public:
  using EInvalidGraphic::EInvalidGraphic;
};

// Limits on what a clip may ask for, checked before anything is allocated.
inline constexpr std::size_t kMaxAviFileSize = 64u << 20;
inline constexpr int kMaxAviFrames = 4096;
inline constexpr long long kMaxAviFramePixels = 2048LL * 2048;

// A silent clip of one video stream, as the desktop's animation control
// plays them: frames uncompressed (8 bits through the stream's palette, 16
// bits as 5-5-5, 24 or 32 bits) or run-length coded at 8 bits. The whole file
// is checked when the clip is made, every frame's data included, so decoding
// a frame later cannot fail.
class TAviClip {
 public:
  // Raises EInvalidAvi for anything else or anything damaged or truncated.
  explicit TAviClip(std::string file);

  [[nodiscard]] int FrameCount() const { return static_cast<int>(frames_.size()); }
  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  // How long each frame shows, in microseconds.
  [[nodiscard]] std::uint32_t FrameDelay() const { return frame_delay_; }

  // Frame `index` (0-based) as Width() x Height() pixels 0xFFRRGGBB, top row
  // first; valid until the next call. Run-length frames change only what
  // their runs reach, so each builds on the one before: stepping forward is
  // cheap, stepping back decodes again from the first frame. A frame with
  // no data repeats the one before.
  [[nodiscard]] const std::vector<std::uint32_t>& Frame(int index);

 private:
  struct FrameData {
    std::size_t offset = 0;
    std::size_t size = 0;
  };
  class Parser;

  void Restart();
  void DecodeUncompressed(const FrameData& frame);
  void ApplyRunLengthFrame(const FrameData& frame);
  void IndicesToPixels();

  std::string file_;
  int width_ = 0;
  int height_ = 0;
  bool top_down_ = false;
  int bits_ = 0;
  bool run_length_ = false;
  std::uint32_t frame_delay_ = 0;
  std::vector<std::uint32_t> palette_;  // 256 entries, 0xFFRRGGBB
  std::vector<FrameData> frames_;

  int decoded_ = -1;  // the frame the buffers hold
  std::vector<std::uint8_t> indices_;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace lark
