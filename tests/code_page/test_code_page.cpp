#include "platform/core/code_page.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

struct DecodeCase {
  int CodePage;
  std::string Bytes;
  std::size_t Length;
  char32_t CodePoint;
};

TEST(CodePage, DecodesTheFirstCharacterOfEachCodePage) {
  const DecodeCase cases[] = {
      {CP_UTF8, "A", 1, U'A'},
      {CP_UTF8, "\xC3\xA9", 2, 0xE9},
      {CP_UTF8, "\xE2\x82\xAC", 3, 0x20AC},
      {CP_UTF8, "\xF0\x9F\x98\x80", 4, 0x1F600},
      // Bytes that form no UTF-8 read as Windows-1252, one byte each.
      {CP_UTF8, "\x92", 1, 0x2019},
      {CP_UTF8, "\xE9t\xE9", 1, 0xE9},
      {CP_UTF8, "\xE2\x82", 1, 0xE2},          // cut sequence
      {CP_UTF8, "\xC0\x80", 1, 0xC0},          // overlong
      {CP_UTF8, "\xED\xA0\x80", 1, 0xED},      // encoded surrogate
      {CP_UTF8, "\xF4\x90\x80\x80", 1, 0xF4},  // above U+10FFFF
      {CP_UTF8, "\x81", 1, 0xFFFD},            // undefined in 1252
      {CP_ACP, "\xC3\xA9", 2, 0xE9},
      {1252, "\x80", 1, 0x20AC},
      {1251, "\xC0", 1, 0x0410},
      {1253, "\xE1", 1, 0x03B1},
      {874, "\xA1", 1, 0x0E01},
      {437, "\x82", 1, 0xE9},
      {CP_OEMCP, "\xB0", 1, 0x2591},
      {10000, "\x8E", 1, 0xE9},
      {932, "\x82\xA0", 2, 0x3042},
      {932, "\xB1", 1, 0xFF71},   // half-width katakana is one byte
      {932, "\x83\x5C", 2, 0x30BD},  // trail byte in the ASCII range
      {932, "\x82", 1, 0xFFFD},   // lead byte at the end
      {932, "\x82" "\x20", 1, 0xFFFD},  // lead byte without a trail
      {936, "\xD6\xD0", 2, 0x4E2D},
      {949, "\xC7\xD1", 2, 0xD55C},
      {950, "\xA4\xA4", 2, 0x4E2D},
      {950, "\xA1\x40", 2, 0x3000},
      {936, "\x80", 1, 0x20AC},  // not a lead byte: the euro sign alone
      {1361, "\x88\x61", 2, 0xAC00},
      {932, "\xFF", 1, 0xFFFD},
      // Pages that name their code page: ISO-8859-2 differs from 1250 at
      // 0xA1..0xBE, KOI8 from 1251 everywhere; Latin-1 reads as 1252.
      {CodePageOfIso8859(2), "\xA1", 1, 0x0104},
      {CodePageOfIso8859(2), "\xB7", 1, 0x02C7},
      {1250, "\xA1", 1, 0x02C7},
      {CodePageOfIso8859(15), "\xA4", 1, 0x20AC},
      {CP_KOI8_R, "\xC1", 1, 0x0430},
      {CP_KOI8_U, "\xA4", 1, 0x0454},
      {CP_ISO_8859_1, "\x80", 1, 0x20AC},
  };
  for (const DecodeCase& c : cases) {
    const DecodedChar d = DecodeChar(c.Bytes, 0, c.CodePage);
    EXPECT_EQ(d.Length, c.Length) << c.CodePage << " " << c.Bytes;
    EXPECT_EQ(d.CodePoint, c.CodePoint) << c.CodePage << " " << c.Bytes;
  }
  EXPECT_EQ(DecodeChar("ab", 2, CP_UTF8).Length, 0u);
}

TEST(CodePage, EncodesOneCharacterOrAQuestionMark) {
  EXPECT_EQ(EncodeChar(U'A', CP_UTF8), "A");
  EXPECT_EQ(EncodeChar(0xE9, CP_UTF8), "\xC3\xA9");  // never a raw Latin-1 byte
  EXPECT_EQ(EncodeChar(0x92, CP_UTF8), "\xC2\x92");
  EXPECT_EQ(EncodeChar(0x20AC, CP_UTF8), "\xE2\x82\xAC");
  EXPECT_EQ(EncodeChar(0x1F600, CP_UTF8), "\xF0\x9F\x98\x80");
  EXPECT_EQ(EncodeChar(0xD800, CP_UTF8), "?");
  EXPECT_EQ(EncodeChar(0xDFFF, 1252), "?");
  EXPECT_EQ(EncodeChar(0x110000, CP_UTF8), "?");
  EXPECT_EQ(EncodeChar(0x20AC, 1252), "\x80");
  EXPECT_EQ(EncodeChar(0x20AC, 1251), "\x88");
  EXPECT_EQ(EncodeChar(0xE9, 1252), "\xE9");
  EXPECT_EQ(EncodeChar(0x4E00, 1252), "?");
  EXPECT_EQ(EncodeChar(0xE9, 437), "\x82");
  EXPECT_EQ(EncodeChar(0xE9, 10000), "\x8E");
  EXPECT_EQ(EncodeChar(0x3042, 932), "\x82\xA0");
  EXPECT_EQ(EncodeChar(0x4E2D, 936), "\xD6\xD0");
  EXPECT_EQ(EncodeChar(0x0410, 932), "\x84\x40");
  EXPECT_EQ(EncodeChar(0x0E01, 932), "?");
  EXPECT_EQ(EncodeChar(0xAC00, 1361), "\x88\x61");
}

