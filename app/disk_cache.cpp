#include "app/disk_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <unordered_set>

#include "html/url_helpers.h"
#include "platform/core/atomic_file.h"
#include "platform/core/exception.h"
#include "platform/core/file_routines.h"
#include "platform/core/path_routines.h"
#include "platform/core/string_routines.h"

namespace lark {

std::int64_t NextFileNumber = 12345;

namespace {

constexpr std::string_view kKnownExtensions[] = {".htm", ".html", ".gif", ".jpg", ".png", ".bmp", ".txt", ".jpeg"};
// Longest number a file name may carry: 18 digits always fit 64 bits.
constexpr std::size_t kMaxFileNumberDigits = 18;
// Names tried before a claim gives up (other windows took them all).
constexpr int kMaxClaimAttempts = 1000;
// The suffix AtomicWriteFile gives its temporary files.
constexpr std::string_view kTemporaryMark = ".new-";

bool IsKnownExtension(std::string_view ext) {
  return std::find(std::begin(kKnownExtensions), std::end(kKnownExtensions), ext) != std::end(kKnownExtensions);
}

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string TrimBelow33(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) < 33) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) < 33) text.remove_suffix(1);
  return std::string(text);
}

bool HasUnsafeKeyBytes(std::string_view key) {
  return std::any_of(key.begin(), key.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
  });
}

std::int64_t FileNumberOf(std::string_view name) {
  const std::size_t dot = name.find('.');
  return StrToInt64(name.substr(1, dot == std::string_view::npos ? std::string_view::npos : dot - 1));
}

struct FileInfo {
  bool exists = false;
  bool regular = false;
  timespec modified{};
  std::int64_t stamp = -1;
};

FileInfo Inspect(const std::string& path) {
  FileInfo info;
  struct stat s {};
  if (::lstat(path.c_str(), &s) != 0) return info;
  info.exists = true;
  info.regular = S_ISREG(s.st_mode);
  info.modified = s.st_mtim;
  info.stamp = (static_cast<std::int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec) ^
               (static_cast<std::int64_t>(s.st_ino) << 20) ^ static_cast<std::int64_t>(s.st_size);
  return info;
}

bool Older(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

std::string IndexText(const std::vector<TDiskCache::TEntry>& entries) {
  std::string text;
  for (const auto& entry : entries)
    text += entry.Key + " " + std::to_string(entry.DocType) + " " + entry.FileName + "\n";
  return text;
}

}  // namespace

TDiskCache::TDiskCache(const std::string& Directory, bool Enabled) {
  if (!Enabled || Directory.empty()) return;
  dir_ = IncludeTrailingPathDelimiter(Directory);
  if (!ForceDirectories(dir_) || !CanWrite()) return;
  enabled_ = true;
  try {
    FileLock lock(IndexName());
    RemoveLeftovers();
    entries_ = ReadIndexFile();
    // New numbers continue after the newest entry (the claim skips any
    // taken meanwhile); an index without a usable entry restarts them.
    if (Inspect(IndexName()).regular)
      NextFileNumber = entries_.empty() ? 1 + 1110 : FileNumberOf(entries_.back().FileName) + 1;
  } catch (const Exception&) {
    SwitchOff();  // another window holds the lock for far too long
  }
}

