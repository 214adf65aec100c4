#include "viewer/page_background.h"

#include <cstdint>

#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"

namespace lark {

namespace {

// Blocks are at least this many pixels a side (whole tiles), so that the
// copies per paint stay few whatever the tile's size.
constexpr int kMinBlockSide = 256;

int BlockSide(int tile) { return tile * ((kMinBlockSide + tile - 1) / tile); }

// The first multiple of `step` past `origin` at or before `from`.
int FirstStart(int origin, int from, int step) {
  const std::int64_t distance = static_cast<std::int64_t>(from) - origin;
  std::int64_t steps = distance / step;
  if (distance < 0 && distance % step != 0) --steps;
  return static_cast<int>(origin + steps * step);
}

}  // namespace

void TPageBackground::MakeBlock(const TBitmap& picture, const TBitmap* mask, TColor color) {
  tileWidth_ = picture.Width();
  tileHeight_ = picture.Height();
  // One tile as it shows on the page: through its mask over the colour
  // (SRCINVERT, SRCAND with the mask, SRCINVERT leaves the page where the
  // mask is white), else the picture itself.
  TBitmap tile(tileWidth_, tileHeight_);
  TCanvas& t = tile.Canvas();
  const TRect whole = Rect(0, 0, tileWidth_, tileHeight_);
  if (mask) {
    t.Brush().Color = color;
    t.Brush().Style = bsSolid;
    t.FillRect(whole);
    auto& source = const_cast<TBitmap&>(picture).Canvas();
    BitBlt(t, 0, 0, tileWidth_, tileHeight_, &source, 0, 0, SRCINVERT);
    BitBlt(t, 0, 0, tileWidth_, tileHeight_, &const_cast<TBitmap*>(mask)->Canvas(), 0, 0, SRCAND);
    BitBlt(t, 0, 0, tileWidth_, tileHeight_, &source, 0, 0, SRCINVERT);
  } else {
    BitBlt(t, 0, 0, tileWidth_, tileHeight_, &const_cast<TBitmap&>(picture).Canvas(), 0, 0, SRCCOPY);
  }
  const int blockWidth = BlockSide(tileWidth_), blockHeight = BlockSide(tileHeight_);
  block_ = std::make_unique<TBitmap>(blockWidth, blockHeight);
  TCanvas& b = block_->Canvas();
  // Each copy doubles what is filled, so a 1 x 1 tile takes 16 copies.
  BitBlt(b, 0, 0, tileWidth_, tileHeight_, &t, 0, 0, SRCCOPY);
  for (int w = tileWidth_; w < blockWidth; w *= 2)
    BitBlt(b, w, 0, std::min(w, blockWidth - w), tileHeight_, &b, 0, 0, SRCCOPY);
  for (int h = tileHeight_; h < blockHeight; h *= 2)
    BitBlt(b, 0, h, blockWidth, std::min(h, blockHeight - h), &b, 0, 0, SRCCOPY);
  blockPicture_ = &picture;
  blockMask_ = mask;
  blockColor_ = color;
}

void TPageBackground::Draw(TCanvas& canvas, const TRect& clip, const TBitmap* picture, const TBitmap* mask,
                           TColor color, int scrollX, int scrollY) {
  if (clip.Right <= clip.Left || clip.Bottom <= clip.Top) return;
  if (!picture || picture->Width() <= 0 || picture->Height() <= 0) {
    canvas.Brush().Color = color;
    canvas.Brush().Style = bsSolid;
    canvas.FillRect(clip);
    return;
  }
  if (!block_ || blockPicture_ != picture || blockMask_ != mask || (mask && blockColor_ != color) ||
      tileWidth_ != picture->Width() || tileHeight_ != picture->Height())
    MakeBlock(*picture, mask, color);
  const int blockWidth = block_->Width(), blockHeight = block_->Height();
  // Tile (0, 0) sits at the document's origin, wherever the view is scrolled.
  const int startX = FirstStart(-scrollX, clip.Left, blockWidth);
  const int startY = FirstStart(-scrollY, clip.Top, blockHeight);
  for (int y = startY; y < clip.Bottom; y += blockHeight)
    for (int x = startX; x < clip.Right; x += blockWidth)
      BitBlt(canvas, x, y, blockWidth, blockHeight, &block_->Canvas(), 0, 0, SRCCOPY);
}

void TPageBackground::Reset() {
  block_.reset();
  blockPicture_ = nullptr;
  blockMask_ = nullptr;
}

}  // namespace lark
