#include "platform/core/file_routines.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/core/path_routines.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

bool Stat(const std::string& name, struct stat& info) { return !name.empty() && ::stat(name.c_str(), &info) == 0; }

bool SameAsciiLetter(char a, char b) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return upper(a) == upper(b);
}

bool MatchesWildcards(std::string_view name, std::string_view mask) {
  std::size_t n = 0, m = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || SameAsciiLetter(mask[m], name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (MatchesWildcards(name, mask)) return true;
  return mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" && name.find('.') == std::string_view::npos &&
         MatchesWildcards(name, mask.substr(0, mask.size() - 2));
}

struct FindState {
  ~FindState() {
    if (dir != nullptr) ::closedir(dir);
  }
  DIR* dir = nullptr;
  std::string directory;  // with a trailing "/"
  std::string mask;
  int excluded = 0;  // attributes that rule an entry out
};

bool FileExists(const std::string& file_name) {
  struct stat info;
  return Stat(file_name, info) && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& dir) {
  struct stat info;
  return Stat(dir, info) && S_ISDIR(info.st_mode);
}

bool CreateDir(const std::string& dir) { return ::mkdir(dir.c_str(), 0777) == 0; }

bool RemoveDir(const std::string& dir) { return ::rmdir(dir.c_str()) == 0; }

bool ForceDirectories(const std::string& dir) {
  if (dir.empty()) return false;
  const std::string path = ExcludeTrailingPathDelimiter(dir);
  if (path.empty() || DirectoryExists(path)) return true;  // empty: the root
  const std::string parent = ExtractFileDir(path);
  if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
  return CreateDir(path) || DirectoryExists(path);  // another process may have made it meanwhile
}

bool DeleteFile(const std::string& file_name) { return ::unlink(file_name.c_str()) == 0; }

bool RenameFile(const std::string& old_name, const std::string& new_name) {
  // renameat2 with RENAME_NOREPLACE is not on every file system; a hard link
  // refuses an existing target atomically, then the old name goes.
  if (::link(old_name.c_str(), new_name.c_str()) == 0) return ::unlink(old_name.c_str()) == 0;
  if (errno == EEXIST) return false;
  struct stat info;
  if (::lstat(new_name.c_str(), &info) == 0) return false;
  return ::rename(old_name.c_str(), new_name.c_str()) == 0;  // directories, or no hard links here
}

bool FileAge(const std::string& file_name, TDateTime& modified) {
  struct stat info;
  if (!Stat(file_name, info)) return false;
  modified = UnixTimeToDateTime(info.st_mtime);
  return true;
}

std::string TempDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  return IncludeTrailingPathDelimiter(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
}

std::string ExecutablePath() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

std::string ProgramDir() { return ExtractFilePath(ExecutablePath()); }

std::string SettingsFileName() { return ExecutablePath() + ".ini"; }

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
  FindClose(rec);
  auto state = std::make_shared<FindState>();
  state->directory = ExtractFilePath(path);
  state->mask = ExtractFileName(path);
  state->excluded = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  state->dir = ::opendir(state->directory.empty() ? "." : state->directory.c_str());
  if (state->dir == nullptr) return errno;
  rec.State = std::move(state);
  return FindNext(rec);
}

int FindNext(TSearchRec& rec) {
  FindState* state = rec.State.get();
  if (state == nullptr) return EBADF;
  while (const dirent* entry = ::readdir(state->dir)) {
    const std::string name = entry->d_name;
    if (!MatchesMask(name, state->mask)) continue;
    struct stat info;
    if (!Stat(state->directory + name, info)) continue;  // vanished, or a dangling link
    int found = S_ISDIR(info.st_mode) ? faDirectory : faArchive;
    if (name[0] == '.' && name != "." && name != "..") found |= faHidden;
    if ((info.st_mode & S_IWUSR) == 0) found |= faReadOnly;
    if ((found & state->excluded) != 0) continue;
    rec.Name = name;
    rec.Size = static_cast<std::int64_t>(info.st_size);
    rec.Attr = found;
    rec.TimeStamp = UnixTimeToDateTime(info.st_mtime);
    return 0;
  }
  return ENOENT;
}

void FindClose(TSearchRec& rec) { rec.State.reset(); }

}  // namespace lark
