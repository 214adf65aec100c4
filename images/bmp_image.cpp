#include "images/bmp_image.h"

#include <algorithm>
#include <bit>

#include "platform/core/exception.h"

namespace lark {

namespace {

const char kInvalid[] = "Bitmap image is not valid";

uint32_t Read16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t Read32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }

// One colour channel of a bit-field pixel, widened to 8 bits by repeating
// its bits (5-bit 11111 becomes 11111111).
class Channel {
 public:
  explicit Channel(uint32_t mask)
      : Mask_(mask), Shift_(mask ? std::countr_zero(mask) : 0), Width_(std::popcount(mask)) {}
  [[nodiscard]] uint8_t Of(uint32_t pixel) const {
    if (Width_ == 0) return 0;
    const uint32_t value = (pixel & Mask_) >> Shift_;
    if (Width_ >= 8) return static_cast<uint8_t>(value >> (Width_ - 8));
    uint32_t wide = 0;
    for (int at = 8 - Width_; at > -Width_; at -= Width_) wide |= at >= 0 ? value << at : value >> -at;
    return static_cast<uint8_t>(wide);
  }

 private:
  uint32_t Mask_;
  int Shift_;
  int Width_;
};

// Run-length coded 8- or 4-bit pixels (bottom-up): pairs of a count and a
// colour, or an escape (0, then 0 end of line, 1 end of bitmap, 2 a move by
// two further bytes, n >= 3 a run of n literal pixels padded to two bytes).
// Everything is bounded by the data and the picture; pixels not reached stay 0.
void DecodeRLE(const uint8_t* data, size_t size, int bits, PixelImage& image) {
  const PixelDepth depth = image.Format();
  int x = 0, y = image.Height() - 1;
  auto put = [&](int index) {
    if (x < image.Width() && y >= 0) SetRowPixelIndex(image.ScanLine(y), depth, x, index);
    ++x;
  };
  auto nibble = [&](uint8_t byte, int i) { return bits == 8 ? byte : (i % 2 ? byte & 0x0F : byte >> 4); };
  size_t pos = 0;
  while (pos + 2 <= size && y >= 0) {
    const int count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count && x < image.Width(); ++i) put(nibble(uint8_t(value), i));
    } else if (value == 0) {
      x = 0;
      --y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (pos + 2 > size) return;
      x += data[pos];
      y -= data[pos + 1];
      pos += 2;
    } else {
      const size_t bytes = bits == 8 ? size_t(value) : (size_t(value) + 1) / 2;
      if (pos + bytes > size) return;
      for (int i = 0; i < value && x < image.Width(); ++i) put(nibble(data[pos + (bits == 8 ? i : i / 2)], i));
      pos += (bytes + 1) & ~size_t{1};
    }
  }
}

}  // namespace

PixelImage ReadBMP(const uint8_t* data, size_t size) {
  if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') throw Exception(kInvalid);
  const uint32_t bitsOffset = Read32(data + 10);
  const uint32_t headerSize = Read32(data + 14);
  if (headerSize < 12 || headerSize > size - 14) throw Exception(kInvalid);
  const uint8_t* header = data + 14;
  const bool core = headerSize == 12;
  if (!core && headerSize < 40) throw Exception(kInvalid);
  // Sizes are signed in the long header (a negative height means top-down).
  const int64_t width = core ? int64_t{Read16(header + 4)} : int64_t{static_cast<int32_t>(Read32(header + 4))};
  const int64_t rawHeight = core ? int64_t{Read16(header + 6)} : int64_t{static_cast<int32_t>(Read32(header + 8))};
  const int bitCount = static_cast<int>(Read16(header + (core ? 10 : 14)));
  const uint32_t compression = core ? 0 : Read32(header + 16);
  const bool topDown = rawHeight < 0;
  const int64_t height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width * height > kMaxImagePixels) throw Exception(kInvalid);
  const bool bitFields = compression == 3 && (bitCount == 16 || bitCount == 32);
  const bool runLength = (compression == 1 && bitCount == 8) || (compression == 2 && bitCount == 4);
  if (compression != 0 && !bitFields && !runLength) throw Exception(kInvalid);

  const bool indexed = bitCount == 1 || bitCount == 4 || bitCount == 8;
  if (!indexed && bitCount != 16 && bitCount != 24 && bitCount != 32) throw Exception(kInvalid);
  const PixelDepth depth = bitCount == 1 ? PixelDepth::k1Bit
                           : bitCount == 4 ? PixelDepth::k4Bit
                           : bitCount == 8 ? PixelDepth::k8Bit
                                           : PixelDepth::k24Bit;
  const size_t rowBytes = PaddedRowBytes(width, bitCount);
  if (bitsOffset > size || (!runLength && rowBytes * height > size - bitsOffset)) throw Exception(kInvalid);

  PixelImage image(static_cast<int>(width), static_cast<int>(height), depth);
  size_t tablePos = 14 + headerSize;
  if (indexed) {
    const uint32_t used = core ? 0 : Read32(header + 32);
    const size_t entries = std::min<size_t>(used ? used : 1u << bitCount, 1u << bitCount);
    const size_t entrySize = core ? 3 : 4;
    for (size_t i = 0; i < entries && tablePos + entrySize <= bitsOffset; ++i, tablePos += entrySize)
      image.Palette.push_back({data[tablePos + 2], data[tablePos + 1], data[tablePos]});
    image.Palette.resize(size_t{1} << bitCount);
  }
  if (runLength) {
    if (topDown) throw Exception(kInvalid);  // coded bitmaps are bottom-up by definition
    DecodeRLE(data + bitsOffset, size - bitsOffset, bitCount, image);
    return image;
  }
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (bitCount == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  if (bitFields) {
    const size_t at = headerSize >= 52 ? 14 + 40 : tablePos;
    if (at + 12 > size) throw Exception(kInvalid);
    for (int i = 0; i < 3; ++i) masks[i] = Read32(data + at + 4 * i);
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  for (int64_t row = 0; row < height; ++row) {
    const uint8_t* source = data + bitsOffset + row * rowBytes;
    uint8_t* target = image.ScanLine(static_cast<int>(topDown ? row : height - 1 - row));
    if (indexed || bitCount == 24) {
      std::copy_n(source, indexed ? (width * bitCount + 7) / 8 : width * 3, target);
      continue;
    }
    for (int64_t x = 0; x < width; ++x, target += 3) {
      const uint32_t pixel = bitCount == 16 ? Read16(source + 2 * x) : Read32(source + 4 * x);
      target[0] = blue.Of(pixel);
      target[1] = green.Of(pixel);
      target[2] = red.Of(pixel);
    }
  }
  return image;
}

}  // namespace lark
