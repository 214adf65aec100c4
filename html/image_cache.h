#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/object.h"
#include "platform/core/string_list.h"
#include "platform/graphics/bitmap.h"

namespace lark {

class TGIFImage;

// How an image's mask was made.
enum TTransparency : uint8_t {
  trNone = 0,
  trCorner = 1,      // the colour of the lower-left pixel is see-through
  trGifMask = 2,     // the GIF decoder supplied the mask
  trPngPalette = 3,  // a PNG's tRNS chunk names the see-through colours
};

// The one key under which an image is cached, looked up by the document and
// listed as missing: blanks trimmed, the scheme and host folded to lower
// case, and the rest (the path) kept as it is, because "A.gif" and "a.gif"
// are two files.
[[nodiscard]] std::string ImageCacheKey(const std::string& name);

// One cache entry: the decoded image (a still bitmap or an animated GIF) and
// its mask.
class TBitmapItem : public TObject {
 public:
  TBitmapItem(std::unique_ptr<TBitmap> image, std::unique_ptr<TBitmap> mask, TTransparency transparency);
  TBitmapItem(std::unique_ptr<TGIFImage> image, std::unique_ptr<TBitmap> mask, TTransparency transparency);
  ~TBitmapItem() override;

  // The image: exactly one of the two is set.
  std::unique_ptr<TBitmap> MImage;
  std::unique_ptr<TGIFImage> MGif;
  std::unique_ptr<TBitmap> Mask;  // white where see-through; may be null
  TTransparency Transp;
  int UsageCount = 0;   // documents loaded since the entry was last used
  int AccessCount = 0;  // current holders
};

// The image cache of one viewer, shared by the documents it shows: an entry
// lives while a document holds it and then for MaxUsage more document loads.
// Keys pass through ImageCacheKey and compare with regard to case.
class TStringBitmapList : public TStringList {
 public:
  TStringBitmapList();

  // Takes ownership of `object`; the adder holds a TBitmapItem. An object
  // under a key already present is freed, the entry kept.
  int AddObject(const std::string& key, TObject* object) override;
  // Entry `index` is used again: its age starts over and it gains a holder.
  TBitmapItem& IncUsage(int index);
  // A holder of `key` lets go.
  void DecUsage(const std::string& key);
  // Once per newly loaded document: every entry ages, and old ones nobody
  // holds go.
  void BumpAndPurge();
  // Frees the entries older than `n` that nobody holds; MaxUsage becomes n.
  void Purge(int n);
  // Frees every entry nobody holds now, whatever its age: a reload asks
  // for its pictures afresh instead of showing the ones kept here.
  void FreeUnheld();

  [[nodiscard]] TBitmapItem& Item(int index) const { return *static_cast<TBitmapItem*>(GetObject(index)); }

  int MaxUsage = 4;

 private:
  void FreeUnheldOlderThan(int age);
};

}  // namespace lark
