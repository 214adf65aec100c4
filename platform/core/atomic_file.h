#pragma once

#include <string>
#include <string_view>

namespace lark {

// Replaces the whole content of a file so that a full disk, a crash or a kill
// at any moment leaves either the old file or the new one, never a part:
// the bytes go to a new file beside the target, reach the disk, and the new
// file is renamed over the target. The file keeps its permission bits (and
// its owner and group where the process may set them); a new file gets the
// usual 0666 less the umask. A symbolic link stays a link: its target is
// written. A file the process may not write stays as it is, although the
// rename could replace it: a read-only settings file is how an administrator
// locks a kiosk's settings. Only a regular file is replaced: a device, pipe,
// socket or folder at the name raises. The directory must be writable too. Failures
// raise EFCreateError naming the file and the system's reason, and leave no
// new file behind.
void AtomicWriteFile(const std::string& file_name, std::string_view bytes);

// An exclusive lock that processes sharing a file take around a read, change
// and write of it. The lock is on a separate file beside it (file_name +
// ".lock", left in place): the atomic write replaces the file itself, so a
// lock on it would guard an inode that is no longer the file. Advisory
// (flock): it orders only the writers that take it. When the lock file cannot
// be made (an unwritable directory), no lock is held: the write that follows
// cannot succeed there either and reports why. A lock another process keeps
// for more than ten seconds raises EFCreateError rather than hang.
class FileLock {
 public:
  explicit FileLock(const std::string& file_name);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  [[nodiscard]] bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace lark
