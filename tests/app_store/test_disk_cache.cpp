#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/disk_cache.h"
#include "platform/core/file_routines.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

// The bytes stored for a key: different for every key, several blocks long.
std::string BytesFor(const std::string& key) {
  std::string bytes;
  while (bytes.size() < 20000) bytes += key + "|";
  return bytes;
}

// Checks what a start must find: an index of usable entries, each file
// holding exactly its URL's bytes, no leftover older than the index.
void ExpectConsistent(const std::string& dir) {
  const std::string index = test::ReadFile(dir + "/cachinfo.txt");
  const auto entries = TDiskCache::ParseIndex(index);
  EXPECT_EQ(index.empty() ? 0 : static_cast<std::size_t>(std::count(index.begin(), index.end(), '\n')),
            entries.size());
  std::set<std::string> named;
  for (const auto& entry : entries) {
    named.insert(entry.FileName);
    EXPECT_EQ(test::ReadFile(dir + "/" + entry.FileName), BytesFor(entry.Key)) << entry.FileName;
  }
  struct stat indexInfo {};
  ASSERT_EQ(stat((dir + "/cachinfo.txt").c_str(), &indexInfo), 0);
  DIR* folder = opendir(dir.c_str());
  while (const dirent* item = readdir(folder)) {
    const std::string name = item->d_name;
    const bool ours = name.find(".new-") != std::string::npos ||
                      (TDiskCache::IsCacheFileName(name) && !named.contains(name));
    if (!ours) continue;
    struct stat info {};
    stat((dir + "/" + name).c_str(), &info);
    const bool older = info.st_mtim.tv_sec < indexInfo.st_mtim.tv_sec ||
                       (info.st_mtim.tv_sec == indexInfo.st_mtim.tv_sec &&
                        info.st_mtim.tv_nsec < indexInfo.st_mtim.tv_nsec);
    EXPECT_FALSE(older) << "left over: " << name;
  }
  closedir(folder);
}

std::string Add(TDiskCache& cache, const std::string& url, int type = 2) {
  return cache.AddToCache(url, type, BytesFor(TDiskCache::CacheKey(url)));
}

TEST(DiskCache, KeysAndFileNames) {
  EXPECT_EQ(TDiskCache::CacheKey("HTTP://WWW.Example.com/A.png"), "example.com/a.png");
  EXPECT_EQ(TDiskCache::CacheKey("http://example.com/a.png"), "example.com/a.png");
  EXPECT_EQ(TDiskCache::CacheKey("https://www.example.com/"), "https://www.example.com/");
  EXPECT_NE(TDiskCache::CacheKey("https://bank.example/?u=http://evil.example/"),
            TDiskCache::CacheKey("http://evil.example/"));
  EXPECT_EQ(TDiskCache::CacheKey("http://h/a b\r\nx\x7f"), "h/a%20b%0D%0Ax%7F");

  test::TempDir dir;
  TDiskCache cache(dir.Path(), true);
  NextFileNumber = 500;
  EXPECT_EQ(cache.NewFileName("http://h/a.JPG"), "m500");
  EXPECT_EQ(cache.NewFileName("http://h/a.jpeg"), "m501.jpeg");
  EXPECT_EQ(cache.NewFileName("http://h/a.png?x=1"), "m502.png");
  EXPECT_EQ(cache.NewFileName("http://h/a.html/long"), "m503");
  test::WriteFile(dir.File("m504.gif"), "another window's");
  EXPECT_EQ(cache.NewFileName("http://h/a.gif"), "m505.gif");  // a taken name is skipped
}

