#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "html/image_cache.h"
#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"

namespace lark {

// The format of image data, recognised by its first bytes.
enum TImageFormat { ifNone = 0, ifBmp = 1, ifGif = 2, ifGif89 = 3, ifPng = 4, ifJpeg = 5 };

// Reads only the bytes there are: data too short for a signature is ifNone.
[[nodiscard]] TImageFormat GetImageType(const uint8_t* buffer, size_t size);

// Whether a PNG names see-through colours: an RGB or palette image with a
// tRNS chunk before its image data. The stream's position is kept.
[[nodiscard]] bool IsTransparentPng(TStream& stream);

// Decode a BMP, PNG or JPEG into a bitmap fitted to the screen, with the mask
// that `Transparent` asks for (trCorner) or the PNG supplies (trPngPalette).
// Null, and no mask, for GIF data (the GIF decoder reads that), for other or
// broken data, for images above the pixel limit, and for streams under 20
// bytes; nothing raised.
[[nodiscard]] std::unique_ptr<TBitmap> LoadImageFromStream(TMemoryStream* stream, TTransparency& Transparent,
                                                           std::unique_ptr<TBitmap>& AMask);
// The same for a file; null when it does not exist.
[[nodiscard]] std::unique_ptr<TBitmap> LoadImageFromFile(const std::string& FileName, TTransparency& Transparent,
                                                         std::unique_ptr<TBitmap>& AMask);

// A monochrome bitmap of the image's size, white where the image has the
// see-through colour: `color` when given, else the lower-left pixel's.
[[nodiscard]] std::unique_ptr<TBitmap> GetImageMask(const TBitmap& image, bool colorGiven, TColor color);

// Fits a decoded bitmap to the screen's depth: a 24-bit screen draws every
// depth, so the bitmap stays as it is (indexed ones keep a byte a pixel); on
// palette screens pictures are reduced to the screen's palette.
[[nodiscard]] std::unique_ptr<TBitmap> ConvertImage(std::unique_ptr<TBitmap> bitmap);

// The process-wide pictures: an image still to come, an image not obtained
// (with its mask), and the marker stream that answers "later".
[[nodiscard]] TBitmap& DefBitmap();
[[nodiscard]] TBitmap& ErrorBitmap();
[[nodiscard]] TBitmap& ErrorBitmapMask();
[[nodiscard]] TMemoryStream& WaitStream();

// Once per process, when the document engine starts: the screen's depth and
// palette, the PNG format with the picture class, and the document cursors (1 and 2 from cursor resources 1003 and
// 1006, 3-5 the named up/down cursors) in the screen's cursor table.
void StartImageUnit();

}  // namespace lark
