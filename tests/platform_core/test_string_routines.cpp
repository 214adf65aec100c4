#include "platform/core/string_routines.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/exception.h"
#include "platform/core/format.h"

namespace lark {
namespace {

TEST(StringRoutines, TrimRemovesControlCharactersAndBlanksOnly) {
  EXPECT_EQ(Trim(" \t\r\n abc \x01"), "abc");
  EXPECT_EQ(Trim("\t \n"), "");
  EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
  EXPECT_EQ(TrimRight("  a b  "), "  a b");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // high bytes are characters, not blanks
}

TEST(StringRoutines, CaseFoldingIsAsciiOnly) {
  EXPECT_EQ(UpperCase("abc-XYZ-\xE9"), "ABC-XYZ-\xE9");
  EXPECT_EQ(LowerCase("ABC-xyz-\xC9"), "abc-xyz-\xC9");
  EXPECT_TRUE(SameText("Content-Length", "content-LENGTH"));
  EXPECT_FALSE(SameText("abc", "abcd"));
  EXPECT_EQ(CompareText("apple", "Banana"), -1);
  EXPECT_EQ(CompareText("b", "A"), 1);
  EXPECT_EQ(CompareText("ab", "AB"), 0);
  EXPECT_EQ(CompareText("ab", "abc"), -1);
  // Upper-case folding puts "_" (0x5F) after letters, as the class library does.
  EXPECT_GT(CompareText("_", "z"), 0);
  EXPECT_EQ(CompareStr("a", "B"), 1);
  EXPECT_EQ(CompareStr("\xE9", "z"), 1);  // bytes compare unsigned
}

TEST(StringRoutines, PosIsZeroBasedAndNeverFindsEmpty) {
  EXPECT_EQ(Pos("lo", "hello lo"), 3u);
  EXPECT_EQ(Pos("lo", "hello lo", 4), 6u);
  EXPECT_EQ(Pos("x", "hello"), std::string::npos);
  EXPECT_EQ(Pos("", "hello"), std::string::npos);
  EXPECT_EQ(PosText("HTTP", "xx http://"), 3u);
  EXPECT_EQ(PosText("abc", "ab"), std::string::npos);
}

TEST(StringRoutines, IntegerConversions) {
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x1234, 2), "1234");
  EXPECT_EQ(StrToInt("  -17"), -17);
  EXPECT_EQ(StrToInt("+8"), 8);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToIntDef("12a", 7), 7);
  for (const char* bad : {"", " ", "-", "12 ", "2147483648", "-2147483649", "1.5", "$", "0x", "--1", "+-1"}) {
    int value = 99;
    EXPECT_FALSE(TryStrToInt(bad, value)) << bad;
    EXPECT_EQ(value, 99) << bad;
  }
  try {
    (void)StrToInt("8o8o");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "'8o8o' is not a valid integer value");
  }
}

TEST(StringRoutines, FloatConversionIgnoresLocaleAndRejectsWords) {
  EXPECT_DOUBLE_EQ(StrToFloat(" 2.55 "), 2.55);
  EXPECT_DOUBLE_EQ(StrToFloat("-1e3"), -1000.0);
  EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
  double value = 0;
  EXPECT_FALSE(TryStrToFloat("inf", value));
  EXPECT_FALSE(TryStrToFloat("nan", value));
  EXPECT_FALSE(TryStrToFloat("1,5", value));
  EXPECT_THROW((void)StrToFloat("x"), EConvertError);
}

TEST(StringRoutines, StringReplaceAndQuotes) {
  EXPECT_EQ(StringReplace("a*b*c", "*", "", ReplaceAll::Yes), "abc");
  EXPECT_EQ(StringReplace("a*b*c", "*", "-", ReplaceAll::No), "a-b*c");
  EXPECT_EQ(StringReplace("xAbxaB", "ab", "_", ReplaceAll::Yes, IgnoreCase::Yes), "x_x_");
  EXPECT_EQ(StringReplace("aaa", "a", "aa", ReplaceAll::Yes), "aaaaaa");  // no rescan of the replacement
  EXPECT_EQ(StringReplace("abc", "", "x", ReplaceAll::Yes), "abc");
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
}

TEST(Format, IntegerStringAndHexSpecs) {
  EXPECT_EQ(Format("%d,%d,%d,%d", 1, -2, 30, 400), "1,-2,30,400");
  EXPECT_EQ(Format("Socket Error # %d", 10061), "Socket Error # 10061");
  EXPECT_EQ(Format("[%5d][%-5d][%.3d]", 42, 42, 7), "[   42][42   ][007]");
  EXPECT_EQ(Format("%x %.4x %X", 255, 10, -1), "FF 000A FFFFFFFF");
  EXPECT_EQ(Format("%x", std::int64_t{-1}), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("%u", 4000000000u), "4000000000");
  EXPECT_EQ(Format("<%s|%.2s|%4s|%s>", std::string("abc"), "xyz", 'q', "%"), "<abc|xy|   q|%>");
  EXPECT_EQ(Format("100%%"), "100%");
}

TEST(Format, FloatSpecsUseAPointWhateverTheLocale) {
  EXPECT_EQ(Format("%f", 2.0), "2.00");
  EXPECT_EQ(Format("%.1f KB/s", 12.26), "12.3 KB/s");
  EXPECT_EQ(Format("%.0f", -2.7), "-3");
  // Ties round away from zero; what the number reads as decides, not its
  // binary expansion.
  EXPECT_EQ(Format("%.0f|%.0f|%.2f|%.1f", 2.5, -0.5, 0.125, 12.25), "3|-1|0.13|12.3");
  EXPECT_EQ(Format("%.2f|%.1f", 0.015, 9.96), "0.02|10.0");
  EXPECT_EQ(Format("%.2f|%.3f", -0.001, 1e20), "0.00|100000000000000000000.000");
  EXPECT_EQ(Format("%n", 1234567.891), "1,234,567.89");
  EXPECT_EQ(Format("%.0n", -1234.0), "-1,234");
}

TEST(Format, MismatchedOrMissingArgumentsRaise) {
  EXPECT_THROW((void)Format("%d", "text"), EConvertError);
  EXPECT_THROW((void)Format("%s", 5), EConvertError);
  EXPECT_THROW((void)Format("%f", 5), EConvertError);
  EXPECT_THROW((void)Format("%d %d", 5), EConvertError);
  EXPECT_THROW((void)Format("%", 5), EConvertError);
  EXPECT_THROW((void)Format("%q", 5), EConvertError);
}

}  // namespace
}  // namespace lark
