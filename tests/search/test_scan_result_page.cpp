#include "app/scan_result_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/file_scan.h"
#include "platform/core/string_routines.h"
#include "tests/search/scan_tree.h"

namespace lark {
namespace {

using test::ReadFile;
using test::ScanTree;

// Times on the page are local: the golden page is taken in UTC.
class UtcZone {
 public:
  UtcZone() {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  ~UtcZone() {
    if (saved_.empty()) unsetenv("TZ");
    else setenv("TZ", saved_.c_str(), 1);
    tzset();
  }

 private:
  std::string saved_;
};

// A page with every kind of hit the page must render safely: markup in
// titles, summaries and names, entities already escaped, UTF-8, and sizes
// on both sides of 1000 bytes.
class ResultPageTest : public testing::Test {
 protected:
  void SetUp() override {
    tree.Write("hostile.html",
               "<html><head><title>Tom & Jerry &amp; <b>friends</title>"
               "<meta name=\"description\" content=\"caf&eacute; & co <script>alert(1)</script>\">"
               "</head><body><b>key</body></html>");
    tree.Write("names/quote\"s & <b>key.txt", "<b>key in a name with markup");
    tree.Write("names/caf\xC3\xA9 \xE2\x82\xAC.htm",
               "<p>Gr\xC3\xBC\xC3\x9F" "e <b>key</p><p>&copy; 2024 &#x263A; &bogus</p>");
    tree.Write("sizes/exact.txt", "<b>key" + std::string(994, '.'));  // 1000 bytes
    tree.Write("sizes/over.txt", "<b>key" + std::string(995, '.'));   // 1001 bytes
    tree.Write("sizes/other.gif", "no keyword");
    std::time_t t = 1700000000;
    for (const char* file : {"hostile.html", "names/quote\"s & <b>key.txt", "names/caf\xC3\xA9 \xE2\x82\xAC.htm",
                             "sizes/exact.txt"})
      tree.Touch(file, t += 3600);
    tree.Touch("sizes/over.txt", t);
    scan.Directory = tree.Root();
    scan.SearchStrings.Add("<b>key");
    scan.ShowTitle = true;
    scan.ShowSummary = true;
    scan.SWFileDate = true;
    scan.SWFileSize = true;
    scan.Title = "<head><title>Result of search</title></head>";
    scan.BGColor = "#ffffff";
    scan.Header = "<H1>Result of search</H1>";
    scan.Footer = "<p>end</p>";
    scan.OutputFile = out.Path("FileScanResult1.html");
  }

  // The page with the tree's folder replaced by "@ROOT@/".
  std::string Page() {
    scan.StartScan();
    return StringReplace(ReadFile(scan.OutputFile), tree.Root(), "@ROOT@/", ReplaceAll::Yes);
  }

