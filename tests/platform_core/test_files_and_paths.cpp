#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>

#include "platform/core/clock.h"
#include "platform/core/date_time.h"
#include "platform/core/exception.h"
#include "platform/core/file_routines.h"
#include "platform/core/path_routines.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(PathRoutines, SplitNamesAtTheLastDelimiterAndDot) {
  EXPECT_EQ(ExtractFilePath("/usr/lib/larkspan"), "/usr/lib/");
  EXPECT_EQ(ExtractFilePath("plain.txt"), "");
  EXPECT_EQ(ExtractFileDir("/usr/lib/larkspan"), "/usr/lib");
  EXPECT_EQ(ExtractFileDir("/larkspan"), "/");
  EXPECT_EQ(ExtractFileName("/a/b.c/page.html"), "page.html");
  EXPECT_EQ(ExtractFileName("/a/"), "");
  EXPECT_EQ(ExtractFileExt("/a/b.c/page.HTML"), ".HTML");
  EXPECT_EQ(ExtractFileExt("/a/b.c/README"), "");  // the dot of a directory is not an extension
  EXPECT_EQ(ExtractFileExt("archive.tar.gz"), ".gz");
  EXPECT_EQ(ChangeFileExt("/opt/larkspan", ".ini"), "/opt/larkspan.ini");
  EXPECT_EQ(ChangeFileExt("/opt/a.b/page.htm", ".txt"), "/opt/a.b/page.txt");
  EXPECT_EQ(ChangeFileExt("page.htm", ""), "page");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/"), "/tmp/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/"), "/tmp");
}

TEST(PathRoutines, ExpandFileNameResolvesStepsByText) {
  EXPECT_EQ(ExpandFileName("/a/./b//c/../d.htm"), "/a/b/d.htm");
  EXPECT_EQ(ExpandFileName("/../.."), "/");
  EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(ExpandFileName("x/../y.txt"), ExpandFileName(std::string(cwd) + "/y.txt"));
}

TEST(FileRoutines, ExistenceCreationDeletionAndRenaming) {
  TempDir dir;
  const std::string deep = dir.File("cache/sub/deeper/");
  EXPECT_FALSE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));  // already there
  EXPECT_FALSE(FileExists(deep));       // a directory is not a file
  EXPECT_FALSE(ForceDirectories(""));

  const std::string file = deep + "cachinfo.txt";
  WriteFile(file, "x");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(ForceDirectories(file + "/below"));  // a file is in the way

  WriteFile(deep + "other.txt", "y");
  EXPECT_FALSE(RenameFile(file, deep + "other.txt"));  // never replaces a file
  EXPECT_TRUE(RenameFile(file, deep + "moved.txt"));
  EXPECT_FALSE(FileExists(file));
  EXPECT_TRUE(FileExists(deep + "moved.txt"));
  EXPECT_TRUE(DeleteFile(deep + "moved.txt"));
  EXPECT_FALSE(DeleteFile(deep + "moved.txt"));
  EXPECT_FALSE(RemoveDir(dir.File("cache")));  // not empty
}

TEST(FileRoutines, FileAgeIsTheLocalModificationTime) {
  TempDir dir;
  const std::string file = dir.File("f.txt");
  TDateTime age = 0;
  EXPECT_FALSE(FileAge(file, age));
  const TDateTime before = Now();
  WriteFile(file, "x");
  ASSERT_TRUE(FileAge(file, age));
  EXPECT_NEAR(age, before, 2.0 / 86400);  // within two seconds
}

TEST(FileRoutines, ProgramDirAndSettingsFileSitBesideTheExecutable) {
  const std::string exe = ExecutablePath();
  EXPECT_EQ(ExtractFileName(exe), "test_platform_core");
  EXPECT_EQ(ProgramDir(), ExtractFilePath(exe));
  EXPECT_EQ(ProgramDir().back(), '/');
  EXPECT_EQ(SettingsFileName(), exe + ".ini");
  EXPECT_EQ(TempDirectory().back(), '/');
  EXPECT_TRUE(DirectoryExists(TempDirectory()));
}

