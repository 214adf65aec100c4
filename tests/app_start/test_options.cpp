#include <gtest/gtest.h>

#include "app/options.h"
#include "platform/core/exception.h"
#include "platform/core/ini_file.h"
#include "platform/core/string_routines.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

TEST(Options, ThirtyOneBookmarksAreKeptNewestFirst) {
  test::TempDir dir;
  const std::string file = dir.File("larkspan.ini");
  TOptions options(file);
  options.AddBookmark("first", "http://a/");
  EXPECT_EQ(test::ReadFile(file), "[Bookmarks]\nName0=first\nLink0=http://a/\n");
  for (int i = 2; i <= 32; ++i) options.AddBookmark("b" + IntToStr(i), "http://b/" + IntToStr(i));
  EXPECT_EQ(options.BookmarkCount(), 31);
  EXPECT_EQ(options.GetBookmarkName(0), "b32");
  EXPECT_EQ(options.GetBookmarkLink(30), "http://b/2") << "the former entry 30 (\"first\") is gone";
  EXPECT_EQ(options.GetBookmarkName(31), "");
  EXPECT_EQ(TOptions(file).GetBookmarkName(0), "b32") << "each addition reaches the file";
}

TEST(Options, SaveBookmarksKeepsListOrderAndAGapIsNotClosed) {
  test::TempDir dir;
  const std::string file = dir.Write("larkspan.ini", "[Bookmarks]\nName0=x\nLink0=x\nName1=y\nName3=z\n");
  TOptions options(file);
  EXPECT_EQ(options.BookmarkCount(), 3);
  options.AddBookmark("new", "http://n/");
  // Three counted entries shift by index: 0..2 move to 1..3, so the gap
  // moves up and overwrites "z"; the count is the number of keys.
  EXPECT_EQ(options.GetBookmarkName(2), "y");
  EXPECT_EQ(options.GetBookmarkName(3), "");
  EXPECT_EQ(options.BookmarkCount(), 4);

  std::vector<std::string> names, links;
  for (int i = 0; i < 40; ++i) {
    names.push_back("n" + IntToStr(i));
    links.push_back("l" + IntToStr(i));
  }
  options.SaveBookmarks(names, links);
  TOptions reread(file);
  EXPECT_EQ(reread.BookmarkCount(), 31);
  EXPECT_EQ(reread.GetBookmarkName(0), "n0");
  EXPECT_EQ(reread.GetBookmarkLink(30), "l30");
}

TEST(Options, WritesOnlyItsSectionsIntoTheFileAsOnDisk) {
  test::TempDir dir;
  const std::string file = dir.Write("larkspan.ini",
                                     "; kept\n[FormMain]\nLanguage=1\n[Directory]\n; button comment\nCaption0=Old\n");
  TOptions options(file);
  // Another window's exit writes its settings meanwhile.
  TIniFile(file).WriteString("FormMain", "Language", "2");
  options.WriteDirectory(0, "Docs", "/srv/docs/index.html");
  options.DeleteDirectory(0);
  EXPECT_EQ(test::ReadFile(file).find("Caption0=Old") != std::string::npos, true) << "deletion waits for UpdateFile";
  options.WriteDirectory(1, "Home", "http://home/");
  options.UpdateFile();
  EXPECT_EQ(test::ReadFile(file),
            "; kept\n[FormMain]\nLanguage=2\n[Directory]\nCaption1=Home\nHTMLFile1=http://home/\n; button comment\n")
      << "another window's value survives, and so does the comment";
  std::string caption, page;
  options.ReadDirectory(1, caption, page);
  EXPECT_EQ(caption + " " + page, "Home http://home/");
}

TEST(Options, KeptInMemoryLeavesTheFolderUntouched) {
  test::TempDir dir;
  const std::string file = dir.Write("larkspan.ini", "[Bookmarks]\r\nName0=a\r\nLink0=b\r\n");
  TOptions options(file, /*keep_in_memory=*/true);
  options.AddBookmark("c", "d");
  EXPECT_EQ(options.BookmarkCount(), 2);
  EXPECT_EQ(test::ReadFile(file), "[Bookmarks]\r\nName0=a\r\nLink0=b\r\n");
}

TEST(Options, AnUnwritableFileRaisesAndKeepsTheChangeInMemory) {
  test::TempDir dir;
  // A regular file as the folder stops root too.
  const std::string blocker = dir.Write("not-a-folder", "");
  TOptions options(blocker + "/larkspan.ini");
  EXPECT_THROW(options.AddBookmark("a", "b"), EFCreateError);
  EXPECT_EQ(options.GetBookmarkName(0), "a");
}

}  // namespace
}  // namespace lark
