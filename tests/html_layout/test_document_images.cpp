#include <gtest/gtest.h>

#include "html/image_loader.h"
#include "html/url_target.h"
#include "layout_fixture.h"
#include "platform/core/stream.h"

namespace lark {
namespace {

// A real BMP file's bytes, made by the bitmap class itself.
void WriteBmp(TMemoryStream& stream, int width, int height, TColor color) {
  TBitmap bitmap(width, height);
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas().Brush().Color = color;
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
  stream.Clear();
  bitmap.SaveToStream(stream);
}

struct ImageHost {
  TSectionList List{nullptr, nullptr};
  TStringBitmapList Cache;
  TMemoryStream Picture;
  std::vector<std::string> Requests;
  bool Later = false;

  ImageHost() {
    WriteBmp(Picture, 6, 4, clRed);
    List.BitmapList = &Cache;
    List.OnImageRequest = [this](TObject*, const std::string& url, TMemoryStream*& stream) {
      Requests.push_back(url);
      stream = Later ? &WaitStream() : &Picture;
    };
  }
};

TEST(DocumentImages, OneUrlIsFetchedOnceWhateverItsBlanksAndSchemeCase) {
  ImageHost host;
  TTransparency transparent = trNone;
  bool fromCache = false, delay = false;
  const TCachedImage first = host.List.GetTheBitmap("  HTTP://Example.COM/pics/a.bmp ", transparent, fromCache, delay);
  ASSERT_TRUE(first);
  EXPECT_FALSE(fromCache);
  EXPECT_EQ(first.Bitmap->Width(), 6);
  const TCachedImage second = host.List.GetTheBitmap("http://example.com/pics/a.bmp", transparent, fromCache, delay);
  EXPECT_TRUE(fromCache);
  EXPECT_EQ(second.Bitmap, first.Bitmap);
  EXPECT_EQ(host.Requests.size(), 1u);
  // The path keeps its case: another file.
  (void)host.List.GetTheBitmap("http://example.com/pics/A.bmp", transparent, fromCache, delay);
  EXPECT_EQ(host.Requests.size(), 2u);

  // A print copy shares the viewer's cache.
  TSectionList copy(host.List);
  EXPECT_TRUE(copy.GetTheBitmap("http://example.com/pics/a.bmp", transparent, fromCache, delay));
  EXPECT_TRUE(fromCache);
  copy.ReleaseImage(ImageCacheKey("http://example.com/pics/a.bmp"));

  // A corner mask is made on demand for a cached picture.
  transparent = trCorner;
  const TCachedImage masked = host.List.GetTheBitmap("http://example.com/pics/a.bmp", transparent, fromCache, delay);
  ASSERT_NE(masked.Mask, nullptr);
  EXPECT_EQ(masked.Mask->Width(), 6);
}

TEST(DocumentImages, NothingForAnEmptyUrlOrUnreadableData) {
  ImageHost host;
  TTransparency transparent = trNone;
  bool fromCache = false, delay = false;
  EXPECT_FALSE(host.List.GetTheBitmap("   ", transparent, fromCache, delay));
  EXPECT_TRUE(host.Requests.empty());
  host.Picture.Clear();
  host.Picture.Write("not an image at all, long enough", 32);
  EXPECT_FALSE(host.List.GetTheBitmap("x.bmp", transparent, fromCache, delay));
  EXPECT_EQ(host.Cache.Count(), 0);
}

class Waiter : public TObject, public TLateImage {
 public:
  void InsertImage(const std::string& key, bool& reformat) override {
    Keys.push_back(key);
    reformat = true;
  }
  std::vector<std::string> Keys;
};

TEST(DocumentImages, LateImagesReachWhatWaitsForThem) {
  ImageHost host;
  host.Later = true;
  TTransparency transparent = trNone;
  bool fromCache = false, delay = false;
  EXPECT_FALSE(host.List.GetTheBitmap("http://h/late.bmp", transparent, fromCache, delay));
  EXPECT_TRUE(delay);
  Waiter waiter;
  host.List.MissingImages.Add(ImageCacheKey("http://h/late.bmp"), &waiter);
  bool reformat = false;
  TMemoryStream other;
  WriteBmp(other, 3, 3, clBlue);
  host.List.InsertImage("http://h/unrelated.bmp", other, reformat);
  EXPECT_FALSE(reformat);
  EXPECT_EQ(host.Cache.Count(), 0);
  host.List.InsertImage(" HTTP://H/late.bmp", host.Picture, reformat);
  EXPECT_TRUE(reformat);
  ASSERT_EQ(waiter.Keys.size(), 1u);
  EXPECT_TRUE(host.List.MissingImages.empty());
  EXPECT_EQ(host.Cache.Count(), 1);
  EXPECT_EQ(host.Cache.Item(0).AccessCount, 0);  // the waiter takes its own hold
}

TEST(DocumentImages, BackgroundIsLoadedOncePerName) {
  ImageHost host;
  host.List.SetBackgroundBitmap("back.bmp");
  TBitmap* background = host.List.GetBackgroundBitmap();
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(host.List.GetBackgroundBitmap(), background);
  EXPECT_EQ(host.Requests.size(), 1u);
  EXPECT_EQ(host.Cache.Item(0).AccessCount, 1);
  host.List.Clear();  // lets go of the cache entry
  EXPECT_EQ(host.Cache.Item(0).AccessCount, 0);

  host.List.SetBackgroundBitmap("missing.bmp");
  host.Picture.Clear();
  EXPECT_EQ(host.List.GetBackgroundBitmap(), nullptr);
  EXPECT_EQ(host.List.GetBackgroundBitmap(), nullptr);
  EXPECT_EQ(host.Requests.size(), 2u);  // a failure is not retried
}

TEST(DocumentImages, HoverSwitchesEveryRunOfTheLink) {
  testing::LaidOutDocument doc;
  doc.List.LinksActive = true;
  auto section = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, testing::Font(12), "");
  TUrlTarget target;
  target.Update("a.html", "");
  const TRunFont blue = testing::Font(12, clBlue), red = testing::Font(12, clRed);
  TFontObj* first = section->AddFont(blue, "");
  section->SetLink(*first, target, {blue, blue, red, red});
  section->AddText("one ", 0);
  TFontObj* second = section->AddFont(testing::Font(12, clBlue, "Arial", DEFAULT_CHARSET), "");
  second->SScript = TScript::Super;
  section->SetLink(*second, target, {blue, blue, red, red});
  section->AddText("two", 4);
  section->AddFont(testing::Font(12), "");
  section->AddText(" plain", 7);
  TSection* p = section.get();
  doc.List.Add(std::move(section));
  doc.Layout(400);
  TCanvas& canvas = doc.Surface.Canvas();
  int x = 0, y = 0;
  ASSERT_TRUE(p->CursorToXY(canvas, 1, x, y));
  std::unique_ptr<TUrlTarget> url;
  TFormControlObj* control = nullptr;
  std::string title;
  doc.List.GetURL(canvas, x + 1, y + 2, url, control, title);
  EXPECT_EQ(first->Font().Color(), clRed);
  EXPECT_EQ(second->Font().Color(), clRed);
  doc.List.GetURL(canvas, x + 1, 900, url, control, title);
  EXPECT_EQ(first->Font().Color(), clBlue);
  EXPECT_EQ(second->Font().Color(), clBlue);
}

TEST(DocumentImages, TheImageUnderTheMouseTakesItsHoverAndPressedLooks) {
  testing::LaidOutDocument doc;
  auto section = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, testing::Font(12), "");
  auto box = std::make_unique<testing::Box>(30, 30, aBaseline);
  box->Owner = &doc.List;
  auto* image = static_cast<testing::Box*>(section->AddObject(std::move(box), 0));
  section->AddText(" text", 1);
  doc.List.Add(std::move(section));
  doc.Layout(400);
  doc.Paint();
  std::unique_ptr<TUrlTarget> url;
  TFormControlObj* control = nullptr;
  std::string title;
  doc.List.GetURL(doc.Surface.Canvas(), image->DrawXX + 5, image->DrawYY + 5, url, control, title);
  EXPECT_EQ(doc.List.ActiveImage, image);
  EXPECT_EQ(image->HoverLook, 1);
  doc.List.SetActiveImageDown(true);
  EXPECT_EQ(image->HoverLook, 2);
  doc.List.GetURL(doc.Surface.Canvas(), 390, 900, url, control, title);
  EXPECT_EQ(image->HoverLook, 0);
}

}  // namespace
}  // namespace lark
