#include "html/image_cache.h"

#include <cctype>

#include "images/gif_image.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

bool IsSchemeChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'; }

void LowerRange(std::string& s, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) s[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
}

}  // namespace

std::string ImageCacheKey(const std::string& name) {
  std::string key = Trim(name);
  const size_t colon = key.find(':');
  if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(key[0]))) return key;
  for (size_t i = 0; i < colon; ++i)
    if (!IsSchemeChar(key[i])) return key;  // no scheme: a path, kept whole
  LowerRange(key, 0, colon);
  if (key.compare(colon + 1, 2, "//") == 0) {
    const size_t host = colon + 3;
    LowerRange(key, host, std::min(key.size(), key.find_first_of("/?#", host)));
  }
  return key;
}

TBitmapItem::TBitmapItem(std::unique_ptr<TBitmap> image, std::unique_ptr<TBitmap> mask, TTransparency transparency)
    : MImage(std::move(image)), Mask(std::move(mask)), Transp(transparency) {}

TBitmapItem::TBitmapItem(std::unique_ptr<TGIFImage> image, std::unique_ptr<TBitmap> mask, TTransparency transparency)
    : MGif(std::move(image)), Mask(std::move(mask)), Transp(transparency) {}

TBitmapItem::~TBitmapItem() = default;

// Sorted, so that each image's lookup is a binary search: a page of many
// pictures asks once per picture at its first layout and once at its end.
TStringBitmapList::TStringBitmapList() : TStringList(Ownership::OwnsObjects) {
  SetCaseSensitive(true);
  SetSorted(true);
}

int TStringBitmapList::AddObject(const std::string& key, TObject* object) {
  const int index = TStringList::AddObject(ImageCacheKey(key), object);
  if (GetObject(index) != object) {
    delete object;  // the key was there already: the list did not take it
    return index;
  }
  if (auto* item = dynamic_cast<TBitmapItem*>(object)) ++item->AccessCount;
  return index;
}

TBitmapItem& TStringBitmapList::IncUsage(int index) {
  TBitmapItem& item = Item(index);
  item.UsageCount = 0;
  ++item.AccessCount;
  return item;
}

void TStringBitmapList::DecUsage(const std::string& key) {
  const int index = IndexOf(ImageCacheKey(key));
  if (index >= 0) --Item(index).AccessCount;
}

void TStringBitmapList::FreeUnheldOlderThan(int age) {
  for (int i = Count() - 1; i >= 0; --i) {
    const TBitmapItem& item = Item(i);
    if (item.UsageCount > age && item.AccessCount < 1) Delete(i);
  }
}

void TStringBitmapList::BumpAndPurge() {
  for (int i = 0; i < Count(); ++i) ++Item(i).UsageCount;
  FreeUnheldOlderThan(MaxUsage);
}

void TStringBitmapList::Purge(int n) {
  FreeUnheldOlderThan(n);
  MaxUsage = n;
}

void TStringBitmapList::FreeUnheld() { FreeUnheldOlderThan(-1); }

}  // namespace lark
