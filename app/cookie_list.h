#pragma once

// The cookies of one program run: read from "Cookies.txt" at start (never
// written back), stored from every Set-Cookie header, and sent with each
// HTTP request to the hosts they belong to.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "net/internet_date.h"

namespace lark {

// Bounds on what servers and the cookie file can make the list hold.
constexpr std::size_t kMaxCookieBytes = 4096;
constexpr int kMaxCookiesPerDomain = 50;
constexpr int kMaxCookies = 3000;
// More of "Cookies.txt" than the cookies it may hold would need is not read.
constexpr std::int64_t kMaxCookieFileBytes = 16LL * 1024 * 1024;

// Positions (0-based) of the last three "." of a text, npos when missing.
struct TDotPos {
  std::size_t Last = std::string_view::npos;
  std::size_t SecondToLast = std::string_view::npos;
  std::size_t ThirdToLast = std::string_view::npos;
};
// The number of "." in text; their last three positions go to DotPos.
int CountDots(std::string_view text, TDotPos& DotPos);
// Whether the "." at lastDot starts a three-letter generic last label
// ("com", "edu", "net", "org", "gov", "mil", "int").
[[nodiscard]] bool IsGenericDomain(std::string_view text, std::size_t lastDot);
// The domain a host's cookies are shared under (".example.com" for
// "www.example.com", ".example.co.uk" for "shop.example.co.uk"); "" for a
// host that has none: an address, a name without enough labels.
[[nodiscard]] std::string CookieDomain(std::string_view host);

class TCookieList {
 public:
  // Reads dir + "Cookies.txt" when dir is not empty; only lines with an
  // "expires=" date still to come are kept.
  explicit TCookieList(const std::string& Dir);

  // The "name=value;" pieces for a request to URL, blank-separated.
  [[nodiscard]] std::string GetCookies(const std::string& URL);
  // Stores one Set-Cookie value received from URL, or drops it (foreign
  // domain, Secure over http, too large); an expired one removes the
  // stored cookie of the same domain, path and name.
  void SetCookie(const std::string& URL, const std::string& Value);

  // Every stored cookie as "domain text", sorted.
  [[nodiscard]] std::vector<std::string> Lines() const;
  [[nodiscard]] int Count() const { return count_; }

 private:
  struct TCookie {
    std::string text;  // as the server sent it, trimmed
    std::string name;
    std::string path;
    bool secure = false;
    TDateTime expires = 0;  // 0: until the end of the run
    std::uint64_t order = 0;
  };
  void ReadFile(const std::string& fileName);
  void Store(const std::string& domain, TCookie cookie);
  void Remove(const std::string& domain, const TCookie& cookie);
  void DropOldest(std::vector<TCookie>& cookies);

  // Cookies by the key they are sent under: a cookie domain (with a leading
  // "."), or a host of its own.
  std::map<std::string, std::vector<TCookie>> domains_;
  int count_ = 0;
  std::uint64_t nextOrder_ = 0;
};

}  // namespace lark
