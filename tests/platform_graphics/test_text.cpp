#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/font.h"
#include "platform/graphics/gdi.h"

namespace lark {
namespace {

struct Sample {
  int charset;
  std::string text;
};

// Text in each multi-byte code page: letters mixed with two-byte characters.
const std::vector<Sample> kSamples = {
    {DEFAULT_CHARSET, "a\xC3\xA9z \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80!\x92x"},  // UTF-8, a lone 0x92
    {SHIFTJIS_CHARSET, "a\x82\xA0\x82\xA2 b\x93\xFA\x96\x7B"},
    {GB2312_CHARSET, "a\xC4\xE3\xBA\xC3 b"},
    {HANGEUL_CHARSET, "a\xC7\xD1\xB1\xDB b"},
    {CHINESEBIG5_CHARSET, "a\xA4\xA4\xA4\xE5 b"},
};

// Byte offsets at which a character starts in the sample, by construction.
std::vector<bool> CharStarts(const Sample& s) {
  std::vector<bool> starts(s.text.size(), true);
  auto mark_trail = [&](size_t from, size_t count) {
    for (size_t i = from + 1; i < from + count; ++i) starts[i] = false;
  };
  const std::string& t = s.text;
  for (size_t i = 0; i < t.size(); ++i) {
    const auto b = static_cast<unsigned char>(t[i]);
    if (s.charset == DEFAULT_CHARSET) {
      const size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : (b >= 0xC2 && b < 0xE0) ? 2 : 1;
      mark_trail(i, n);
      i += n - 1;
    } else if (b >= 0x81) {
      mark_trail(i, 2);
      ++i;
    }
  }
  return starts;
}

TEST(Text, ExtentsPerByteNeverDecreaseAndGrowOnlyAtCharacterEnds) {
  TBitmap bitmap(10, 10);
  TCanvas& c = bitmap.Canvas();
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.charset);
    c.Font().SetCharset(s.charset);
    const int n = int(s.text.size());
    std::vector<int> dx(size_t(n), -1);
    TSize size;
    ASSERT_TRUE(GetTextExtentExPoint(c, s.text.data(), n, 1 << 30, nullptr, dx.data(), &size));
    const std::vector<bool> starts = CharStarts(s);
    int sum_of_characters = 0;
    for (int i = 0; i < n; ++i) {
      if (i > 0) {
        EXPECT_GE(dx[size_t(i)], dx[size_t(i - 1)]) << i;
      }
      const bool last_byte = i + 1 == n || starts[size_t(i + 1)];
      if (!last_byte) {
        EXPECT_EQ(dx[size_t(i)], i > 0 ? dx[size_t(i - 1)] : 0) << "inside a character at " << i;
      }
      if (starts[size_t(i)]) {
        int end = i + 1;
        while (end < n && !starts[size_t(end)]) ++end;
        TSize one;
        GetTextExtentPoint32(c, s.text.data() + i, end - i, &one);
        sum_of_characters += one.cx;
      }
    }
    EXPECT_EQ(size.cx, dx.back());
    EXPECT_EQ(size.cx, sum_of_characters);
    // Measured again with every glyph known, ASCII runs take the font's table.
    std::vector<int> again(size_t(n), -1);
    GetTextExtentExPoint(c, s.text.data(), n, 0, nullptr, again.data(), nullptr);
    EXPECT_EQ(again, dx);
    std::vector<std::int64_t> kept(size_t(n), -1);
    EXPECT_EQ(MeasureTextExtents(c, s.text.data(), n, 1000, kept.data()), size.cx);
    for (int i = 0; i < n; ++i) EXPECT_EQ(kept[size_t(i)], dx[size_t(i)] + 1000) << i;
    EXPECT_GT(size.cx, 0);
    // Every limit gives a fit at a character boundary whose extent fits.
    for (int limit = 0; limit <= size.cx + 1; ++limit) {
      int fit = -1;
      GetTextExtentExPoint(c, s.text.data(), n, limit, &fit, nullptr, nullptr);
      ASSERT_TRUE(fit == n || starts[size_t(fit)]) << "fit " << fit << " at limit " << limit;
      if (fit > 0) {
        ASSERT_LE(dx[size_t(fit - 1)], limit);
      }
      if (fit < n) {
        int next = fit + 1;
        while (next < n && !starts[size_t(next)]) ++next;
        ASSERT_GT(dx[size_t(next - 1)], limit);
      }
    }
  }
}