TEST(DiskCache, SurvivesARestartTrimsAndNeverStoresHttps) {
  test::TempDir dir;
  {
    TDiskCache cache(dir.Path(), true);
    ASSERT_TRUE(cache.Enabled());
    EXPECT_EQ(Add(cache, "https://example.com/a.png"), "");
    for (int i = 0; i < kMaxCacheEntries; ++i) EXPECT_NE(Add(cache, "http://h/" + std::to_string(i) + ".png"), "");
  }
  TDiskCache cache(dir.Path(), true);
  std::string first;
  int type = -1;
  ASSERT_TRUE(cache.FindInCache("http://www.H/0.PNG", first, type));
  EXPECT_EQ(type, 2);
  const std::int64_t before = NextFileNumber;
  const std::string added = Add(cache, "http://h/extra.png");
  EXPECT_EQ(added, dir.Path() + "/m" + std::to_string(before) + ".png");
  EXPECT_FALSE(FileExists(first));  // the 101st entry took the oldest's file
  EXPECT_FALSE(cache.FindInCache("http://h/0.png", first, type));
  EXPECT_EQ(cache.Count(), kMaxCacheEntries);
  cache.RemoveFromCache("http://h/extra.png");
  EXPECT_FALSE(FileExists(added));
  ExpectConsistent(dir.Path());
}

// Only the index and the cache's own files go: not a file of another name,
// not a link, not a cache file another window has just claimed.
TEST(DiskCache, DeleteAllFilesTakesOnlyTheCachesOwnFiles) {
  test::TempDir dir;
  TDiskCache cache(dir.Path(), true);
  const std::string kept = Add(cache, "http://h/kept.htm");
  Add(cache, "http://h/b.png");
  const std::string cookies = dir.Write("Cookies.txt", "cookies");
  const std::string outside = dir.Write("outside", "outside");
  ASSERT_EQ(symlink(outside.c_str(), (dir.Path() + "/m5.htm").c_str()), 0);
  const std::string claimed = dir.Write("m99999.htm", "");
  const timespec later[2] = {{0, UTIME_OMIT}, {time(nullptr) + 60, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, claimed.c_str(), later, 0), 0);
  EXPECT_EQ(cache.DeleteAllFiles(), 3);  // two entries and the index
  EXPECT_FALSE(FileExists(kept));
  EXPECT_FALSE(FileExists(dir.Path() + "/cachinfo.txt"));
  for (const std::string& stays : {cookies, outside, claimed}) EXPECT_TRUE(FileExists(stays)) << stays;
  EXPECT_EQ(test::ReadFile(outside), "outside");
  // The entries in memory stay; their files are gone.
  std::string file;
  int type = 0;
  EXPECT_TRUE(cache.FindInCache("http://h/kept.htm", file, type));
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(TDiskCache("", false).DeleteAllFiles(), 0);
}

TEST(DiskCache, AHostileIndexTouchesNothingOutsideTheFolder) {
  test::TempDir outer;
  const std::string dir = outer.File("cache");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const std::string canary = outer.Write("x", "canary");
  outer.Write("m1", "canary");
  std::string index = "a 0 ../x\nb 2 /etc/passwd\nc 1 m1/../../x\nd 0 m1/../../m1\ne\0f 0 m7\n"
                      "g 0 m7\0../x\n" + std::string(10 * 1024 * 1024, 'k') + " 0 m8\n";
  index.append("\nh 0 ../m1\n");
  for (int i = 0; i < 1000000; ++i) index += "k" + std::to_string(i) + " 0 ../x\n";
  test::WriteFile(dir + "/cachinfo.txt", index);
  {
    TDiskCache cache(dir, true);
    EXPECT_EQ(cache.Count(), 0);
    for (const char* key : {"http://a", "http://b", "http://c", "http://h"}) cache.RemoveFromCache(key);
    for (int i = 0; i <= kMaxCacheEntries; ++i) Add(cache, "http://n/" + std::to_string(i));
  }
  EXPECT_EQ(test::ReadFile(canary), "canary");
  EXPECT_EQ(test::ReadFile(outer.File("m1")), "canary");
  EXPECT_TRUE(FileExists("/etc/passwd"));
}

