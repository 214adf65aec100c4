#include "controls/toolbar_glyph.h"

#include <algorithm>

#include "platform/core/exception.h"
#include "platform/graphics/canvas.h"

namespace lark::toolbar {
namespace {

constexpr TColor kWhite = RGB(255, 255, 255);
constexpr TColor kBlack = RGB(0, 0, 0);

std::unique_ptr<TGlyphCache>& Cache() {
  static std::unique_ptr<TGlyphCache> cache;
  return cache;
}

TGlyphCache& TheCache() {
  if (!Cache()) Cache() = std::make_unique<TGlyphCache>();
  return *Cache();
}

void Prepare(TBitmap& bitmap, int width, int height, TColor fill) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush().Style = bsSolid;
  bitmap.Canvas().Brush().Color = fill;
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}

bool Transparent(const TBitmap& mask, int x, int y) { return ColorToRGB(mask.Pixel(x, y)) != kBlack; }

}  // namespace

// --- TGlyphList -----------------------------------------------------------------

TGlyphList::TGlyphList(int width, int height) : TCustomImageList(nullptr) { SetSize(width, height); }

int TGlyphList::AddPicture(const TBitmap& image, const TBitmap& mask) {
  if (image.Width() != Width() || image.Height() != Height()) throw EInvalidOperation("Invalid image size");
  auto free_slot = std::find(used_.begin(), used_.end(), false);
  int index = static_cast<int>(free_slot - used_.begin());
  if (free_slot == used_.end()) {
    index = TImageList::Add(image, &mask);
    used_.resize(static_cast<std::size_t>(index) + 1, false);
  } else {
    Replace(index, image, &mask);
  }
  used_[static_cast<std::size_t>(index)] = true;
  ++used_count_;
  return index;
}

void TGlyphList::Delete(int index) {
  if (index < 0 || index >= static_cast<int>(used_.size()) || !used_[static_cast<std::size_t>(index)]) return;
  used_[static_cast<std::size_t>(index)] = false;
  --used_count_;
}

// --- TGlyphCache ----------------------------------------------------------------

TGlyphList* TGlyphCache::GetList(int width, int height) {
  for (const auto& list : lists_) {
    if (list->Width() == width && list->Height() == height) return list.get();
  }
  lists_.push_back(std::make_unique<TGlyphList>(width, height));
  return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
  if (!list || list->Count() != 0) return;
  lists_.erase(std::remove_if(lists_.begin(), lists_.end(), [list](const auto& l) { return l.get() == list; }),
               lists_.end());
}

// --- TButtonGlyph ----------------------------------------------------------------

TButtonGlyph::TButtonGlyph() {
  for (auto& row : indices_) row.fill(-1);
  glyph_.OnChange = [this](TBitmap*) { Changed(); };
  glyph_mask_.OnChange = [this](TBitmap*) { Changed(); };
}

TButtonGlyph::~TButtonGlyph() {
  glyph_.OnChange = nullptr;
  glyph_mask_.OnChange = nullptr;
  Invalidate();
}

void TButtonGlyph::Invalidate() {
  for (int row = 0; row < 2; ++row) {
    for (int& index : indices_[row]) {
      if (index >= 0 && lists_[row]) lists_[row]->Delete(index);
      index = -1;
    }
    if (lists_[row] && Cache()) {
      Cache()->ReturnList(lists_[row]);
      if (Cache()->Empty()) Cache().reset();
    }
    lists_[row] = nullptr;
  }
}

void TButtonGlyph::Changed() {
  Invalidate();
  if (OnChange) OnChange();
}

void TButtonGlyph::SetGlyph(const TBitmap& glyph) {
  glyph_.OnChange = nullptr;
  glyph_.Assign(glyph);
  glyph_.OnChange = [this](TBitmap*) { Changed(); };
  const int width = glyph_.Width();
  const int height = glyph_.Height();
  // An empty glyph has no height to divide by: one picture.
  const bool strip = height > 0 && width % height == 0 && width / height >= 1 && width / height <= 5;
  num_glyphs_ = images_ || !strip ? 1 : width / height;
  if (!glyph_.Empty()) glyph_.SetTransparentColor(glyph_.Pixel(0, height - 1) | 0x02000000);
  Changed();
}

void TButtonGlyph::SetGlyphMask(const TBitmap& mask) {
  glyph_mask_.Assign(mask);
  Changed();
}

void TButtonGlyph::SetNumGlyphs(int count) {
  num_glyphs_ = images_ ? 1 : std::clamp(count, 1, 5);
  Changed();
}

void TButtonGlyph::SetImages(TCustomImageList* images) {
  images_ = images;
  if (images_) num_glyphs_ = 1;
  Changed();
}

void TButtonGlyph::SetImageIndex(int index) {
  image_index_ = index;
  Changed();
}

void TButtonGlyph::SetOldDisabledStyle(bool value) {
  old_disabled_style_ = value;
  Changed();
}

bool TButtonGlyph::FromImages() const { return images_ != nullptr; }

