#include "app/saved_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/download_file_name.h"
#include "app/http_connection.h"
#include "platform/core/code_page.h"
#include "platform/core/exception.h"
#include "platform/core/file_routines.h"
#include "platform/core/file_stream.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

// The folder a path lies in, resolved through links, so that another
// spelling of the program's folder is still recognised.
std::string ResolvedFolder(const std::string& path) {
  std::error_code error;
  std::string folder = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error).string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

bool IsSameOrInside(const std::string& folder, const std::string& root) {
  if (root.empty()) return false;
  return folder == root || folder.starts_with(root + "/");
}

// The target's name shortened so that ".part" and a number still fit in a
// file name: a proposal may use the whole length.
std::string PartFileBase(const std::string& target) {
  const std::filesystem::path path(target);
  std::string name = path.filename().string();
  constexpr std::size_t kRoom = kMaxFileNameBytes - std::char_traits<char>::length(".part999");
  if (name.size() <= kRoom) return target;
  name.resize(FloorCharBoundary(name, kRoom, CP_UTF8));
  return (path.parent_path() / name).string();
}

}  // namespace

std::string RefusedSaveTarget(const std::string& path, const std::string& programDir, const std::string& cacheDir) {
  const std::filesystem::path target(path);
  const std::string folder = ResolvedFolder(target.parent_path().empty() ? "." : target.parent_path().string());
  const std::string name = target.filename().string();
  if (!cacheDir.empty() && IsSameOrInside(folder, ResolvedFolder(cacheDir)))
    return "Files cannot be saved in the cache folder " + cacheDir + ".";
  if (folder != ResolvedFolder(programDir)) return "";
  const std::string program = std::filesystem::path(ExecutablePath()).filename().string();
  for (const std::string& own : {std::string("larkspan.ini"), std::string("larkspan"), std::string("Allow.lst"),
                                 std::string("Deny.lst"), std::string("BROWSER.LGV"), std::string("block.html"),
                                 std::string("error.html"), std::string("Browser.avi"), program, program + ".ini"}) {
    if (SameText(name, own)) return "The program's own file " + name + " cannot be replaced.";
  }
  return "";
}

TPartFile::TPartFile(const std::string& target) : target_(target) {
  const std::string base = PartFileBase(target);
  for (int n = 0; n < 1000 && name_.empty(); ++n) {
    std::string name = base + ".part" + (n ? std::to_string(n) : "");
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      close(fd);
      name_ = std::move(name);
    } else if (errno != EEXIST) {
      break;
    }
  }
  if (name_.empty()) throw EFCreateError("Cannot create a file beside " + target);
  try {
    stream_ = std::make_unique<TFileStream>(name_, fmOpenWrite);
  } catch (...) {
    DeleteFile(name_);
    throw;
  }
}

TPartFile::~TPartFile() {
  stream_.reset();
  if (!committed_) DeleteFile(name_);
}

void TPartFile::Commit() {
  stream_.reset();
  if (std::rename(name_.c_str(), target_.c_str()) != 0)
    throw EFCreateError("Cannot create file \"" + target_ + "\". " + std::strerror(errno));
  committed_ = true;
}

std::string IncompleteFetch(TURLConnection& connection, std::int64_t bytesWritten) {
  if (dynamic_cast<THTTPConnection*>(&connection) != nullptr && connection.GetStatusCode() / 100 != 2)
    return "The server answered " + std::to_string(connection.GetStatusCode()) + " " + connection.GetStatusText();
  const std::int64_t announced = connection.GetContentLength();
  if (announced > 0 && bytesWritten != announced)
    return "The transfer ended after " + std::to_string(bytesWritten) + " of " + std::to_string(announced) +
           " bytes";
  return "";
}

std::string SaveFailureText(const std::string& URL, const std::string& target, bool targetExisted,
                            const std::string& reason) {
  return "Saving " + URL + " failed: " + reason + "\r\n" + target +
         (targetExisted ? " was left as it was." : " was not written.");
}

}  // namespace lark