TEST(DiskCache, AFolderThatCannotBeWrittenSwitchesTheCacheOff) {
  test::TempDir dir;
  const std::string file = dir.Write("plain", "a file where the folder should be");
  TDiskCache underFile(file + "/cache", true);
  EXPECT_FALSE(underFile.Enabled());
  EXPECT_EQ(Add(underFile, "http://h/a.png"), "");
  std::string name;
  int type = 0;
  EXPECT_FALSE(underFile.FindInCache("http://h/a.png", name, type));

  // Root ignores modes: the writer runs as nobody on a folder it cannot write.
  if (!test::HaveTool("setpriv")) GTEST_SKIP() << "setpriv (util-linux) missing";
  const std::string folder = dir.File("root-owned");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  chmod(dir.Path().c_str(), 0755);
  const std::string command = "setpriv --reuid=65534 --regid=65534 --clear-groups env LARK_CACHE_PROBE='" + folder +
                              "' " + ExecutablePath() + " --gtest_filter=DiskCacheAsNobody.* >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_FALSE(FileExists(folder + "/cachinfo.txt"));
}

// Runs only as the child of the test above.
TEST(DiskCacheAsNobody, StoresNothingAndRaisesNothing) {
  const char* folder = std::getenv("LARK_CACHE_PROBE");
  if (folder == nullptr) GTEST_SKIP() << "run by AFolderThatCannotBeWrittenSwitchesTheCacheOff";
  TDiskCache cache(folder, true);
  EXPECT_FALSE(cache.Enabled());
  EXPECT_EQ(Add(cache, "http://h/a.png"), "");
}

// A writer that adds entries until it is killed.
[[noreturn]] void AddForever(const std::string& dir, const std::string& prefix, int count = -1) {
  TDiskCache cache(dir, true);
  std::mt19937 random(static_cast<unsigned>(getpid()));
  for (int i = 0; count < 0 || i < count; ++i) {
    const int n = count < 0 ? static_cast<int>(random() % 150) : i;
    Add(cache, "http://" + prefix + "/" + std::to_string(n) + ".png");
  }
  _exit(0);
}

TEST(DiskCache, AKillAtAnyMomentLosesAtMostTheEntryBeingWritten) {
  test::TempDir dir;
  test::WriteFile(dir.File("Cookies.txt"), "cookies");
  test::WriteFile(dir.File("other.bin"), "other");
  { TDiskCache first(dir.Path(), true); Add(first, "http://h/first.png"); }
  std::mt19937 random(42);
  for (int round = 0; round < 50; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) AddForever(dir.Path(), "h");
    std::this_thread::sleep_for(std::chrono::microseconds(5000 + random() % 40000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    { TDiskCache next(dir.Path(), true); }
    ExpectConsistent(dir.Path());
    if (HasFailure()) break;
  }
  EXPECT_EQ(test::ReadFile(dir.File("Cookies.txt")), "cookies");
  EXPECT_EQ(test::ReadFile(dir.File("other.bin")), "other");
}

TEST(DiskCache, TwoProcessesAddingAtOnceNeverCrossEntries) {
  test::TempDir dir;
  { TDiskCache make(dir.Path(), true); }
  std::vector<pid_t> children;
  for (const char* prefix : {"a", "b"}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) AddForever(dir.Path(), prefix, 60);
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ExpectConsistent(dir.Path());
  const auto entries = TDiskCache::ParseIndex(test::ReadFile(dir.File("cachinfo.txt")));
  EXPECT_EQ(entries.size(), static_cast<std::size_t>(kMaxCacheEntries));  // 120 added, none dropped but by trimming
  int files = 0;
  DIR* folder = opendir(dir.Path().c_str());
  while (const dirent* item = readdir(folder)) files += TDiskCache::IsCacheFileName(item->d_name);
  closedir(folder);
  EXPECT_EQ(files, kMaxCacheEntries);
}

}  // namespace
}  // namespace lark
