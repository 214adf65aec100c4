#include "net/http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/net_exception.h"
#include "platform/core/stream.h"
#include "platform/core/string_list.h"
#include "tests/net/http_test_support.h"

namespace lark {
namespace {

using namespace std::chrono_literals;

class HTTPClient : public testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new test::HttpFixtureServer(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(server_->Started()) << server_->Error(); }

  static std::string Url(const std::string& path) { return server_->Url(path); }
  std::string Fetch(const std::string& path) {
    body_.Clear();
    http_.Get(Url(path), &body_);
    return std::string(body_.Bytes());
  }
  // The message of the failure a fetch raises, or "" when none.
  template <typename E>
  std::string FailureOf(const std::string& path) {
    try {
      Fetch(path);
    } catch (const E& e) {
      return e.what();
    }
    return "";
  }

  static test::HttpFixtureServer* server_;
  TNetHTTP http_;
  TMemoryStream body_;
};

test::HttpFixtureServer* HTTPClient::server_ = nullptr;

TEST_F(HTTPClient, ChunkedBodiesWithExtensionsFireOneWorkPair) {
  int begins = 0;
  int ends = 0;
  http_.OnWorkBegin = [&](TObject*, TWorkMode, std::int64_t) { ++begins; };
  http_.OnWorkEnd = [&](TObject*, TWorkMode) { ++ends; };
  EXPECT_EQ(Fetch("/chunked-ext"), "hello world");
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(Fetch("/echo").substr(0, 9), "GET /echo");  // the connection stayed in step
}

TEST_F(HTTPClient, EmptyBodiesEndAtOnceAndStillReportTheirHeaders) {
  std::vector<std::string> cookies;
  http_.OnWorkBegin = [&](TObject*, TWorkMode, std::int64_t max) {
    cookies.push_back(http_.Response.ExtraHeaders.Values("Set-Cookie") + "/" + std::to_string(max));
  };
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Fetch("/empty"), "");
  EXPECT_EQ(Fetch("/204"), "");
  EXPECT_EQ(Fetch("/empty"), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_EQ(cookies, (std::vector<std::string>{"a=1/0", "b=2/0", "a=1/0"}));
  EXPECT_TRUE(http_.Connected());
}

TEST_F(HTTPClient, InterimResponsesAreSkipped) {
  EXPECT_EQ(Fetch("/interim"), "ok");
  EXPECT_EQ(http_.ResponseCode(), 200);
}

TEST_F(HTTPClient, NotModifiedAndHeadAnswersHaveNoBody) {
  try {
    Fetch("/304");
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 304);
    EXPECT_STREQ(e.what(), "304 Not Modified");
  }
  http_.Head(Url("/echo"));
  EXPECT_EQ(http_.ResponseCode(), 200);
  EXPECT_GT(http_.Response.ContentLength, 0);
  EXPECT_EQ(Fetch("/echo").substr(0, 9), "GET /echo");
}

TEST_F(HTTPClient, RedirectsFollowUpToTheLimitAndKeepOnlyTheLastBody) {
  http_.HandleRedirects = true;
  EXPECT_EQ(Fetch("/chain/15"), "done");
  try {
    Fetch("/chain/16");
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 302);
  }
  EXPECT_THROW(Fetch("/loop"), ENetProtocolReplyError);
  int seen = 0;
  http_.OnRedirect = [&](TObject*, std::string&, int&, bool& handled) { handled = ++seen < 20; };
  EXPECT_EQ(FailureOf<ENetProtocolReplyError>("/loop"), "");
  EXPECT_EQ(seen, 16);
}

TEST_F(HTTPClient, RelativeLocationsResolveAgainstTheRequest) {
  http_.HandleRedirects = true;
  std::string dest;
  http_.OnRedirect = [&](TObject*, std::string& d, int&, bool& handled) {
    dest = d;
    handled = false;
  };
  Fetch("/dir/page");
  EXPECT_EQ(dest, Url("/other/x.html?q=1"));
  EXPECT_EQ(http_.ResponseCode(), 302);
  EXPECT_EQ(ResolveLocation("http://h:81/a/b?x", "c"), "http://h:81/a/c");
  EXPECT_EQ(ResolveLocation("http://h:81/a/b", "/c"), "http://h:81/c");
  EXPECT_EQ(ResolveLocation("https://h/a/b", "//g/c"), "https://g/c");
  EXPECT_EQ(ResolveLocation("http://h/a/b", "?y=1"), "http://h/a/b?y=1");
  EXPECT_EQ(ResolveLocation("http://h/a/b", "http://o/p"), "http://o/p");
  // A scheme makes a reference absolute, with or without "//"; a "://" later
  // on does not.
  EXPECT_EQ(ResolveLocation("http://h/a/b", "javascript:alert(1)"), "javascript:alert(1)");
  EXPECT_EQ(ResolveLocation("http://h/a/b", "/go?to=http://o/"), "http://h/go?to=http://o/");
}

