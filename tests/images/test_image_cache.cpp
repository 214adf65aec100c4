#include <gtest/gtest.h>

#include "html/image_cache.h"

namespace lark {
namespace {

TEST(ImageCacheKey, FoldsOnlySchemeAndHostAndTrimsBlanks) {
  const struct {
    const char* Name;
    const char* Key;
  } cases[] = {
      {"  HTTP://WWW.Example.COM/Images/A.gif \t", "http://www.example.com/Images/A.gif"},
      {"http://example.com/a.gif", "http://example.com/a.gif"},
      {"http://Example.com:8080?Q=A", "http://example.com:8080?Q=A"},
      {"FILE:///Home/Pics/Logo.PNG", "file:///Home/Pics/Logo.PNG"},
      {"images/Logo.GIF", "images/Logo.GIF"},
      {"/abs/Path:with/Colon.gif", "/abs/Path:with/Colon.gif"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ImageCacheKey(c.Name), c.Key) << c.Name;
  EXPECT_NE(ImageCacheKey("http://h/A.gif"), ImageCacheKey("http://h/a.gif"));
}

// A cache of `count` entries "img0", "img1", ..., each held once by its adder.
std::unique_ptr<TStringBitmapList> CacheOf(int count) {
  auto cache = std::make_unique<TStringBitmapList>();
  cache->SetSorted(true);
  for (int i = 0; i < count; ++i)
    cache->AddObject("img" + std::to_string(i),
                     new TBitmapItem(std::make_unique<TBitmap>(1, 1), nullptr, trNone));
  return cache;
}

TEST(StringBitmapList, UnusedImagesGoAfterMaxUsageDocuments) {
  auto cache = CacheOf(2);
  cache->DecUsage("img0");
  cache->DecUsage("img1");
  EXPECT_EQ(cache->MaxUsage, 4);
  int index = -1;
  ASSERT_TRUE(cache->Find("img1", index));
  cache->IncUsage(index);  // a live document holds img1
  for (int document = 1; document <= 4; ++document) {
    cache->BumpAndPurge();
    EXPECT_EQ(cache->IndexOf("img0"), 0) << document;
  }
  cache->BumpAndPurge();  // the fifth load without it
  EXPECT_EQ(cache->IndexOf("img0"), -1);
  for (int document = 0; document < 50; ++document) cache->BumpAndPurge();
  EXPECT_EQ(cache->IndexOf("img1"), 0);  // held: never goes, however old
  cache->DecUsage("img1");
  cache->Purge(0);
  EXPECT_EQ(cache->Count(), 0);
  EXPECT_EQ(cache->MaxUsage, 0);
}

TEST(StringBitmapList, PurgeZeroKeepsEntriesNeverAged) {
  auto cache = CacheOf(3);
  for (const char* key : {"img0", "img1", "img2"}) cache->DecUsage(key);
  cache->BumpAndPurge();
  cache->AddObject("fresh", new TBitmapItem(std::make_unique<TBitmap>(1, 1), nullptr, trNone));
  cache->DecUsage("fresh");
  cache->Purge(0);
  ASSERT_EQ(cache->Count(), 1);
  EXPECT_EQ(cache->Get(0), "fresh");
}

TEST(StringBitmapList, KeysKeepTheirCaseAndDuplicatesAreFreed) {
  auto cache = CacheOf(0);
  cache->AddObject("http://H/A.gif", new TBitmapItem(std::make_unique<TBitmap>(1, 1), nullptr, trNone));
  cache->AddObject("http://h/a.gif", new TBitmapItem(std::make_unique<TBitmap>(2, 2), nullptr, trNone));
  EXPECT_EQ(cache->Count(), 2);
  // Same key again: the list keeps the first entry and frees the new one
  // (the leak checker of the sanitizer build sees to the second half).
  const int index = cache->AddObject(" HTTP://h/A.gif", new TBitmapItem(std::make_unique<TBitmap>(3, 3), nullptr, trNone));
  EXPECT_EQ(cache->Count(), 2);
  EXPECT_EQ(cache->Item(index).MImage->Width(), 1);
  EXPECT_EQ(cache->Item(index).AccessCount, 1);
}

}  // namespace
}  // namespace lark
