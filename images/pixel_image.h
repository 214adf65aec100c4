#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/pixel_memory.h"

namespace lark {

// One palette entry or colour, in the order a reader thinks of it.
struct TRGB {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;
  bool operator==(const TRGB&) const = default;
};

// The bitmap depths the decoders produce. 24-bit rows hold B, G, R per pixel,
// as a device-independent bitmap does; 1- and 4-bit rows put the leftmost
// pixel in the most significant bits.
enum class PixelDepth { k1Bit, k4Bit, k8Bit, k24Bit };

[[nodiscard]] int BitsPerPixel(PixelDepth format);

// Pictures from files keep within the platform's limits on pixels, width,
// height, row bytes and decoded bytes (kMaxGraphic*). An animation keeps
// every frame's 8-bit picture plus its 24-bit composed buffer: together at
// most this many bytes.
inline constexpr int64_t kMaxAnimationBytes = 160'000'000;

// Exact pixels of one decoded picture: rows top-down, each padded to a
// multiple of 4 bytes, with the palette of the indexed formats. The decoders
// fill it; the image loader turns it into the display's bitmap.
class PixelImage {
 public:
  PixelImage() = default;
  PixelImage(int width, int height, PixelDepth format) { Resize(width, height, format); }
  PixelImage(const PixelImage& source);
  PixelImage& operator=(const PixelImage& source);
  PixelImage(PixelImage&&) noexcept = default;
  PixelImage& operator=(PixelImage&&) noexcept = default;

  // Sizes the pixel store (all zero, see PixelMemory: pages no pixel is
  // written to are never touched, so a large composed buffer under a few
  // small frames costs only what they cover). Refuses negative sizes and pictures
  // beyond the kMaxGraphic* limits with an Exception.
  void Resize(int width, int height, PixelDepth format);

  [[nodiscard]] int Width() const { return Width_; }
  [[nodiscard]] int Height() const { return Height_; }
  [[nodiscard]] bool Empty() const { return Width_ == 0 || Height_ == 0; }
  [[nodiscard]] PixelDepth Format() const { return Format_; }
  [[nodiscard]] size_t RowBytes() const { return RowBytes_; }

  [[nodiscard]] uint8_t* ScanLine(int row) { return Pixels_.Bytes() + row * RowBytes_; }
  [[nodiscard]] const uint8_t* ScanLine(int row) const { return Pixels_.Bytes() + row * RowBytes_; }

  // The palette index (indexed formats) of a pixel; 0 for 24-bit pictures.
  [[nodiscard]] int PixelIndex(int x, int y) const;
  void SetPixelIndex(int x, int y, int index);
  // The colour a pixel shows: through the palette for indexed formats (black
  // for an index beyond it).
  [[nodiscard]] TRGB PixelColor(int x, int y) const;
  // Row `row` as 24-bit B, G, R pixels into `out` (3 x Width bytes).
  void ReadRow24(int row, uint8_t* out) const;

  std::vector<TRGB> Palette;
  // A colour key: pixels of this colour are see-through.
  bool Transparent = false;
  TRGB TransparentColor;

 private:
  int Width_ = 0;
  int Height_ = 0;
  PixelDepth Format_ = PixelDepth::k24Bit;
  size_t RowBytes_ = 0;
  PixelMemory Pixels_;
};

// Bytes of one row of `width` pixels at `bits` per pixel, padded to 4 bytes.
[[nodiscard]] size_t PaddedRowBytes(int64_t width, int bits);

// The palette index of pixel `x` of an indexed row, and its setter.
[[nodiscard]] int RowPixelIndex(const uint8_t* row, PixelDepth format, int x);
void SetRowPixelIndex(uint8_t* row, PixelDepth format, int x, int index);

}  // namespace lark