TEST_F(HTTPClient, SeeOtherAndPostRedirectsFetchWithGet) {
  http_.HandleRedirects = true;
  for (const char* path : {"/see-other", "/found"}) {
    TStringStream form("a=1&b=2");
    body_.Clear();
    http_.Post(Url(path), form, &body_);
    std::string echo(body_.Bytes());
    EXPECT_EQ(echo.substr(0, 20), "GET /echo HTTP/1.0\r\n") << path;
    EXPECT_EQ(echo.find("a=1"), std::string::npos) << path;
    EXPECT_EQ(http_.ProtocolVersion, TNetHTTPProtocolVersion::pv1_1);
  }
}

TEST_F(HTTPClient, CredentialsAndCookiesStayWithTheirOrigin) {
  http_.HandleRedirects = true;
  http_.Request.Username = "alice";
  http_.Request.Password = "s3cret";
  http_.Request.ExtraHeaders.Add("Cookie: session=42");
  std::string same = Fetch("/found");
  EXPECT_NE(same.find("Authorization: Basic YWxpY2U6czNjcmV0"), std::string::npos);
  EXPECT_NE(same.find("Cookie: session=42"), std::string::npos);
  std::string other = Fetch("/away");
  EXPECT_NE(other.find("Host: localhost:"), std::string::npos);
  EXPECT_EQ(other.find("Authorization"), std::string::npos);
  EXPECT_EQ(other.find("Cookie"), std::string::npos);
}

TEST_F(HTTPClient, UnauthorizedGivesTheRealmAndTheBody) {
  try {
    Fetch("/auth");
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 401);
  }
  EXPECT_EQ(http_.Response.WWWAuthenticate, "Basic realm=\"Larkspan test\"");
  EXPECT_EQ(std::string(body_.Bytes()), "denied");
  http_.Request.Username = "alice";
  http_.Request.Password = "s3cret";
  EXPECT_EQ(Fetch("/auth"), "welcome");
}

TEST_F(HTTPClient, TheIdleDeadlineAllowsASlowDripButNotAStall) {
  http_.ReadTimeout = 1000;
  EXPECT_EQ(Fetch("/drip"), "drip!!");
  http_.ReadTimeout = 400;
  EXPECT_EQ(FailureOf<ENetReadTimeout>("/stall"), "The server sent nothing within the time allowed.");
}

