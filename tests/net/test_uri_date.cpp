#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "net/internet_date.h"
#include "net/net_strings.h"
#include "net/uri.h"

namespace lark {
namespace {

TEST(URI, SplitsEveryPart) {
  TNetURI uri("http://www.example.com:8080/a/b/c.html?x=1#top");
  EXPECT_EQ(uri.Protocol, "http");
  EXPECT_EQ(uri.Host, "www.example.com");
  EXPECT_EQ(uri.Port, "8080");
  EXPECT_EQ(uri.Path, "/a/b/");
  EXPECT_EQ(uri.Document, "c.html?x=1");
  EXPECT_EQ(uri.Bookmark, "top");
}

TEST(URI, OddShapes) {
  struct Row {
    const char* uri;
    const char* protocol;
    const char* host;
    const char* port;
    const char* path;
    const char* document;
  };
  const Row rows[] = {
      {"http://host", "http", "host", "", "/", ""},
      {"http://host/", "http", "host", "", "/", ""},
      {"http://host?q=1", "http", "host", "", "/", "?q=1"},
      {"http://host/a?next=/b/c", "http", "host", "", "/", "a?next=/b/c"},
      {"http:\\\\host\\x\\y.htm", "http", "host", "", "/x/", "y.htm"},
      {"a/b.html", "", "", "", "/a/", "b.html"},
      {"index.html", "", "", "", "/", "index.html"},
      {"http://user:pw@host:81/p", "http", "host", "81", "/", "p"},
  };
  for (const Row& r : rows) {
    TNetURI uri(r.uri);
    EXPECT_EQ(uri.Protocol, r.protocol) << r.uri;
    EXPECT_EQ(uri.Host, r.host) << r.uri;
    EXPECT_EQ(uri.Port, r.port) << r.uri;
    EXPECT_EQ(uri.Path, r.path) << r.uri;
    EXPECT_EQ(uri.Document, r.document) << r.uri;
  }
}

TEST(NetStrings, FetchAndSearchFromTheBack) {
  std::string text = "a b c";
  EXPECT_EQ(Fetch(text), "a");
  EXPECT_EQ(text, "b c");
  std::string kept = "x:y";
  EXPECT_EQ(Fetch(kept, ":", false), "x");
  EXPECT_EQ(kept, "x:y");
  std::string whole = "abc";
  EXPECT_EQ(Fetch(whole, ";"), "abc");
  EXPECT_EQ(whole, "");
  EXPECT_EQ(RPos("B", "abcabc"), 4u);
  EXPECT_EQ(RPos("b", "abcabc", 3), 1u);
  EXPECT_EQ(RPos("z", "abc"), std::string::npos);
  EXPECT_EQ(MonthIndex("nov"), 11);
  EXPECT_EQ(DayNameIndex("Sat"), 7);
  EXPECT_TRUE(InMainThread());
}

// Dates are compared in UTC by running in a fixed zone.
class InternetDate : public testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    saved_ = tz ? tz : "";
    hadZone_ = tz != nullptr;
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
  }
  void TearDown() override {
    if (hadZone_) {
      setenv("TZ", saved_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  // 6 November 1994 is day 34644 after 30 December 1899.
  static double At(int day, int h, int m, int s) { return day + (h * 3600 + m * 60 + s) / 86400.0; }

  std::string saved_;
  bool hadZone_ = false;
};

TEST_F(InternetDate, ReadsAllThreeFormsAsLocalTime) {
  // Berlin is UTC+1 in November.
  const double expected = At(34644, 9, 49, 37);
  EXPECT_NEAR(GMTToLocalDateTime("Sun, 06 Nov 1994 08:49:37 GMT"), expected, 1e-7);
  EXPECT_NEAR(GMTToLocalDateTime("Sunday, 06-Nov-94 08:49:37 GMT"), expected, 1e-7);
  EXPECT_NEAR(GMTToLocalDateTime("Sun Nov  6 08:49:37 1994"), expected, 1e-7);
  EXPECT_NEAR(GMTToLocalDateTime("06 Nov 1994 08:49:37 UTC"), expected, 1e-7);
}

TEST_F(InternetDate, ZonesAndTwoDigitYears) {
  EXPECT_NEAR(GMTToLocalDateTime("Sun, 06 Nov 1994 10:00:00 +0200"), At(34644, 9, 0, 0), 1e-7);
  EXPECT_NEAR(GMTToLocalDateTime("Sun, 06 Nov 1994 03:30:00 -0500"), At(34644, 9, 30, 0), 1e-7);
  // Summer time: UTC+2.
  EXPECT_NEAR(GMTToLocalDateTime("01 Jul 05 12:00:00 GMT") - At(38534, 14, 0, 0), 0, 1e-7);
  EXPECT_NEAR(GMTToLocalDateTime("01 Jan 95 00:00:00 GMT"), At(34700, 1, 0, 0), 1e-7);
  EXPECT_NEAR(GMTToLocalDateTime("01 Jan 1999 00:00:00 GMT"), At(36161, 1, 0, 0), 1e-7);
}

TEST_F(InternetDate, UnreadableDatesMeanNoDate) {
  for (const char* text : {"", "0", "-1", "Sun, 31 Feb 1994 08:49:37 GMT", "Sun, 06 Foo 1994 08:49:37 GMT",
                           "06 Nov 1994 25:00:00 GMT", "06 Nov 1994 08:49:37 +02x0", "yesterday"}) {
    EXPECT_EQ(GMTToLocalDateTime(text), 0) << text;
  }
}

TEST_F(InternetDate, FormatsAndReadsBack) {
  const double when = At(34644, 9, 49, 37);
  EXPECT_EQ(LocalDateTimeToGMT(when), "Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_NEAR(GMTToLocalDateTime(LocalDateTimeToGMT(when)), when, 1e-7);
}

}  // namespace
}  // namespace lark