TEST(CodePage, SingleByteCodePagesRoundTripEveryDefinedByte) {
  std::vector<int> codePages = {437, 874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 10000,
                                CP_KOI8_R, CP_KOI8_U};
  for (int part = 2; part <= 16; ++part)
    if (part != 12) codePages.push_back(CodePageOfIso8859(part));
  for (int cp : codePages) {
    int defined = 0;
    for (int b = 0; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      const DecodedChar d = DecodeChar(byte, 0, cp);
      ASSERT_EQ(d.Length, 1u);
      if (d.CodePoint == 0xFFFD) continue;
      ++defined;
      EXPECT_EQ(EncodeChar(d.CodePoint, cp), byte) << "code page " << cp << " byte " << b;
    }
    EXPECT_GT(defined, 200) << "code page " << cp;
  }
}

TEST(CodePage, ResolvesSymbolicAndUnknownCodePages) {
  EXPECT_EQ(SystemCodePage(), 65001);
  EXPECT_EQ(ResolveCodePage(CP_ACP), 65001);
  EXPECT_EQ(ResolveCodePage(CP_OEMCP), 437);
  EXPECT_EQ(ResolveCodePage(CP_MACCP), 10000);
  EXPECT_EQ(ResolveCodePage(1200), 65001);
  EXPECT_EQ(ResolveCodePage(1251), 1251);
  EXPECT_EQ(ResolveCodePage(CP_ISO_8859_1), 1252);
  EXPECT_EQ(ResolveCodePage(CodePageOfIso8859(2)), 28592);
  EXPECT_EQ(ResolveCodePage(CodePageOfIso8859(12)), 65001);  // there is no part 12
  EXPECT_TRUE(IsDoubleByteCodePage(932));
  EXPECT_TRUE(IsDoubleByteCodePage(1361));
  EXPECT_FALSE(IsDoubleByteCodePage(1252));
  EXPECT_FALSE(IsDoubleByteCodePage(CP_UTF8));
}

TEST(CodePage, DecodesWholeRunsWithCharacterStarts) {
  const std::string text = "a\xC3\xA9\x92\xF0\x9F\x98\x80z";
  std::vector<std::size_t> starts;
  EXPECT_EQ(DecodeToUtf32(text, CP_UTF8, &starts), std::u32string({U'a', 0xE9, 0x2019, 0x1F600, U'z'}));
  EXPECT_EQ(starts, std::vector<std::size_t>({0, 1, 3, 4, 8}));
  EXPECT_EQ(DecodeToUtf16(text, CP_UTF8), std::u16string({u'a', 0xE9, 0x2019, 0xD83D, 0xDE00, u'z'}));
  EXPECT_EQ(DecodeToUtf32("\x82\xA0" "a\x82", 932), std::u32string({0x3042, U'a', 0xFFFD}));
  EXPECT_EQ(DecodeToUtf32("", CP_UTF8), std::u32string());
}

TEST(CodePage, EncodesWholeStrings) {
  EXPECT_EQ(EncodeUtf16(u"a\u00E9\xD83D\xDE00", CP_UTF8), "a\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(EncodeUtf16(std::u16string({u'a', 0xD83D, u'b'}), CP_UTF8), "a?b");  // lone surrogate
  EXPECT_EQ(EncodeUtf32(U"\u00E9\u20AC\u4E00", 1252), "\xE9\x80?");
}

TEST(CodePage, BoundariesNeverSplitACharacter) {
  const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\x92\xF0\x9F\x98\x80";
  const bool expected[] = {true, true, false, true, false, false, true, true, false, false, false, true};
  ASSERT_EQ(sizeof expected, utf8.size() + 1);
  for (std::size_t pos = 0; pos <= utf8.size(); ++pos)
    EXPECT_EQ(IsCharBoundary(utf8, pos, CP_UTF8), expected[pos]) << pos;
  EXPECT_EQ(FloorCharBoundary(utf8, 5, CP_UTF8), 3u);
  EXPECT_EQ(FloorCharBoundary(utf8, 100, CP_UTF8), utf8.size());
  EXPECT_EQ(NextCharBoundary(utf8, 4, CP_UTF8), 6u);
  EXPECT_EQ(NextCharBoundary(utf8, 6, CP_UTF8), 7u);
  // A lone continuation byte after a broken sequence is a character of its own.
  EXPECT_TRUE(IsCharBoundary("\xE2\x82x", 1, CP_UTF8));

  // In Shift-JIS a trail byte may look like ASCII: only a walk from the start
  // tells that the "\" of "\x83\x5C" is half of a character.
  const std::string sjis = "\x83\x5C\\\x82\xA0";
  EXPECT_FALSE(IsCharBoundary(sjis, 1, 932));
  EXPECT_TRUE(IsCharBoundary(sjis, 2, 932));
  EXPECT_TRUE(IsCharBoundary(sjis, 3, 932));
  EXPECT_FALSE(IsCharBoundary(sjis, 4, 932));
  EXPECT_EQ(FloorCharBoundary(sjis, 4, 932), 3u);
  EXPECT_EQ(NextCharBoundary(sjis, 0, 932), 2u);
  EXPECT_TRUE(IsCharBoundary("\xA4", 1, 950));
}

}  // namespace
}  // namespace lark
