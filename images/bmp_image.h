#pragma once

#include <cstddef>
#include <cstdint>

#include "images/pixel_image.h"

namespace lark {

// Reads a Windows bitmap file held in memory: 1-, 4- and 8-bit palette
// images (plain or run-length coded) stay indexed; 16-, 24- and 32-bit ones
// (plain or with bit fields) become 24-bit. Every header field is checked against the data and the
// pixel limit; raises Exception for anything it cannot read safely.
[[nodiscard]] PixelImage ReadBMP(const uint8_t* data, size_t size);

}  // namespace lark