TEST(Text, Utf8AndLatin1FallbackDrawTheSameCharacter) {
  TBitmap a(60, 20), b(60, 20);
  for (TBitmap* bitmap : {&a, &b}) bitmap->Canvas().Font().SetName("Arial");
  a.Canvas().TextOut(2, 2, "h\xC3\xA9llo");
  b.Canvas().TextOut(2, 2, "h\xE9llo");
  EXPECT_EQ(a.Canvas().TextWidth("h\xC3\xA9llo"), b.Canvas().TextWidth("h\xE9llo"));
  bool inked = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << x << "," << y;
      inked = inked || a.Pixel(x, y) != clWhite;
    }
  EXPECT_TRUE(inked);
}

TEST(Text, MetricsFollowTheFontAndEchoTheCharset) {
  TBitmap bitmap(10, 10);
  TCanvas& c = bitmap.Canvas();
  c.Font().SetName("Times New Roman");
  c.Font().SetSize(12);
  EXPECT_EQ(c.Font().Height(), -16);
  c.Font().SetCharset(SHIFTJIS_CHARSET);
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(c, tm));
  EXPECT_EQ(tm.tmCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 16);
  EXPECT_GT(tm.tmAveCharWidth, 0);
  EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  EXPECT_EQ(c.TextHeight("x"), tm.tmHeight);
  c.Font().SetStyle(fsBold);
  GetTextMetrics(c, tm);
  EXPECT_EQ(tm.tmWeight, 700);
  // A positive height is the whole cell.
  c.Font().SetHeight(20);
  GetTextMetrics(c, tm);
  EXPECT_NEAR(tm.tmHeight, 20, 1);
}

TEST(Text, LikeFontsShareOneRealizationWithinABound) {
  TBitmap bitmap(10, 10);
  TCanvas& c = bitmap.Canvas();
  c.Font().SetName("Arial");
  c.Font().SetHeight(-37);
  const int width = c.TextWidth("wide");
  const std::size_t realized = RealizedFontCount();
  TFont same;
  same.SetName("Arial");
  same.SetHeight(-37);
  same.SetColor(clRed);  // the colour is not part of the font made
  c.SetFont(same);
  EXPECT_EQ(c.TextWidth("wide"), width);
  EXPECT_EQ(RealizedFontCount(), realized);
  for (int height = 1; height <= static_cast<int>(kMaxRealizedFonts) + 10; ++height) {
    c.Font().SetHeight(-height);
    (void)c.TextWidth("x");
    ASSERT_LE(RealizedFontCount(), kMaxRealizedFonts);
  }
  c.SetFont(same);  // still measures as before the table started again
  EXPECT_EQ(c.TextWidth("wide"), width);
}

TEST(Text, ClassicFontNamesAreListedAndMetricCompatible) {
  const std::vector<std::string> names = InstalledFontNames();
  for (const char* name : {"Arial", "Times New Roman", "Courier New"})
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
  TBitmap bitmap(10, 10);
  TCanvas& c = bitmap.Canvas();
  c.Font().SetName("Courier New");
  c.Font().SetSize(10);
  EXPECT_EQ(c.TextWidth("iiii"), c.TextWidth("WWWW"));  // fixed pitch
}

// Draws each non-blank character on its own at the given positions.
void DrawCharacters(TCanvas& c, const std::string& text, const std::vector<int>& xs, int y) {
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != ' ') c.TextOut(xs[i], y, std::string(1, text[i]));
}

