#include "images/bitmap_conversion.h"

#include <algorithm>
#include <cstring>

#include "images/display_palette.h"

namespace lark {

namespace {

TPixelFormat BitmapFormat(PixelDepth depth) {
  switch (depth) {
    case PixelDepth::k1Bit: return pf1bit;
    case PixelDepth::k4Bit: return pf4bit;
    case PixelDepth::k8Bit: return pf8bit;
    case PixelDepth::k24Bit: return pf24bit;
  }
  return pf24bit;
}

}  // namespace

std::unique_ptr<TBitmap> ToBitmap(const PixelImage& image) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(BitmapFormat(image.Format()));
  bitmap->SetSize(image.Width(), image.Height());
  if (image.Format() != PixelDepth::k24Bit) {
    std::vector<TRGB> colors = image.Palette;
    colors.resize(size_t{1} << BitsPerPixel(image.Format()));
    bitmap->SetPalette(MakePalette(colors));
  }
  if (image.Empty()) return bitmap;  // no rows to copy from or into
  const int width = image.Width();
  for (int y = 0; y < image.Height(); ++y) {
    auto* target = static_cast<uint8_t*>(bitmap->ScanLine(y));
    const uint8_t* source = image.ScanLine(y);
    switch (image.Format()) {
      case PixelDepth::k1Bit: std::memcpy(target, source, (size_t(width) + 7) / 8); break;
      case PixelDepth::k4Bit:  // the bitmap keeps a byte per 4-bit pixel
        for (int x = 0; x < width; ++x) target[x] = static_cast<uint8_t>(RowPixelIndex(source, PixelDepth::k4Bit, x));
        break;
      case PixelDepth::k8Bit: std::memcpy(target, source, size_t(width)); break;
      case PixelDepth::k24Bit: std::memcpy(target, source, size_t(width) * 3); break;
    }
  }
  if (image.Transparent) {
    bitmap->SetTransparentColor(RGB(image.TransparentColor.R, image.TransparentColor.G, image.TransparentColor.B));
    bitmap->SetTransparent(true);
  }
  return bitmap;
}

PixelImage FromBitmap(const TBitmap& bitmap) {
  const TPixelFormat format = bitmap.PixelFormat();
  const PixelDepth depth = format == pf1bit   ? PixelDepth::k1Bit
                           : format == pf4bit ? PixelDepth::k4Bit
                           : format == pf8bit ? PixelDepth::k8Bit
                                              : PixelDepth::k24Bit;
  PixelImage image(bitmap.Width(), bitmap.Height(), depth);
  if (depth != PixelDepth::k24Bit) image.Palette = PaletteColors(bitmap.Palette());
  if (image.Empty()) return image;
  const int width = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const auto* source = static_cast<const uint8_t*>(bitmap.ScanLine(y));
    uint8_t* target = image.ScanLine(y);
    switch (depth) {
      case PixelDepth::k1Bit: std::memcpy(target, source, (size_t(width) + 7) / 8); break;
      case PixelDepth::k4Bit:
        for (int x = 0; x < width; ++x) SetRowPixelIndex(target, PixelDepth::k4Bit, x, source[x]);
        break;
      case PixelDepth::k8Bit: std::memcpy(target, source, size_t(width)); break;
      case PixelDepth::k24Bit:
        if (format == pf24bit) {
          std::memcpy(target, source, size_t(width) * 3);
          break;
        }
        if (format == pf32bit || format == pfDevice) {  // blue, green, red, 0xFF
          for (int x = 0; x < width; ++x) std::memcpy(target + x * 3, source + x * 4, 3);
          break;
        }
        for (int x = 0; x < width; ++x) {
          const TColor color = bitmap.Pixel(x, y);
          target[x * 3] = static_cast<uint8_t>(GetBValue(color));
          target[x * 3 + 1] = static_cast<uint8_t>(GetGValue(color));
          target[x * 3 + 2] = static_cast<uint8_t>(GetRValue(color));
        }
        break;
    }
  }
  return image;
}

}  // namespace lark
