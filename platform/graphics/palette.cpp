#include "platform/graphics/palette.h"

#include <algorithm>
#include <limits>

#include "platform/graphics/canvas.h"

namespace lark {
namespace {

// The static colours of the system palette: ten at the start, ten at the end.
constexpr PALETTEENTRY kStaticColors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0}};

}  // namespace

HPALETTE CreatePalette(const std::vector<PALETTEENTRY>& entries) {
  if (entries.empty()) return nullptr;
  auto data = std::make_shared<TPaletteData>();
  data->Entries.assign(entries.begin(), entries.begin() + std::min<size_t>(entries.size(), 256));
  return data;
}

int GetPaletteEntries(const HPALETTE& palette, int start, int count, PALETTEENTRY* entries) {
  if (!palette || start < 0) return 0;
  const int size = int(palette->Entries.size());
  int copied = 0;
  for (int i = start; i < size && copied < count; ++i, ++copied)
    if (entries) entries[copied] = palette->Entries[size_t(i)];
  return entries ? copied : size;
}

int GetNearestPaletteIndex(const HPALETTE& palette, TColor color) {
  if (!palette || palette->Entries.empty()) return -1;
  const TColor rgb = ColorToRGB(color);
  int best = 0;
  long best_distance = std::numeric_limits<long>::max();
  for (size_t i = 0; i < palette->Entries.size(); ++i) {
    const PALETTEENTRY& e = palette->Entries[i];
    const long dr = e.peRed - GetRValue(rgb), dg = e.peGreen - GetGValue(rgb), db = e.peBlue - GetBValue(rgb);
    const long distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = int(i);
    }
  }
  return best;
}

HPALETTE DefaultPalette() {
  static const HPALETTE palette =
      CreatePalette(std::vector<PALETTEENTRY>(std::begin(kStaticColors), std::end(kStaticColors)));
  return palette;
}

int GetSystemPaletteEntries(TCanvas&, int start, int count, PALETTEENTRY* entries) {
  std::vector<PALETTEENTRY> system(256);
  std::copy(kStaticColors, kStaticColors + 10, system.begin());
  std::copy(kStaticColors + 10, kStaticColors + 20, system.begin() + 246);
  const HPALETTE palette = CreatePalette(system);
  return GetPaletteEntries(palette, start, count, entries);
}

HPALETTE SelectPalette(TCanvas& canvas, const HPALETTE& palette, bool) {
  HPALETTE previous = canvas.State().Palette;
  canvas.State().Palette = palette;
  return previous;
}

int RealizePalette(TCanvas&) { return 0; }

}  // namespace lark
