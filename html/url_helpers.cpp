#include "html/url_helpers.h"

#include <algorithm>
#include <vector>

#include "html/document_utils.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Where the host starts: after "://", after a leading "//", else at 0.
[[nodiscard]] std::size_t AuthorityStart(std::string_view url) {
  if (const std::size_t mark = url.find("://"); mark != npos) return mark + 3;
  return url.starts_with("//") ? 2 : 0;
}

// The first "?" or "#" at or after `from`, or the end: where the path stops.
[[nodiscard]] std::size_t PathEnd(std::string_view url, std::size_t from) {
  const std::size_t end = url.find_first_of("?#", from);
  return end == npos ? url.size() : end;
}

// The "/" that ends the host, npos when the host has no path after it.
[[nodiscard]] std::size_t HostEnd(std::string_view url) {
  const std::size_t start = AuthorityStart(url);
  const std::size_t slash = url.find('/', start);
  return slash < PathEnd(url, start) ? slash : npos;
}

// Resolves the path after the "/" at `hostEnd` in one pass: a segment
// followed by "../" goes with it (at the host, the "../" alone goes), then
// every "./" after a "/" goes. A last ".." or "." without "/" stays, as do
// the query and the fragment.
[[nodiscard]] std::string ResolveDotSegments(std::string_view url, std::size_t hostEnd) {
  const std::size_t pathEnd = PathEnd(url, hostEnd);
  std::vector<std::string_view> kept;
  std::size_t start = hostEnd + 1;
  for (;;) {
    const std::size_t slash = url.find('/', start);
    if (slash == npos || slash >= pathEnd) {
      kept.push_back(url.substr(start, pathEnd - start));
      break;
    }
    const std::string_view segment = url.substr(start, slash - start);
    if (segment != "..")
      kept.push_back(segment);
    else if (!kept.empty())
      kept.pop_back();
    start = slash + 1;
  }
  std::string resolved(url.substr(0, hostEnd + 1));
  for (std::size_t i = 0; i + 1 < kept.size(); ++i) {
    if (kept[i] == ".") continue;
    resolved += kept[i];
    resolved += '/';
  }
  resolved += kept.back();
  resolved += url.substr(pathEnd);
  return resolved;
}

// "/./" becomes "/" everywhere before the query, in one pass.
[[nodiscard]] std::string FoldCurrentSegments(std::string_view url) {
  const std::size_t end = PathEnd(url, 0);
  std::string folded;
  folded.reserve(url.size());
  for (std::size_t i = 0; i < end; ++i) {
    folded += url[i];
    if (url[i] == '/')
      while (i + 2 < end && url[i + 1] == '.' && url[i + 2] == '/') i += 2;
  }
  folded += url.substr(end);
  return folded;
}

// Splits the authority "user:password@host:port" into the parts.
void ParseAuthority(std::string_view authority, TURLParts& parts) {
  const std::size_t at = LastPos("@", authority);
  if (at != npos) {
    const std::string_view userPart = authority.substr(0, at);
    const std::size_t colon = userPart.find(':');
    parts.User = userPart.substr(0, colon);
    if (colon != npos) parts.Password = userPart.substr(colon + 1);
  }
  const std::string_view hostPort = at == npos ? authority : authority.substr(at + 1);
  std::size_t colon = LastPos(":", hostPort);
  // The colons of an IPv6 literal are part of the host.
  if (hostPort.starts_with('[')) {
    const std::size_t close = hostPort.find(']');
    if (close != npos && colon != npos && colon < close) colon = npos;
  }
  parts.Host = hostPort.substr(0, colon);
  if (colon != npos) parts.Port = hostPort.substr(colon + 1);
}

}  // namespace

std::string GetBase(std::string_view URL) {
  std::string url = TrimBlanks(URL);
  url.erase(PathEnd(url, 0));
  const std::size_t mark = url.find("//");
  const std::size_t from = mark == npos ? 2 : mark + 2;
  const std::size_t slash = url.rfind('/');
  if (slash != npos && slash >= from) return url.substr(0, slash + 1);
  return url + '/';
}

