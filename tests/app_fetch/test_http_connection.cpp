#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/http_async.h"
#include "app/http_connection.h"
#include "net/net_exception.h"
#include "platform/core/file_routines.h"
#include "platform/core/stream.h"
#include "platform/core/synchronize.h"
#include "tests/net/http_test_support.h"
#include "tests/net/nginx_peer.h"
#include "tests/net_tls/tls_test_support.h"

namespace lark {
namespace {

using test::NginxPeer;

// Runs the GUI thread's share (completions) until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, int ms = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    CheckSynchronize();
    WaitForSynchronize(10);
  }
  return true;
}

const char kTypes[] =
    "  types { text/html html; text/plain txt; image/png png; image/gif gif; application/xml xml; }\n"
    "  default_type application/octet-stream;\n";

// One http and one https nginx for the whole binary; the test CA is trusted
// the way a user's system would trust it.
class Peers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SSL_CERT_FILE", test::Certificates().caFile.c_str(), 1);
    https_ = new NginxPeer(test::Certificates().goodCert, test::Certificates().goodKey);
    http_ = new NginxPeer;
    for (NginxPeer* peer : {http_, https_}) {
      peer->HttpConfig = kTypes;
      peer->WriteFile("page.html", "<p>page</p>");
      peer->WriteFile("pic.png", std::string(65536, 'p'));
      peer->WriteFile("h/page.html", "headers");
      peer->ServerConfig = "    location /h/ { add_header Set-Cookie \"s=1; path=/\"; add_header Allow \"GET, HEAD\"; }\n";
    }
    for (const char* name : {"a.txt", "a.xml", "a.gif"}) http_->WriteFile(name, "x");
    http_->ServerConfig += "    location = /to-https { return 302 " + https_->Url("/pic.png") + "; }\n";
    // Sparse: announced far past the limits, never read.
    std::filesystem::path big = http_->Root() + "/big.png";
    { std::ofstream(big.string()) << ""; }
    std::filesystem::resize_file(big, 300LL * 1024 * 1024);
    https_->Start();
    http_->Start();
  }
  static void TearDownTestSuite() {
    delete http_;
    delete https_;
  }
  void SetUp() override {
    ASSERT_TRUE(http_->Started()) << http_->Error();
    ASSERT_TRUE(https_->Started()) << https_->Error();
  }

  // GetAsync, then the completion: the error, or -1 when none came.
  static int FetchAsync(THTTPConnection& connection, const std::string& url, std::string* bytes = nullptr) {
    int error = -1;
    connection.OnDone = [&](TObject*, bool, int e) { error = e; };
    connection.GetAsync(url);
    EXPECT_TRUE(PumpUntil([&] { return error != -1; })) << url;
    if (bytes != nullptr && error == 0) *bytes = connection.InputStream()->ReadRest();
    return error;
  }

  static NginxPeer* http_;
  static NginxPeer* https_;
};
NginxPeer* Peers::http_ = nullptr;
NginxPeer* Peers::https_ = nullptr;

TEST_F(Peers, SynchronousGetReportsHeadersStatesAndType) {
  THTTPConnection connection;
  std::vector<std::string> headers;
  std::vector<int> states;
  connection.OnHeader = [&](TObject*) { headers.push_back(connection.GetHeader()); };
  connection.OnBeginWork = [&](TObject*) { headers.push_back("<begin>"); };
  connection.OnStatus = [&](TObject*) { states.push_back(connection.GetState()); };
  connection.Get(http_->Url("/h/page.html"));
  EXPECT_EQ(connection.InputStream()->ReadRest(), "headers");
  EXPECT_EQ(headers, (std::vector<std::string>{"content-type: text/html", "Set-Cookie: s=1; path=/",
                                               "Allow: GET, HEAD", "<begin>"}));
  ASSERT_GE(states.size(), 2u);
  EXPECT_EQ(states[0], THTTPConnection::kNotConnected);  // connecting to a dotted address
  EXPECT_EQ(states[1], THTTPConnection::kConnected);
  EXPECT_EQ(connection.GetState(), THTTPConnection::kNotConnected);
  EXPECT_EQ(connection.GetStatusCode(), 200);
  EXPECT_EQ(connection.GetContentLength(), 7);
}

TEST_F(Peers, DocTypeFollowsTheContentType) {
  const std::vector<std::pair<std::string, int>> table = {
      {"/page.html", 0}, {"/a.txt", 1}, {"/pic.png", 2}, {"/a.gif", 2}, {"/a.xml", 0}};
  for (const auto& [path, type] : table) {
    THTTPConnection connection;
    connection.Get(http_->Url(path));
    EXPECT_EQ(connection.GetDocType(), type) << path;
  }
}

