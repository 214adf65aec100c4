#include "images/pixel_image.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/core/exception.h"

namespace lark {

int BitsPerPixel(PixelDepth format) {
  switch (format) {
    case PixelDepth::k1Bit: return 1;
    case PixelDepth::k4Bit: return 4;
    case PixelDepth::k8Bit: return 8;
    case PixelDepth::k24Bit: return 24;
  }
  return 24;
}

size_t PaddedRowBytes(int64_t width, int bits) {
  return static_cast<size_t>((width * bits + 31) / 32 * 4);
}

void PixelImage::Resize(int width, int height, PixelDepth format) {
  if (width < 0 || height < 0 || width > kMaxGraphicSide || height > kMaxGraphicSide ||
      int64_t{width} * height > kMaxGraphicPixels)
    throw Exception("The image is too large to be shown.");
  Width_ = width;
  Height_ = height;
  Format_ = format;
  RowBytes_ = PaddedRowBytes(width, BitsPerPixel(format));
  Pixels_ = PixelMemory(RowBytes_ * height);
}

PixelImage::PixelImage(const PixelImage& source) { *this = source; }

PixelImage& PixelImage::operator=(const PixelImage& source) {
  if (this == &source) return *this;
  Resize(source.Width_, source.Height_, source.Format_);
  if (source.Pixels_.Bytes()) std::memcpy(Pixels_.Bytes(), source.Pixels_.Bytes(), RowBytes_ * Height_);
  Palette = source.Palette;
  Transparent = source.Transparent;
  TransparentColor = source.TransparentColor;
  return *this;
}

int RowPixelIndex(const uint8_t* row, PixelDepth format, int x) {
  switch (format) {
    case PixelDepth::k1Bit: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case PixelDepth::k4Bit: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case PixelDepth::k8Bit: return row[x];
    case PixelDepth::k24Bit: return 0;
  }
  return 0;
}

void SetRowPixelIndex(uint8_t* row, PixelDepth format, int x, int index) {
  switch (format) {
    case PixelDepth::k1Bit: {
      const uint8_t bit = 0x80 >> (x & 7);
      row[x >> 3] = index ? row[x >> 3] | bit : row[x >> 3] & ~bit;
      break;
    }
    case PixelDepth::k4Bit:
      row[x >> 1] = (x & 1) ? (row[x >> 1] & 0xF0) | (index & 0x0F)
                            : (row[x >> 1] & 0x0F) | ((index & 0x0F) << 4);
      break;
    case PixelDepth::k8Bit: row[x] = static_cast<uint8_t>(index); break;
    case PixelDepth::k24Bit: break;
  }
}

int PixelImage::PixelIndex(int x, int y) const { return RowPixelIndex(ScanLine(y), Format_, x); }

void PixelImage::SetPixelIndex(int x, int y, int index) { SetRowPixelIndex(ScanLine(y), Format_, x, index); }

TRGB PixelImage::PixelColor(int x, int y) const {
  if (Format_ == PixelDepth::k24Bit) {
    const uint8_t* p = ScanLine(y) + x * 3;
    return {p[2], p[1], p[0]};
  }
  const size_t index = PixelIndex(x, y);
  return index < Palette.size() ? Palette[index] : TRGB{};
}

void PixelImage::ReadRow24(int row, uint8_t* out) const {
  if (Format_ == PixelDepth::k24Bit) {
    std::copy_n(ScanLine(row), size_t(Width_) * 3, out);
    return;
  }
  if (Format_ == PixelDepth::k8Bit) {  // the common case, without a call a pixel
    const uint8_t* indices = ScanLine(row);
    const TRGB* colors = Palette.data();
    const size_t count = Palette.size();
    for (int x = 0; x < Width_; ++x, out += 3) {
      const TRGB color = indices[x] < count ? colors[indices[x]] : TRGB{};
      out[0] = color.B;
      out[1] = color.G;
      out[2] = color.R;
    }
    return;
  }
  for (int x = 0; x < Width_; ++x, out += 3) {
    const TRGB color = PixelColor(x, row);
    out[0] = color.B;
    out[1] = color.G;
    out[2] = color.R;
  }
}

}  // namespace lark
