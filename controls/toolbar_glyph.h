#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/windows/custom_image_list.h"

namespace lark {

class TCanvas;

// The states of a toolbar button, in the order of the pictures of a glyph
// strip.
enum class TToolbarButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsMouseIn };

// The toolbar button's glyph machinery. The window layer's TButtonGlyph (bit
// and speed buttons) is another class with another strip order; both share
// the layer's image lists.
namespace toolbar {

// An image list of one picture size whose slots are reused: deleting frees
// the slot only (other indices stay valid), adding takes the first free one.
class TGlyphList : public TCustomImageList {
 public:
  TGlyphList(int width, int height);

  // Raises EInvalidOperation "Invalid image size" for an image of another
  // size than the list's. The mask is white where the image is transparent.
  int AddPicture(const TBitmap& image, const TBitmap& mask);
  void Delete(int index);
  // The slots in use.
  [[nodiscard]] int Count() const { return used_count_; }

 private:
  std::vector<bool> used_;
  int used_count_ = 0;
};

// The glyph lists of every toolbar button, one per picture size. A list is
// freed when its last picture goes.
class TGlyphCache {
 public:
  TGlyphList* GetList(int width, int height);
  // Frees the list when it holds nothing any more.
  void ReturnList(TGlyphList* list);
  [[nodiscard]] bool Empty() const { return lists_.empty(); }

 private:
  std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// The picture a toolbar button shows per state: from its Images list when
// it has one with a valid ImageIndex, else from its Glyph strip. Pictures
// are built on first use into the shared glyph lists and freed (their slots
// only) whenever a source changes.
class TButtonGlyph {
 public:
  TButtonGlyph();
  ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  [[nodiscard]] const TBitmap& Glyph() const { return glyph_; }
  // Sets NumGlyphs from the strip: width div height when that divides and
  // is at most 5, else 1 (also for an empty glyph, which has no height).
  void SetGlyph(const TBitmap& glyph);
  [[nodiscard]] const TBitmap& GlyphMask() const { return glyph_mask_; }
  void SetGlyphMask(const TBitmap& mask);
  [[nodiscard]] int NumGlyphs() const { return num_glyphs_; }
  // Kept within 1..5; always 1 while Images is set.
  void SetNumGlyphs(int count);
  [[nodiscard]] TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  [[nodiscard]] int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);
  [[nodiscard]] bool OldDisabledStyle() const { return old_disabled_style_; }
  void SetOldDisabledStyle(bool value);

  // The size of a picture; 0 x 0 when there is none.
  [[nodiscard]] TSize GlyphSize() const;
  void Draw(TCanvas& canvas, TPoint at, TToolbarButtonState state);
  // Drops every built picture.
  void Invalidate();

  // Runs after anything that changes what is drawn.
  std::function<void()> OnChange;

 private:
  [[nodiscard]] bool FromImages() const;
  // Picture `index` of the source and its mask (white: transparent).
  void CopySection(int index, TBitmap& picture, TBitmap& mask) const;
  int Build(TToolbarButtonState state, bool disabled_size);
  void Changed();

  TBitmap glyph_;
  TBitmap glyph_mask_;
  TCustomImageList* images_ = nullptr;
  int image_index_ = -1;
  int num_glyphs_ = 1;
  bool old_disabled_style_ = false;
  // Row 0: disabled-size pictures; row 1: the others. -1: not built.
  std::array<std::array<int, 5>, 2> indices_;
  std::array<TGlyphList*, 2> lists_{};
};

}  // namespace toolbar
}  // namespace lark
