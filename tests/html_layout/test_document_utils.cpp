#include "html/document_utils.h"

#include <gtest/gtest.h>

#include "html/attribute_list.h"
#include "html/image_map.h"
#include "html/text_collector.h"
#include "html/url_target.h"
#include "platform/core/code_page.h"
#include "platform/core/exception.h"
#include "platform/graphics/gdi.h"

namespace lark {
namespace {

TEST(DocumentUtils, TrimBlanksRemovesControlsAndBlanksAtBothEnds) {
  EXPECT_EQ(TrimBlanks("\t \t  "), "");
  EXPECT_EQ(TrimBlanks("\r\n a b\x01"), "a b");
}

TEST(DocumentUtils, DecodePercentRules) {
  std::string s = "a%20b%2525";
  DecodePercent(s);
  EXPECT_EQ(s, "a b%25");  // each escape is decoded once
  s = "%41%42";
  DecodePercent(s);
  EXPECT_EQ(s, "%41%42");  // a leading "%" stops the decoding
  s = "ab%4";
  DecodePercent(s);
  EXPECT_EQ(s, "ab%4");  // too short to be an escape
  s = "a%zz";
  EXPECT_THROW(DecodePercent(s), EConvertError);
}

TEST(DocumentUtils, FileUrlsBecomeAbsolutePaths) {
  EXPECT_EQ(FileURLToPath("file:///home/me/My%20Page.html"), "/home/me/My Page.html");
  EXPECT_EQ(FileURLToPath("FILE:///tmp/x"), "/tmp/x");
  EXPECT_EQ(FileURLToPath("a%20b"), "a b");
  EXPECT_EQ(CombinePath("pic.gif", "/srv/site"), "/srv/site/pic.gif");
  EXPECT_EQ(CombinePath("pic.gif", "/srv/site/"), "/srv/site/pic.gif");
  EXPECT_EQ(CombinePath("file:///abs/pic.gif", "/srv"), "/abs/pic.gif");
  EXPECT_EQ(CombinePath("pic.gif", ""), "pic.gif");
}

void Add(TAttributeList& list, Symb sy, const std::string& text) {
  list.Add(std::make_unique<TAttribute>(sy, 0, text));
}

TEST(TMapItem, ShapesAndTheirEdges) {
  TMapItem map;
  TAttributeList rect, circle, shortPoly, noHref;
  Add(rect, ShapeSy, "RECT");
  Add(rect, CoordsSy, " 0, 0 ,10  10 ");
  Add(rect, HrefSy, "r.html");
  Add(rect, TargetSy, "main");
  Add(circle, ShapeSy, "circle");
  Add(circle, CoordsSy, "30,5,5");
  Add(circle, HrefSy, "c.html");
  Add(shortPoly, ShapeSy, "polygon");
  Add(shortPoly, CoordsSy, "0,0,50,0,50");  // five numbers: ignored
  Add(shortPoly, HrefSy, "p.html");
  Add(noHref, CoordsSy, "100,100,120,120");
  Add(noHref, HrefSy, "n.html");
  Add(noHref, NoHrefSy, "");
  for (auto* list : {&rect, &circle, &shortPoly, &noHref}) map.AddArea(*list);
  ASSERT_EQ(map.Areas.size(), 3u);

  std::unique_ptr<TUrlTarget> target;
  ASSERT_TRUE(map.GetURL(10, 10, target));  // right and bottom edges belong to the rectangle
  EXPECT_EQ(target->URL, "r.html");
  EXPECT_EQ(target->Target, "main");
  EXPECT_FALSE(map.GetURL(11, 5, target));
  EXPECT_TRUE(map.GetURL(25, 5, target));  // the circle spans 25..35
  EXPECT_EQ(target->URL, "c.html");
  EXPECT_TRUE(map.GetURL(35, 5, target));
  EXPECT_FALSE(map.GetURL(110, 110, target));  // NOHREF
}

TEST(TMapItem, PolygonAndBadNumbers) {
  TMapItem map;
  TAttributeList poly;
  Add(poly, ShapeSy, "poly");
  Add(poly, CoordsSy, "0,0,40,x,40,20");  // "x" reads as 0
  Add(poly, HrefSy, "p");
  map.AddArea(poly);
  std::unique_ptr<TUrlTarget> target;
  EXPECT_TRUE(map.GetURL(30, 10, target));
  EXPECT_FALSE(map.GetURL(10, 15, target));
}

TEST(TextCollectors, CountSkipsPlaceholdersAndBufferKeepsCharactersWhole) {
  SelTextCount count;
  count.AddText("a\x04" "b\x02", CP_UTF8);
  AddTextCR(count, "c", CP_UTF8);
  EXPECT_EQ(count.Terminate(), 5);

  char buffer[6];
  SelTextBuf buf(buffer, sizeof buffer);
  buf.AddText("ab\x08" "c\xC3\xA9\xC3\xA9", CP_UTF8);  // room for "abc" and one "é"
  EXPECT_EQ(buf.Terminate(), 6);
  EXPECT_STREQ(buffer, "abc\xC3\xA9");
}

TEST(TextCollectors, RunsAreDecodedInTheirOwnCodePage) {
  char buffer[32];
  SelTextBuf buf(buffer, sizeof buffer);
  buf.AddText("\xE9", CP_UTF8);  // a lone byte reads as Windows-1252
  buf.AddText("\xC1", 1251);     // Cyrillic capital be
  buf.AddText("\x82\xA0", 932);  // Shift-JIS hiragana a
  buf.Terminate();
  EXPECT_STREQ(buffer, "\xC3\xA9\xD0\x91\xE3\x81\x82");
}

TEST(TextCollectors, ClipBufferKeepsAtMost32499Bytes) {
  std::string clipboard;
  SetClipboardWriter([&](const std::string& text) { clipboard = text; });
  {
    ClipBuffer clip;
    clip.AddText(std::string(40000, 'x'), CP_UTF8);
    EXPECT_EQ(clip.Terminate(), 32500);
  }
  EXPECT_EQ(clipboard.size(), 32499u);
  SetClipboardWriter(nullptr);
  ClipBuffer clip;
  clip.AddText("x", CP_UTF8);
  EXPECT_THROW(clip.Terminate(), EInvalidOperation);
}

TEST(Drawing, RaisedBoxPutsLightTopLeftAndDarkBottomRight) {
  TBitmap bitmap(40, 40);
  TCanvas& canvas = bitmap.Canvas();
  DrawRaisedBoxColors(canvas, 5, 5, 30, 30, clRed, clBlue, true);
  EXPECT_EQ(bitmap.Pixel(5, 15) & 0xFFFFFF, clRed);
  EXPECT_EQ(bitmap.Pixel(15, 5) & 0xFFFFFF, clRed);
  EXPECT_EQ(bitmap.Pixel(30, 15) & 0xFFFFFF, clBlue);
  EXPECT_EQ(bitmap.Pixel(15, 30) & 0xFFFFFF, clBlue);
  DrawRaisedBoxColors(canvas, 5, 5, 30, 30, clRed, clBlue, false);
  EXPECT_EQ(bitmap.Pixel(5, 15) & 0xFFFFFF, clBlue);
  EXPECT_EQ(bitmap.Pixel(30, 15) & 0xFFFFFF, clRed);
  // On a white page the light edge is silver so that it shows.
  DrawRaisedBox(TPageLook{false, clWhite}, canvas, 5, 5, 30, 30, true);
  EXPECT_EQ(bitmap.Pixel(5, 15) & 0xFFFFFF, clSilver);
}

TEST(Drawing, WrapTextRectStaysInsideItsBox) {
  TBitmap bitmap(200, 100);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font().SetName("Arial");
  canvas.Font().SetSize(8);
  canvas.Font().SetColor(clBlack);
  const int lineHeight = canvas.TextHeight("A");
  WrapTextRect(canvas, 10, 10, "alpha beta gamma delta epsilon zeta eta theta", 10 + 2 * lineHeight, 60);
  bool inked = false;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      if ((bitmap.Pixel(x, y) & 0xFFFFFF) == clWhite) continue;
      inked = true;
      EXPECT_TRUE(x >= 10 && x < 60 && y >= 10 && y < 10 + 2 * lineHeight) << x << "," << y;
    }
  EXPECT_TRUE(inked);
}

TEST(Drawing, BitmapToRegionAndMaskedPrinting) {
  TBitmap mask(4, 2);  // white is see-through
  mask.Canvas().Brush().Color = clBlack;
  mask.Canvas().FillRect(Rect(1, 0, 3, 1));
  const TRegion region = BitmapToRegion(mask, clWhite);
  EXPECT_TRUE(region.Contains(1, 0));
  EXPECT_TRUE(region.Contains(2, 0));
  EXPECT_FALSE(region.Contains(0, 0));
  EXPECT_FALSE(region.Contains(1, 1));

  TBitmap picture(4, 2);
  picture.Canvas().Brush().Color = clRed;
  picture.Canvas().FillRect(Rect(0, 0, 4, 2));
  TBitmap page(20, 20);
  PrintTransparentBitmap(page.Canvas(), 4, 4, 8, 4, picture, mask);  // scaled twice
  EXPECT_EQ(page.Pixel(6, 4) & 0xFFFFFF, clRed);
  EXPECT_EQ(page.Pixel(9, 5) & 0xFFFFFF, clRed);
  EXPECT_EQ(page.Pixel(4, 4) & 0xFFFFFF, clWhite);
  EXPECT_EQ(page.Pixel(6, 6) & 0xFFFFFF, clWhite);
  TRegion after;
  EXPECT_EQ(GetClipRgn(page.Canvas(), after), NO_CLIP_REGION);  // the clip is restored
}

}  // namespace
}  // namespace lark