TEST_F(Peers, FailuresKeepTheStatusAndAsyncErrorsAreNeverZero) {
  test::HttpFixtureServer fixture;
  ASSERT_TRUE(fixture.Started()) << fixture.Error();
  THTTPConnection missing;
  EXPECT_THROW(missing.Get(http_->Url("/nothing")), ENetProtocolReplyError);
  EXPECT_EQ(missing.GetStatusCode(), 404);

  THTTPConnection auth;
  std::vector<std::string> headers;
  auth.OnHeader = [&](TObject*) { headers.push_back(auth.GetHeader()); };
  EXPECT_THROW(auth.Get(fixture.Url("/auth")), ENetProtocolReplyError);
  EXPECT_EQ(auth.GetStatusCode(), 401);
  EXPECT_NE(std::find(headers.begin(), headers.end(), "www-authenticate: Basic realm=\"Larkspan test\""),
            headers.end());

  headers.clear();
  THTTPConnection moved;
  moved.OnHeader = [&](TObject*) { headers.push_back(moved.GetHeader()); };
  moved.Get(fixture.Url("/found-cookie"));
  ASSERT_GE(headers.size(), 2u);
  EXPECT_EQ(headers[0], "Location: /echo");
  EXPECT_EQ(headers[1], "Set-Cookie: moved=1; path=/");

  const std::vector<std::pair<std::string, int>> table = {
      {http_->Url("/page.html"), 0},
      {http_->Url("/nothing"), 404},
      {fixture.Url("/reset-mid-body"), kFetchFailed},
      {"http://127.0.0.1:" + std::to_string(test::FreePort()) + "/refused", kFetchFailed},
      {"https://127.0.0.1:" + std::to_string(http_->Port()) + "/page.html", kFetchFailed},  // TLS to plain http
      {http_->Url("/big.png"), kFetchFailed},  // past the image limit
  };
  for (const auto& [url, error] : table) {
    THTTPConnection connection;
    EXPECT_EQ(FetchAsync(connection, url), error) << url;
  }
}

TEST_F(Peers, DocumentsPastTheLimitEndWithAClearError) {
  THTTPConnection connection;
  try {
    connection.Get(http_->Url("/big.png"));
    ADD_FAILURE() << "no error";
  } catch (const EFetchTooLarge& e) {
    EXPECT_STREQ(e.what(), "Document larger than 256 MiB");
  }
  // A caller's file stream has no limit: the same fetch is only refused by
  // the size the caller asked for.
  connection.MemoryLimit = 1024;
  EXPECT_THROW(connection.Get(http_->Url("/pic.png")), EFetchTooLarge);
}

TEST_F(Peers, HttpsEachConnectionItsOwnInterceptAndRedirectsToHttps) {
  THTTPConnection secure;
  secure.Get(https_->Url("/page.html"));
  EXPECT_EQ(secure.InputStream()->ReadRest(), "<p>page</p>");
  std::string bytes;
  THTTPConnection redirected;
  EXPECT_EQ(FetchAsync(redirected, http_->Url("/to-https"), &bytes), 0);
  EXPECT_EQ(bytes, std::string(65536, 'p'));
}

TEST_F(Peers, TenAtOnceAllArriveIntoTheCallersStream) {
  std::vector<std::unique_ptr<THTTPConnection>> connections;
  std::vector<std::unique_ptr<TMemoryStream>> streams;
  std::vector<int> errors(10, -1);
  for (int i = 0; i < 10; ++i) {
    connections.push_back(std::make_unique<THTTPConnection>());
    streams.push_back(std::make_unique<TMemoryStream>());
    connections[i]->SetInputStream(streams[i].get());
    connections[i]->OnDone = [&errors, i](TObject*, bool, int e) { errors[i] = e; };
    connections[i]->GetAsync((i % 2 ? https_ : http_)->Url("/pic.png"));
  }
  ASSERT_TRUE(PumpUntil([&] { return std::count(errors.begin(), errors.end(), -1) == 0; }));
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(errors[i], 0);
    EXPECT_EQ(streams[i]->Size(), 65536);
  }
}

TEST_F(Peers, AFreedConnectionHearsNothingAndFreeingDoesNotWait) {
  test::HttpFixtureServer fixture;
  ASSERT_TRUE(fixture.Started()) << fixture.Error();
  bool heard = false;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 5; ++i) {
    auto connection = std::make_unique<THTTPConnection>();
    connection->OnDone = [&](TObject*, bool, int) { heard = true; };
    connection->GetAsync(fixture.Url(i % 2 ? "/stall" : "/drip"));
    if (i == 4) CheckSynchronize();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(PumpUntil([] { return THTTPAsync::Running() == 0; }, 10000));
  EXPECT_FALSE(heard);
}

TEST_F(Peers, AnAbortedFetchReportsAnError) {
  test::HttpFixtureServer fixture;
  ASSERT_TRUE(fixture.Started()) << fixture.Error();
  THTTPConnection connection;
  int error = -1;
  connection.OnDone = [&](TObject*, bool, int e) { error = e; };
  connection.GetAsync(fixture.Url("/stall"));
  connection.Abort();
  EXPECT_TRUE(PumpUntil([&] { return error != -1; }, 5000));
  EXPECT_EQ(error, kFetchFailed);
}

TEST_F(Peers, ExitDuringTenDownloadsIsClean) {
  test::HttpFixtureServer fixture;
  ASSERT_TRUE(fixture.Started()) << fixture.Error();
  // A fresh process, so that its exit handlers run in a known order.
  const std::string command = "LARK_EXIT_FIXTURE=" + fixture.Url("") + " " + ExecutablePath() +
                              " --gtest_filter=ExitDuringDownloads.* >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7) << status;
}

// Run by the test above: ten fetches whose connections are gone still run
// when the program exits; they are stopped and joined before the exit
// handlers registered ahead of them run.
TEST(ExitDuringDownloads, Run) {
  const char* base = std::getenv("LARK_EXIT_FIXTURE");
  if (base == nullptr) GTEST_SKIP() << "run by Peers.ExitDuringTenDownloadsIsClean";
  std::atexit([] { std::_Exit(THTTPAsync::Running() == 0 ? 7 : 1); });
  for (int i = 0; i < 10; ++i) {
    auto* fetch = new THTTPAsync;  // frees itself
    fetch->URL = std::string(base) + (i % 2 ? "/stall" : "/drip");
    fetch->Start();
  }
  std::exit(THTTPAsync::Running() == 10 ? 0 : 1);
}

}  // namespace
}  // namespace lark
