#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/cookie_list.h"
#include "app/http_connection.h"
#include "platform/core/file_routines.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "tests/net/nginx_peer.h"

namespace lark {
namespace {

const std::vector<std::string> kHosts = {"example.com",       "www.example.com",      "evil-example.com",
                                         "notexample.com",    "example.com.evil.net", "example.co.uk",
                                         "shop.example.co.uk", "example.de",          "127.0.0.1",
                                         "127.0.0.2",         "localhost"};
constexpr char kLibrary[] = "/usr/lib/x86_64-linux-gnu/libnss_wrapper.so";

// Runs the test below again in a child whose host names come from a file of
// the test's own (libnss-wrapper), so no system file changes.
TEST(CookieHosts, EachCookieReachesExactlyItsHostsThroughRealRequests) {
  if (!FileExists(kLibrary)) GTEST_SKIP() << "libnss-wrapper is not installed";
  test::TempDir dir;
  std::string hosts;
  for (const std::string& host : kHosts)
    if (host != "127.0.0.1" && host != "127.0.0.2") hosts += "127.0.0.1 " + host + "\n";
  const std::string hostsFile = dir.Write("hosts", hosts);
  const std::string command = std::string("LD_PRELOAD=") + kLibrary + " NSS_WRAPPER_HOSTS=" + hostsFile +
                              " ASAN_OPTIONS=verify_asan_link_order=0 " + ExecutablePath() +
                              " --gtest_filter=CookieHostsNamed.*";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

std::string Fetch(const std::string& url, const std::string& cookie, TCookieList* store) {
  THTTPConnection connection;
  connection.Cookie = cookie;
  connection.OnHeader = [&](TObject*) {
    const std::string line = connection.GetHeader();
    if (store != nullptr && StartsText("set-cookie:", line)) store->SetCookie(url, line.substr(11));
  };
  connection.Get(url);
  return connection.InputStream()->ReadRest();
}

TEST(CookieHostsNamed, Run) {
  if (std::getenv("NSS_WRAPPER_HOSTS") == nullptr) GTEST_SKIP() << "run by CookieHosts";
  test::NginxPeer peer;
  const std::string port = std::to_string(peer.Port());
  for (std::size_t i = 0; i < kHosts.size(); ++i) {
    peer.HttpConfig += "  server { listen 127.0.0.1:" + port + "; listen 127.0.0.2:" + port + "; server_name " +
                       kHosts[i] + ";\n    location /set { add_header Set-Cookie \"c" + std::to_string(i) +
                       "=1; path=/\"; return 200 set; }\n    location /get { return 200 \"$http_cookie\"; }\n  }\n";
  }
  peer.Start();
  ASSERT_TRUE(peer.Started()) << peer.Error();
  TCookieList list("");
  for (const std::string& host : kHosts) EXPECT_EQ(Fetch("http://" + host + ":" + port + "/set", "", &list), "set");
  const std::map<std::string, std::string> expected = {
      {"example.com", "c0=1; c1=1"},   {"www.example.com", "c0=1; c1=1"},    {"evil-example.com", "c2=1"},
      {"notexample.com", "c3=1"},      {"example.com.evil.net", "c4=1"},     {"example.co.uk", "c5=1; c6=1"},
      {"shop.example.co.uk", "c5=1; c6=1"}, {"example.de", "c7=1"},           {"127.0.0.1", "c8=1"},
      {"127.0.0.2", "c9=1"},           {"localhost", "c10=1"}};
  for (const std::string& host : kHosts) {
    const std::string url = "http://" + host + ":" + port + "/get";
    std::string sent = list.GetCookies(url);
    if (!sent.empty() && sent.back() == ';') sent.pop_back();  // the last piece's ";" is not the server's
    EXPECT_EQ(Fetch(url, sent, nullptr), expected.at(host)) << host;
  }
}

}  // namespace
}  // namespace lark
