#include "app/cookie_list.h"

#include <algorithm>
#include <fstream>

#include "html/document_utils.h"
#include "html/url_helpers.h"
#include "platform/core/date_time.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// A host given as an address: a bracketed IPv6 literal, or a last label of
// digits (no top-level domain is numeric), so "127.0.0.1" never shares
// cookies with "10.0.0.1" under ".0.0.1".
bool IsAddress(std::string_view host) {
  if (host.starts_with('[')) return true;
  const std::size_t dot = host.rfind('.');
  const std::string_view last = dot == npos ? host : host.substr(dot + 1);
  return !last.empty() && std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The key a host's cookies live under: its cookie domain, or the host alone.
std::string CookieKey(std::string_view host) {
  std::string domain = CookieDomain(host);
  return domain.empty() ? std::string(host) : domain;
}

std::string HostOf(const TURLParts& parts) { return LowerCase(parts.Host); }

// Blanks and control bytes never belong inside a cookie: a line break would
// start another header or another line of the cookie file.
bool HasControlBytes(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
  });
}

// The folder of a request path, the default path of a cookie it sets.
std::string DefaultPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == npos || slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string RequestPath(const TURLParts& parts) {
  std::string path = parts.Path.substr(0, parts.Path.find_first_of("?#"));
  return path.empty() ? "/" : path;
}

bool PathMatches(std::string_view requestPath, std::string_view cookiePath) {
  if (!requestPath.starts_with(cookiePath)) return false;
  return requestPath.size() == cookiePath.size() || cookiePath.ends_with('/') ||
         requestPath[cookiePath.size()] == '/';
}

struct Attributes {
  std::string domain, path, expires;
  bool hasDomain = false, hasExpires = false, secure = false;
};

Attributes ReadAttributes(std::string_view text) {
  Attributes result;
  std::size_t start = text.find(';');
  while (start != npos) {
    const std::size_t end = text.find(';', start + 1);
    const std::string item = TrimBlanks(text.substr(start + 1, end == npos ? npos : end - start - 1));
    const std::size_t equals = item.find('=');
    const std::string key = LowerCase(TrimBlanks(std::string_view(item).substr(0, equals)));
    const std::string value = equals == npos ? std::string() : TrimBlanks(std::string_view(item).substr(equals + 1));
    if (key == "domain") {
      result.hasDomain = true;
      result.domain = LowerCase(value.substr(0, value.find(' ')));
    } else if (key == "path") {
      result.path = value;
    } else if (key == "expires") {
      result.hasExpires = true;
      result.expires = value;
    } else if (key == "secure") {
      result.secure = true;
    }
    start = end;
  }
  return result;
}

// A "domain=" counts when it names enough labels and the sending host lies
// inside it; the cookie is then shared under the host's own cookie domain,
// the only key a request is ever answered from.
bool DomainAccepted(std::string_view host, const std::string& domain) {
  TDotPos dots;
  const int count = CountDots(domain, dots);
  if (!(count >= 3 || (count >= 2 && IsGenericDomain(domain, dots.Last)))) return false;
  if (IsAddress(host) || CookieDomain(host).empty()) return false;
  const std::string_view bare = std::string_view(domain).substr(domain.starts_with('.') ? 1 : 0);
  return host == bare || (host.size() > bare.size() && host.ends_with(bare) && host[host.size() - bare.size() - 1] == '.');
}

}  // namespace

int CountDots(std::string_view text, TDotPos& DotPos) {
  DotPos = TDotPos{};
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '.') continue;
    ++count;
    DotPos.ThirdToLast = DotPos.SecondToLast;
    DotPos.SecondToLast = DotPos.Last;
    DotPos.Last = i;
  }
  return count;
}

bool IsGenericDomain(std::string_view text, std::size_t lastDot) {
  if (lastDot == npos || lastDot + 4 != text.size()) return false;
  const std::string label = LowerCase(text.substr(lastDot + 1));
  for (const char* generic : {"com", "edu", "net", "org", "gov", "mil", "int"})
    if (label == generic) return true;
  return false;
}

std::string CookieDomain(std::string_view host) {
  if (host.empty() || IsAddress(host)) return {};
  const std::string text = "." + LowerCase(host);
  TDotPos dots;
  const int count = CountDots(text, dots);
  if (IsGenericDomain(text, dots.Last) && count >= 2) return text.substr(dots.SecondToLast);
  if (count >= 3) return text.substr(dots.ThirdToLast);
  return {};
}

TCookieList::TCookieList(const std::string& Dir) {
  if (!Dir.empty()) ReadFile(Dir + "Cookies.txt");
}

