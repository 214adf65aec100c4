#pragma once

#include <string>

namespace lark {

// A URL split into its parts. The query stays inside Document; Port is the
// text after the host's ":" (empty when there is none).
class TNetURI {
 public:
  TNetURI() = default;
  explicit TNetURI(const std::string& uri) { SetURI(uri); }

  void SetURI(const std::string& uri);

  static void ParseURI(std::string uri, std::string& protocol, std::string& host, std::string& path,
                       std::string& document, std::string& port, std::string& bookmark);

  std::string Document;
  std::string Protocol;
  std::string URI;
  std::string Port;
  std::string Path;
  std::string Host;
  std::string Bookmark;
};

}  // namespace lark
