// The HTTP client against a server that misbehaves (tests/net/fixtures/
// hostile_server.py), over plain TCP, over TLS, and over TLS through a
// proxy's CONNECT tunnel: every case ends in its error or result within a
// bounded time, and the next request on the same client works.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "net/http_client.h"
#include "net/net_exception.h"
#include "net/openssl_intercept.h"
#include "platform/core/stream.h"
#include "tests/net_tls/tls_test_support.h"

namespace lark {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

enum class Transport { Plain, TLS, TLSTunnel };

enum class Expect {
  Body,                 // detail is the body
  BodyCut,              // detail is what arrived before the cut
  BodyUnlessTLSCut,     // a close-framed body: whole over TCP, cut over TLS without the goodbye
  RedirectHandedBack,   // detail is the Location left for the caller
  InvalidPort,          // detail is the URL the error names
  ReadTimeout,
  WriteTimeout,         // a POST of kUploadSize bytes the server stops reading
  Aborted,
};

struct HostileCase {
  const char* name;
  const char* path;
  Expect expect;
  const char* detail = "";
  TNetHTTPMethod method = TNetHTTPMethod::hmGet;
};

const HostileCase kCases[] = {
    {"CutLength", "/cut-length", Expect::BodyCut, "abc"},
    {"CutAfterATerabyteWasAnnounced", "/cut-huge-length", Expect::BodyCut, "abc"},
    {"CutBeforeTheLastChunk", "/cut-no-last-chunk", Expect::BodyCut, "abc"},
    {"CutInsideAChunk", "/cut-in-chunk", Expect::BodyCut, "ab"},
    {"BodyUntilACleanClose", "/until-close", Expect::Body, "whole body"},
    {"BodyUntilABareClose", "/cut-until-close", Expect::BodyUnlessTLSCut, "part"},
    {"RedirectToFile", "/to-file", Expect::RedirectHandedBack, "file:///etc/passwd"},
    {"RedirectToFtp", "/to-ftp", Expect::RedirectHandedBack, "ftp://127.0.0.1/x"},
    {"RedirectToJavascript", "/to-javascript", Expect::RedirectHandedBack, "javascript:alert(1)"},
    {"RedirectToData", "/to-data", Expect::RedirectHandedBack, "data:text/html,hi"},
    {"RedirectToPortOutOfRange", "/to-bad-port", Expect::InvalidPort, "http://127.0.0.1:99999/ok"},
    {"RedirectToPortWithALetter", "/to-letter-port", Expect::InvalidPort, "http://127.0.0.1:8o/ok"},
    {"HeadDrippedByteByByte", "/drip-head", Expect::ReadTimeout},
    {"EndlessContinueHeads", "/endless-continue", Expect::ReadTimeout},
    {"AbortWhileWaitingForTheHead", "/no-answer", Expect::Aborted},
    {"UploadTheServerStopsReading", "/no-read", Expect::WriteTimeout, "", TNetHTTPMethod::hmPost},
    {"AbortDuringAStalledUpload", "/no-read", Expect::Aborted, "", TNetHTTPMethod::hmPost},
    {"NoContentWithABody", "/204-with-body", Expect::Body, ""},
    {"HeadAnsweredWithABody", "/extra-after-body", Expect::Body, "", TNetHTTPMethod::hmHead},
    {"BytesAfterTheBody", "/extra-after-body", Expect::Body, "ok"},
    {"ASecondAnswerArrivingLate", "/late-leftover", Expect::Body, "ok"},
    {"Unsolicited408OnAKeptConnection", "/then-408", Expect::Body, "ok"},
};

// Names the case in test listings instead of its bytes.
void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }
void PrintTo(Transport t, std::ostream* out) { *out << static_cast<int>(t); }

constexpr int kReadTimeoutMs = 1000 * test::kTimeScale;
// Far more than the socket buffers on both sides hold.
constexpr std::int64_t kUploadSize = 64 * 1024 * 1024;

class HostileServer : public testing::TestWithParam<std::tuple<Transport, HostileCase>> {
 protected:
  void SetUp() override {
    const auto& certificates = test::Certificates();
    std::vector<std::string> command{"/usr/bin/python3", test::FixturePath("hostile_server.py"), std::to_string(port_)};
    if (transport() != Transport::Plain) {
      command.push_back(certificates.goodCert);
      command.push_back(certificates.goodKey);
      tls_.SSLOptions.RootCertFile = certificates.caFile;
      http_.SetIntercept(&tls_);
    }
    server_ = std::make_unique<test::PeerProcess>(command, "python3", port_, dir_.Path());
    ASSERT_TRUE(server_->Started()) << server_->Error();
    if (transport() == Transport::TLSTunnel) StartProxy();
    http_.ReadTimeout = kReadTimeoutMs;
    http_.HandleRedirects = true;
  }
  void TearDown() override {
    http_.DisconnectSocket();
    http_.SetIntercept(nullptr);
  }

  void StartProxy() {
    const int proxyPort = test::FreePort();
    chmod(dir_.Path().c_str(), 0777);
    dir_.Write("tinyproxy.conf",
               "Port " + std::to_string(proxyPort) + "\nListen 127.0.0.1\nAllow 127.0.0.1\nLogLevel Error\n");
    proxy_ = std::make_unique<test::PeerProcess>(
        std::vector<std::string>{"tinyproxy", "-d", "-c", dir_.Path() + "/tinyproxy.conf"}, "tinyproxy", proxyPort,
        dir_.Path());
    ASSERT_TRUE(proxy_->Started()) << proxy_->Error();
    http_.Request.ProxyServer = "127.0.0.1";
    http_.Request.ProxyPort = proxyPort;
  }

