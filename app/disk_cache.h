#pragma once

// Fetched http documents and images kept as files in one folder, with the
// index "cachinfo.txt" beside them, so that a page or image seen before is
// answered without the network.
//
// Several windows (processes) share one folder. A change takes the lock file
// beside the index, re-reads the index, applies itself to what is on disk and
// writes the whole index again atomically, so no window drops another's
// entries. File names are claimed by exclusive create, so no two windows
// write one file. Data goes to a temporary file that is renamed into place
// before the entry is indexed: a kill loses at most the entry being written.
// The index is untrusted: only names of the cache's own pattern are used, so
// nothing outside the folder is ever read, written or deleted.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

constexpr int kMaxCacheEntries = 100;
// URLs longer than this are not cached; index lines longer are dropped.
constexpr std::size_t kMaxCacheKeyBytes = 8192;
// More of an index than kMaxCacheEntries lines of the longest key is not read.
constexpr std::int64_t kMaxIndexBytes = 4LL * 1024 * 1024;

// The number of the next cache file: 12345 at start, then one past the
// last entry of an index read.
extern std::int64_t NextFileNumber;

class TDiskCache {
 public:
  // Makes the folder when missing, removes what a killed writer left, and
  // reads the index. A folder that cannot be made or written, or an empty
  // Directory, gives a switched-off cache; nothing raises.
  TDiskCache(const std::string& Directory, bool Enabled);

  // The file and document type stored for URL; false (and an empty name)
  // when it is not cached. The caller checks that the file still exists.
  bool FindInCache(const std::string& URL, std::string& FileName, int& DocType);
  // Stores the data of an http URL and answers the file it is in, or "" when
  // nothing was stored (https, switched off, a write that failed). A URL
  // already cached keeps its entry and type; its file gets the new data.
  std::string AddToCache(const std::string& URL, int DocType, std::string_view Data);
  void RemoveFromCache(const std::string& URL);
  // Deletes the index and the cache's own files in its folder, under the
  // lock: regular files whose names the cache makes, never through a link
  // or into a sub-folder, never the lock file or any other file. A cache
  // file newer than the index and not in it may be one another window is
  // writing: it stays. The entries in memory stay; whoever uses one checks
  // that its file still exists. Answers how many files went.
  int DeleteAllFiles();

  // Lower-cased, without a leading "http://" and a "www." right after it;
  // blanks, control bytes and DEL percent-encoded, so that a key is one word
  // of one index line.
  [[nodiscard]] static std::string CacheKey(std::string_view URL);
  // Claims a new file name ("m" + number + known extension) by creating it.
  [[nodiscard]] std::string NewFileName(std::string_view URL);

  [[nodiscard]] bool Enabled() const { return enabled_; }
  [[nodiscard]] const std::string& Dir() const { return dir_; }
  [[nodiscard]] int Count() const { return static_cast<int>(entries_.size()); }

  struct TEntry {
    std::string Key;
    int DocType = 0;
    std::string FileName;
  };
  // The entries of an index's text that are safe to use, oldest first.
  [[nodiscard]] static std::vector<TEntry> ParseIndex(std::string_view text);
  // Whether a name is one the cache makes: "m", digits, a known extension.
  [[nodiscard]] static bool IsCacheFileName(std::string_view name);

 private:
  [[nodiscard]] std::string IndexName() const { return dir_ + "cachinfo.txt"; }
  [[nodiscard]] bool CanWrite() const;
  [[nodiscard]] std::vector<TEntry> ReadIndexFile();
  // Under the lock: re-reads the index, lets change alter it (naming the
  // files it drops), trims and writes it, then deletes the dropped files.
  // False when the index could not be written.
  template <typename Change>
  bool UpdateIndex(Change change);
  void Trim(std::vector<TEntry>& entries, std::vector<std::string>& dropped);
  void RemoveLeftovers();
  void RefreshWhenChanged();
  void SwitchOff() { enabled_ = false; }

  std::string dir_;
  bool enabled_ = false;
  std::vector<TEntry> entries_;
  // What the index on disk looked like when last read, to notice another
  // window's changes.
  std::int64_t indexStamp_ = -1;
};

}  // namespace lark
