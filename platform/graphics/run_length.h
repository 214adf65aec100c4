#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lark {

// Run-length coded palette indices as Windows bitmaps and AVI clips store
// them (8 or 4 bits a pixel, rows bottom up, runs, literals, end of line,
// end of picture and delta jumps).
enum class TRunLengthDepth { Bits8, Bits4 };

// Where decoded indices go: one byte a pixel, `rows` pointing at the top row
// and `stride` bytes between rows. Null `rows` only checks the data.
struct TIndexRaster {
  std::uint8_t* rows = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;
};

// Applies coded pixels onto `target`. Pixels the runs never reach (skipped
// by a delta, an early end of line or an early end of the picture) keep what
// the target held, so a caller decides what they show: a bitmap clears them
// first, an animation keeps the frame before. Runs past a row's end are
// clipped; nothing is written outside the target. False for data that stops
// before the picture ends (inside a run, or without an end marker).
[[nodiscard]] bool ApplyRunLength(std::string_view data, TRunLengthDepth depth, const TIndexRaster& target);

}  // namespace lark
