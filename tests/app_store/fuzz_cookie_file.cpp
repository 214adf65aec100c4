// The cookie file as a hostile program or a damaged disk may leave it, and
// Set-Cookie values as a hostile server may send them.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/cookie_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string dir = [] {
    char pattern[] = "/tmp/lark-fuzz-cookies-XXXXXX";
    return std::string(mkdtemp(pattern)) + "/";
  }();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(dir + "Cookies.txt", std::ios::binary | std::ios::trunc) << bytes;
  lark::TCookieList list(dir);
  // Each line of the input is also a header value from a host it names.
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    const std::size_t blank = line.find(' ');
    const std::string host = blank == std::string::npos ? "example.com" : line.substr(0, blank);
    list.SetCookie("https://" + host + "/a/b", line);
    (void)list.GetCookies("http://" + host + "/a/");
    start = end + 1;
  }
  return 0;
}