TEST_F(HTTPClient, AnAbortFromAnotherThreadEndsAStalledDownload) {
  std::thread aborter([&] {
    std::this_thread::sleep_for(300ms);
    http_.Disconnect();
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FailureOf<ENetTransferAborted>("/stall"), "The transfer was aborted.");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  aborter.join();
}

TEST_F(HTTPClient, AnAbortBetweenTwoConnectionsOfARequestEndsIt) {
  http_.HandleRedirects = true;
  // Between a redirect's answer and the next connection there is no socket
  // to wake; the abort must still hold for the connection that follows.
  http_.OnRedirect = [&](TObject*, std::string&, int&, bool& handled) {
    handled = true;
    std::thread([&] { http_.Disconnect(); }).join();
  };
  EXPECT_EQ(FailureOf<ENetTransferAborted>("/chain/2"), "The transfer was aborted.");
}

TEST_F(HTTPClient, BrokenHeadsAreProtocolErrors) {
  const std::string closed = "The connection closed before the response header ended.";
  EXPECT_EQ(FailureOf<ENetHTTPProtocolError>("/close-mid-head"), closed);
  EXPECT_EQ(FailureOf<ENetHTTPProtocolError>("/close-before-head"), closed);
  EXPECT_EQ(FailureOf<ENetHTTPProtocolError>("/bad-status"), "The server sent a malformed status line.");
  EXPECT_EQ(FailureOf<ENetHeaderTooLarge>("/huge-header"), "The server sent more header lines than the limit.");
  EXPECT_EQ(FailureOf<ENetLineTooLong>("/long-line"), "The server sent a line longer than the limit.");
}

TEST_F(HTTPClient, BadLengthsSizesAndRangesAreProtocolErrors) {
  const std::string badLength = "The server sent an invalid Content-Length.";
  for (const char* path : {"/bad-length", "/huge-length", "/two-lengths"}) {
    TNetHTTP fresh;
    try {
      fresh.Get(Url(path), &body_);
      ADD_FAILURE() << path;
    } catch (const ENetHTTPProtocolError& e) {
      EXPECT_EQ(e.what(), badLength) << path;
    }
  }
  EXPECT_EQ(FailureOf<ENetHTTPProtocolError>("/bad-chunk"), "The server sent an invalid chunk size.");
  EXPECT_EQ(FailureOf<ENetHTTPProtocolError>("/bad-range"), "The server sent an invalid Content-Range.");
  EXPECT_EQ(Fetch("/range"), "56789");
  EXPECT_EQ(http_.Response.ContentRangeStart, 5);
  EXPECT_EQ(http_.Response.ContentRangeEnd, 9);
}

TEST_F(HTTPClient, BodiesUntilCloseAndHTTP10ServersDropTheConnection) {
  EXPECT_EQ(Fetch("/until-close"), "body until the end");
  EXPECT_FALSE(http_.Connected());
  EXPECT_EQ(Fetch("/http10"), "ok");
  EXPECT_FALSE(http_.Connected());
}

TEST_F(HTTPClient, UnreadableDatesMeanNoDateAndFoldedHeadersJoin) {
  Fetch("/dates");
  EXPECT_GT(http_.Response.Date, 34000);
  EXPECT_EQ(http_.Response.Expires, 0);
  EXPECT_EQ(http_.Response.LastModified, 0);
  EXPECT_EQ(http_.Response.Server, "fixture");
  EXPECT_EQ(http_.Response.ExtraHeaders.Values("folded"), "first second");
}

TEST_F(HTTPClient, TheRequestHeadCarriesPortAndDropsTheBookmark) {
  std::string echo = Fetch("/echo?x=1#top");
  EXPECT_EQ(echo.substr(0, 24), "GET /echo?x=1 HTTP/1.1\r\n");
  EXPECT_NE(echo.find("\r\nHost: 127.0.0.1:" + std::to_string(server_->Port()) + "\r\n"), std::string::npos);
  EXPECT_NE(echo.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Larkspan)\r\n"), std::string::npos);
  EXPECT_EQ(echo.find("Authorization"), std::string::npos);
}

TEST_F(HTTPClient, LineBreaksInURLsHeadersOrCredentialsSendNothing) {
  EXPECT_THROW(Fetch("/echo\r\nX-Evil: 1"), ENetLineBreakInHeader);
  http_.Request.ExtraHeaders.Add("X-Note: a\r\nX-Evil: 1");
  EXPECT_THROW(Fetch("/echo"), ENetLineBreakInHeader);
  http_.Request.ExtraHeaders.Clear();
  http_.Request.Username = "alice\n";
  EXPECT_THROW(Fetch("/echo"), ENetLineBreakInHeader);
  http_.Request.Username.clear();
  EXPECT_EQ(Fetch("/echo").find("X-Evil"), std::string::npos);
}

TEST_F(HTTPClient, ALocationOnA200IsFollowedAndErrorsKeepTheirBody) {
  http_.HandleRedirects = true;
  EXPECT_EQ(Fetch("/location-200").substr(0, 9), "GET /echo");
  try {
    Fetch("/missing");
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 404);
    EXPECT_STREQ(e.what(), "404 Not Found");
  }
  EXPECT_EQ(std::string(body_.Bytes()), "<p>no such page</p>");
}

TEST_F(HTTPClient, APortThatIsNotOneTo65535IsAnErrorNamingTheURL) {
  for (const char* url : {"http://127.0.0.1:0/", "http://127.0.0.1:65536/", "http://127.0.0.1:+80/",
                          "http://127.0.0.1:8o/"}) {
    try {
      http_.Get(url, &body_);
      ADD_FAILURE() << url;
    } catch (const ENetInvalidPort& e) {
      EXPECT_EQ(e.what(), std::string("The port of ") + url + " is not a number from 1 to 65535.");
    }
  }
}

TEST_F(HTTPClient, PostSendsTheBodyAsLinesOrStream) {
  TStringList lines;
  lines.Add("first");
  lines.Add("second");
  body_.Clear();
  http_.Post(Url("/echo"), lines, &body_);
  std::string echo(body_.Bytes());
  EXPECT_EQ(echo.substr(0, 20), "POST /echo HTTP/1.0\r");
  EXPECT_NE(echo.find("Content-Length: 15\r\n"), std::string::npos);
  EXPECT_EQ(echo.substr(echo.size() - 15), "first\r\nsecond\r\n");
}

}  // namespace
}  // namespace lark
