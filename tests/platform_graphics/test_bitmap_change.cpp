#include <gtest/gtest.h>

#include <string>

#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

namespace lark {
namespace {

// Counts OnChange calls of a bitmap.
struct ChangeCount {
  explicit ChangeCount(TBitmap& bitmap) {
    bitmap.OnChange = [this, &bitmap](TBitmap* sender) {
      EXPECT_EQ(sender, &bitmap);
      ++count;
    };
  }
  int count = 0;
};

TEST(BitmapChange, EveryWayOfChangingTheBitmapIsReported) {
  TBitmap bitmap(8, 8);
  ChangeCount changes(bitmap);
  auto reported = [&](const char* what, const std::function<void()>& change) {
    const int before = changes.count;
    change();
    EXPECT_GT(changes.count, before) << what;
  };
  reported("fill", [&] { bitmap.Canvas().FillRect(Rect(0, 0, 4, 4)); });
  reported("pixel", [&] { bitmap.Canvas().SetPixel(1, 1, clRed); });
  reported("text", [&] { bitmap.Canvas().TextOut(0, 0, "x"); });
  reported("size", [&] { bitmap.SetSize(10, 6); });
  reported("format", [&] { bitmap.SetPixelFormat(pf8bit); });
  reported("monochrome", [&] { bitmap.SetMonochrome(true); });
  reported("transparent colour", [&] { bitmap.SetTransparentColor(clRed); });
  reported("transparent mode", [&] { bitmap.SetTransparentMode(tmAuto); });
  reported("transparent", [&] { bitmap.SetTransparent(true); });
  reported("writable row", [&] { static_cast<unsigned char*>(bitmap.ScanLine(0))[0] = 0; });
  TBitmap other(3, 3);
  reported("assign", [&] { bitmap.Assign(other); });
  TMemoryStream file;
  other.SaveToStream(file);
  file.SetPosition(0);
  reported("load", [&] { bitmap.LoadFromStream(file); });
}

TEST(BitmapChange, ReadingAndDrawingFromTheBitmapAreNotChanges) {
  TBitmap bitmap(8, 8);
  bitmap.Canvas().FillRect(Rect(0, 0, 8, 8));
  ChangeCount changes(bitmap);
  TBitmap target(8, 8);
  target.Canvas().Draw(0, 0, bitmap);
  target.Canvas().CopyRect(Rect(0, 0, 4, 4), bitmap.Canvas(), Rect(0, 0, 4, 4));
  (void)bitmap.Pixel(1, 1);
  (void)bitmap.Canvas().Pixel(1, 1);
  (void)static_cast<const TBitmap&>(bitmap).ScanLine(0);
  bitmap.SetSize(8, 8);  // the same size
  EXPECT_EQ(changes.count, 0);
  // Copying the bitmap does not carry its listener along.
  TBitmap copy;
  copy.Assign(bitmap);
  EXPECT_FALSE(copy.OnChange);
}

}  // namespace
}  // namespace lark