TSize TButtonGlyph::GlyphSize() const {
  if (FromImages()) {
    if (image_index_ < 0 || image_index_ >= images_->Count()) return TSize{0, 0};
    return TSize{images_->Width(), images_->Height()};
  }
  if (glyph_.Empty()) return TSize{0, 0};
  return TSize{glyph_.Width() / num_glyphs_, glyph_.Height()};
}

void TButtonGlyph::CopySection(int index, TBitmap& picture, TBitmap& mask) const {
  const TSize size = GlyphSize();
  Prepare(picture, size.cx, size.cy, kWhite);
  Prepare(mask, size.cx, size.cy, kBlack);
  if (FromImages()) {
    images_->GetBitmap(image_index_, picture);
    images_->GetMask(image_index_, mask);
    return;
  }
  const int left = index * size.cx;
  picture.Canvas().CopyRect(Rect(0, 0, size.cx, size.cy), const_cast<TBitmap&>(glyph_).Canvas(),
                            Rect(left, 0, left + size.cx, size.cy));
  const bool own_mask = !glyph_mask_.Empty();
  const TColor transparent = ColorToRGB(glyph_.TransparentColor() & 0xFFFFFF);
  for (int y = 0; y < size.cy; ++y) {
    for (int x = 0; x < size.cx; ++x) {
      const bool clear = own_mask ? ColorToRGB(glyph_mask_.Pixel(left + x, y)) != kBlack
                                  : ColorToRGB(picture.Pixel(x, y)) == transparent;
      if (clear) mask.Canvas().SetPixel(x, y, kWhite);
    }
  }
}

namespace {

// The pixels that make the embossed shape: every opaque pixel, except white
// and silver ones (the highlights of a classic glyph), or with the old
// style the dark ones only.
bool Embossed(TColor pixel, bool old_style) {
  const TColor c = ColorToRGB(pixel);
  if (old_style) return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 < 128;
  return c != RGB(255, 255, 255) && c != RGB(192, 192, 192);
}

}  // namespace

int TButtonGlyph::Build(TToolbarButtonState state, bool disabled_size) {
  const TSize size = GlyphSize();
  TBitmap section;
  TBitmap section_mask;
  const int index = static_cast<int>(state);
  const bool own_picture = index < num_glyphs_;
  CopySection(own_picture ? index : 0, section, section_mask);
  TBitmap picture;
  TBitmap mask;
  const int width = size.cx + (disabled_size ? 1 : 0);
  const int height = size.cy + (disabled_size ? 1 : 0);
  const TColor face = ColorToRGB(clBtnFace);
  Prepare(picture, width, height, face);
  Prepare(mask, width, height, kWhite);
  auto paint = [&](int x, int y, TColor color) {
    picture.Canvas().SetPixel(x, y, color);
    mask.Canvas().SetPixel(x, y, kBlack);
  };
  const bool generated = state == TToolbarButtonState::bsDisabled && !own_picture;
  for (int y = 0; y < size.cy; ++y) {
    for (int x = 0; x < size.cx; ++x) {
      if (Transparent(section_mask, x, y)) continue;
      const TColor pixel = ColorToRGB(section.Pixel(x, y));
      if (!generated) {
        const bool recolour = state == TToolbarButtonState::bsDisabled;
        paint(x, y, recolour && pixel == RGB(255, 255, 255) ? ColorToRGB(clBtnHighlight)
                    : recolour && pixel == RGB(128, 128, 128) ? ColorToRGB(clBtnShadow)
                                                                : pixel);
      } else if (Embossed(pixel, old_disabled_style_)) {
        paint(x + 1, y + 1, ColorToRGB(clBtnHighlight));
      }
    }
  }
  if (generated) {
    for (int y = 0; y < size.cy; ++y) {
      for (int x = 0; x < size.cx; ++x) {
        if (!Transparent(section_mask, x, y) && Embossed(section.Pixel(x, y), old_disabled_style_)) {
          paint(x, y, ColorToRGB(clBtnShadow));
        }
      }
    }
  }
  const int row = disabled_size ? 0 : 1;
  if (!lists_[row]) lists_[row] = TheCache().GetList(width, height);
  return lists_[row]->AddPicture(picture, mask);
}

void TButtonGlyph::Draw(TCanvas& canvas, TPoint at, TToolbarButtonState state) {
  const TSize size = GlyphSize();
  if (size.cx <= 0 || size.cy <= 0) return;
  const bool disabled = state == TToolbarButtonState::bsDisabled;
  // A state without its own picture shows the up picture, except disabled.
  if (!disabled && static_cast<int>(state) >= num_glyphs_) state = TToolbarButtonState::bsUp;
  const int row = disabled ? 0 : 1;
  int& index = indices_[row][static_cast<std::size_t>(state)];
  if (index < 0) index = Build(state, disabled);
  lists_[row]->Draw(canvas, at.X, at.Y, index, true);
}

}  // namespace lark::toolbar
