#include <gtest/gtest.h>

#include "html/parser_state.h"
#include "html/properties.h"

namespace lark {
namespace {

TEST(LengthConv, UnitsAtNinetySixPixelsPerInch) {
  EXPECT_EQ(LengthConv("2em", false, 0, 0, 16, 8), 32);
  EXPECT_EQ(LengthConv("3ex", false, 0, 0, 16, 7), 21);
  EXPECT_EQ(LengthConv("1.5in", false, 0, 0, 16, 8), 144);
  EXPECT_EQ(LengthConv("2.54cm", false, 0, 0, 16, 8), 96);
  EXPECT_EQ(LengthConv("25.4mm", false, 0, 0, 16, 8), 96);
  EXPECT_EQ(LengthConv("72pt", false, 0, 0, 16, 8), 96);
  EXPECT_EQ(LengthConv("1pc", false, 0, 0, 16, 8), 16);
  EXPECT_EQ(LengthConv("7px", false, 0, 0, 16, 8), 7);
  EXPECT_EQ(LengthConv(" 10% ", false, 400, 0, 16, 8), 40);
  EXPECT_EQ(LengthConv("-5px", false, 0, 0, 16, 8), -5);
  EXPECT_EQ(LengthConv(".5EM", false, 0, 0, 16, 8), 8);
}

TEST(LengthConv, BareNumbersAreRelativeOnlyWhenAsked) {
  EXPECT_EQ(LengthConv("12", false, 3, 0, 16, 8), 12);
  EXPECT_EQ(LengthConv("12", true, 3, 0, 16, 8), 36);
  EXPECT_EQ(LengthConv("1.5", true, 20, 0, 16, 8), 30);
}

TEST(LengthConv, UnknownUnitsAndMalformedNumbersGiveTheDefault) {
  for (const char* text : {"3furlongs", "", "px", "-", ".", "1.2.3px", "--4px", "+-1", "e5", "1e5px", "auto"})
    EXPECT_EQ(LengthConv(text, false, 100, -77, 16, 8), -77) << text;
}

TEST(LengthConv, HugeValuesAreClampedBeforeRounding) {
  EXPECT_EQ(LengthConv("99999999999999999999999px", false, 0, 0, 16, 8), MaxLength);
  EXPECT_EQ(LengthConv("-99999999999999999999999in", false, 0, 0, 16, 8), -MaxLength);
  EXPECT_EQ(LengthConv("5000000%", false, 2000000000, 0, 16, 8), MaxLength);
  EXPECT_EQ(LengthConv("1000000000em", false, 0, 0, 1000000, 8), MaxLength);
}

TEST(FontSizeConv, UnitsKeywordsAndRelativeSizes) {
  EXPECT_DOUBLE_EQ(FontSizeConv("smaller", 12, 12), 9);
  EXPECT_DOUBLE_EQ(FontSizeConv("larger", 12, 12), 15);
  EXPECT_DOUBLE_EQ(FontSizeConv("xx-large", 20, 12), 36);
  EXPECT_DOUBLE_EQ(FontSizeConv("xx-small", 20, 12), 8);
  EXPECT_DOUBLE_EQ(FontSizeConv("x-small", 20, 12), 10);
  EXPECT_DOUBLE_EQ(FontSizeConv("small", 20, 12), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("medium", 20, 10), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("large", 20, 12), 18);
  EXPECT_DOUBLE_EQ(FontSizeConv("x-large", 20, 12), 24);
  EXPECT_DOUBLE_EQ(FontSizeConv("2em", 10, 12), 20);
  EXPECT_DOUBLE_EQ(FontSizeConv("2ex", 10, 12), 10);
  EXPECT_DOUBLE_EQ(FontSizeConv("150%", 10, 12), 15);
  EXPECT_DOUBLE_EQ(FontSizeConv("16px", 10, 12), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("16", 10, 12), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("14pt", 10, 12), 14);
  EXPECT_DOUBLE_EQ(FontSizeConv("1pc", 10, 12), 12);
  EXPECT_DOUBLE_EQ(FontSizeConv("1in", 10, 12), 72);
  EXPECT_NEAR(FontSizeConv("1cm", 10, 12), 72 / 2.54, 1e-9);
}

TEST(FontSizeConv, UnknownOrMalformedGivesDefaultAndResultsStayInRange) {
  for (const char* text : {"huge", "", "1.2.3pt", "-", "12furlongs", "pt"})
    EXPECT_DOUBLE_EQ(FontSizeConv(text, 20, 11), 11) << text;
  EXPECT_DOUBLE_EQ(FontSizeConv("99999999999999999999pt", 10, 12), MaxFontSize);
  EXPECT_DOUBLE_EQ(FontSizeConv("0pt", 10, 12), 1);
  EXPECT_DOUBLE_EQ(FontSizeConv("-4pt", 10, 12), 1);
}

TVMarginArray EmptyBox() {
  TVMarginArray vm;
  for (int i = css::MarginTop; i <= css::Left; ++i) vm[static_cast<std::size_t>(i)] = NullValue;
  return vm;
}

TEST(ConvMargArray, UnsetValuesAndSpecialValues) {
  TVMarginArray vm = EmptyBox();
  TBoxValues box = ConvMargArray(vm, 800, 600, 16, 8);
  EXPECT_EQ(box.M[css::BackgroundColor], NoColor);
  EXPECT_EQ(box.M[css::MarginTop], 0);
  EXPECT_EQ(box.M[css::PaddingLeft], 0);
  EXPECT_EQ(box.M[css::BorderTopWidth], 0);  // no border style: no border
  EXPECT_EQ(box.M[css::Width], AutoValue);
  EXPECT_EQ(box.M[css::Top], AutoValue);
  EXPECT_EQ(box.AutoCount, 1);

  vm[css::MarginTop] = ParagraphSpace;
  vm[css::MarginBottom] = std::string("1em");
  vm[css::MarginLeft] = std::string("auto");
  vm[css::MarginRight] = std::string("10%");
  vm[css::Width] = std::string("50%");
  vm[css::Height] = std::string("50%");
  vm[css::PaddingTop] = std::string("2ex");
  vm[css::BackgroundColor] = clRed;
  box = ConvMargArray(vm, 800, 600, 16, 8);
  EXPECT_EQ(box.M[css::MarginTop], 14);
  EXPECT_TRUE(box.ParagraphSpaceTop);
  EXPECT_FALSE(box.ParagraphSpaceBottom);
  EXPECT_EQ(box.M[css::MarginBottom], 16);
  EXPECT_EQ(box.M[css::MarginLeft], AutoValue);
  EXPECT_EQ(box.M[css::MarginRight], 80);
  EXPECT_EQ(box.M[css::Width], 400);
  EXPECT_EQ(box.M[css::Height], 300);
  EXPECT_EQ(box.M[css::PaddingTop], 16);
  EXPECT_EQ(box.M[css::BackgroundColor], clRed);
  EXPECT_EQ(box.AutoCount, 1);
}

TEST(ConvMargArray, BorderWidthsFollowTheirSideStyle) {
  TVMarginArray vm = EmptyBox();
  vm[css::BorderTopWidth] = std::string("thick");
  vm[css::BorderRightWidth] = std::string("thin");
  vm[css::BorderBottomWidth] = std::string("3px");
  vm[css::BorderTopStyle] = std::string("solid");
  vm[css::BorderRightStyle] = std::string("dashed");
  vm[css::BorderBottomStyle] = std::string("none");
  vm[css::BorderLeftStyle] = std::string("solid");
  TBoxValues box = ConvMargArray(vm, 800, 600, 16, 8);
  EXPECT_EQ(box.M[css::BorderTopWidth], 6);
  EXPECT_EQ(box.M[css::BorderRightWidth], 2);
  EXPECT_EQ(box.M[css::BorderBottomWidth], 0);
  EXPECT_EQ(box.M[css::BorderLeftWidth], 4);  // a style without a width is medium
  vm[css::BorderTopStyle] = 0;
  vm[css::BorderLeftWidth] = std::string("bogus");
  box = ConvMargArray(vm, 800, 600, 16, 8);
  EXPECT_EQ(box.M[css::BorderTopWidth], 0);
  EXPECT_EQ(box.M[css::BorderLeftWidth], 4);
}

TEST(CodePageOfCharSet, WindowsCharSetsAndTheSystemCodePage) {
  EXPECT_EQ(CodePageOfCharSet(ANSI_CHARSET, 1234), 65001);
  EXPECT_EQ(CodePageOfCharSet(DEFAULT_CHARSET, 1234), 65001);
  EXPECT_EQ(CodePageOfCharSet(OEM_CHARSET, 1234), 437);
  EXPECT_EQ(CodePageOfCharSet(MAC_CHARSET, 1234), 10000);
  EXPECT_EQ(CodePageOfCharSet(SHIFTJIS_CHARSET, 0), 932);
  EXPECT_EQ(CodePageOfCharSet(RUSSIAN_CHARSET, 0), 1251);
  EXPECT_EQ(CodePageOfCharSet(GREEK_CHARSET, 0), 1253);
  EXPECT_EQ(CodePageOfCharSet(THAI_CHARSET, 0), 874);
  EXPECT_EQ(CodePageOfCharSet(JOHAB_CHARSET, 0), 1361);
  EXPECT_EQ(CodePageOfCharSet(99, 1252), 1252);  // not a listed charset: unchanged
}

TEST(FontSizeTables, ScaleWithTheBaseSize) {
  SetFontSizeTables(12);
  EXPECT_DOUBLE_EQ(FontConv(1), 8);
  EXPECT_DOUBLE_EQ(FontConv(7), 36);
  EXPECT_DOUBLE_EQ(PreFontConv(3), 10);
  SetFontSizeTables(16);
  EXPECT_DOUBLE_EQ(FontConv(3), 16);
  EXPECT_DOUBLE_EQ(PreFontConv(7), 40);
  EXPECT_DOUBLE_EQ(FontConv(0), FontConv(1));
  EXPECT_DOUBLE_EQ(FontConv(99), FontConv(7));
  SetFontSizeTables(12);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST(LengthConv, EnormousNumbersTimesZeroStayFinite) {
  const std::string huge(400, '9');
  EXPECT_EQ(LengthConv(huge + "%", false, 0, -1, 16, 8), 0);
  EXPECT_EQ(LengthConv(huge + "em", false, 0, -1, 0, 8), 0);
  EXPECT_EQ(LengthConv(huge, false, 0, -1, 16, 8), MaxLength);
  EXPECT_DOUBLE_EQ(FontSizeConv(huge + "em", 0, 12), 1);
}

}  // namespace
}  // namespace lark
