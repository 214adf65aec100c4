#include <gtest/gtest.h>

#include <string>

#include "app/download_file_name.h"

namespace lark {
namespace {

TEST(DownloadFileName, ServerTextBecomesOneComponent) {
  const struct {
    std::string proposed, name;
  } rows[] = {
      {"../../x", "_.._x"},
      {"..", "download"},
      {"", "download"},
      {".profile", "profile"},
      {"a\tb\x7F" "c", "a_b_c"},
      {"Caf\xE9.html", "Caf\xC3\xA9.html"},       // Latin-1 title: written as UTF-8
      {"\xE2\x82\xAC 1.zip", "\xE2\x82\xAC 1.zip"},  // UTF-8 kept
  };
  for (const auto& row : rows) EXPECT_EQ(SafeFileName(row.proposed), row.name) << row.proposed;
}

TEST(DownloadFileName, URLsGiveTheirLastPartDecoded) {
  EXPECT_EQ(URLFileNameProposal("http://h/d/%2F..%2Fx"), "_.._x");
  EXPECT_EQ(URLFileNameProposal("http://h/d/.."), "download");
  EXPECT_EQ(URLFileNameProposal("ftp://h/a%00b"), "a_b");
  EXPECT_EQ(URLFileNameProposal("http://h/"), "download");
  EXPECT_EQ(URLFileNameProposal("http://h/get/a%20b.zip?x=/y#z"), "a b.zip");
  EXPECT_EQ(URLFileNameProposal("http://h/100%25"), "100%");
}

// Cut to whole characters: a three-byte character that would end past the
// limit goes whole.
TEST(DownloadFileName, LongNamesAreCutBetweenCharacters) {
  std::string euros;
  for (int i = 0; i < 200; ++i) euros += "\xE2\x82\xAC";
  const std::string name = SafeFileName(euros);
  EXPECT_EQ(name.size(), 255u);
  EXPECT_EQ(SafeFileName("a" + euros).size(), 253u);
  EXPECT_EQ(URLFileNameProposal("http://h/" + std::string(600, 'n')), std::string(255, 'n'));
}

TEST(DownloadFileName, HtmlAddedOnlyWhenMissing) {
  EXPECT_EQ(HtmlFileName("x.html"), "x.html");
  EXPECT_EQ(HtmlFileName("x.HTM"), "x.HTM");
  EXPECT_EQ(HtmlFileName("x.txt"), "x.txt.html");
  EXPECT_EQ(HtmlFileName("html"), "html.html");
}

}  // namespace
}  // namespace lark
