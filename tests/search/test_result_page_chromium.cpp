// The result page as a real browser reads it: headless Chromium loads the
// page written for a tree of hostile names and contents and dumps its DOM.

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <filesystem>
#include <set>

#include "app/file_scan.h"
#include "platform/core/string_routines.h"
#include "tests/search/scan_tree.h"
#include "tests/support/headless_chromium.h"

namespace lark {
namespace {

using test::ScanTree;

std::string DumpDom(const std::string& file) {
  const ScanTree profile;
  return test::HeadlessChromiumDom("file://" + file, profile.Root());
}

// Text as Chromium serialises a text node.
std::string SerialisedText(std::string_view text) {
  std::string out = StringReplace(text, "&", "&amp;", ReplaceAll::Yes);
  out = StringReplace(out, "<", "&lt;", ReplaceAll::Yes);
  return StringReplace(out, ">", "&gt;", ReplaceAll::Yes);
}

std::string PercentDecoded(std::string_view url) {
  std::string out;
  for (std::size_t i = 0; i < url.size(); ++i) {
    if (url[i] == '%' && i + 2 < url.size()) {
      out += static_cast<char>(std::stoi(std::string(url.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += url[i];
    }
  }
  return out;
}

std::set<std::string> ElementNames(const std::string& dom) {
  std::set<std::string> names;
  for (std::size_t at = dom.find('<'); at != std::string::npos; at = dom.find('<', at + 1)) {
    std::size_t end = at + 1;
    while (end < dom.size() && std::isalnum(static_cast<unsigned char>(dom[end]))) ++end;
    if (end > at + 1) names.insert(LowerCase(dom.substr(at + 1, end - at - 1)));
  }
  return names;
}

TEST(ResultPageInChromium, ShowsNamesAndTitlesAsTextAndNoMarkupFromFiles) {
  ASSERT_EQ(std::system("command -v chromium > /dev/null"), 0) << "chromium is installed by scripts/install-deps.sh";
  ScanTree tree;
  ScanTree out;
  const std::vector<std::pair<std::string, std::string>> files = {
      {"page.html", "<title>Tom & Jerry <script>alert(1)</script></title><p>key <img src=x onerror=alert(2)></p>"},
      {"titled.htm", "<title>R&eacute;sum&eacute; &lt;2024&gt; \xE2\x98\xBA</title><meta name=description "
                     "content=\"<img src=x onerror=alert(5)>\"><p>key</p>"},
      {"untagged.txt", "key <script>alert(6)"},
      {"q\"uote's & <b>bold</b> #1?.txt", "key <iframe src=javascript:alert(3)>"},
      {"caf\xC3\xA9 \xE2\x82\xAC 100%.txt", "key &nbsp; </dl></font><h1>big"},
      {"sub dir/<svg onload=alert(4)>.html", "<title>\"><script>x</script></title>key"},
  };
  for (const auto& [name, content] : files) tree.Write(name, content);
  TFileScan scan;
  scan.Directory = tree.Root();
  scan.SearchStrings.Add("key");
  scan.ShowTitle = true;
  scan.ShowSummary = true;
  scan.Title = "<head><title>Result of search</title></head>";
  scan.Header = "<H1>Result of search</H1>";
  scan.OutputFile = out.Path("FileScanResult1.html");
  scan.StartScan();
  ASSERT_EQ(scan.Results.Count(), 6);

  const std::string dom = DumpDom(scan.OutputFile);
  // A script that got in would also stop the dump with its alert box.
  ASSERT_NE(dom.find("</html>"), std::string::npos) << dom;
  if (std::getenv("LARK_SHOW_DOM")) std::cout << dom;
  const std::set<std::string> pageElements = {"html", "head", "title", "body", "h1", "b", "font", "br",
                                              "i", "p", "dl", "dt", "dd", "a"};
  for (const std::string& name : ElementNames(dom)) EXPECT_TRUE(pageElements.count(name)) << "<" << name;

  // Every title (the path where a file has none) is the text of its link,
  // and every link leads to the file.
  std::size_t links = 0;
  for (int i = 0; i < scan.Results.Count(); ++i) {
    const auto* hit = dynamic_cast<const TOneResult*>(scan.Results.Objects(i));
    const std::string shown = hit->TitleIsPath ? hit->Title
                              : hit->Title == "R&eacute;sum&eacute; &lt;2024&gt; \xE2\x98\xBA"
                                  ? "R\xC3\xA9sum\xC3\xA9 <2024> \xE2\x98\xBA"
                                  : hit->Title;
    EXPECT_NE(dom.find("<b>" + SerialisedText(shown) + "</b></a>"), std::string::npos) << shown;
    const std::string href = "<a href=\"" + StringReplace(hit->URL, "&", "&amp;", ReplaceAll::Yes) + "\">";
    if (dom.find(href) != std::string::npos) ++links;
    EXPECT_TRUE(std::filesystem::is_regular_file(PercentDecoded(hit->URL.substr(7)))) << hit->URL;
  }
  EXPECT_EQ(links, 6u);
}

}  // namespace
}  // namespace lark
