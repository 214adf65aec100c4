#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/color.h"

namespace lark {

class TCanvas;

struct PALETTEENTRY {
  uint8_t peRed = 0;
  uint8_t peGreen = 0;
  uint8_t peBlue = 0;
  uint8_t peFlags = 0;
  bool operator==(const PALETTEENTRY&) const = default;
};

struct TPaletteData {
  std::vector<PALETTEENTRY> Entries;
};
// A logical palette. Palettes never change once made, so they are shared.
using HPALETTE = std::shared_ptr<const TPaletteData>;

// Null for an empty list; at most 256 entries are kept.
[[nodiscard]] HPALETTE CreatePalette(const std::vector<PALETTEENTRY>& entries);
// Copies up to count entries from start; returns how many were copied.
int GetPaletteEntries(const HPALETTE& palette, int start, int count, PALETTEENTRY* entries);
// The entry closest to the colour (sum of squared differences, first on a tie).
[[nodiscard]] int GetNearestPaletteIndex(const HPALETTE& palette, TColor color);
// The stock default palette: the 20 static colours of the system palette.
[[nodiscard]] HPALETTE DefaultPalette();
// The 256-entry system palette: the 20 static colours at 0-9 and 246-255.
int GetSystemPaletteEntries(TCanvas& canvas, int start, int count, PALETTEENTRY* entries);

// Screens are 24-bit, so a selected palette only matters to the code that
// asked for it: SelectPalette returns the previous one and RealizePalette
// maps nothing.
HPALETTE SelectPalette(TCanvas& canvas, const HPALETTE& palette, bool force_background);
int RealizePalette(TCanvas& canvas);

}  // namespace lark
