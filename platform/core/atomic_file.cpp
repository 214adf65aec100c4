#include "platform/core/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/core/exception.h"

namespace lark {
namespace {

[[noreturn]] void RaiseCreateError(const std::string& file_name, int error) {
  throw EFCreateError("Cannot create file \"" + file_name + "\". " + std::strerror(error));
}

// The file a write must replace: the target of a symbolic link, else the
// name itself (also when it does not exist yet).
std::string WrittenName(const std::string& file_name) {
  char resolved[PATH_MAX];
  struct stat link_info {};
  if (::lstat(file_name.c_str(), &link_info) == 0 && S_ISLNK(link_info.st_mode) &&
      ::realpath(file_name.c_str(), resolved) != nullptr) {
    return resolved;
  }
  return file_name;
}

// Only a regular file is ever replaced: the rename would put a file in
// place of a device, a pipe or a socket (as root, /dev/full itself). Opening
// for writing (without truncating) then asks the system the real question,
// ACLs and read-only mounts included, where the mode bits alone would not.
void RequireReplaceable(const std::string& file_name) {
  struct stat info {};
  if (::stat(file_name.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    RaiseCreateError(file_name, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  const int fd = ::open(file_name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return;
    RaiseCreateError(file_name, errno);
  }
  ::close(fd);
}

// A new name beside the target, unique within this process by a counter and
// across processes by the process id; O_EXCL refuses a stale leftover.
int CreateSibling(const std::string& target, std::string& sibling) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    sibling = target + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Gives the new file what the old one had; the owner only where the process
// may set it (root rewriting a user's file must not take it over).
void CopyOwnershipAndMode(int fd, const std::string& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0) return;  // a new file keeps 0666 less the umask
  if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
    // Not allowed to give it away: the group alone may still be ours to set.
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), info.st_gid);
  }
  ::fchmod(fd, info.st_mode & 07777);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = ENOSPC;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

void AtomicWriteFile(const std::string& file_name, std::string_view bytes) {
  const std::string target = WrittenName(file_name);
  RequireReplaceable(target);
  std::string sibling;
  const int fd = CreateSibling(target, sibling);
  if (fd < 0) RaiseCreateError(file_name, errno);
  CopyOwnershipAndMode(fd, target);
  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(sibling.c_str(), target.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(sibling.c_str());
    RaiseCreateError(file_name, error);
  }
  // The directory is not synced: that would only make the new name durable
  // sooner, and a power cut before the file system's next commit still
  // leaves the old file or the new one whole.
}

constexpr int kLockWaitMs = 10000;
constexpr int kLockPollMs = 2;

FileLock::FileLock(const std::string& file_name) {
  const std::string lock_name = WrittenName(file_name) + ".lock";
  fd_ = ::open(lock_name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  // Another user's lock file may be read-only to us; flock needs no write access.
  if (fd_ < 0) fd_ = ::open(lock_name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) return;
  // Writers hold the lock for the few milliseconds of one rewrite; one that
  // holds it far longer is stuck, and waiting for it would hang this one.
  for (int waited_ms = 0; ::flock(fd_, LOCK_EX | LOCK_NB) != 0; waited_ms += kLockPollMs) {
    const int error = errno;
    if ((error != EWOULDBLOCK && error != EINTR) || waited_ms >= kLockWaitMs) {
      ::close(fd_);
      fd_ = -1;
      throw EFCreateError("Cannot lock file \"" + file_name + "\". " +
                          (error == EWOULDBLOCK ? std::string("Another process holds it.") : std::strerror(error)));
    }
    ::usleep(kLockPollMs * 1000);
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace lark
