// Character-set names, and pages in the code pages they name.
#include <iconv.h>

#include <gtest/gtest.h>

#include "html/text_collector.h"
#include "parsed_page.h"
#include "platform/core/code_page.h"
#include "viewer/charset_names.h"
#include "viewer/japanese_conversion.h"

namespace lark {
namespace {

using testing::ParsedPage;

TEST(CharSetNames, FirstContainedKeyWinsWithTheCodePageNamed) {
  struct Case {
    const char* Name;
    int CharSet, CodePage;
  };
  for (const Case& c : {Case{"text/html; charset=Windows-1251", 204, 0}, Case{"ISO-8859-2", 238, 28592},
                        Case{"iso-8859-15", 0, 28605}, Case{"KOI8-R", 204, 20866}, Case{"koi8-u", 204, 21866},
                        Case{"ibm866", 204, 866}, Case{"Shift_JIS", 128, 0}, Case{"x-mac-unknown", -1, 0}}) {
    const std::optional<TCharSetName> found = FindCharSetName(c.Name);
    ASSERT_EQ(found.has_value(), c.CharSet >= 0) << c.Name;
    if (!found) continue;
    EXPECT_EQ(found->CharSet, c.CharSet) << c.Name;
    EXPECT_EQ(found->CodePage, c.CodePage) << c.Name;
  }
  EXPECT_TRUE(FindCharSetName("EUC-JP")->EucJp);
}

TEST(CharSetPages, MetaAndFontCharsetCarryTheCodePage) {
  const std::string meta = "<meta http-equiv=Content-Type content='text/html; charset=";
  for (const auto& [name, code] : {std::pair{"windows-1251", 1251}, std::pair{"iso-8859-2", 28592},
                                   std::pair{"koi8-r", 20866}}) {
    ParsedPage page(meta + name + "'>\xC1\xE1\xF7 text");
    const TFontObj* run = page.RunOf("\xC1");
    ASSERT_NE(run, nullptr) << name;
    EXPECT_EQ(run->CodePage(), code) << name;
    EXPECT_EQ(page.SectionWith("text")->Text(), "\xC1\xE1\xF7 text") << name;
  }
  ParsedPage font("plain <font charset=iso-8859-2>\xB1</font> after");
  EXPECT_EQ(font.RunOf("\xB1")->CodePage(), 28592);
  EXPECT_EQ(font.RunOf("\xB1")->Font().Charset(), 238);
  EXPECT_NE(font.RunOf("after")->CodePage(), 28592);
}

std::string Iconv(const std::string& text, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  char* o = out.data();
  std::size_t inLeft = text.size(), outLeft = out.size();
  const std::size_t done = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv(cd, nullptr, nullptr, &o, &outLeft);  // back to the initial shift state
  iconv_close(cd);
  EXPECT_NE(done, static_cast<std::size_t>(-1));
  out.resize(out.size() - outLeft);
  return out;
}

// Copied, a page's text is what iconv reads in the charset it names.
TEST(CharSetPages, CopiedTextIsTheNamedCharsetsText) {
  const std::string meta = "<meta http-equiv=Content-Type content='text/html; charset=";
  const std::string letters = "\xC1\xE1\xF7\xB1";
  std::string copied;
  SetClipboardWriter([&](const std::string& text) { copied = text; });
  for (const char* name : {"windows-1251", "iso-8859-2", "koi8-r"}) {
    for (bool byFont : {false, true}) {
      ParsedPage page(byFont ? std::string("<font charset=") + name + ">" + letters : meta + name + "'>" + letters);
      page.LayoutAndPaint(800);
      page.List.SelB = 0;
      page.List.SelE = static_cast<int>(letters.size());
      page.List.CopyToClipboard();
      EXPECT_EQ(copied.substr(0, copied.find('\r')), Iconv(letters, "UTF-8", name)) << name << byFont;
    }
  }
  SetClipboardWriter(nullptr);
}

TEST(CharSetPages, JisAndEucJpReadAsIconvsShiftJis) {
  const std::string japanese = "日本語のテキスト、カタカナ";
  const std::string expected = Iconv(japanese, "CP932", "UTF-8");
  ParsedPage jis("<p>" + Iconv(japanese, "ISO-2022-JP", "UTF-8") + "</p>");
  ASSERT_EQ(jis.Sections().size(), 1u);
  EXPECT_EQ(jis.Sections()[0]->Text(), expected);
  EXPECT_EQ(jis.Sections()[0]->Fonts[0]->Font().Charset(), 128);
  ParsedPage euc("<meta http-equiv=content-type content='text/html; charset=EUC-JP'><p>" +
                 Iconv(japanese, "EUC-JP", "UTF-8"));
  ASSERT_EQ(euc.Sections().size(), 1u);
  EXPECT_EQ(euc.Sections()[0]->Text(), expected);
}

TEST(CharSetPages, ConversionsNeverReadPastTheEnd) {
  EXPECT_EQ(JisToShiftJis("\x1B$B\x30"), "\x30");   // a lone byte in double-byte mode
  EXPECT_EQ(JisToShiftJis("a\x1B$"), "a\x1B$");     // a cut escape
  std::string euc = "x\xA4";
  EucJpToShiftJis(euc, 0);
  EXPECT_EQ(euc, "x\xA4");
}

}  // namespace
}  // namespace lark