std::string Combine(std::string_view Base, std::string_view Ref) {
  std::string base(Base);
  std::size_t hostEnd = HostEnd(base);
  if (hostEnd == npos) {
    base += '/';
    hostEnd = base.size() - 1;
  } else if (base.back() != '/') {
    base += '/';
  }
  const std::string ref = TrimBlanks(Ref);
  std::string result;
  if (ref.starts_with("//")) {
    const std::size_t mark = base.find("://");
    result = mark == npos ? ref : base.substr(0, mark + 1) + ref;
    hostEnd = HostEnd(result);
    if (hostEnd == npos) return result;
  } else if (ref.starts_with('/')) {
    result = base.substr(0, hostEnd + 1) + ref.substr(1);
  } else {
    result = base + ref;
  }
  return ResolveDotSegments(result, hostEnd);
}

std::string Normalize(std::string_view URL) {
  std::string url = TrimBlanks(URL);
  if (StartsText("file://", url)) return url;
  if (url.find("://") == npos) url.insert(0, "http://");
  url = FoldCurrentSegments(url);
  // A bare host gets the root path, before any query or fragment.
  const std::size_t hostStart = url.find("//") + 2;
  const std::size_t hostStop = url.find_first_of("/?#", hostStart);
  if (hostStop == npos)
    url += '/';
  else if (url[hostStop] != '/')
    url.insert(hostStop, 1, '/');
  return url;
}

bool IsFullURL(std::string_view URL) {
  const std::size_t mark = URL.find("://");
  if (mark != npos && URL.substr(0, mark).find('/') == npos) return true;
  return PosText("mailto:", URL) != npos;
}

std::string GetProtocol(std::string_view URL) {
  return LowerCase(ParseURL(URL.substr(0, URL.find('?'))).Protocol);
}

std::string GetURLExtension(std::string_view URL) {
  const std::size_t end = std::min(URL.find('?'), URL.size());
  if (end == 0) return {};
  constexpr std::size_t kLookBack = 5;
  const std::size_t last = end - 1;
  const std::size_t lowest = last > kLookBack ? last - kLookBack : 0;
  for (std::size_t i = last + 1; i-- > lowest;)
    if (URL[i] == '.') return std::string(URL.substr(i + 1, end - i - 1));
  return {};
}

std::string GetURLFileName(std::string_view URL) {
  const std::size_t slash = URL.rfind('/');
  if (slash == npos) return std::string(URL);
  return std::string(URL.substr(slash + 1, MaxURLFileName));
}

std::size_t LastPos(std::string_view Find, std::string_view Text) {
  return Find.empty() ? npos : Text.rfind(Find);
}

TURLParts ParseURL(std::string_view URL) {
  TURLParts parts;
  if (URL.empty()) return parts;
  std::string_view rest = URL;
  if (const std::size_t mark = URL.find("://"); mark != npos) {
    parts.Protocol = URL.substr(0, mark);
    rest = URL.substr(mark + 3);
  } else if (URL.front() == '/') {
    parts.Protocol = "http";
    if (!URL.starts_with("//")) {
      parts.Path = URL;
      return parts;
    }
    rest = URL.substr(2);
  } else if (StartsText("http:", URL)) {
    parts.Protocol = "http";
    if (URL.size() >= 7 && URL[6] != '/') {
      parts.Path = URL.substr(5);
      return parts;
    }
    rest = URL.substr(5);
  } else if (StartsText("mailto:", URL)) {
    parts.Protocol = "mailto";
    rest = URL.substr(7);
  }
  // The host ends at the path, or at a query or fragment that follows it
  // directly.
  const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
  ParseAuthority(rest.substr(0, authorityEnd), parts);
  parts.Path = rest.substr(authorityEnd);
  return parts;
}

void ReplaceChar(char Find, char Replacement, std::string& Text) {
  std::replace(Text.begin(), Text.end(), Find, Replacement);
}

std::string FileNameToURL(std::string_view FileName) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url;
  url.reserve(FileName.size());
  for (const char c : FileName) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte >= 0x7F || c == '%' || c == '#' || c == '?') {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 15];
    } else {
      url += c;
    }
  }
  return url;
}

}  // namespace lark
