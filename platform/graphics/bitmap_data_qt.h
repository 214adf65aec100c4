#pragma once

// Layer internal: the pixels behind a TBitmap.

#include <QImage>
#include <memory>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

namespace lark::detail {

struct BitmapData {
  QImage image;  // never reassigned as a whole object: the canvas's device points at it
  TPixelFormat format = pfDevice;
  TBitmapHandleType handleType = bmDDB;
  HPALETTE palette;  // kept with a bitmap deeper than 8 bits
  std::unique_ptr<TCanvas> canvas;
};

// A blank image of the format whose pixels live in PixelMemory (all bits
// zero until written); a null image for an empty size. Raises
// EOutOfResources "Out of system resources" when the memory cannot be had.
QImage NewImage(int width, int height, QImage::Format format);

// The image in 32-bit form for reading pixels; 1-bit images map 0 to
// zero_color and 1 to one_color (the colour table when not given).
QImage ToRgb32(const QImage& image);
QImage MonoToRgb32(const QImage& image, uint32_t zero_color, uint32_t one_color);

}  // namespace lark::detail
