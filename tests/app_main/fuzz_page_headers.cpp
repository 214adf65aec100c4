// Feeds a response's header lines and a Location to the page request's
// header and redirect handlers, as a hostile server would send them: none
// may raise, and a cookie may only land for the host that sent it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/cookie_list.h"
#include "app/page_requests.h"
#include "html/url_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lark;
  const std::string input(reinterpret_cast<const char*>(data), size);
  TPageRequestState state;
  state.PassURL = "http://sender.example/dir/page.html";
  state.Base = GetBase(state.PassURL);
  TCookieList cookies("");
  std::size_t start = 0;
  while (start <= input.size()) {
    const std::size_t end = std::min(input.find('\n', start), input.size());
    const std::string line = input.substr(start, end - start);
    ApplyHeaderLine(state, line, &cookies);
    const std::string target = RedirectTarget(state.Base, line);
    if (line.find("//") != std::string::npos && target != line) std::abort();
    start = end + 1;
  }
  if (!cookies.GetCookies("http://other.example/").empty()) std::abort();
  return 0;
}
