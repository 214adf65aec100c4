#include <gtest/gtest.h>

#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/region.h"

namespace lark {
namespace {

TEST(Region, RectanglesExcludeTheirRightAndBottomEdges) {
  const TRegion r = CreateRectRgn(10, 20, 30, 40);
  EXPECT_TRUE(PtInRegion(r, 10, 20));
  EXPECT_TRUE(PtInRegion(r, 29, 39));
  EXPECT_FALSE(PtInRegion(r, 30, 39));
  EXPECT_FALSE(PtInRegion(r, 29, 40));
  EXPECT_FALSE(PtInRegion(r, 9, 20));
  EXPECT_EQ(r.Kind(), SIMPLEREGION);
  EXPECT_EQ(r.Bounds(), Rect(10, 20, 30, 40));
  EXPECT_TRUE(CreateRectRgn(5, 5, 5, 9).IsEmpty());
  EXPECT_EQ(CreateRectRgn(30, 40, 10, 20).Bounds(), Rect(10, 20, 30, 40));  // corners in any order
}

TEST(Region, EllipseIsSymmetricAndStaysInsideItsBox) {
  // The image-map circle at (50, 50) with radius 10: box (40, 40)-(61, 61).
  const TRegion circle = CreateEllipticRgn(40, 40, 61, 61);
  EXPECT_EQ(circle.Bounds(), Rect(40, 40, 61, 61));
  EXPECT_TRUE(PtInRegion(circle, 50, 50));
  EXPECT_TRUE(PtInRegion(circle, 60, 50));
  EXPECT_TRUE(PtInRegion(circle, 40, 50));
  EXPECT_TRUE(PtInRegion(circle, 50, 40));
  EXPECT_FALSE(PtInRegion(circle, 61, 50));
  EXPECT_FALSE(PtInRegion(circle, 40, 40));  // corner of the box
  EXPECT_FALSE(PtInRegion(circle, 60, 60));
  for (int y = 40; y < 61; ++y)
    for (int x = 40; x < 61; ++x) {
      ASSERT_EQ(PtInRegion(circle, x, y), PtInRegion(circle, 100 - x, y)) << x << "," << y;
      ASSERT_EQ(PtInRegion(circle, x, y), PtInRegion(circle, x, 100 - y)) << x << "," << y;
    }
}

TEST(Region, PolygonFillModesDifferOnlyWhereEdgesWindTwice) {
  // A pentagram: its centre is wound twice.
  const TPoint star[] = {{50, 0}, {79, 90}, {2, 34}, {98, 34}, {21, 90}};
  const TRegion winding = CreatePolygonRgn(star, 5, WINDING);
  const TRegion alternate = CreatePolygonRgn(star, 5, ALTERNATE);
  EXPECT_TRUE(PtInRegion(winding, 50, 50));
  EXPECT_FALSE(PtInRegion(alternate, 50, 50));
  EXPECT_TRUE(PtInRegion(winding, 50, 10));  // a point of the star
  EXPECT_TRUE(PtInRegion(alternate, 50, 10));
  EXPECT_FALSE(PtInRegion(winding, 5, 80));
}

TEST(Region, PolygonEdgesFollowPixelCentres) {
  // A right triangle (0,0)-(10,0)-(0,10): a pixel is in when its centre is.
  const TPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  const TRegion r = CreatePolygonRgn(triangle, 3, WINDING);
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, 8, 0));
  EXPECT_FALSE(PtInRegion(r, 10, 0));
  EXPECT_FALSE(PtInRegion(r, 5, 5));   // centre (5.5, 5.5) is beyond the diagonal
  EXPECT_TRUE(PtInRegion(r, 4, 4));    // centre (4.5, 4.5) is inside
  EXPECT_TRUE(CreatePolygonRgn(triangle, 2, WINDING).IsEmpty());
}

