#pragma once

#include <vector>

#include "images/pixel_image.h"

namespace lark {

// The screen's colour depth as the image code sees it, reduced to 4, 8 or 24.
// Screens here are 24-bit; tests lower it to exercise the palette paths.
[[nodiscard]] int ColorBits();
// Sets the depth (below 5 becomes 4, above 8 becomes 24, else 8) and rebuilds
// ThePalette to match.
void SetColorBits(int bitsPerPixel);
// The viewer palette: 256 entries on an 8-bit screen, empty otherwise.
[[nodiscard]] const std::vector<TRGB>& ThePalette();

// The system's 20 static colours: indexes 0-9 and 246-255 of a full palette.
[[nodiscard]] const std::vector<TRGB>& StockPalette();
// The 256-entry viewer palette: the static colours, a 215-colour cube and 21
// greys.
[[nodiscard]] std::vector<TRGB> MakeViewerPalette();
// A copy of `palette` for a palette screen; none when ColorBits exceeds 8.
[[nodiscard]] std::vector<TRGB> CopyPalette(const std::vector<TRGB>& palette);
// The entry nearest to `color` by squared distance in RGB (the lowest index
// on a tie); -1 for an empty palette.
[[nodiscard]] int GetNearestPaletteIndex(const std::vector<TRGB>& palette, TRGB color);

}  // namespace lark
