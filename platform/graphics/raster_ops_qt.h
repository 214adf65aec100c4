#pragma once

// Layer internal: raster operations done pixel by pixel, so that bitmaps and
// window surfaces get exactly the result a device context gives.

#include <QImage>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <optional>

namespace lark::detail {

// The ternary raster operation `rop` on 24-bit values of pattern, source
// and destination.
uint32_t ApplyRop3(unsigned rop, uint32_t pattern, uint32_t source, uint32_t dest);

// A 24-bit colour value never equals this: no transparent colour.
constexpr uint32_t kNoTransparentColor = 0x1000000;

// Stretches source_rect of source (RGB32) onto dest_rect of target (RGB32)
// with the raster operation, mirrored across or down when asked.
// Source pixels of the transparent colour leave the target alone.
// Shrinking in BLACKONWHITE (WHITEONBLACK) mode ANDs (ORs) the dropped
// pixels in, HALFTONE averages them, COLORONCOLOR drops them.
void RasterBlt(QImage& target, const QRect& dest_rect, bool mirror_x, bool mirror_y,
               const std::optional<QRegion>& clip,
               const QImage& source, const QRect& source_rect, unsigned rop, int stretch_mode,
               uint32_t pattern, uint32_t transparent = kNoTransparentColor);

// Combines the pixels of the rectangle (within the clip) with a pattern
// colour by a raster operation that reads no source.
void PatternBlt(QImage& target, const QRect& rect, const std::optional<QRegion>& clip, unsigned rop,
                uint32_t pattern);

// The pixels to visit: rect within the image and the clip.
QRegion VisibleArea(const QImage& target, const QRect& rect, const std::optional<QRegion>& clip);

}  // namespace lark::detail
