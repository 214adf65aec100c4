// The document's side of images: fetching through the viewer's hooks once
// per cache key, late arrivals, and the background picture.
#include "html/image_loader.h"
#include "html/section_list.h"
#include "images/bitmap_conversion.h"
#include "images/gif_image.h"
#include "platform/core/regular_file.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/graphics_exceptions.h"

namespace lark {

namespace {

struct TDecoded {
  std::unique_ptr<TBitmap> Bitmap;
  std::unique_ptr<TGIFImage> Gif;
  std::unique_ptr<TBitmap> Mask;
  TTransparency Transp = trNone;
};

TDecoded DecodeImage(std::string_view data, TTransparency transparent) {
  TDecoded result;
  result.Transp = transparent;
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
  const TImageFormat format = GetImageType(bytes, data.size());
  if (format == ifGif || format == ifGif89) {
    bool nonAnimated = false;
    std::unique_ptr<TGIFImage> gif = CreateAGifFromStream(nonAnimated, bytes, data.size());
    if (gif && !nonAnimated) {
      result.Gif = std::move(gif);
      result.Transp = trNone;
      return result;
    }
    if (gif && gif->GetBitmap()) {
      // A still GIF is kept as a plain bitmap with its own mask.
      result.Bitmap = ToBitmap(*gif->GetBitmap());
      if (gif->IsTransparent && gif->GetMaskedBitmap()) {
        result.Mask = ToBitmap(*gif->GetMaskedBitmap());
        result.Transp = trGifMask;
      } else if (transparent == trCorner) {
        result.Mask = GetImageMask(*result.Bitmap, false, 0);
      }
      return result;
    }
  }
  TMemoryStream stream;
  stream.Write(data.data(), static_cast<std::int64_t>(data.size()));
  result.Bitmap = LoadImageFromStream(&stream, result.Transp, result.Mask);
  return result;
}

// Enters a decoded picture in the cache (the adder holds it).
TBitmapItem& CacheDecoded(TStringBitmapList& cache, const std::string& key, TDecoded decoded) {
  const TTransparency kind = decoded.Mask ? decoded.Transp : trNone;
  auto item = decoded.Gif ? std::make_unique<TBitmapItem>(std::move(decoded.Gif), std::move(decoded.Mask), kind)
                          : std::make_unique<TBitmapItem>(std::move(decoded.Bitmap), std::move(decoded.Mask), kind);
  TBitmapItem& raw = *item;
  cache.AddObject(key, item.release());
  return raw;
}

// Only a regular file is a picture: a folder, FIFO or device counts as
// missing (a page naming /dev/zero must not read forever).
std::string ReadWholeFile(const std::string& name) {
  return ReadRegularFile(name, kMaxGraphicBytes).value_or(std::string());
}

}  // namespace

TStringBitmapList& TSectionList::Cache() {
  if (BitmapList) return *BitmapList;
  if (!ownCache_) ownCache_ = std::make_unique<TStringBitmapList>();
  return *ownCache_;
}

TCachedImage TSectionList::Fetch(const std::string& url, const std::string& key, TTransparency& transparent,
                                 bool& delay) {
  TDecoded decoded;
  if (OnBitmapRequest) {
    std::unique_ptr<TBitmap> bitmap;
    TColor color = -1;
    OnBitmapRequest(TheOwner, url, bitmap, color);
    if (!bitmap) return {};
    if (color != -1) {
      decoded.Mask = GetImageMask(*bitmap, true, color);
      transparent = trGifMask;
    } else if (transparent == trCorner) {
      decoded.Mask = GetImageMask(*bitmap, false, 0);
    }
    decoded.Bitmap = std::move(bitmap);
    decoded.Transp = transparent;
  } else if (OnImageRequest) {
    TMemoryStream* stream = nullptr;
    OnImageRequest(TheOwner, url, stream);
    if (stream == &WaitStream()) {
      delay = true;
      return {};
    }
    if (!stream || stream->Size() < 1) return {};
    decoded = DecodeImage(stream->Bytes(), transparent);
  } else {
    decoded = DecodeImage(ReadWholeFile(url), transparent);
  }
  if (!decoded.Bitmap && !decoded.Gif) return {};
  if (decoded.Bitmap && decoded.Transp != trNone) transparent = decoded.Transp;
  TBitmapItem& item = CacheDecoded(Cache(), key, std::move(decoded));
  return {item.MImage.get(), item.MGif.get(), item.Mask.get()};
}

TCachedImage TSectionList::GetTheBitmap(const std::string& url, TTransparency& transparent, bool& fromCache,
                                        bool& delay) {
  fromCache = false;
  delay = false;
  if (Trim(url).empty()) return {};
  const std::string key = ImageCacheKey(url);
  TStringBitmapList& cache = Cache();
  const int index = cache.IndexOf(key);
  if (index >= 0) {
    TBitmapItem& item = cache.IncUsage(index);
    fromCache = true;
    if (item.MImage) {
      if (item.Transp == trGifMask || item.Transp == trPngPalette) transparent = item.Transp;
      if (transparent == trCorner && !item.Mask) {
        item.Mask = GetImageMask(*item.MImage, false, 0);
        item.Transp = trCorner;
      }
    }
    return {item.MImage.get(), item.MGif.get(), item.Mask.get()};
  }
  try {
    return Fetch(url, key, transparent, delay);
  } catch (const std::exception&) {
    // A picture that cannot be read is no picture; the image shows its error look.
    return {};
  }
}

void TMissingImageList::Add(const std::string& key, TObject* object) {
  Remove(object);
  auto& [listedKey, waiters] = *byKey_.try_emplace(key).first;
  waiters.push_back(object);
  keyOf_.push_back({object, &listedKey});
}

bool TMissingImageList::Waits(const std::string& key) const {
  ++work_;
  return byKey_.count(key) != 0;
}

std::vector<TObject*> TMissingImageList::Take(const std::string& key) {
  ++work_;
  const auto at = byKey_.find(key);
  if (at == byKey_.end()) return {};
  std::vector<TObject*> waiting(at->second.begin(), at->second.end());
  byKey_.erase(at);
  for (TObject* object : waiting) keyOf_.Remove(object);
  work_ += waiting.size();
  return waiting;
}

void TMissingImageList::Remove(const void* object) {
  if (keyOf_.empty()) return;
  const TWaiter* listed = keyOf_.Latest(object);
  if (!listed) return;
  const auto waiters = byKey_.find(*listed->Key);
  keyOf_.Remove(object);
  waiters->second.Remove(object);
  if (waiters->second.empty()) byKey_.erase(waiters);
}

void TMissingImageList::clear() {
  byKey_.clear();
  keyOf_.clear();
}

void TSectionList::InsertImage(const std::string& src, TMemoryStream& stream, bool& reformat) {
  reformat = false;
  const std::string key = ImageCacheKey(src);
  TStringBitmapList& cache = Cache();
  if (key != missingBackground_ && !MissingImages.Waits(key)) return;
  if (cache.IndexOf(key) < 0) {
    TDecoded decoded;
    try {
      decoded = DecodeImage(stream.Bytes(), trNone);
    } catch (const std::exception&) {
      decoded = {};
    }
    if (decoded.Bitmap || decoded.Gif) {
      CacheDecoded(cache, key, std::move(decoded));
      cache.DecUsage(key);  // the waiting objects take their own holds
    }
  }
  if (key == missingBackground_) {
    missingBackground_.clear();
    if (!IsCopy) BackgroundBitmapLoaded = false;
  }
  for (TObject* object : MissingImages.Take(key))
    if (auto* image = dynamic_cast<TLateImage*>(object)) {
      bool changed = false;
      image->InsertImage(key, changed);
      reformat = reformat || changed;
    }
}

TBitmap* TSectionList::GetBackgroundBitmap() {
  if (!ShowImages || BackgroundBitmapLoaded || BackgroundBitmapName.empty() || backgroundBitmap_)
    return backgroundBitmap_;
  std::string name = BackgroundBitmapName;
  if (OnExpandName) {
    std::string expanded = name;
    OnExpandName(TheOwner, name, expanded);
    name = expanded;
  }
  TTransparency transparent = trNone;
  bool fromCache = false, delay = false;
  const TCachedImage image = GetTheBitmap(name, transparent, fromCache, delay);
  if (image.Bitmap) {
    backgroundBitmap_ = image.Bitmap;
    backgroundMask_ = image.Mask;
    backgroundKey_ = ImageCacheKey(name);
  } else if (image.Gif && image.Gif->GetBitmap()) {
    backgroundFrame_ = ToBitmap(*image.Gif->GetBitmap());
    backgroundBitmap_ = backgroundFrame_.get();
    backgroundKey_ = ImageCacheKey(name);
  } else if (delay) {
    missingBackground_ = ImageCacheKey(name);
  }
  BackgroundBitmapLoaded = true;  // tried once, also after a failure
  return backgroundBitmap_;
}

void TSectionList::ForgetBackground() {
  if (!backgroundKey_.empty()) Cache().DecUsage(backgroundKey_);
  backgroundKey_.clear();
  backgroundBitmap_ = nullptr;
  backgroundMask_ = nullptr;
  backgroundFrame_.reset();
  missingBackground_.clear();
}

}  // namespace lark
