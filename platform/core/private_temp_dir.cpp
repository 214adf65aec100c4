#include "platform/core/private_temp_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/core/file_routines.h"

namespace lark {

std::string PrivateTempDirectory() {
  const std::string path = TempDirectory() + "larkspan-" + std::to_string(::geteuid());
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
  // Checked on the opened folder itself, so that it cannot be swapped for a
  // link between the check and the use.
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat info {};
  bool usable = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
  if (usable && (info.st_mode & 077) != 0) usable = ::fchmod(fd, 0700) == 0;
  ::close(fd);
  return usable ? path + "/" : std::string();
}

}  // namespace lark
