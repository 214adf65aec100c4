#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/cookie_list.h"
#include "net/internet_date.h"
#include "platform/core/date_time.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

const std::vector<std::string> kHosts = {"example.com",       "www.example.com",      "evil-example.com",
                                         "notexample.com",    "example.com.evil.net", "example.co.uk",
                                         "shop.example.co.uk", "example.de",          "127.0.0.1",
                                         "127.0.0.2",         "localhost"};

// Which hosts' cookies reach each host: each host sets one cookie named after
// its position; a domain's hosts share, everything else is kept apart.
TEST(CookieList, EachCookieReachesExactlyItsHosts) {
  TCookieList list("");
  for (std::size_t i = 0; i < kHosts.size(); ++i)
    list.SetCookie("http://" + kHosts[i] + "/", "c" + std::to_string(i) + "=1");
  const std::map<std::string, std::string> expected = {
      {"example.com", "c0=1 c1=1"},   {"www.example.com", "c0=1 c1=1"},    {"evil-example.com", "c2=1"},
      {"notexample.com", "c3=1"},     {"example.com.evil.net", "c4=1"},    {"example.co.uk", "c5=1 c6=1"},
      {"shop.example.co.uk", "c5=1 c6=1"}, {"example.de", "c7=1"},          {"127.0.0.1", "c8=1"},
      {"127.0.0.2", "c9=1"},          {"localhost", "c10=1"}};
  for (const std::string& host : kHosts) {
    EXPECT_EQ(list.GetCookies("http://" + host + "/x"), expected.at(host)) << host;
    EXPECT_EQ(list.GetCookies("https://" + host + ":8443/x"), expected.at(host)) << host;
  }
}

TEST(CookieList, DomainAttributeCountsOnlyForTheSendersOwnDomain) {
  struct Row {
    std::string host, domain;
    bool stored;
  };
  const std::vector<Row> rows = {
      {"www.example.com", ".example.com", true},   {"www.example.com", "example.com", false},  // one dot
      {"evil-example.com", ".example.com", false}, {"example.com.evil.net", ".example.com", false},
      {"notexample.com", ".example.com", false},   {"shop.example.co.uk", ".co.uk", false},
      {"shop.example.co.uk", ".example.co.uk", true}, {"127.0.0.1", ".0.0.1", false},
      {"10.0.0.1", ".0.0.1", false},               {"a.b.example.com", ".b.example.com", true},
  };
  for (const Row& row : rows) {
    TCookieList list("");
    list.SetCookie("http://" + row.host + "/", "k=v; domain=" + row.domain);
    EXPECT_EQ(list.Count(), row.stored ? 1 : 0) << row.host << " " << row.domain;
    if (row.stored) EXPECT_EQ(list.GetCookies("http://" + row.host + "/"), "k=v;");
  }
}

TEST(CookieList, SecurePathReplacementAndExpiry) {
  TCookieList list("");
  list.SetCookie("http://www.example.com/", "s=1; Secure");
  EXPECT_EQ(list.Count(), 0);  // never set over http
  list.SetCookie("https://www.example.com/", "s=1; Secure");
  EXPECT_EQ(list.GetCookies("http://example.com/"), "");
  EXPECT_EQ(list.GetCookies("https://example.com/"), "s=1;");

  list.SetCookie("http://example.com/shop/cart", "p=shop; path=/shop");
  list.SetCookie("http://example.com/shop/cart", "p=root; path=/");
  list.SetCookie("http://example.com/docs/a", "d=1");  // default path /docs
  EXPECT_EQ(list.GetCookies("http://example.com/shop/x"), "p=root; p=shop;");
  EXPECT_EQ(list.GetCookies("http://example.com/shopping"), "p=root;");
  EXPECT_EQ(list.GetCookies("http://example.com/docs"), "d=1 p=root;");
  list.SetCookie("http://example.com/", "p=new; path=/shop");  // same domain, path and name
  EXPECT_EQ(list.GetCookies("http://example.com/shop/"), "p=new; p=root;");

  const std::string past = LocalDateTimeToGMT(Now() - 1);
  list.SetCookie("http://example.com/", "p=gone; path=/shop; expires=" + past);
  EXPECT_EQ(list.GetCookies("http://example.com/shop/"), "p=root;");
  list.SetCookie("http://example.com/", "late=1; expires=" + LocalDateTimeToGMT(Now() + 1.0 / 86400));
  EXPECT_NE(list.GetCookies("http://example.com/").find("late=1"), std::string::npos);
}

TEST(CookieList, LimitsAndBrokenValues) {
  TCookieList list("");
  list.SetCookie("http://example.com/", "big=" + std::string(kMaxCookieBytes, 'x'));
  list.SetCookie("http://example.com/", "a=1\r\nSet-Cookie: b=2");
  EXPECT_EQ(list.Count(), 0);
  for (int i = 0; i < kMaxCookiesPerDomain + 5; ++i)
    list.SetCookie("http://example.com/", "n" + std::to_string(i) + "=1");
  EXPECT_EQ(list.Count(), kMaxCookiesPerDomain);
  EXPECT_EQ(list.GetCookies("http://example.com/").find("n0=1"), std::string::npos);  // the oldest went
  for (int host = 0; host < 100; ++host)
    for (int i = 0; i < kMaxCookiesPerDomain; ++i)
      list.SetCookie("http://www.h" + std::to_string(host) + ".org/", "n" + std::to_string(i) + "=1");
  EXPECT_EQ(list.Count(), kMaxCookies);
}

TEST(CookieList, FileKeepsOnlyLinesWithAFutureDateAndIsNeverWritten) {
  test::TempDir dir;
  const std::string future = LocalDateTimeToGMT(Now() + 30);
  const std::string content = ".example.com a=1; expires=" + future + "; path=/\n" +
                              ".example.com b=2; path=/\n" +                       // no expiry: a run's cookie
                              ".example.com c=3; expires=Thu, 01-Jan-1970 00:00:01 GMT\n" +
                              ".example.com d=4; expires=not a date\n" + "garbage\n" +
                              std::string(100000, 'z') + " expires=" + future + "\n";
  const std::string file = dir.Write("Cookies.txt", content);
  {
    TCookieList list(dir.Path() + "/");
    EXPECT_EQ(list.GetCookies("http://www.example.com/"), "a=1;");
    list.SetCookie("http://www.example.com/", "e=5; expires=" + future);
  }
  EXPECT_EQ(test::ReadFile(file), content);
}

}  // namespace
}  // namespace lark