  UtcZone utc;
  ScanTree tree;
  ScanTree out;
  TFileScan scan;
};

TEST_F(ResultPageTest, MatchesTheGoldenPage) {
  scan.Sort = TSortType::stSize;
  scan.Reverse = true;
  const std::string page = Page();
  const std::string golden = std::string(LARK_SEARCH_TEST_DIR) + "/golden/result_page.html";
  if (std::getenv("LARK_UPDATE_GOLDEN") != nullptr) std::ofstream(golden, std::ios::binary) << page;
  EXPECT_EQ(page, ReadFile(golden));
}

TEST_F(ResultPageTest, NothingFromAFileBecomesMarkup) {
  const std::string page = Page();
  for (const char* injected : {"<script", "<b>friends", "<b>key", "&bogus", "& Jerry", "& co"})
    EXPECT_EQ(page.find(injected), std::string::npos) << injected;
  for (const char* kept : {"<b>Tom &amp; Jerry &amp; </b>", "caf&eacute; &amp; co &lt;script<br>", "&copy; 2024 &#x263A;",
                           "quote%22s%20&amp;%20%3Cb%3Ekey.txt", "caf%C3%A9%20%E2%82%AC.htm", "Gr&#252;&#223;e"})
    EXPECT_NE(page.find(kept), std::string::npos) << kept;
  for (unsigned char c : page) EXPECT_LT(c, 0x80) << "non-ASCII text is written as references";
}

// The first word of each entry's file name, in page order.
std::string EntryOrder(const std::string& page) {
  const std::string link = "<a href=\"file://@ROOT@/";
  std::string order;
  for (std::size_t at = page.find(link); at != std::string::npos; at = page.find(link, at + 1)) {
    const std::string url = page.substr(at + link.size(), page.find('"', at + link.size()) - at - link.size());
    std::string name = url.substr(url.rfind('/') + 1);
    order += name.substr(0, name.find_first_not_of("abcdefghijklmnopqrstuvwxyz")) + " ";
  }
  return order;
}

TEST_F(ResultPageTest, SortsStablyAndReverses) {
  // Walk order: hostile, caf, quote, exact, over; "exact" and "over" were
  // changed at the same time.
  const std::pair<TSortType, std::string> cases[] = {
      {TSortType::stNone, "hostile caf quote exact over "},
      {TSortType::stDate, "hostile quote caf exact over "},
      {TSortType::stSize, "quote caf hostile exact over "},
      {TSortType::stTitle, "caf quote exact over hostile "},  // paths sort before "Tom"
  };
  for (const auto& [sort, expected] : cases) {
    scan.Sort = sort;
    scan.Reverse = false;
    EXPECT_EQ(EntryOrder(Page()), expected) << static_cast<int>(sort);
  }
  scan.Sort = TSortType::stSize;
  scan.Reverse = true;
  EXPECT_EQ(EntryOrder(Page()), "over exact hostile caf quote ");
}

TEST_F(ResultPageTest, StopLinesAreNoEntriesAndTheLimitCutsThePage) {
  scan.MatchLimit = 2;
  const std::string page = Page();
  EXPECT_EQ(scan.Results.Count(), 3);
  EXPECT_NE(page.find("The search found 2\r\n"), std::string::npos);
  EXPECT_EQ(page.find("Search Match Limit"), std::string::npos);
  EXPECT_NE(page.find("<BR><dl><dt><b>2</b>."), std::string::npos);
  EXPECT_EQ(page.find("<BR><dl><dt><b>3</b>."), std::string::npos);
}

TEST_F(ResultPageTest, NoHitPage) {
  scan.SearchStrings.Clear();
  scan.SearchStrings.Add("absent");
  scan.METASearch = true;
  const std::string page = Page();
  EXPECT_NE(page.find("The search found 0\r\n files contains the keyword(s) <I> \r\nabsent\r\n"), std::string::npos);
  EXPECT_NE(page.find("<font color=ff0000>[MetaSearch]</font><P></font></td></tr></table>\r\n"), std::string::npos);
  EXPECT_EQ(page.find("<dl>"), std::string::npos);
}

TEST(EncodeEntities, ReplacesCharactersNotBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"caf\xC3\xA9", "caf&eacute;"},     // UTF-8 é
      {"caf\xE9", "caf&eacute;"},         // a lone Latin-1 byte is the same character
      {"\xC3\xAC" "a", "&igrave" "a"},    // the table's text, without its semicolon
      {"\xC2\xA7 \xC2\xA9", "&#167; &copy;"},
      {"\xE2\x82\xAC \xD0\xAF", "\xE2\x82\xAC \xD0\xAF"},  // outside the table: untouched
      {"plain <text>", "plain <text>"},
  };
  for (const auto& [in, expected] : cases) {
    std::string text = in;
    EncodeEntities(text);
    EXPECT_EQ(text, expected) << in;
  }
  std::string longText(250, 'a');
  longText += "\xC3\xA9";
  EncodeEntities(longText);
  EXPECT_EQ(longText, std::string(250, 'a') + "&eacu");
  std::string multiByte(254, 'a');
  multiByte += "\xE2\x82\xAC";
  EncodeEntities(multiByte);
  EXPECT_EQ(multiByte, std::string(254, 'a')) << "never cut inside a character";
}

TEST(ResultPageEscaping, UrlsAndText) {
  EXPECT_EQ(FileUrl("/a b/c?d#e%f\"g'h<i>.txt"), "file:///a%20b/c%3Fd%23e%25f%22g%27h%3Ci%3E.txt");
  EXPECT_EQ(FileUrl("/x/caf\xC3\xA9&(1).htm"), "file:///x/caf%C3%A9&(1).htm");
  EXPECT_EQ(EscapeHtmlText("a&b <c> \"d\" 'e' \x01\xC3\xA9\xE9"), "a&amp;b &lt;c&gt; &quot;d&quot; &#39;e&#39; ?&#233;&#233;");
  EXPECT_EQ(NeutraliseHtmlSource("&amp; &#38; &#x26; &nbsp; & &x &#; &#xZ; <b>"),
            "&amp; &#38; &#x26; &nbsp; &amp; &amp;x &amp;#; &amp;#xZ; &lt;b&gt;");
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

// Points TMPDIR at a folder of the test while it lives.
class TempDirectoryAt {
 public:
  explicit TempDirectoryAt(const std::string& dir) {
    if (const char* old = std::getenv("TMPDIR")) saved_ = old;
    setenv("TMPDIR", dir.c_str(), 1);
  }
  ~TempDirectoryAt() {
    if (saved_.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", saved_.c_str(), 1);
  }

 private:
  std::string saved_;
};

TEST(ScanResultFolder, BesideTheProgramUnlessReadOnlyOrCdRom) {
  test::ScanTree program;
  test::ScanTree temp;
  TempDirectoryAt tmpdir(temp.Root());
  EXPECT_EQ(ScanResultFolder(program.Root(), CdRom::No), program.Root() + "LocalScanResult/");
  EXPECT_TRUE(std::filesystem::is_directory(program.Root() + "LocalScanResult"));
  const std::string own = temp.Root() + "larkspan-" + std::to_string(geteuid()) + "/LocalScanResult/";
  EXPECT_EQ(ScanResultFolder(program.Root(), CdRom::Yes), own);
  // A program folder that cannot hold a folder: the pages go to the
  // temporary directory.
  const std::string notAFolder = program.Write("file", "");
  EXPECT_EQ(ScanResultFolder(notAFolder, CdRom::No), own);
  EXPECT_EQ(ScanResultFileName("/x/LocalScanResult/", 2), "/x/LocalScanResult/FileScanResult2.html");
}

}  // namespace
}  // namespace lark