TEST(Region, HugeShapesFromDocumentsAreCutToSixteenBitCoordinates) {
  const TRegion circle = CreateEllipticRgn(-1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_TRUE(PtInRegion(circle, 0, 0));
  EXPECT_TRUE(PtInRegion(circle, 32766, -32768));
  EXPECT_FALSE(PtInRegion(circle, 40000, 0));
  std::vector<TPoint> zigzag;
  for (int i = 0; i < 20000; ++i) zigzag.push_back({i % 2 ? 1000 : 0, i / 8});
  const TRegion cut = CreatePolygonRgn(zigzag.data(), int(zigzag.size()), ALTERNATE);
  EXPECT_EQ(cut.Bounds().Bottom, 2047);  // only the first 16384 points count
}

TEST(Region, CombiningAndOffsetting) {
  const TRegion a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15);
  TRegion r;
  EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(r.Bounds(), Rect(5, 5, 10, 10));
  EXPECT_EQ(CombineRgn(r, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(r, 14, 14));
  EXPECT_FALSE(PtInRegion(r, 14, 0));
  EXPECT_EQ(CombineRgn(r, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(r, 7, 7));
  EXPECT_TRUE(PtInRegion(r, 2, 7));
  EXPECT_EQ(CombineRgn(r, a, b, RGN_XOR), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(r, 7, 7));
  EXPECT_TRUE(PtInRegion(r, 12, 12));
  EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(r, r, CreateRectRgn(20, 20, 30, 30), RGN_AND), NULLREGION);  // dest aliases a
  EXPECT_EQ(CombineRgn(r, a, a, 99), REGION_ERROR);
  TRegion moved = a;
  OffsetRgn(moved, 3, -2);
  EXPECT_EQ(moved.Bounds(), Rect(3, -2, 13, 8));
  EXPECT_EQ(a.Bounds(), Rect(0, 0, 10, 10));  // copies are independent
}

TEST(Region, ExtCreateRegionJoinsRows) {
  const TRegion r = ExtCreateRegion({Rect(0, 0, 3, 1), Rect(5, 0, 6, 1), Rect(0, 1, 6, 2), Rect(4, 4, 4, 9)});
  EXPECT_TRUE(PtInRegion(r, 2, 0));
  EXPECT_FALSE(PtInRegion(r, 3, 0));
  EXPECT_TRUE(PtInRegion(r, 5, 0));
  EXPECT_TRUE(PtInRegion(r, 3, 1));
  EXPECT_FALSE(PtInRegion(r, 4, 4));  // empty rectangles add nothing
  EXPECT_TRUE(EqualRgn(ExtCreateRegion({Rect(0, 0, 2, 2)}), CreateRectRgn(0, 0, 2, 2)));
}

TEST(Region, SelectedClipIsReadBackAndFillRgnPaints) {
  TBitmap bitmap(20, 20);
  TCanvas& canvas = bitmap.Canvas();
  TRegion read;
  EXPECT_EQ(GetClipRgn(canvas, read), NO_CLIP_REGION);
  const TRegion clip = CreateEllipticRgn(0, 0, 20, 20);
  SelectClipRgn(canvas, &clip);
  EXPECT_EQ(GetClipRgn(canvas, read), HAS_CLIP_REGION);
  EXPECT_TRUE(EqualRgn(read, clip));
  EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 20, 20));
  IntersectClipRect(canvas, 0, 0, 10, 20);
  EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 10, 20));
  canvas.Brush().Color = clBlack;
  canvas.FillRect(Rect(0, 0, 20, 20));
  EXPECT_EQ(bitmap.Pixel(0, 0), clWhite);   // outside the ellipse
  EXPECT_EQ(bitmap.Pixel(5, 10), clBlack);
  EXPECT_EQ(bitmap.Pixel(15, 10), clWhite);  // outside the rectangle
  SelectClipRgn(canvas, nullptr);
  TBrush red;
  red.Color = clRed;
  FillRgn(canvas, CreateRectRgn(18, 18, 20, 20), red);
  EXPECT_EQ(bitmap.Pixel(19, 19), clRed);
  EXPECT_EQ(bitmap.Pixel(17, 19), clWhite);
}

}  // namespace
}  // namespace lark