std::map<std::string, int> FindAll(const std::string& path, int attr) {
  std::map<std::string, int> found;
  TSearchRec rec;
  for (int r = FindFirst(path, attr, rec); r == 0; r = FindNext(rec)) found[rec.Name] = rec.Attr;
  FindClose(rec);
  return found;
}

TEST(FileRoutines, FindFirstMatchesMasksLikeWindows) {
  TempDir dir;
  WriteFile(dir.File("index.htm"), "12345");
  WriteFile(dir.File("PAGE.HTM"), "");
  WriteFile(dir.File("page.html"), "");
  WriteFile(dir.File("noext"), "");
  WriteFile(dir.File(".hidden.htm"), "");
  ASSERT_TRUE(CreateDir(dir.File("sub.dir")));

  auto htm = FindAll(dir.File("*.htm"), faAnyFile & ~faDirectory & ~faHidden);
  EXPECT_EQ(htm.size(), 2u);
  EXPECT_TRUE(htm.count("index.htm") && htm.count("PAGE.HTM"));

  auto all = FindAll(dir.File("*.*"), 0);  // plain files only, "*.*" takes names without a dot too
  EXPECT_EQ(all.size(), 4u);
  EXPECT_TRUE(all.count("noext"));
  EXPECT_EQ(all["index.htm"] & faArchive, faArchive);

  auto dirs = FindAll(dir.File("*.*"), faDirectory | faHidden);
  EXPECT_TRUE(dirs.count(".") && dirs.count("..") && dirs.count(".hidden.htm"));
  EXPECT_EQ(dirs["sub.dir"], faDirectory);
  EXPECT_EQ(dirs[".hidden.htm"] & faHidden, faHidden);

  EXPECT_EQ(FindAll(dir.File("p?ge.htm?"), 0).size(), 1u);
  TSearchRec rec;
  ASSERT_EQ(FindFirst(dir.File("index.htm"), 0, rec), 0);
  EXPECT_EQ(rec.Size, 5);
  EXPECT_NE(FindNext(rec), 0);
  EXPECT_NE(FindFirst(dir.File("missing/*.*"), faAnyFile, rec), 0);
}

TEST(FileRoutines, MasksEndingInDotStarAlsoTakeNamesWithoutADot) {
  EXPECT_TRUE(MatchesMask("README", "*.*"));
  EXPECT_TRUE(MatchesMask("readme", "READ*.*"));
  EXPECT_TRUE(MatchesMask("a.b.c", "*.c"));
  EXPECT_FALSE(MatchesMask("readme.txt", "*.htm"));
  EXPECT_FALSE(MatchesMask("notes", "*.txt"));
  EXPECT_FALSE(MatchesMask("ab", "a?c.*"));
}

TEST(DateTime, EncodeAndDecodeAroundTheOrigin) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1970, 1, 1), 25569.0);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585.0);
  EXPECT_THROW((void)EncodeDate(1900, 2, 29), EConvertError);
  EXPECT_THROW((void)EncodeTime(24, 0, 0, 0), EConvertError);
  int y, m, d, h, mi, s, ms;
  const TDateTime t = EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 58, 500);
  DecodeDate(t, y, m, d);
  DecodeTime(t, h, mi, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20241231);
  EXPECT_EQ(h * 10000000 + mi * 100000 + s * 1000 + ms, 235958500);
  // A hair before midnight rounds to the next day rather than to 24:00.
  DecodeDate(EncodeDate(2024, 12, 31) + 0.9999999999, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20250101);
  EXPECT_LE(Date(), Now());
  EXPECT_LT(Now() - Date(), 1.0);
}

TEST(Clock, TimeGetTimeIsMonotonicMilliseconds) {
  const std::uint32_t start = timeGetTime();
  Sleep(20);
  const std::uint32_t elapsed = timeGetTime() - start;  // wrap-safe difference
  EXPECT_GE(elapsed, 20u);
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace lark