bool TDiskCache::CanWrite() const {
  // Named like a temporary file, so that a kill right here leaves nothing
  // that is not removed at a later start.
  const std::string probe = dir_ + "cachinfo.txt.new-probe-" + std::to_string(::getpid());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

std::string TDiskCache::CacheKey(std::string_view URL) {
  std::string key = LowerCase(URL);
  if (key.starts_with("http://")) key.erase(0, 7);
  if (key.starts_with("www.")) key.erase(0, 4);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(key.size());
  for (const char c : key) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 15];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

bool TDiskCache::IsCacheFileName(std::string_view name) {
  if (name.size() < 2 || name[0] != 'm') return false;
  const std::size_t dot = name.find('.');
  const std::string_view digits = name.substr(1, dot == std::string_view::npos ? std::string_view::npos : dot - 1);
  if (!IsDigits(digits) || digits.size() > kMaxFileNumberDigits) return false;
  return dot == std::string_view::npos || IsKnownExtension(name.substr(dot));
}

std::vector<TDiskCache::TEntry> TDiskCache::ParseIndex(std::string_view text) {
  std::vector<TEntry> entries;
  std::unordered_set<std::string> keys, names;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.size() > kMaxCacheKeyBytes + 64) continue;
    const std::size_t firstBlank = line.find(' ');
    if (firstBlank == std::string_view::npos) continue;
    const std::size_t secondBlank = line.find(' ', firstBlank + 1);
    if (secondBlank == std::string_view::npos) continue;
    TEntry entry;
    entry.Key = TrimBelow33(line.substr(0, firstBlank));
    const std::string type = TrimBelow33(line.substr(firstBlank + 1, secondBlank - firstBlank - 1));
    entry.FileName = TrimBelow33(line.substr(secondBlank + 1));
    if (entry.Key.empty() || HasUnsafeKeyBytes(entry.Key) || !IsCacheFileName(entry.FileName)) continue;
    entry.DocType = type == "1" ? 1 : type == "2" ? 2 : 0;
    if (!keys.insert(entry.Key).second || !names.insert(entry.FileName).second) continue;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<TDiskCache::TEntry> TDiskCache::ReadIndexFile() {
  const FileInfo info = Inspect(IndexName());
  indexStamp_ = info.stamp;
  if (!info.regular) return {};
  std::ifstream file(IndexName(), std::ios::binary | std::ios::ate);
  const std::streamoff size = std::max<std::streamoff>(0, std::min<std::streamoff>(file.tellg(), kMaxIndexBytes));
  file.seekg(0);
  std::string text(static_cast<std::size_t>(size), '\0');
  file.read(text.data(), size);
  text.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, file.gcount())));
  std::vector<TEntry> entries = ParseIndex(text);
  if (entries.size() > static_cast<std::size_t>(kMaxCacheEntries))
    entries.erase(entries.begin(), entries.end() - kMaxCacheEntries);
  if (!entries.empty()) NextFileNumber = std::max(NextFileNumber, FileNumberOf(entries.back().FileName) + 1);
  return entries;
}

void TDiskCache::RefreshWhenChanged() {
  if (Inspect(IndexName()).stamp != indexStamp_) entries_ = ReadIndexFile();
}

bool TDiskCache::FindInCache(const std::string& URL, std::string& FileName, int& DocType) {
  FileName.clear();
  DocType = 0;
  if (!enabled_) return false;
  RefreshWhenChanged();
  const std::string key = CacheKey(URL);
  for (const TEntry& entry : entries_) {
    if (entry.Key != key) continue;
    FileName = dir_ + entry.FileName;
    DocType = entry.DocType;
    return true;
  }
  return false;
}

std::string TDiskCache::NewFileName(std::string_view URL) {
  const std::string_view path = URL.substr(0, URL.find('?'));
  const std::size_t lowest = path.size() > 6 ? path.size() - 6 : 0;
  const std::size_t dot = path.rfind('.');
  std::string ext;
  if (dot != std::string_view::npos && dot >= lowest && IsKnownExtension(path.substr(dot))) ext = path.substr(dot);
  for (int attempt = 0; attempt < kMaxClaimAttempts; ++attempt) {
    const std::string name = "m" + std::to_string(NextFileNumber++) + ext;
    const int fd = ::open((dir_ + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) break;
  }
  return {};
}

template <typename Change>
bool TDiskCache::UpdateIndex(Change change) {
  try {
    FileLock lock(IndexName());
    std::vector<TEntry> entries = ReadIndexFile();
    std::vector<std::string> dropped;
    change(entries, dropped);
    Trim(entries, dropped);
    AtomicWriteFile(IndexName(), IndexText(entries));
    indexStamp_ = Inspect(IndexName()).stamp;
    entries_ = std::move(entries);
    // Only once no index names them: a kill before this leaves orphans,
    // which a later start removes, never an entry without its file.
    for (const std::string& name : dropped) DeleteFile(dir_ + name);
    return true;
  } catch (const Exception&) {
    SwitchOff();
    return false;
  }
}

void TDiskCache::Trim(std::vector<TEntry>& entries, std::vector<std::string>& dropped) {
  while (entries.size() > static_cast<std::size_t>(kMaxCacheEntries)) {
    dropped.push_back(entries.front().FileName);
    entries.erase(entries.begin());
  }
}

std::string TDiskCache::AddToCache(const std::string& URL, int DocType, std::string_view Data) {
  if (!enabled_ || GetProtocol(URL) != "http") return {};
  const std::string key = CacheKey(URL);
  if (key.size() > kMaxCacheKeyBytes) return {};
  RefreshWhenChanged();
  const auto known = std::find_if(entries_.begin(), entries_.end(), [&](const TEntry& e) { return e.Key == key; });
  const bool existing = known != entries_.end();
  const std::string name = existing ? known->FileName : NewFileName(URL);
  if (name.empty()) return {};
  try {
    AtomicWriteFile(dir_ + name, Data);
  } catch (const Exception&) {
    if (!existing) DeleteFile(dir_ + name);
    SwitchOff();
    return {};
  }
  std::string stored = name;
  const bool indexed = UpdateIndex([&](std::vector<TEntry>& entries, std::vector<std::string>& dropped) {
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const TEntry& e) { return e.Key == key; });
    if (found == entries.end()) {
      // Another window may have trimmed the entry we rewrote, and deleted
      // its file after our rename.
      if (!FileExists(dir_ + name)) {
        stored.clear();
        return;
      }
      entries.push_back({key, DocType, name});
    } else if (found->FileName != name) {
      // Another window stored the URL meanwhile: its entry stays.
      dropped.push_back(name);
      stored = found->FileName;
    }
  });
  return indexed && !stored.empty() ? dir_ + stored : std::string();
}

