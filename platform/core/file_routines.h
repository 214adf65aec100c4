#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/date_time.h"

namespace lark {

// File and directory routines of the run-time library over POSIX. Failures
// are reported by the result (false, or an error number), never raised.

// A file that is not a directory (a symbolic link counts as what it names).
[[nodiscard]] bool FileExists(const std::string& file_name);
[[nodiscard]] bool DirectoryExists(const std::string& dir);
// Creates the directory and every missing parent; true when it exists after.
bool ForceDirectories(const std::string& dir);
bool CreateDir(const std::string& dir);
bool RemoveDir(const std::string& dir);
bool DeleteFile(const std::string& file_name);
// Refuses to replace an existing file, as on Windows.
bool RenameFile(const std::string& old_name, const std::string& new_name);
// The modification time, false when the file does not exist.
bool FileAge(const std::string& file_name, TDateTime& modified);

// The system's temporary directory ($TMPDIR, else /tmp) with a trailing "/".
[[nodiscard]] std::string TempDirectory();
// The running executable's full path, its directory with a trailing "/", and
// the settings file beside it: the executable's path with ".ini" appended.
[[nodiscard]] std::string ExecutablePath();
[[nodiscard]] std::string ProgramDir();
[[nodiscard]] std::string SettingsFileName();

// Attributes of TSearchRec. Linux knows only some of them: a name starting
// with "." is hidden, a file its owner cannot write is read-only, every
// regular file carries the archive flag; faSysFile and faVolumeID never occur.
enum : int {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faAnyFile = 0x3F,
};

// Windows wildcards without regard to ASCII case: "*" any run, "?" one byte;
// a mask ending in ".*" also matches a name without a dot, so "*.*" matches
// every name.
[[nodiscard]] bool MatchesMask(std::string_view name, std::string_view mask);

struct FindState;

// One directory entry found by FindFirst/FindNext.
struct TSearchRec {
  std::string Name;  // without the directory
  std::int64_t Size = 0;
  int Attr = 0;
  TDateTime TimeStamp = 0;  // modification time
  std::shared_ptr<FindState> State;
};

// Enumerates the entries of a directory that match a mask: path is the
// directory plus the mask ("/docs/*.htm"), "*" matching any run of
// characters and "?" one character, without regard to ASCII case as on
// Windows; "*.*" matches every name. Plain files are always found; hidden
// entries and directories (including "." and "..") only when attr asks for
// them. Return 0 for an entry, else an error number (ENOENT when no more).
[[nodiscard]] int FindFirst(const std::string& path, int attr, TSearchRec& rec);
[[nodiscard]] int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

}  // namespace lark
