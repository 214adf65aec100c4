#include "app/file_connection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "html/document_utils.h"
#include "platform/core/path_routines.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

[[noreturn]] void RaiseOpenError(const std::string& name, const std::string& reason) {
  throw EFOpenError("Cannot open file \"" + name + "\". " + reason);
}

// Opens without blocking on a FIFO, then insists on a regular file.
class RegularFile {
 public:
  explicit RegularFile(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) RaiseOpenError(path, std::strerror(errno));
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      ::close(fd_);
      RaiseOpenError(path, "Not a regular file");
    }
  }
  ~RegularFile() { ::close(fd_); }
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  void CopyTo(TStream& stream) {
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw EReadError(std::string("Stream read error: ") + std::strerror(errno));
      if (n == 0) return;
      stream.WriteBuffer(buffer, n);
    }
  }

 private:
  int fd_ = -1;
};

}  // namespace

std::string FileURLToLocalPath(const std::string& URL) {
  std::string url = URL.substr(0, URL.find('?'));
  constexpr std::string_view kScheme = "file://";
  if (!StartsText(kScheme, url)) RaiseOpenError(URL, "Not a file URL");
  std::string rest = url.substr(kScheme.size());
  const std::size_t slash = rest.find('/');
  const std::string host = rest.substr(0, slash);
  if (slash == std::string::npos || !(host.empty() || SameText(host, "localhost")))
    RaiseOpenError(URL, "Only files of this computer can be read");
  std::string path = FileURLToPath("file://" + rest.substr(slash));
  if (path.find('\0') != std::string::npos) RaiseOpenError(URL, "Invalid file name");
  return path;
}

int DocTypeOfFileName(const std::string& fileName) {
  const std::string ext = LowerCase(ExtractFileExt(fileName));
  if (ext == ".bmp" || ext == ".gif" || ext == ".jpg" || ext == ".jpeg" || ext == ".png") return 2;
  if (ext == ".txt") return 1;
  return 0;
}

void TFileConnection::Get(const std::string& URL) {
  try {
    const std::string path = FileURLToLocalPath(URL);
    RegularFile file(path);
    std::unique_ptr<TStream> target = FetchTarget();
    InputStream()->SetSize(0);
    file.CopyTo(*target);
    InputStream()->SetPosition(0);
    DocType = DocTypeOfFileName(path);
    ContentLength = InputStream()->Size();
    StatusCode = 200;
  } catch (...) {
    ReportDone(kFetchFailed);
    throw;
  }
  ReportDone(0);
}

}  // namespace lark
