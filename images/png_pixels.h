#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/pixel_image.h"
#include "images/png_image.h"

namespace lark {

// Bytes of one complete pixel, the distance at which the filters look left
// (1 for depths below 8).
[[nodiscard]] int FilterBytesPerPixel(int colorType, int bitDepth);
// Bytes of one unfiltered row of `width` pixels, without the filter byte.
[[nodiscard]] uint64_t PNGRowBytes(int colorType, int bitDepth, uint64_t width);
// Bytes the image data inflates to: every row of every pass with its filter
// byte.
[[nodiscard]] uint64_t PNGImageDataBytes(int colorType, int bitDepth, uint64_t width, uint64_t height,
                                         bool interlaced);
// Raises unless the colour type and depth are a combination PNG defines.
void CheckColorTypeAndDepth(int colorType, int bitDepth);
// The bitmap depth that holds pixels of this colour type and depth.
[[nodiscard]] PixelDepth PNGBitmapFormat(int colorType, int bitDepth);

// Undoes one row's filter in place against the row above (`prior`, zeros for
// the first row of a pass); raises for an unknown filter type.
void Unfilter(int filterType, uint8_t* row, const uint8_t* prior, size_t rowBytes, int bytesPerPixel);

struct PNGPixelSource {
  const TChunkIHDR* Header = nullptr;
  const uint8_t* Data = nullptr;  // the zlib stream of every IDAT
  size_t Size = 0;
  const uint8_t* Gamma = nullptr;  // 256 entries, or none
  const TPNGProgressEvent* OnProgress = nullptr;
  // For colour types 4 and 6: a 1-bit mask of the bitmap's size, all 0,
  // that gets a 1 wherever alpha is below half.
  PixelImage* AlphaMask = nullptr;
};

// Inflates, unfilters and converts the image data into `bitmap`, which is
// already sized and has its palette. The zlib stream must end (its Adler-32
// sum checked) within the data. Raises on short or corrupt data.
void DecodePNGPixels(const PNGPixelSource& source, PixelImage& bitmap);

// The filtered rows of `bitmap` (written as colour type 2 depth 8 for 24-bit
// bitmaps, else as palette indexes at the bitmap's depth), each led by the
// filter type the writer's heuristic picked among `filters`.
[[nodiscard]] std::vector<uint8_t> FilterPNGRows(const PixelImage& bitmap, uint8_t filters,
                                                 const uint8_t* inverseGamma);

}  // namespace lark
