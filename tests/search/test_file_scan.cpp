#include "app/file_scan.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/core/message_pump.h"
#include "tests/search/scan_tree.h"

namespace lark {
namespace {

using test::HitPaths;
using test::PrepareScan;
using test::ScanTree;
using Paths = std::vector<std::string>;

class FileScanTest : public testing::Test {
 protected:
  Paths Run(const std::string& keyword = "") {
    PrepareScan(scan, tree.Root(), keyword);
    scan.StartScan();
    return HitPaths(scan, tree.Root());
  }

  ScanTree tree;
  TFileScan scan;
};

TEST_F(FileScanTest, WalksFilesBeforeSubfoldersInNameOrder) {
  tree.Write("b.txt", "");
  tree.Write("a.htm", "");
  tree.Write("README", "");  // "*.*" matches names without a dot too
  tree.Write("sub/z.txt", "");
  tree.Write("sub/deeper/y.txt", "");
  tree.Write("alpha/x.txt", "");
  tree.Write("v1.2/skipped.txt", "");  // folders with a dot are not searched
  tree.Write(".hidden.txt", "");
  std::vector<std::string> entered;
  scan.OnFoundDirectory = [&](const std::string&, const TSearchRec& dir) { entered.push_back(dir.Name); };
  Paths progress;
  scan.OnScanProgress = [&](const std::string& text) { progress.push_back(text); };

  EXPECT_EQ(Run(), (Paths{"README", "a.htm", "b.txt", "alpha/x.txt", "sub/z.txt", "sub/deeper/y.txt"}));
  EXPECT_EQ(entered, (Paths{"alpha", "sub", "deeper"}));
  ASSERT_EQ(progress.size(), 6u);
  EXPECT_EQ(progress[3], tree.Path("alpha/x.txt") + std::string(78, ' '));

  scan.IncSubDir = false;
  EXPECT_EQ(Run(), (Paths{"README", "a.htm", "b.txt"}));
  scan.FileType = {TFileAttr::ftNormal, TFileAttr::ftHidden};
  EXPECT_EQ(Run(), (Paths{".hidden.txt", "README", "a.htm", "b.txt"}));
}

TEST_F(FileScanTest, EachPatternScansTheFolderOnceThenSubfoldersOnce) {
  tree.Write("a.TXT", "");
  tree.Write("b.htm", "");
  tree.Write("c.txt", "");
  tree.Write("d.gif", "");
  tree.Write("sub/e.htm", "");
  tree.Write("sub/f.txt", "");
  scan.FileSpecs = "*.htm; *.txt";
  EXPECT_EQ(Run(), (Paths{"b.htm", "a.TXT", "c.txt", "sub/e.htm", "sub/f.txt"}));
  scan.FileSpecs = "?.gif;;";
  EXPECT_EQ(Run(), (Paths{"d.gif"}));
  // A pattern names files of the folder, never a path elsewhere.
  scan.FileSpecs = "../*.*;sub/*.*";
  EXPECT_EQ(Run(), Paths{});
}

TEST_F(FileScanTest, SizeFilterComparesBytes) {
  tree.Write("small.txt", std::string(10, 'x'));
  tree.Write("exact.txt", std::string(100, 'x'));
  tree.Write("large.txt", std::string(1000, 'x'));
  scan.FileSize = 100;
  const std::pair<TFileCompType, Paths> cases[] = {
      {TFileCompType::fctEqual, {"exact.txt"}},
      {TFileCompType::fctGreaterThan, {"large.txt"}},
      {TFileCompType::fctLessThan, {"small.txt"}},
      {TFileCompType::fctGreaterThanOrEqual, {"exact.txt", "large.txt"}},
      {TFileCompType::fctLessThanOrEqual, {"exact.txt", "small.txt"}},
      {TFileCompType::fctNone, {"exact.txt", "large.txt", "small.txt"}},
  };
  for (const auto& [comp, expected] : cases) {
    scan.FileSizeComp = comp;
    EXPECT_EQ(Run(), expected) << static_cast<int>(comp);
  }
}

TEST_F(FileScanTest, AgeFilterComparesWholeDaysFromTheEndOfToday) {
  tree.Write("new.txt", "");
  tree.Write("week.txt", "");
  tree.Write("old.txt", "");
  // At noon, so that the age counted from the end of today is a whole day
  // count whatever the time of the test.
  tree.Touch("week.txt", test::NoonDaysAgo(7));
  tree.Touch("old.txt", test::NoonDaysAgo(40));
  scan.FileAge = 7;
  scan.FileAgeComp = TFileCompType::fctLessThanOrEqual;
  EXPECT_EQ(Run(), (Paths{"new.txt", "week.txt"}));
  scan.FileAgeComp = TFileCompType::fctGreaterThan;
  EXPECT_EQ(Run(), (Paths{"old.txt"}));
}

TEST_F(FileScanTest, DateRangeAloneOrTogether) {
  tree.Write("2019.txt", "");
  tree.Write("2021.txt", "");
  tree.Write("2023.txt", "");
  std::tm tm{};
  auto at = [&](int year, int month, int day, int hour) {
    tm = {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
  };
  tree.Touch("2019.txt", at(2019, 6, 1, 12));
  tree.Touch("2021.txt", at(2021, 1, 1, 0) + 60);  // just after midnight of the start date
  tree.Touch("2023.txt", at(2023, 1, 1, 12));       // on the end date itself

  scan.SetStartYear(2021);
  scan.SetStartMonth(1);
  scan.SetStartDay(1);
  EXPECT_EQ(Run(), (Paths{"2021.txt", "2023.txt"})) << "a start date given alone takes effect";
  scan.SetEndYear(2023);
  scan.SetEndMonth(1);
  scan.SetEndDay(1);
  EXPECT_EQ(Run(), (Paths{"2021.txt"}));
  scan.SetStartYear(0);
  EXPECT_EQ(Run(), (Paths{"2019.txt", "2021.txt"}));
}

TEST(FileScanDates, SettersValidateWithTheirMessages) {
  TFileScan scan;
  auto message = [](auto&& set) -> std::string {
    try {
      set();
    } catch (const EInvalidStartEndDate& e) {
      return e.Message;
    }
    return "";
  };
  EXPECT_EQ(message([&] { scan.SetStartYear(1900); }), "Invalid Start Year: Year Must be > 1900 - Or Equal 0");
  EXPECT_EQ(message([&] { scan.SetEndYear(12); }), "Invalid End Year: Year Must be > 1900 or Equal 0");
  EXPECT_EQ(message([&] { scan.SetStartMonth(13); }),
            "Invalid Start Month: Month Must be 0 < Month > 13 - Or Equal to 0");
  EXPECT_EQ(message([&] { scan.SetEndMonth(-1); }), "Invalid End Month: Month Must be 0 < Month > 13 - Or Equal to 0");
  scan.SetStartYear(2023);
  scan.SetStartMonth(2);
  EXPECT_EQ(message([&] { scan.SetStartDay(29); }), "Invalid Start Day: Day Must be 0 > Day < (Max for Month)");
  EXPECT_EQ(scan.StartDay(), 0) << "the old value stays";
  scan.SetStartYear(2024);
  EXPECT_EQ(message([&] { scan.SetStartDay(29); }), "");
  scan.SetEndYear(2000);  // divisible by 400: a leap year
  scan.SetEndMonth(2);
  EXPECT_EQ(message([&] { scan.SetEndDay(29); }), "");
  scan.SetEndYear(2100);
  EXPECT_EQ(message([&] { scan.SetEndDay(29); }), "") << "setting the current value again does nothing";
  EXPECT_EQ(message([&] { scan.SetEndDay(30); }), "Invalid End Day: Day Must be 0 > Day < (Max for Month)");
  TFileScan fresh;
  EXPECT_EQ(message([&] { fresh.SetStartDay(31); }), "") << "an unset month admits 31 days";
}

TEST_F(FileScanTest, SearchTypesCombineSeveralStrings) {
  tree.Write("both.txt", "alpha and beta");
  tree.Write("alpha.txt", "only alpha here");
  tree.Write("none.txt", "nothing at all");
  PrepareScan(scan, tree.Root());
  scan.SearchStrings.Add("alpha");
  scan.SearchStrings.Add("beta");
  const std::pair<TSearchType, Paths> cases[] = {
      {TSearchType::st_Or, {"alpha.txt", "both.txt"}},
      {TSearchType::st_And, {"both.txt"}},
      {TSearchType::st_Not, {"none.txt"}},
  };
  for (const auto& [type, expected] : cases) {
    scan.SearchType = type;
    scan.StartScan();
    EXPECT_EQ(HitPaths(scan, tree.Root()), expected) << static_cast<int>(type);
  }
}

TEST_F(FileScanTest, CaseFoldsPerCharacterWithoutManglingUtf8) {
  tree.Write("upper.txt", "L'\xC3\x89" "COLE DU SOIR");  // "L'ÉCOLE"
  tree.Write("lower.txt", "une \xC3\xA9" "cole");         // "école"
  tree.Write("latin1.txt", "une \xE9" "cole");             // Latin-1 é: another character in UTF-8
  tree.Write("copy.txt", "\xC2\xA9 2024");                 // © holds the byte 0xA9 of é
  EXPECT_EQ(Run("\xC3\xA9" "cole"), (Paths{"lower.txt", "upper.txt"}));
  scan.CaseSense = true;
  EXPECT_EQ(Run("\xC3\xA9" "cole"), (Paths{"lower.txt"}));
  EXPECT_EQ(Run("\xA9 2024"), Paths{}) << "a match starts at a character";
}

TEST_F(FileScanTest, WholeWordPrefixAndSuffix) {
  tree.Write("word.txt", "see the cat.");
  tree.Write("inside.txt", "concatenate");
  tree.Write("prefix.txt", "a catalog");
  tree.Write("suffix.txt", "a bobcat, yes");
  tree.Write("start.txt", "cat");
  const std::pair<TSearchStringType, Paths> cases[] = {
      {TSearchStringType::sst_Word, {"start.txt", "word.txt"}},
      {TSearchStringType::sst_Prefix, {"prefix.txt", "start.txt", "word.txt"}},
      {TSearchStringType::sst_Suffix, {"start.txt", "suffix.txt", "word.txt"}},
      {TSearchStringType::sst_Normal, {"inside.txt", "prefix.txt", "start.txt", "suffix.txt", "word.txt"}},
  };
  for (const auto& [type, expected] : cases) {
    scan.SearchStringType = type;
    EXPECT_EQ(Run("cat"), expected) << static_cast<int>(type);
  }
}

// Block boundaries: a keyword split across two blocks is found, a match that
// ends a block is judged by the byte that starts the next one, and what is
// carried over stays as small as the keyword needs.
TEST_F(FileScanTest, KeywordAcrossTheBlockBoundary) {
  const std::string keyword = "boundaryword";
  std::string split(kScanBlockSize - 5, 'x');
  split += " " + keyword + " tail";
  tree.Write("split.txt", split);
  std::string glued(kScanBlockSize - keyword.size(), 'x');
  glued.replace(glued.size() - 1, 1, " ");
  glued += keyword + "s and more";  // "boundarywords": no whole word
  tree.Write("glued.txt", glued);
  std::string atEnd(kScanBlockSize - keyword.size() - 1, 'x');
  atEnd += " " + keyword;  // exactly one block: the end of the file is a bound
  tree.Write("at_end.txt", atEnd);

  std::size_t largestBuffer = 0;
  int blocks = 0;
  scan.OnBeforeBufferScan = [&](const std::string&, const std::string&, std::string_view buffer, int block, bool) {
    largestBuffer = std::max(largestBuffer, buffer.size());
    blocks = std::max(blocks, block);
  };
  EXPECT_EQ(Run(keyword), (Paths{"at_end.txt", "glued.txt", "split.txt"}));
  scan.SearchStringType = TSearchStringType::sst_Word;
  EXPECT_EQ(Run(keyword), (Paths{"at_end.txt", "split.txt"}));
  EXPECT_EQ(blocks, 2);
  EXPECT_LE(largestBuffer, kScanBlockSize + keyword.size() + 4);
}

TEST_F(FileScanTest, ZeroBytesSplitRunsAndNothingCrossesThem) {
  using namespace std::string_literals;
  tree.Write("crossing.bin", "abc key\0word def"s);
  tree.Write("after_zero.bin", "abc\0keyword def"s);
  tree.Write("before_zero.bin", "abc keyword\0def"s);
  std::string atBoundary(kScanBlockSize - 3, 'x');
  atBoundary += "key"s + '\0' + "word"s;  // the zero starts the second block
  tree.Write("boundary.bin", atBoundary);
  EXPECT_EQ(Run("keyword"), (Paths{"after_zero.bin", "before_zero.bin"}));
  scan.SearchStringType = TSearchStringType::sst_Prefix;  // a run start is a bound
  EXPECT_EQ(Run("keyword"), (Paths{"after_zero.bin", "before_zero.bin"}));
}

TEST_F(FileScanTest, HundredMegabyteFilesStayLinear) {
  const std::string keyword = "needleinhay";
  {
    // Sparse: 100 MB of zero bytes, the keyword after them.
    const std::string path = tree.Write("sparse.bin", "");
    ASSERT_EQ(truncate(path.c_str(), 100 << 20), 0);
    std::ofstream(path, std::ios::binary | std::ios::app) << " " << keyword;
  }
  {
    // Text without a single zero byte: every block continues the same run.
    std::string chunk;
    while (chunk.size() < (1 << 20)) chunk += "lorem ipsum dolor sit amet ";
    chunk.resize(1 << 20);
    std::ofstream out(tree.Path("text.txt"), std::ios::binary);
    for (int i = 0; i < 100; ++i) out << chunk;
    out << " " << keyword;
  }
  std::size_t largestBuffer = 0;
  scan.OnBeforeBufferScan = [&](const std::string&, const std::string&, std::string_view buffer, int, bool) {
    largestBuffer = std::max(largestBuffer, buffer.size());
  };
  scan.SearchStringType = TSearchStringType::sst_Word;
  EXPECT_EQ(Run(keyword), (Paths{"sparse.bin", "text.txt"}));
  EXPECT_LE(largestBuffer, kScanBlockSize + keyword.size() + 4);
}

TEST_F(FileScanTest, OddNamesAreListedAndLinked) {
  const Paths names = {"a \"quoted\" 'name'.txt", "less<than>.txt", "caf\xC3\xA9 #1?%.txt"};
  for (const std::string& name : names) tree.Write("dir/" + name, "findme");
  const Paths hits = Run("findme");
  ASSERT_EQ(hits.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const auto* hit = dynamic_cast<const TOneResult*>(scan.Results.Objects(i));
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->Title, tree.Path(hits[i]));
    EXPECT_TRUE(hit->TitleIsPath);
  }
  EXPECT_EQ(dynamic_cast<const TOneResult*>(scan.Results.Objects(2))->URL,
            "file://" + tree.Root() + "dir/less%3Cthan%3E.txt");
  EXPECT_EQ(dynamic_cast<const TOneResult*>(scan.Results.Objects(1))->URL,
            "file://" + tree.Root() + "dir/caf%C3%A9%20%231%3F%25.txt");
}

TEST_F(FileScanTest, LinksDoNotLeadIntoLoops) {
  tree.Write("real/file.txt", "x");
  ASSERT_EQ(symlink("..", tree.Path("real/up").c_str()), 0);
  ASSERT_EQ(symlink("real", tree.Path("again").c_str()), 0);
  ASSERT_EQ(symlink("real/file.txt", tree.Path("link.txt").c_str()), 0);
  ASSERT_EQ(symlink("missing", tree.Path("dangling.txt").c_str()), 0);
  EXPECT_EQ(Run(), (Paths{"link.txt", "again/file.txt"}));
}

TEST_F(FileScanTest, OnlyRegularFilesAreRead) {
  tree.Write("plain.txt", "data");
  ASSERT_EQ(mkfifo(tree.Path("pipe.txt").c_str(), 0644), 0);
  ASSERT_EQ(symlink("/dev/zero", tree.Path("zero.txt").c_str()), 0);
  EXPECT_EQ(Run(), (Paths{"plain.txt"}));
  EXPECT_EQ(Run("data"), (Paths{"plain.txt"}));
  EXPECT_EQ(scan.UnreadableFiles(), 0);
}

TEST_F(FileScanTest, DocumentInformationOfHits) {
  tree.Write("titled.html",
             "<html><head><TITLE>My <b>page</TITLE>"
             "<meta name=\"description\" content=\"About cats.\">"
             "<META NAME=\"keywords\" CONTENT=\"cats, dogs\"></head><body>cats</body></html>");
  tree.Write("plain.htm", "<html><title>  </title><p>Line one\r\nline   two</p>\n<p>cats</p></html>");
  tree.Write("notes.txt", "cats " + std::string(300, 'n'));
  tree.Write("long.htm", "<p>cats " + std::string(244, 'a') + "\xC3\xA9\xC3\xA9 more</p>");
  tree.Write("image.gif", "cats <title>not read</title>");
  scan.ShowTitle = true;
  scan.ShowSummary = true;
  Run("cats");
  ASSERT_EQ(scan.Results.Count(), 5);
  auto hit = [&](int i) { return dynamic_cast<const TOneResult*>(scan.Results.Objects(i)); };
  EXPECT_EQ(hit(0)->Title, tree.Path("image.gif"));
  EXPECT_EQ(hit(0)->Summary, "");
  EXPECT_EQ(hit(1)->Summary, "cats " + std::string(244, 'a')) << "cut at 250 bytes, before the split character";
  EXPECT_EQ(hit(2)->Summary, "cats " + std::string(245, 'n'));
  EXPECT_EQ(hit(3)->Title, tree.Path("plain.htm")) << "a blank title leaves the path";
  EXPECT_EQ(hit(3)->Summary, " Line one line two cats");
  EXPECT_EQ(hit(4)->Title, "My ");
  EXPECT_FALSE(hit(4)->TitleIsPath);
  EXPECT_EQ(hit(4)->Summary, "About cats.");

  scan.METASearch = true;
  EXPECT_EQ(Run("dogs"), (Paths{"titled.html"}));
  scan.ShowSummary = false;
  EXPECT_EQ(Run("dogs"), (Paths{"titled.html"})) << "META search does not depend on showing summaries";
}

TEST_F(FileScanTest, DisplayLineColumns) {
  tree.Write("sub/report.txt", std::string(1234567, 'x'));
  chmod(tree.Path("sub/report.txt").c_str(), 0444);
  setenv("TZ", "UTC", 1);
  tzset();
  tree.Touch("sub/report.txt", 1700000000);  // 2023-11-14 22:13:20 UTC
  scan.IncDirName = false;
  scan.ShowSize = true;
  scan.ShowDate = true;
  scan.ShowAttr = true;
  Run();
  ASSERT_EQ(scan.Results.Count(), 1);
  EXPECT_EQ(scan.Results.At(0), "report.txt     1,234,567  2023/11/14  22:13:20  R----A");
  EXPECT_EQ(dynamic_cast<const TOneResult*>(scan.Results.Objects(0))->URL,
            "file://" + tree.Path("sub/report.txt")) << "the link needs the full path";
  unsetenv("TZ");
  tzset();
}

// A Stop pressed while the search lets messages run.
TEST_F(FileScanTest, StopLeavesNoPageAndTheEngineReady) {
  for (int i = 0; i < 5; ++i) tree.Write("f" + std::to_string(i) + ".txt", "");
  scan.FileSpecs = "*.txt";
  scan.OutputFile = tree.Path("page.html");
  int ended = 0;
  scan.OnEndSearch = [&] { ++ended; };
  int files = 0;
  SetMessagePump([&] {
    if (++files == 2) scan.Aborted = true;
  });
  EXPECT_EQ(Run(), (Paths{"f0.txt", "f1.txt"}));
  SetMessagePump(nullptr);
  EXPECT_EQ(scan.Results.At(scan.Results.Count() - 1), kAbortedLine);
  EXPECT_EQ(ended, 0);
  EXPECT_FALSE(std::filesystem::exists(scan.OutputFile));

  EXPECT_EQ(Run().size(), 5u);
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(std::filesystem::exists(scan.OutputFile));
}

TEST_F(FileScanTest, MatchLimitStopsButStillWritesThePage) {
  for (int i = 0; i < 5; ++i) tree.Write("f" + std::to_string(i) + ".txt", "");
  scan.FileSpecs = "*.txt";
  scan.OutputFile = tree.Path("page.html");
  scan.MatchLimit = 2;
  int ended = 0;
  scan.OnEndSearch = [&] { ++ended; };
  EXPECT_EQ(Run(), (Paths{"f0.txt", "f1.txt"}));
  EXPECT_EQ(scan.Results.At(2), kMatchLimitLine);
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(std::filesystem::exists(scan.OutputFile));

  scan.MatchLimit = 0;
  scan.AppendItems = true;
  EXPECT_EQ(Run().size(), 7u) << "appended to the two hits before";
}

TEST_F(FileScanTest, PageWriteFailureRaisesAndTheNextSearchRuns) {
  tree.Write("a.txt", "");
  scan.OutputFile = tree.Path("missing/page.html");
  EXPECT_THROW(Run(), EFCreateError);
  scan.OutputFile = tree.Path("page.html");
  EXPECT_EQ(Run(), (Paths{"a.txt"}));
  EXPECT_TRUE(std::filesystem::exists(scan.OutputFile));
}

TEST_F(FileScanTest, NoSecondSearchWhileOneRuns) {
  tree.Write("a.txt", "");
  bool refused = false;
  SetMessagePump([&] {
    try {
      scan.StartScan();
    } catch (const EInvalidOperation&) {
      refused = true;
    }
  });
  EXPECT_EQ(Run(), (Paths{"a.txt"}));
  SetMessagePump(nullptr);
  EXPECT_TRUE(refused);
}

TEST(FileScanRoots, WholeFileSystemButNoKernelFileSystems) {
  TFileScan scan;
  scan.SearchAllDrives = true;
  scan.Directory = "/nowhere";  // not used
  scan.MatchLimit = 3;
  scan.StartScan();
  ASSERT_EQ(scan.Results.Count(), 4);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(scan.Results.At(i)[0], '/');
  EXPECT_EQ(scan.Results.At(3), kMatchLimitLine);

  // Their files can block or never end (/proc/kmsg, /proc/kcore).
  scan.SearchAllDrives = false;
  scan.MatchLimit = 0;
  scan.SearchStrings.Add("a");
  for (const char* kernel : {"/proc", "/proc/self", "/sys"}) {
    scan.Directory = kernel;
    scan.StartScan();
    EXPECT_EQ(scan.Results.Count(), 0) << kernel;
  }
}

TEST_F(FileScanTest, MissingStartFolderIsAnError) {
  scan.Directory = tree.Path("nowhere");
  EXPECT_THROW(scan.StartScan(), EInOutError);
}

// Tests run as root, who reads everything: the unreadable cases run in a
// child process that has dropped to "nobody".
TEST_F(FileScanTest, UnreadableFilesAndFoldersAreSkippedAndCounted) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to drop privileges";
  tree.Write("open.txt", "secret word");
  tree.Write("closed.txt", "secret word");
  tree.Write("locked/inside.txt", "secret word");
  tree.Write("after/visible.txt", "secret word");
  chmod(tree.Path("closed.txt").c_str(), 0600);
  chmod(tree.Path("locked").c_str(), 0700);
  for (const char* dir : {"", "after"}) chmod(tree.Path(dir).c_str(), 0755);
  for (const char* file : {"open.txt", "after/visible.txt"}) chmod(tree.Path(file).c_str(), 0644);

  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipeFds[0]);
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    std::string report;
    for (const char* keyword : {"secret", ""}) {
      Run(keyword);
      for (const std::string& hit : HitPaths(scan, tree.Root())) report += hit + ",";
      report += std::to_string(scan.UnreadableFiles()) + "/" + std::to_string(scan.UnreadableDirectories()) + ";";
    }
    const ssize_t written = write(pipeFds[1], report.data(), report.size());
    _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 3);
  }
  close(pipeFds[1]);
  std::string report;
  char buffer[512];
  for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, got);
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  // With a keyword the closed file is skipped and counted; without one it is
  // listed, as nothing has to be read.
  EXPECT_EQ(report, "open.txt,after/visible.txt,1/1;closed.txt,open.txt,after/visible.txt,0/1;");
}

}  // namespace
}  // namespace lark