  [[nodiscard]] Transport transport() const { return std::get<0>(GetParam()); }
  [[nodiscard]] std::string Url(const std::string& path) const {
    return std::string(transport() == Transport::Plain ? "http" : "https") + "://127.0.0.1:" +
           std::to_string(port_) + path;
  }
  std::string Fetch(const std::string& path) {
    TMemoryStream body;
    http_.Get(Url(path), &body);
    return std::string(body.Bytes());
  }

  test::TempDir dir_;
  int port_ = test::FreePort();
  std::unique_ptr<test::PeerProcess> server_;
  std::unique_ptr<test::PeerProcess> proxy_;
  TNetConnectionInterceptOpenSSL tls_;
  TNetHTTP http_;
};

TEST_P(HostileServer, EndsAsItShouldAndTheClientStaysUsable) {
  const HostileCase& c = std::get<1>(GetParam());
  Expect expect = c.expect;
  if (expect == Expect::BodyUnlessTLSCut) expect = transport() == Transport::Plain ? Expect::Body : Expect::BodyCut;
  // Made before the aborter starts: filling 64 MiB on a loaded machine can
  // take longer than the abort waits, and an abort before the request is
  // rightly forgotten.
  TMemoryStream upload;
  if (c.method == TNetHTTPMethod::hmPost) upload.SetSize(kUploadSize);
  std::thread aborter;
  if (expect == Expect::Aborted) {
    aborter = std::thread([this] {
      std::this_thread::sleep_for(300ms * test::kTimeScale);
      http_.Disconnect();
    });
  }
  TMemoryStream body;
  std::string failure = "none";
  const auto start = Clock::now();
  try {
    if (c.method == TNetHTTPMethod::hmHead) {
      http_.Head(Url(c.path));
    } else if (c.method == TNetHTTPMethod::hmPost) {
      http_.Post(Url(c.path), upload, &body);
    } else {
      http_.Get(Url(c.path), &body);
    }
  } catch (const ENetTransferAborted& e) {
    failure = std::string("aborted: ") + e.what();
  } catch (const ENetHTTPBodyCut& e) {
    failure = std::string("cut: ") + e.what();
  } catch (const ENetProtocolReplyError& e) {
    failure = "reply " + std::to_string(e.ReplyCode);
  } catch (const ENetInvalidPort& e) {
    failure = std::string("port: ") + e.what();
  } catch (const ENetTimeout& e) {
    failure = std::string("timeout: ") + e.what();
  }
  const auto elapsed = Clock::now() - start;
  if (aborter.joinable()) aborter.join();

  switch (expect) {
    case Expect::Body:
      EXPECT_EQ(failure, "none");
      EXPECT_EQ(body.Bytes(), c.detail);
      break;
    case Expect::BodyCut:
      EXPECT_EQ(failure, "cut: The connection closed before the body ended.");
      EXPECT_EQ(body.Bytes(), c.detail);
      break;
    case Expect::RedirectHandedBack:
      EXPECT_EQ(failure, "reply 302");
      EXPECT_EQ(http_.Response.Location, c.detail);
      break;
    case Expect::InvalidPort:
      EXPECT_EQ(failure, std::string("port: The port of ") + c.detail + " is not a number from 1 to 65535.");
      break;
    case Expect::ReadTimeout:
      EXPECT_EQ(failure, "timeout: The server sent nothing within the time allowed.");
      EXPECT_GE(elapsed, std::chrono::milliseconds(kReadTimeoutMs - 100));
      break;
    case Expect::WriteTimeout:
      EXPECT_EQ(failure, "timeout: The server accepted nothing within the time allowed.");
      EXPECT_GE(elapsed, std::chrono::milliseconds(kReadTimeoutMs - 100));
      break;
    case Expect::Aborted:
      EXPECT_EQ(failure, "aborted: The transfer was aborted.");
      EXPECT_LT(elapsed, 1s * test::kTimeScale);
      break;
    case Expect::BodyUnlessTLSCut: break;
  }
  // Bounded: a deadline or an abort ends every case (generously, for loaded
  // machines and sanitizer builds).
  EXPECT_LT(elapsed, std::chrono::milliseconds(kReadTimeoutMs + 2500 * test::kTimeScale));
  // Late bytes of the hostile answer have arrived by now.
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(Fetch("/ok"), "ok");
}

// A peer that takes the connection and never answers the TLS greeting.
TEST(SilentTLSPeer, TheHandshakeFailsAtReadTimeout) {
  test::ScriptedPeer silent([](int fd) { (void)test::ScriptedPeer::ReadExactly(fd, 1 << 20); });
  TNetConnectionInterceptOpenSSL tls;
  tls.SSLOptions.RootCertFile = test::Certificates().caFile;
  TNetHTTP http;
  http.SetIntercept(&tls);
  http.ReadTimeout = 500 * test::kTimeScale;
  TMemoryStream body;
  const auto start = Clock::now();
  EXPECT_THROW(http.Get("https://127.0.0.1:" + std::to_string(silent.Port()) + "/", &body), ENetReadTimeout);
  EXPECT_GE(Clock::now() - start, 450ms * test::kTimeScale);
  EXPECT_LT(Clock::now() - start, 1500ms * test::kTimeScale);
  http.SetIntercept(nullptr);
}

std::string CaseName(const testing::TestParamInfo<HostileServer::ParamType>& info) {
  static const char* const transports[] = {"Plain", "TLS", "TLSTunnel"};
  return std::string(transports[static_cast<int>(std::get<0>(info.param))]) + "_" + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileServer,
                         testing::Combine(testing::Values(Transport::Plain, Transport::TLS, Transport::TLSTunnel),
                                          testing::ValuesIn(kCases)),
                         CaseName);

}  // namespace
}  // namespace lark
