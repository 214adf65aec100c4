#include "platform/graphics/arithmetic.h"
#include "platform/graphics/color.h"
#include "platform/graphics/geometry.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

TEST(MulDiv, RoundsHalfAwayFromZeroAndFailsOnZeroDivisor) {
  EXPECT_EQ(MulDiv(10, 3, 4), 8);    // 7.5
  EXPECT_EQ(MulDiv(-10, 3, 4), -8);  // -7.5
  EXPECT_EQ(MulDiv(10, -3, -4), 8);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);
  EXPECT_EQ(MulDiv(1 << 30, 8, 4), -1);  // does not fit in 32 bits
  EXPECT_EQ(MulDiv(1 << 30, 1 << 30, 1 << 30), 1 << 30);  // 64-bit intermediate
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(Round, RoundsHalfToEven) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(2.51), 3);
  EXPECT_EQ(Round(-0.4), 0);
}

TEST(Color, SystemColoursResolveToTheClassicScheme) {
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(128, 128, 128));
  EXPECT_EQ(ColorToRGB(clBtnHighlight), clWhite);
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(TColor(0x80000012)), clBlack);  // the button-text colour by number
  EXPECT_EQ(ColorToRGB(0x02123456), 0x02123456);        // palette-relative kept
  EXPECT_EQ(ColorToRGB24(0x02123456), 0x123456u);       // but not drawn
  EXPECT_EQ(GetSysColor(200), clBlack);
  EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
  EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(Geometry, IntersectionOfRectanglesWithExclusiveEdges) {
  TRect r;
  EXPECT_TRUE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
  EXPECT_EQ(r, Rect(5, 5, 10, 10));
  EXPECT_FALSE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));  // touching edges
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_TRUE(Rect(0, 0, 2, 2).Contains(Point(1, 1)));
  EXPECT_FALSE(Rect(0, 0, 2, 2).Contains(Point(2, 1)));
}

}  // namespace
}  // namespace lark
