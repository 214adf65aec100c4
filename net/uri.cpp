#include "net/uri.h"

#include "net/net_strings.h"

namespace lark {

void TNetURI::SetURI(const std::string& uri) {
  URI = uri;
  ParseURI(uri, Protocol, Host, Path, Document, Port, Bookmark);
}

void TNetURI::ParseURI(std::string uri, std::string& protocol, std::string& host, std::string& path,
                       std::string& document, std::string& port, std::string& bookmark) {
  protocol.clear();
  host.clear();
  path.clear();
  document.clear();
  port.clear();
  bookmark.clear();
  NormalizePath(uri);
  size_t scheme = uri.find("://");
  if (scheme != std::string::npos) {
    protocol = uri.substr(0, scheme);
    uri.erase(0, scheme + 3);
    // The host part ends where the path, the query or the fragment begins.
    size_t end = uri.find_first_of("/?#");
    std::string hostPart = uri.substr(0, end);
    uri.erase(0, end);
    // User information before an "@" is never part of the host.
    size_t at = hostPart.rfind('@');
    if (at != std::string::npos) hostPart.erase(0, at + 1);
    host = Fetch(hostPart, ":");
    port = hostPart;
  }
  // The path ends at the last "/" before the query or fragment, so that a "/"
  // inside a query value does not split it.
  size_t queryStart = uri.find_first_of("?#");
  size_t slash = RPos("/", uri.substr(0, queryStart));
  if (slash != std::string::npos) {
    path = uri.substr(0, slash + 1);
    document = uri.substr(slash + 1);
  } else {
    document = uri;
  }
  if (path.empty() || path[0] != '/') path = "/" + path;
  size_t hash = document.find('#');
  if (hash != std::string::npos) {
    bookmark = document.substr(hash + 1);
    document.erase(hash);
  }
}

}  // namespace lark
