#include "html/block_background.h"

#include "html/document_utils.h"
#include "images/bitmap_conversion.h"
#include "images/display_palette.h"
#include "images/gif_image.h"
#include "platform/graphics/gdi.h"

namespace lark {

namespace {

// The offset of the picture inside the box along one axis.
int Place(const PositionRec& pos, int room, int size) {
  switch (pos.PosType) {
    case pCenter: return (room - size) / 2;
    case pRight:
    case pBottom: return room - size;
    case pPercent: return (room - size) * pos.Value / 100;
    case pDim: return pos.Value;
    default: return 0;
  }
}

bool IsIndexed(TPixelFormat format) { return format == pf1bit || format == pf4bit || format == pf8bit; }

// The first tile position at or before `from` of tiles of `size` through `origin`.
int FirstTile(int origin, int from, int size) {
  const int steps = (origin - from + size - 1) / size;
  return origin - (steps > 0 ? steps : 0) * size;
}

}  // namespace

TBlockBackground::~TBlockBackground() {
  if (list_ && !key_.empty()) list_->ReleaseImage(key_);
}

void TBlockBackground::Fetch(TSectionList& list) {
  if (fetched_ || !list.ShowImages || Name.empty()) return;
  fetched_ = true;
  list_ = &list;
  TTransparency transparent = trNone;
  bool fromCache = false, delay = false;
  const TCachedImage image = list.GetTheBitmap(Name, transparent, fromCache, delay);
  if (!image) return;
  key_ = ImageCacheKey(Name);
  if (image.Bitmap) {
    picture_ = image.Bitmap;
    mask_ = image.Mask;
  } else if (image.Gif->GetBitmap()) {
    frame_ = ToBitmap(*image.Gif->GetBitmap());
    picture_ = frame_.get();
    if (image.Gif->IsTransparent && image.Gif->GetMaskedBitmap()) {
      frameMask_ = ToBitmap(*image.Gif->GetMaskedBitmap());
      mask_ = frameMask_.get();
    }
  }
  if (picture_ && ColorBits() == 24 && IsIndexed(picture_->PixelFormat())) {
    // Indexed pictures are converted where they are drawn, and a background
    // draws its picture once per tile: convert it once here instead.
    screenCopy_ = std::make_unique<TBitmap>();
    screenCopy_->Assign(*picture_);
    screenCopy_->SetPixelFormat(pfDevice);
    picture_ = screenCopy_.get();
  }
  if (picture_ && mask_) {
    // Made once, the picture's size: see-through pixels black, so a tile is
    // the mask ANDed onto the page and this ORed over it.
    blackened_ = std::make_unique<TBitmap>(picture_->Width(), picture_->Height());
    blackened_->Canvas().CopyRect(Rect(0, 0, picture_->Width(), picture_->Height()), picture_->Canvas(),
                                  Rect(0, 0, picture_->Width(), picture_->Height()));
    blackened_->Canvas().SetCopyMode(DSna);
    blackened_->Canvas().CopyRect(Rect(0, 0, mask_->Width(), mask_->Height()), mask_->Canvas(),
                                  Rect(0, 0, mask_->Width(), mask_->Height()));
  }
}

void TBlockBackground::DrawTile(TCanvas& canvas, int x, int y, bool printing, bool transparentPrint) {
  const int w = picture_->Width();
  const int h = picture_->Height();
  if (printing) {
    if (mask_ && transparentPrint)
      PrintTransparentBitmap(canvas, x, y, w, h, *picture_, *mask_);
    else
      PrintBitmap(canvas, x, y, *picture_, w, h);
    return;
  }
  if (mask_ && blackened_) {
    BitBlt(canvas, x, y, w, h, &mask_->Canvas(), 0, 0, SRCAND);
    BitBlt(canvas, x, y, w, h, &blackened_->Canvas(), 0, 0, SRCPAINT);
  } else {
    BitBlt(canvas, x, y, w, h, &picture_->Canvas(), 0, 0, SRCCOPY);
  }
}

void TBlockBackground::Draw(TCanvas& canvas, const TRect& box, const TRect& clip, bool printing,
                            bool transparentPrint) {
  if (!picture_ || picture_->Width() <= 0 || picture_->Height() <= 0) return;
  TRect area;
  if (!IntersectRect(area, box, clip)) return;
  const int w = picture_->Width();
  const int h = picture_->Height();
  const int originX = box.Left + Place(X, box.Width(), w);
  const int originY = box.Top + Place(Y, box.Height(), h);
  const int startX = X.RepeatD ? FirstTile(originX, area.Left, w) : originX;
  const int startY = Y.RepeatD ? FirstTile(originY, area.Top, h) : originY;
  const int endX = X.RepeatD ? area.Right : originX + 1;
  const int endY = Y.RepeatD ? area.Bottom : originY + 1;

  TRegion previous;
  const bool hadClip = GetClipRgn(canvas, previous) == HAS_CLIP_REGION;
  IntersectClipRect(canvas, area.Left, area.Top, area.Right, area.Bottom);
  for (int y = startY; y < endY; y += h)
    for (int x = startX; x < endX; x += w)
      if (x + w > area.Left && y + h > area.Top) DrawTile(canvas, x, y, printing, transparentPrint);
  SelectClipRgn(canvas, hadClip ? &previous : nullptr);
}

}  // namespace lark