TEST(Text, JustificationSpreadsExtraPixelsOverBlanksAcrossCalls) {
  const std::string first = "ab c ", second = "d e";
  const std::string line = first + second;
  TBitmap justified(200, 30), reference(200, 30);
  for (TBitmap* b : {&justified, &reference}) {
    b->Canvas().Font().SetName("Arial");
    b->Canvas().Brush().Style = bsClear;
  }
  // 3 blanks share 7 pixels: 3, 2, 2.
  TCanvas& c = justified.Canvas();
  SetTextAlign(c, TA_LEFT | TA_BASELINE | TA_UPDATECP);
  SetTextJustification(c, 7, 3);
  c.MoveTo(5, 20);
  c.TextOut(0, 0, first);
  c.TextOut(0, 0, second);
  const int natural = c.TextWidth(line);
  EXPECT_EQ(c.PenPos().X, 5 + natural + 7);

  TCanvas& r = reference.Canvas();
  SetTextAlign(r, TA_LEFT | TA_BASELINE);
  std::vector<int> xs;
  int x = 5, blank = 0;
  const int extras[] = {3, 2, 2};
  for (char ch : line) {
    xs.push_back(x);
    x += r.TextWidth(std::string(1, ch));
    if (ch == ' ') x += extras[blank++];
  }
  DrawCharacters(r, line, xs, 20);
  for (int py = 0; py < 30; ++py)
    for (int px = 0; px < 200; ++px) ASSERT_EQ(justified.Pixel(px, py), reference.Pixel(px, py)) << px << "," << py;

  SetTextJustification(c, 0, 0);
  c.MoveTo(0, 20);
  c.TextOut(0, 0, line);
  EXPECT_EQ(c.PenPos().X, natural);
}

TEST(Text, AlignmentAndOpaqueBackground) {
  TBitmap bitmap(100, 30);
  TCanvas& c = bitmap.Canvas();
  const int width = c.TextWidth("Hi");
  SetTextAlign(c, TA_RIGHT | TA_TOP);
  c.Brush().Color = clRed;  // the brush gives an opaque background
  c.TextOut(50, 5, "Hi");
  EXPECT_EQ(bitmap.Pixel(50 - width, 5), clRed);
  EXPECT_EQ(bitmap.Pixel(49, 5 + c.TextHeight("Hi") - 1), clRed);
  EXPECT_EQ(bitmap.Pixel(50, 5), clWhite);
  EXPECT_EQ(bitmap.Pixel(50 - width - 1, 5), clWhite);
}

TEST(Text, DrawTextWrapsCentresAndCalculates) {
  TBitmap bitmap(200, 100);
  TCanvas& c = bitmap.Canvas();
  const int line = c.TextHeight("A");
  TRect calc = Rect(0, 0, 60, 0);
  const int height = DrawText(c, "one two three four", calc, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_GT(height, line);
  EXPECT_EQ(height % line, 0);
  EXPECT_LE(calc.Width(), 60);
  EXPECT_EQ(calc.Bottom, height);
  TRect single = Rect(0, 0, 0, 0);
  DrawText(c, "&Open", single, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(single.Width(), c.TextWidth("Open"));
  TRect noprefix = Rect(0, 0, 0, 0);
  DrawText(c, "&Open", noprefix, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(noprefix.Width(), c.TextWidth("&Open"));

  TBitmap plain(60, 20), marked(60, 20);
  TRect area = Rect(0, 0, 60, 20);
  DrawText(plain.Canvas(), "Open", area, DT_SINGLELINE);
  DrawText(marked.Canvas(), "&Open", area, DT_SINGLELINE);
  int underlined = 0;
  const int below = plain.Canvas().TextHeight("O") - 4;  // under the baseline only
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x)
      if (plain.Pixel(x, y) != marked.Pixel(x, y)) {
        EXPECT_GE(y, below) << x << "," << y;
        EXPECT_LT(x, plain.Canvas().TextWidth("O") + 1);
        ++underlined;
      }
  EXPECT_GT(underlined, 0);

  SetBkMode(c, TRANSPARENT);
  TRect box = Rect(0, 0, 200, 40);
  DrawText(c, "X", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  int left = 200, right = -1, top = 40, bottom = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      if (bitmap.Pixel(x, y) != clWhite) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, 0);
  EXPECT_NEAR((left + right) / 2.0, 100, 3);
  EXPECT_NEAR((top + bottom) / 2.0, 20, 4);
}

}  // namespace
}  // namespace lark