void TCookieList::ReadFile(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary | std::ios::ate);
  if (!file) return;
  const std::streamoff size = std::min<std::streamoff>(file.tellg(), kMaxCookieFileBytes);
  if (size <= 0) return;
  file.seekg(0);
  std::string content(static_cast<std::size_t>(size), '\0');
  file.read(content.data(), size);
  content.resize(static_cast<std::size_t>(file.gcount()));
  const TDateTime now = Now();
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == npos) end = content.size();
    const std::string line = TrimBlanks(std::string_view(content).substr(start, end - start));
    start = end + 1;
    const std::size_t blank = line.find(' ');
    if (blank == npos || line.size() > kMaxCookieBytes + 256 || HasControlBytes(line)) continue;
    const std::string lower = LowerCase(line);
    const std::size_t expiresAt = lower.find("expires=");
    if (expiresAt == npos) continue;
    std::string date = line.substr(expiresAt + 8, line.find(';', expiresAt) - expiresAt - 8);
    std::replace(date.begin(), date.end(), '-', ' ');
    const TDateTime expires = GMTToLocalDateTime(date);
    if (!(now < expires)) continue;
    TCookie cookie;
    cookie.text = TrimBlanks(std::string_view(line).substr(blank + 1));
    const Attributes attributes = ReadAttributes(cookie.text);
    cookie.name = cookie.text.substr(0, std::min(cookie.text.find(';'), cookie.text.find('=') + 1));
    cookie.path = attributes.path.starts_with('/') ? attributes.path : "/";
    cookie.secure = attributes.secure;
    cookie.expires = expires;
    Store(LowerCase(line.substr(0, blank)), std::move(cookie));
  }
}

std::string TCookieList::GetCookies(const std::string& URL) {
  const TURLParts parts = ParseURL(URL);
  const std::string host = HostOf(parts);
  if (host.empty()) return {};
  const auto found = domains_.find(CookieKey(host));
  if (found == domains_.end()) return {};
  const bool secureRequest = LowerCase(parts.Protocol) == "https";
  const std::string path = RequestPath(parts);
  const TDateTime now = Now();
  std::vector<const TCookie*> chosen;
  for (const TCookie& cookie : found->second) {
    if (cookie.expires != 0 && !(now < cookie.expires)) continue;
    if (cookie.secure && !secureRequest) continue;
    if (!PathMatches(path, cookie.path)) continue;
    chosen.push_back(&cookie);
  }
  std::sort(chosen.begin(), chosen.end(),
            [](const TCookie* a, const TCookie* b) { return CompareText(a->text, b->text) < 0; });
  std::string text;
  for (const TCookie* cookie : chosen) {
    if (!text.empty()) text += ' ';
    text += cookie->text.substr(0, cookie->text.find(';') == npos ? npos : cookie->text.find(';') + 1);
  }
  return text;
}

void TCookieList::SetCookie(const std::string& URL, const std::string& Value) {
  const TURLParts parts = ParseURL(URL);
  const std::string host = HostOf(parts);
  TCookie cookie;
  cookie.text = TrimBlanks(Value);
  if (host.empty() || cookie.text.empty() || cookie.text.size() > kMaxCookieBytes || HasControlBytes(cookie.text))
    return;
  const Attributes attributes = ReadAttributes(cookie.text);
  const bool secureRequest = LowerCase(parts.Protocol) == "https";
  if (attributes.secure && !secureRequest) return;
  if (attributes.hasDomain && !DomainAccepted(host, attributes.domain)) return;
  cookie.name = cookie.text.substr(0, std::min(cookie.text.find(';'), cookie.text.find('=') + 1));
  cookie.path = attributes.path.starts_with('/') ? attributes.path : DefaultPath(RequestPath(parts));
  cookie.secure = attributes.secure;
  const std::string key = CookieKey(host);
  if (attributes.hasExpires) {
    cookie.expires = GMTToLocalDateTime(attributes.expires);
    if (cookie.expires != 0 && !(Now() < cookie.expires)) {
      Remove(key, cookie);
      return;
    }
  }
  Store(key, std::move(cookie));
}

void TCookieList::Remove(const std::string& domain, const TCookie& cookie) {
  const auto found = domains_.find(domain);
  if (found == domains_.end()) return;
  std::vector<TCookie>& cookies = found->second;
  const auto same = std::find_if(cookies.begin(), cookies.end(), [&](const TCookie& stored) {
    return stored.name == cookie.name && stored.path == cookie.path;
  });
  if (same == cookies.end()) return;
  cookies.erase(same);
  --count_;
  if (cookies.empty()) domains_.erase(found);
}

void TCookieList::Store(const std::string& domain, TCookie cookie) {
  if (domain.empty()) return;
  Remove(domain, cookie);
  if (count_ >= kMaxCookies) {
    auto oldest = domains_.end();
    for (auto it = domains_.begin(); it != domains_.end(); ++it) {
      if (oldest == domains_.end() || it->second.front().order < oldest->second.front().order) oldest = it;
    }
    DropOldest(oldest->second);
    if (oldest->second.empty()) domains_.erase(oldest);
  }
  std::vector<TCookie>& cookies = domains_[domain];
  if (static_cast<int>(cookies.size()) >= kMaxCookiesPerDomain) DropOldest(cookies);
  cookie.order = nextOrder_++;
  cookies.push_back(std::move(cookie));
  ++count_;
}

// Cookies are appended, so the front of a domain's list is its oldest.
void TCookieList::DropOldest(std::vector<TCookie>& cookies) {
  cookies.erase(cookies.begin());
  --count_;
}

std::vector<std::string> TCookieList::Lines() const {
  std::vector<std::string> lines;
  for (const auto& [domain, cookies] : domains_)
    for (const TCookie& cookie : cookies) lines.push_back(domain + " " + cookie.text);
  std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
  return lines;
}

}  // namespace lark
