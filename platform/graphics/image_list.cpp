#include "platform/graphics/image_list.h"

#include "platform/core/exception.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"

namespace lark {

TImageList::TImageList(int width, int height) : width_(width), height_(height) {}
TImageList::~TImageList() = default;

void TImageList::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  Clear();
}

TImageList::Entry TImageList::MakeEntry(const TBitmap& image, const TBitmap* mask, int column) const {
  Entry entry;
  entry.image = std::make_unique<TBitmap>(width_, height_);
  TCanvas& canvas = entry.image->Canvas();
  const int source_x = column * width_;
  BitBlt(canvas, 0, 0, width_, height_, &const_cast<TBitmap&>(image).Canvas(), source_x, 0, SRCCOPY);
  if (mask && !mask->Empty()) {
    entry.mask = std::make_unique<TBitmap>();
    entry.mask->SetMonochrome(true);
    entry.mask->SetSize(width_, height_);
    BitBlt(entry.mask->Canvas(), 0, 0, width_, height_, &const_cast<TBitmap*>(mask)->Canvas(), source_x, 0, SRCCOPY);
    // Transparent pixels become black, so the image can be ORed on.
    BitBlt(canvas, 0, 0, width_, height_, &entry.mask->Canvas(), 0, 0, DSna);
  }
  return entry;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
  if (image.Height() != height_ || width_ <= 0 || image.Width() < width_ || image.Width() % width_ != 0)
    throw EInvalidOperation("Invalid image size");
  const int first = Count();
  for (int column = 0; column < image.Width() / width_; ++column) images_.push_back(MakeEntry(image, mask, column));
  Changed();
  return first;
}

int TImageList::AddMasked(const TBitmap& image, TColor mask_color) {
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(image.Width(), image.Height());
  TCanvas& source = const_cast<TBitmap&>(image).Canvas();
  const TColor previous = SetBkColor(source, mask_color);
  BitBlt(mask.Canvas(), 0, 0, image.Width(), image.Height(), &source, 0, 0, SRCCOPY);
  SetBkColor(source, previous);
  return Add(image, &mask);
}

void TImageList::Replace(int index, const TBitmap& image, const TBitmap* mask) {
  if (index < 0 || index >= Count() || image.Width() != width_ || image.Height() != height_)
    throw EInvalidOperation("Unable to Replace Image");
  images_[size_t(index)] = MakeEntry(image, mask, 0);
  Changed();
}

void TImageList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  images_.erase(images_.begin() + index);
  Changed();
}

void TImageList::Clear() {
  images_.clear();
  Changed();
}

const TImageList::Entry& TImageList::At(int index) const {
  if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
  return images_[size_t(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  const Entry& entry = At(index);
  TCanvas& image = entry.image->Canvas();
  const TBrush saved = canvas.Brush();
  if (!enabled) {  // greyed: the opaque area in the button shadow colour
    canvas.Brush().Color = clBtnShadow;
    canvas.Brush().Style = bsSolid;
  }
  // A monochrome mask lands on a colour target as text colour for 0 and
  // background colour for 1: black and white keep it as it is. (Set after
  // the brush, whose change would reset the background colour.)
  const TColor text = SetTextColor(canvas, clBlack), background = SetBkColor(canvas, clWhite);
  if (!Masked || !entry.mask) {
    if (BkColor != clNone) {
      canvas.Brush().Color = BkColor;
      canvas.Brush().Style = bsSolid;
      canvas.FillRect(Bounds(x, y, width_, height_));
    }
    BitBlt(canvas, x, y, width_, height_, &image, 0, 0, SRCCOPY);
  } else if (enabled) {
    BitBlt(canvas, x, y, width_, height_, &entry.mask->Canvas(), 0, 0, SRCAND);
    BitBlt(canvas, x, y, width_, height_, &image, 0, 0, SRCPAINT);
  } else {
    BitBlt(canvas, x, y, width_, height_, &entry.mask->Canvas(), 0, 0, SRCAND);
    BitBlt(canvas, x, y, width_, height_, &entry.mask->Canvas(), 0, 0, 0x00BA0B09);  // dest | (pattern & ~source)
  }
  SetTextColor(canvas, text);
  SetBkColor(canvas, background);
  canvas.SetBrush(saved);
}

void TImageList::GetBitmap(int index, TBitmap& bitmap) const { bitmap.Assign(*At(index).image); }

void TImageList::GetMask(int index, TBitmap& mask) const {
  const Entry& entry = At(index);
  if (entry.mask) {
    mask.Assign(*entry.mask);
  } else {
    mask.SetMonochrome(true);
    mask.SetSize(width_, height_);
    mask.Canvas().Brush().Color = clBlack;
    mask.Canvas().FillRect(Rect(0, 0, width_, height_));
  }
}

}  // namespace lark
