#include "images/display_palette.h"

namespace lark {

namespace {

int gColorBits = 24;
HPALETTE gThePalette;

}  // namespace

int ColorBits() { return gColorBits; }

void SetColorBits(int bitsPerPixel) {
  gColorBits = bitsPerPixel < 5 ? 4 : bitsPerPixel > 8 ? 24 : 8;
  gThePalette = gColorBits == 8 ? MakeViewerPalette() : nullptr;
}

const HPALETTE& ThePalette() { return gThePalette; }

HPALETTE MakeViewerPalette() {
  const std::vector<TRGB> stock = PaletteColors(DefaultPalette());
  std::vector<TRGB> palette(256);
  for (int i = 0; i < 10; ++i) {
    palette[i] = stock[i];
    palette[246 + i] = stock[10 + i];
  }
  static constexpr uint8_t kLevels[6] = {55, 115, 165, 205, 235, 255};
  int index = 10;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        if (r < 5 || g < 5 || b < 5) palette[index++] = {kLevels[r], kLevels[g], kLevels[b]};
  for (int n = 1; n <= 24; ++n) {
    if (n == 7 || n == 15 || n == 21) continue;  // the cube has these greys already
    const auto level = static_cast<uint8_t>(130 + 5 * n);
    palette[index++] = {level, level, level};
  }
  return MakePalette(palette);
}

HPALETTE CopyPalette(const HPALETTE& palette) {
  if (gColorBits > 8 || !palette) return nullptr;
  return CreatePalette(palette->Entries);
}

std::vector<TRGB> PaletteColors(const HPALETTE& palette) {
  std::vector<TRGB> colors;
  if (!palette) return colors;
  for (const PALETTEENTRY& entry : palette->Entries) colors.push_back({entry.peRed, entry.peGreen, entry.peBlue});
  return colors;
}

HPALETTE MakePalette(const std::vector<TRGB>& colors) {
  std::vector<PALETTEENTRY> entries;
  for (const TRGB& color : colors) entries.push_back({color.R, color.G, color.B, 0});
  return CreatePalette(entries);
}

}  // namespace lark
