#pragma once

// What one page request keeps to itself while it runs: the base and URL of
// the response it reads, the redirect it must follow, the realm and Allow
// header of the last answer. Kept per request, never in the window, so that
// an address typed or a history click during a slow load cannot make one
// host's cookies or redirects count for another.

#include <string>

#include "platform/core/exception.h"

namespace lark {

class TCookieList;

// Answers of one page request: the first and at most 15 more, whether
// redirects or a retry after a password or a refused POST.
inline constexpr int kMaxRequestPasses = 16;

// Passed on unchanged by a page request, after its connection is let go.
class ESpecialException : public Exception {
 public:
  using Exception::Exception;
};

struct TPageRequestState {
  std::string PassURL;      // the URL this pass fetches
  std::string Base;         // GetBase of PassURL
  std::string RedirectURL;  // absolute target of the last redirect
  bool Redirected = false;  // this pass ended in a redirect to follow
  std::string AuthRealm;    // of this pass's answer
  bool AuthPromptShown = false;
  // Where the password typed for this request goes: the origin that asked
  // for it, never a host a redirect leads to.
  std::string CredentialOrigin;
  bool UsedPassword = false;
  std::string AllowHeader;  // lower-cased
  bool NoStore = false;     // an answer said Cache-Control: no-store
  bool Aborted = false;     // stopped, or replaced by a newer request
};

// One header line of the response to state.PassURL: the realm of
// "www-authenticate", a "set-cookie:" value (stored against PassURL when
// cookies is given), "allow:", and "cache-control: no-store".
void ApplyHeaderLine(TPageRequestState& state, const std::string& line, TCookieList* cookies);
// Scheme, host and port of a URL: what credentials are given for.
[[nodiscard]] std::string URLOrigin(const std::string& url);
// Host and port as the password prompt names them.
[[nodiscard]] std::string URLHostAndPort(const std::string& url);
// A redirect's Dest: as it is when it holds "//", else resolved against base.
[[nodiscard]] std::string RedirectTarget(const std::string& base, const std::string& dest);

}  // namespace lark
