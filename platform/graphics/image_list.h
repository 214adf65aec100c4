#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/graphics/bitmap.h"

namespace lark {

// A list of images of one size, each with an optional 1-bit mask (white
// where transparent). Masked images keep their transparent pixels black so
// that drawing through the mask is an AND and an OR.
class TImageList {
 public:
  TImageList(int width, int height);
  ~TImageList();

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  [[nodiscard]] int Count() const { return int(images_.size()); }
  bool Masked = true;
  // Colour behind the images when drawn without transparency; clNone leaves
  // the target showing.
  TColor BkColor = clNone;

  // Called after every change of the images or their size.
  std::function<void()> OnChange;

  // Changing the size empties the list.
  void SetSize(int width, int height);

  // Adds the image (a strip of images side by side when it is a whole
  // multiple of the width) with its mask (may be null); returns the index of
  // the first. Raises EInvalidOperation "Invalid image size" when the
  // bitmap's height or width does not fit the list.
  int Add(const TBitmap& image, const TBitmap* mask);
  // The same, with the mask made from the pixels of one colour.
  int AddMasked(const TBitmap& image, TColor mask_color);
  // Raises EInvalidOperation "Unable to Replace Image" for a bad index or size.
  void Replace(int index, const TBitmap& image, const TBitmap* mask);
  void Delete(int index);
  void Clear();

  // Draws image `index` at (x, y); transparent through its mask when the
  // list is masked. A disabled image is drawn greyed.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
  // Copies image `index` into bitmap (resized to the list's size) and its
  // mask into mask (when given).
  void GetBitmap(int index, TBitmap& bitmap) const;
  void GetMask(int index, TBitmap& mask) const;

 private:
  struct Entry {
    std::unique_ptr<TBitmap> image;
    std::unique_ptr<TBitmap> mask;  // null when the image is opaque
  };
  Entry MakeEntry(const TBitmap& image, const TBitmap* mask, int column) const;
  const Entry& At(int index) const;
  void Changed() const {
    if (OnChange) OnChange();
  }

  int width_;
  int height_;
  std::vector<Entry> images_;
};

}  // namespace lark
