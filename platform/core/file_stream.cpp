#include "platform/core/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/core/exception.h"

namespace lark {
namespace {

int OpenFlags(std::uint16_t mode) {
  if (mode == fmCreate || (mode & 0xFF00) == fmCreate) return O_RDWR | O_CREAT | O_TRUNC;
  switch (mode & 0x0003) {
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    default: return O_RDONLY;
  }
}

// Opens without blocking and refuses what is not a file: a directory opens
// on Linux but cannot be read, and opening a FIFO would wait for a writer.
int OpenFile(const std::string& file_name, int flags) {
  int fd;
  do {
    fd = ::open(file_name.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = error;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& file_name, std::uint16_t mode) : file_name_(file_name) {
  fd_ = OpenFile(file_name, OpenFlags(mode));
  if (fd_ >= 0) return;
  const std::string reason = std::strerror(errno);
  if ((mode & 0xFF00) == fmCreate) throw EFCreateError("Cannot create file \"" + file_name + "\". " + reason);
  throw EFOpenError("Cannot open file \"" + file_name + "\". " + reason);
}

std::string TFileStream::ReadIfPresent(const std::string& file_name) {
  const int fd = OpenFile(file_name, OpenFlags(fmOpenRead | fmShareDenyWrite));
  if (fd < 0) return {};
  TFileStream file(fd, file_name);
  try {
    return file.ReadRest();
  } catch (const EStreamError&) {
    return {};
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  auto* at = static_cast<char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, at + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  const auto* at = static_cast<const char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, at + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(fd_, static_cast<off_t>(offset), whence);
}

void TFileStream::SetSize(std::int64_t size) {
  const std::int64_t position = Position();
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
    throw EStreamError("Cannot change the size of file \"" + file_name_ + "\". " + std::strerror(errno));
  }
  if (position > size) SetPosition(size);
}

}  // namespace lark
