#pragma once

#include <algorithm>
#include <cstdint>

namespace lark {

// Every length a page gives is clamped to a million pixels, but a document
// adds them up: thousands of margins one after the other, paddings nested
// hundreds deep. Positions and heights in a document therefore saturate at
// 2^30 pixels either way, far beyond any page, so that the sum of any two of
// them (or of one and a clamped length) still fits an int.
constexpr int kMaxDocumentCoordinate = 1 << 30;

// `value` held within the document's range.
[[nodiscard]] constexpr int ClampCoordinate(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, -kMaxDocumentCoordinate, kMaxDocumentCoordinate));
}

// The saturating sum of document positions and lengths.
template <typename... Ints>
[[nodiscard]] constexpr int SumCoordinates(Ints... values) {
  return ClampCoordinate((std::int64_t{0} + ... + static_cast<std::int64_t>(values)));
}

}  // namespace lark
