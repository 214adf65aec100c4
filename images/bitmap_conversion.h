#pragma once

#include <memory>

#include "images/pixel_image.h"
#include "platform/graphics/bitmap.h"

namespace lark {

// The decoders keep exact pixels in their own buffers; these hand them to the
// platform's bitmaps and back. Indexed pictures stay indexed with their
// palette; a colour key becomes the bitmap's fixed transparent colour.
[[nodiscard]] std::unique_ptr<TBitmap> ToBitmap(const PixelImage& image);
// Indexed bitmaps keep their indexes; every other format becomes 24-bit.
[[nodiscard]] PixelImage FromBitmap(const TBitmap& bitmap);

}  // namespace lark
