#pragma once

#include <memory>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/color.h"
#include "platform/graphics/geometry.h"

namespace lark {

class TCanvas;

// The document's background picture tiled over the paint surface so that it
// scrolls with the document: tile (0, 0) lies at the document's origin. The
// tile is drawn once (through its mask over the background colour when it
// has one) into a block of whole tiles, and the block is copied over the
// clip rectangle: the same pixels as drawing every tile, but a 1 x 1 tile
// costs a few dozen copies per paint instead of one per pixel.
class TPageBackground {
 public:
  // Fills `clip` with the picture's tiles, or with `color` when there is no
  // picture (none, or one with no pixels: tiling it would never end).
  // scrollX, scrollY: the document's offsets at the surface's origin.
  void Draw(TCanvas& canvas, const TRect& clip, const TBitmap* picture, const TBitmap* mask, TColor color,
            int scrollX, int scrollY);
  // The picture may be freed: forget the block made from it.
  void Reset();

 private:
  void MakeBlock(const TBitmap& picture, const TBitmap* mask, TColor color);

  std::unique_ptr<TBitmap> block_;
  const TBitmap* blockPicture_ = nullptr;  // what the block was made from
  const TBitmap* blockMask_ = nullptr;
  TColor blockColor_ = clNone;
  int tileWidth_ = 0, tileHeight_ = 0;
};

}  // namespace lark
