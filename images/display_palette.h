#pragma once

#include <vector>

#include "images/pixel_image.h"
#include "platform/graphics/palette.h"

namespace lark {

// The screen's colour depth as the image code sees it, reduced to 4, 8 or 24.
// Screens here are 24-bit; tests lower it to exercise the palette paths.
[[nodiscard]] int ColorBits();
// Sets the depth (below 5 becomes 4, above 8 becomes 24, else 8) and rebuilds
// ThePalette to match.
void SetColorBits(int bitsPerPixel);
// The viewer palette: 256 entries on an 8-bit screen, null otherwise.
[[nodiscard]] const HPALETTE& ThePalette();

// The 256-entry viewer palette: the system palette's static colours, a
// 215-colour cube and 21 greys.
[[nodiscard]] HPALETTE MakeViewerPalette();
// A new palette with the entries of `palette` for a palette screen; none when
// ColorBits exceeds 8.
[[nodiscard]] HPALETTE CopyPalette(const HPALETTE& palette);

// A palette's entries as colours (none for a null palette), and back.
[[nodiscard]] std::vector<TRGB> PaletteColors(const HPALETTE& palette);
[[nodiscard]] HPALETTE MakePalette(const std::vector<TRGB>& colors);

}  // namespace lark
