// Text of pages that name an ISO-8859 or KOI8 code page: the bytes come from
// the iconv tool, and a run that carries the page's code page beside its
// charset must measure, draw, find and copy exactly as the same text in UTF-8.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "html/properties.h"
#include "html/section_style.h"
#include "html/text_collector.h"
#include "platform/core/code_page.h"
#include "tests/html_layout/layout_fixture.h"

namespace lark {
namespace {

using testing::Font;
using testing::LaidOutDocument;

// `utf8` converted by the iconv tool.
std::string IconvTool(const std::string& utf8, const std::string& to) {
  const std::string path = ::testing::TempDir() + "named_code_page.txt";
  std::ofstream(path, std::ios::binary) << utf8;
  FILE* pipe = popen(("iconv -f UTF-8 -t " + to + " " + path).c_str(), "r");
  std::string bytes;
  char buffer[256];
  for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, n);
  EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << to;
  return bytes;
}

struct Shown {
  int MaxWidth = 0;
  std::vector<TColor> Pixels;
  std::string Copied;
  int Found = -1;
  int FoundEnd = -1;
};

// Lays out, paints, searches and copies one paragraph of `text` in `font`.
Shown Show(const std::string& text, const TRunFont& font, const std::string& needle) {
  LaidOutDocument doc;
  TSection* paragraph = doc.Paragraph(text, {}, font);
  doc.Layout(1000);
  Shown shown;
  int min = 0;
  paragraph->MinMaxWidth(doc.Surface.Canvas(), min, shown.MaxWidth);
  doc.Paint();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 1000; ++x) shown.Pixels.push_back(doc.Surface.Pixel(x, y));
  shown.Found = paragraph->FindString(0, needle, false, shown.FoundEnd);
  SetClipboardWriter([&](const std::string& copied) { shown.Copied = copied; });
  doc.List.SelB = 0;
  doc.List.SelE = paragraph->Len;
  doc.List.CopyToClipboard();
  SetClipboardWriter(nullptr);
  return shown;
}

TEST(NamedCodePages, RunsReadInTheCodePageThePageNames) {
  struct Case {
    int Charset;
    int CodePage;  // 0: none named
    const char* IconvName;
    std::string Utf8;
    std::string Needle;
  } cases[] = {
      // "Żółć Ąą Ľľ Śś Šš Ťť Źź Žž ˇ jaźń": every letter where ISO-8859-2
      // and Windows-1250 differ, and the caron.
      {EASTEUROPE_CHARSET, CodePageOfIso8859(2), "ISO-8859-2",
       "\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87 \xC4\x84\xC4\x85 \xC4\xBD\xC4\xBE \xC5\x9A\xC5\x9B \xC5\xA0\xC5\xA1 "
       "\xC5\xA4\xC5\xA5 \xC5\xB9\xC5\xBA \xC5\xBD\xC5\xBE \xCB\x87 ja\xC5\xBA\xC5\x84",
       "ja\xC5\xBA\xC5\x84"},
      // "Съешь же ещё этих мягких булок"
      {RUSSIAN_CHARSET, CP_KOI8_R, "KOI8-R",
       "\xD0\xA1\xD1\x8A\xD0\xB5\xD1\x88\xD1\x8C \xD0\xB6\xD0\xB5 \xD0\xB5\xD1\x89\xD1\x91 "
       "\xD1\x8D\xD1\x82\xD0\xB8\xD1\x85 \xD0\xBC\xD1\x8F\xD0\xB3\xD0\xBA\xD0\xB8\xD1\x85 \xD0\xB1\xD1\x83\xD0\xBB\xD0\xBE\xD0\xBA",
       "\xD0\xBC\xD1\x8F\xD0\xB3\xD0\xBA\xD0\xB8\xD1\x85"},
      // "Żółć Ąą Šš Źź jaźń" in a charset without a named code page: its own.
      {EASTEUROPE_CHARSET, 0, "CP1250",
       "\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87 \xC4\x84\xC4\x85 \xC5\xA0\xC5\xA1 \xC5\xB9\xC5\xBA ja\xC5\xBA\xC5\x84",
       "ja\xC5\xBA\xC5\x84"},
  };
  for (const Case& c : cases) {
    TRunFont named = Font(12, clBlack, "Arial", c.Charset);
    named.Font.SetCodePage(c.CodePage);
    const std::string bytes = IconvTool(c.Utf8, c.IconvName);
    ASSERT_EQ(bytes.size(), DecodeToUtf32(c.Utf8, CP_UTF8).size()) << c.IconvName;  // one byte a character

    const Shown got = Show(bytes, named, c.Needle);
    const Shown want = Show(c.Utf8, Font(12), c.Needle);
    EXPECT_EQ(got.Copied.substr(0, c.Utf8.size()), c.Utf8) << c.IconvName;
    EXPECT_EQ(got.Copied, want.Copied) << c.IconvName;
    EXPECT_EQ(got.MaxWidth, want.MaxWidth) << c.IconvName;
    EXPECT_TRUE(got.Pixels == want.Pixels) << c.IconvName << ": drawn differently";
    const std::u32string letters = DecodeToUtf32(c.Utf8, CP_UTF8);
    const std::u32string needle = DecodeToUtf32(c.Needle, CP_UTF8);
    EXPECT_EQ(got.Found, static_cast<int>(letters.find(needle))) << c.IconvName;
    EXPECT_EQ(got.FoundEnd - got.Found, static_cast<int>(needle.size())) << c.IconvName;
    EXPECT_EQ(want.FoundEnd - want.Found, static_cast<int>(c.Needle.size())) << c.IconvName;
  }
}

TEST(NamedCodePages, TheCodePageTravelsFromTheElementToItsRuns) {
  TProperties page;
  page.AssignCharSet(EASTEUROPE_CHARSET, CodePageOfIso8859(2));
  TProperties element;
  element.Copy(page);
  TProperties child;
  child.Inherit(element);
  const TRunFont run = RunFontOf(child);
  EXPECT_EQ(run.Font.Charset(), EASTEUROPE_CHARSET);  // the font is still chosen by the charset
  EXPECT_EQ(run.Font.CodePage(), CodePageOfIso8859(2));
  EXPECT_EQ(TFontObj(nullptr, 0, run, "").CodePage(), CodePageOfIso8859(2));

  child.AssignCharSet(EASTEUROPE_CHARSET);  // a charset alone reads in its own code page
  EXPECT_EQ(RunFontOf(child).Font.CodePage(), 1250);
}

}  // namespace
}  // namespace lark
