#pragma once

#include <string>

#include "app/url_connection.h"

namespace lark {

// A local file named by "file:///path" or "file://localhost/path" (the path
// percent-encoded). Only regular files are read: a FIFO or a device would
// block or never end, and a file of another host cannot be reached.
class TFileConnection : public TURLConnection {
 public:
  // Reports OnDone 0 after the file is read, or 1 before the failure is
  // raised (EFOpenError for anything that is not a readable regular file).
  void Get(const std::string& URL) override;
};

// The local path a file URL names (query cut off, escapes decoded); raises
// EFOpenError for another host, a relative path or an escaped NUL.
[[nodiscard]] std::string FileURLToLocalPath(const std::string& URL);
// 2 for the image extensions, 1 for ".txt", else 0.
[[nodiscard]] int DocTypeOfFileName(const std::string& fileName);

}  // namespace lark
