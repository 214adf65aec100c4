#include "images/display_palette.h"

#include <algorithm>
#include <climits>

namespace lark {

namespace {

int gColorBits = 24;
std::vector<TRGB> gThePalette;

}  // namespace

int ColorBits() { return gColorBits; }

void SetColorBits(int bitsPerPixel) {
  gColorBits = bitsPerPixel < 5 ? 4 : bitsPerPixel > 8 ? 24 : 8;
  gThePalette = gColorBits == 8 ? MakeViewerPalette() : std::vector<TRGB>();
}

const std::vector<TRGB>& ThePalette() { return gThePalette; }

const std::vector<TRGB>& StockPalette() {
  static const std::vector<TRGB> colors = {
      {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  return colors;
}

std::vector<TRGB> MakeViewerPalette() {
  std::vector<TRGB> palette(256);
  const std::vector<TRGB>& stock = StockPalette();
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
  return palette;
}

std::vector<TRGB> CopyPalette(const std::vector<TRGB>& palette) {
  if (gColorBits > 8) return {};
  return std::vector<TRGB>(palette.begin(), palette.begin() + std::min<size_t>(palette.size(), 256));
}

int GetNearestPaletteIndex(const std::vector<TRGB>& palette, TRGB color) {
  int best = -1;
  int bestDistance = INT_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    const int dr = palette[i].R - color.R;
    const int dg = palette[i].G - color.G;
    const int db = palette[i].B - color.B;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}

}  // namespace lark
