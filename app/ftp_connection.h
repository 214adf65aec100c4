#pragma once

#include <cstdint>
#include <string>

#include "app/url_connection.h"

namespace lark {

class TNetFTP;

// A file retrieved over FTP: anonymous unless the URL names a user, binary,
// with its size asked first so that progress can be shown.
class TFTPConnection : public TURLConnection {
 public:
  void Get(const std::string& URL) override;
  [[nodiscard]] std::int64_t BytesReceived() override { return bytesReceived_; }
  void Abort() override;

 private:
  std::int64_t bytesReceived_ = 0;
  TNetFTP* client_ = nullptr;
};

// The password an anonymous login gives: an address of 16 characters.
inline constexpr char kAnonymousFTPPassword[] = "guest@larkspan.x";

// Where an ftp URL points: the server, the login, and the folder and file
// name with their escapes decoded.
struct TFTPTarget {
  std::string Host;
  int Port = 21;
  std::string User = "anonymous";
  std::string Password = kAnonymousFTPPassword;
  std::string Folder;
  std::string FileName;
};
// Raises EConvertError for a bad escape or port.
[[nodiscard]] TFTPTarget SplitFTPURL(const std::string& URL);

}  // namespace lark