void TDiskCache::RemoveFromCache(const std::string& URL) {
  if (!enabled_) return;
  const std::string key = CacheKey(URL);
  UpdateIndex([&](std::vector<TEntry>& entries, std::vector<std::string>& dropped) {
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const TEntry& e) { return e.Key == key; });
    if (found == entries.end()) return;
    dropped.push_back(found->FileName);
    entries.erase(found);
  });
}

int TDiskCache::DeleteAllFiles() {
  if (!enabled_) return 0;
  int deleted = 0;
  try {
    FileLock lock(IndexName());
    const FileInfo index = Inspect(IndexName());
    std::unordered_set<std::string> named;
    for (const TEntry& entry : ReadIndexFile()) named.insert(entry.FileName);
    DIR* folder = ::opendir(dir_.c_str());
    if (folder == nullptr) return 0;
    while (const dirent* item = ::readdir(folder)) {
      const std::string name = item->d_name;
      if (!IsCacheFileName(name)) continue;
      const FileInfo file = Inspect(dir_ + name);
      if (!file.regular) continue;
      if (!named.contains(name) && !(index.regular && Older(file.modified, index.modified))) continue;
      deleted += ::unlink((dir_ + name).c_str()) == 0;
    }
    ::closedir(folder);
    if (index.regular) deleted += ::unlink(IndexName().c_str()) == 0;
    indexStamp_ = Inspect(IndexName()).stamp;
  } catch (const Exception&) {
    // Another window holds the lock for far too long: nothing is deleted.
  }
  return deleted;
}

// What a killed writer may leave: temporary files, and cache files that no
// entry names. Only those older than the index go: a newer one may be a
// file another window has claimed and not indexed yet.
void TDiskCache::RemoveLeftovers() {
  const FileInfo index = Inspect(IndexName());
  if (!index.regular) return;
  std::unordered_set<std::string> named;
  for (const TEntry& entry : ReadIndexFile()) named.insert(entry.FileName);
  DIR* folder = ::opendir(dir_.c_str());
  if (folder == nullptr) return;
  while (const dirent* item = ::readdir(folder)) {
    const std::string name = item->d_name;
    const std::size_t mark = name.find(kTemporaryMark);
    const std::string base = name.substr(0, mark);
    const bool temporary = mark != std::string::npos && (base == "cachinfo.txt" || IsCacheFileName(base));
    const bool orphan = mark == std::string::npos && IsCacheFileName(name) && !named.contains(name);
    if (!temporary && !orphan) continue;
    const FileInfo file = Inspect(dir_ + name);
    if (file.regular && Older(file.modified, index.modified)) ::unlink((dir_ + name).c_str());
  }
  ::closedir(folder);
}

}  // namespace lark
