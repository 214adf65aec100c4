#include "html/colors.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "html/my_font.h"

namespace lark {
namespace {

bool Read(const std::string& text, bool needPound, TColor& color) { return ColorFromString(text, needPound, color); }

TEST(ColorNames, TableHasAllNamesOnceTransparentFirst) {
  ASSERT_EQ(ColorNameCount(), 141);
  EXPECT_EQ(ColorName(0), "transparent");
  std::set<std::string_view> names;
  for (int i = 0; i < ColorNameCount(); ++i) names.insert(ColorName(i));
  EXPECT_EQ(names.size(), 141u);
  TColor color = 0;
  EXPECT_TRUE(FindColorName("lightgrey", color));
  EXPECT_EQ(color, RGB(0xD3, 0xD3, 0xD3));
  EXPECT_FALSE(FindColorName("grey", color));
  EXPECT_TRUE(FindColorName("cornflowerblue", color));
  EXPECT_EQ(color, RGB(0x64, 0x95, 0xED));
  EXPECT_TRUE(FindColorName("yellowgreen", color));
  EXPECT_EQ(color, RGB(0x9A, 0xCD, 0x32));
}

TEST(ColorFromString, NamesCarryNoPaletteFlag) {
  TColor color = 1;
  ASSERT_TRUE(Read(" Red ", true, color));
  EXPECT_EQ(color, clRed);
  ASSERT_TRUE(Read("Transparent", false, color));
  EXPECT_EQ(color, NoColor);
  ASSERT_TRUE(Read("NAVY", false, color));
  EXPECT_EQ(color, clNavy);
}

TEST(ColorFromString, HexFormsCarryThePaletteFlag) {
  TColor shortForm = 0, longForm = 0, bare = 0;
  ASSERT_TRUE(Read("#abc", true, shortForm));
  ASSERT_TRUE(Read("#AABBCC", true, longForm));
  EXPECT_EQ(shortForm, longForm);
  EXPECT_EQ(longForm, RGB(0xAA, 0xBB, 0xCC) | PalRelative);
  ASSERT_TRUE(Read("ff0000", false, bare));
  EXPECT_EQ(bare, clRed | PalRelative);
  TColor untouched = 42;
  EXPECT_FALSE(Read("ff0000", true, untouched));
  EXPECT_EQ(untouched, 42);
}

TEST(ColorFromString, CacheIsKeyedOnNeedPoundToo) {
  TColor color = 0;
  ASSERT_TRUE(Read("abc", false, color));
  EXPECT_EQ(color, RGB(0xAA, 0xBB, 0xCC) | PalRelative);
  TColor again = 7;
  EXPECT_FALSE(Read("abc", true, again));  // the previous answer must not leak
  EXPECT_EQ(again, 7);
  ASSERT_TRUE(Read("abc", false, again));
  EXPECT_EQ(again, color);
}

TEST(ColorFromString, RgbComponentsArePercentagesOrIntegersLimited) {
  TColor color = 0;
  ASSERT_TRUE(Read("rgb(100%, 0%, 0%)", false, color));
  EXPECT_EQ(color, 255 | PalRelative);
  ASSERT_TRUE(Read("rgb(300,0,0)", false, color));
  EXPECT_EQ(color, 255 | PalRelative);
  ASSERT_TRUE(Read("RGB( 1 , 2 , 3 )", false, color));
  EXPECT_EQ(color, RGB(1, 2, 3) | PalRelative);
  ASSERT_TRUE(Read("rgb(50%,-20,99999999999999)", false, color));
  EXPECT_EQ(color, RGB(128, 0, 255) | PalRelative);
}

TEST(ColorFromString, MalformedTextIsNoColourAndNeverThrows) {
  for (const char* text : {"rgb(1,2)", "rgb(1,x,3)", "rgb()", "rgb", "rgb(,,)", "rgb(1.5,2,3)",
                           "#1234567", "#ffffffffffffffffffff", "#ggg", "#", "", "   ", "notacolour",
                           "rgb(%,1,2)", "rgb(1,2,3"}) {
    TColor color = 99;
    bool found = true;
    EXPECT_NO_THROW(found = Read(text, true, color)) << text;
    if (std::string(text) == "rgb(1,2,3") {
      EXPECT_TRUE(found);  // an unclosed parenthesis still reads
    } else {
      EXPECT_FALSE(found) << text;
      EXPECT_EQ(color, 99) << text;
    }
  }
}

}  // namespace
}  // namespace lark
