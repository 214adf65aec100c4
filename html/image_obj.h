#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "html/floating_object.h"
#include "html/image_cache.h"
#include "html/image_loader.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "platform/graphics/bitmap.h"

namespace lark {

class TAttributeList;
class TGIFImage;
class TImageFormControlObj;
class TProperties;
class TUrlTarget;

// Sizes of images are held here before any scaling, so that a picture's
// side times a given size never leaves 64 bits and the result fits an int.
constexpr int kMaxImageSide = MaxLength;

// Composes the part of `image` scaled to (x, y, w, h) that the canvas's clip
// shows, through `mask` (white where see-through). Only the visible part is
// ever allocated, whatever w and h are.
void DrawTransparentBitmap(TCanvas& canvas, const TBitmap& image, const TBitmap& mask, int x, int y, int w, int h);

// One picture standing in a paragraph (IMG), or a background or list bullet.
// It holds one use of its cache entry from the first layout until it is
// freed; an animated GIF gets a private copy so that each image animates
// (or rolls over) on its own.
class TImageObj : public TFloatingObj, public TLateImage {
 public:
  // An IMG element at text position `position`.
  TImageObj(TSectionList& masterList, int position, const TAttributeList& attributes);
  // A picture by URL alone: baseline, no border.
  static std::unique_ptr<TImageObj> SimpleCreate(TSectionList& masterList, const std::string& url);
  ~TImageObj() override;

  // Style values: vertical-align, float, margins, width and height.
  void ProcessProperties(const TProperties& prop);
  [[nodiscard]] std::unique_ptr<TFloatingObj> CreateCopy(TSectionList& list) const override;
  void DrawLogic(TSectionList& list, TCanvas& canvas, const TFontObj* run, int availableWidth) override;
  void Draw(TCanvas& canvas, int x, int topY, int yBaseline, const TFontObj* run) override;
  void InsertImage(const std::string& key, bool& reformat) override;
  void SetHover(int value) override;
  // A plain bitmap of what is shown (a GIF's current frame); null for the
  // error picture.
  [[nodiscard]] const TBitmap* GetBitmap();

  [[nodiscard]] TRect HitArea() const override;
  // The link of the point (ix, iy) inside the picture: a client-side map's
  // area, else the surrounding link `run` (a server-side map adds "?ix,iy").
  // False when neither gives one.
  bool GetURL(int ix, int iy, const TFontObj* run, std::unique_ptr<TUrlTarget>& urlTarget) const;

  // Whether the placeholder (not a picture) is what is shown.
  [[nodiscard]] bool ShowsPlaceholder() const;
  // The picture could not be had (the error picture is shown).
  [[nodiscard]] bool Broken() const { return bitmap_ == &ErrorBitmap(); }
  [[nodiscard]] TGIFImage* Gif() const { return gif_.get(); }

  TSectionList* MasterList;
  std::string Source;
  std::int32_t SpecHeight = 0;
  std::int32_t ObjHeight = 0, ObjWidth = 0;  // the picture, border excluded
  bool ImageKnown = false;
  bool NoBorder = false;
  bool HasBorder = false;
  TTransparency Transparent = trNone;
  bool IsMap = false, UseMap = false;
  std::string MapName;
  bool Active = false;
  int Hover = 0;
  bool Missing = false;
  // The image submit control this picture belongs to; it clears this when
  // it goes first.
  TImageFormControlObj* MyFormControl = nullptr;

 private:
  explicit TImageObj(TSectionList& masterList);
  void ReadAttributes(const TAttributeList& attributes);
  void Obtain(TSectionList& list);
  void TakeCached(const TCachedImage& cached);
  void SizeFor(TCanvas& canvas, int availableWidth);
  void DoDraw(TCanvas& canvas, int x, int y);
  void DrawPlaceholderText(TCanvas& canvas, int x, int y, TColor color);
  [[nodiscard]] bool IsCopy() const { return MasterList->IsCopy; }

  bool tried_ = false;                // the picture was asked for
  TBitmap* bitmap_ = nullptr;         // what is shown, unless a GIF
  TBitmap* mask_ = nullptr;           // its mask, may be null
  std::unique_ptr<TGIFImage> gif_;    // the private GIF copy
  std::string heldKey_;               // the cache entry this image holds
  std::unique_ptr<TBitmap> fBitmap_;  // GetBitmap's copy
};

}  // namespace lark
