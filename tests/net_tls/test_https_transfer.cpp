#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "net/http_client.h"
#include "net/net_exception.h"
#include "net/openssl_intercept.h"
#include "platform/core/stream.h"
#include "tests/net_tls/socks_peer.h"
#include "tests/net_tls/tls_test_support.h"

namespace lark {
namespace {

using test::Certificates;
using test::TlsScriptedPeer;

class HttpsTransfer : public testing::Test {
 protected:
  void SetUp() override {
    tls_.SSLOptions.RootCertFile = Certificates().caFile;
    http_.SetIntercept(&tls_);
  }
  void TearDown() override {
    http_.Disconnect();
    http_.SetIntercept(nullptr);
  }
  TNetConnectionInterceptOpenSSL tls_;
  TNetHTTP http_;
};

TEST_F(HttpsTransfer, NginxSendsA100MBAndAChunkedBodyIntactOnAKeptConnection) {
  test::NginxPeer nginx(Certificates().goodCert, Certificates().goodKey);
  const std::int64_t size = 100 * 1000 * 1000;
  nginx.WritePatternFile("big.bin", size);
  nginx.WriteFile("small.txt", "small");
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + "\n";
  nginx.WriteFile("ssi/page.html", text + "<!--#include virtual=\"/small.txt\" -->" + text);
  nginx.Start();
  ASSERT_TRUE(nginx.Started()) << nginx.Error();
  const std::string base = "https://localhost:" + std::to_string(nginx.Port());
  TMemoryStream body;
  http_.Get(base + "/big.bin", &body);
  ASSERT_EQ(body.Size(), size);
  const char* bytes = body.Bytes().data();
  std::int64_t firstWrong = -1;
  for (std::int64_t i = 0; i < size && firstWrong < 0; ++i) {
    if (bytes[i] != test::PatternByte(i)) firstWrong = i;
  }
  EXPECT_EQ(firstWrong, -1);
  EXPECT_TRUE(http_.Connected());
  TMemoryStream small;
  http_.Get(base + "/small.txt", &small);
  EXPECT_EQ(small.Bytes(), "small");
  TMemoryStream chunked;
  http_.Get(base + "/ssi/page.html", &chunked);
  EXPECT_TRUE(http_.Response.Chunked());
  EXPECT_EQ(chunked.Bytes(), text + "small" + text);
  EXPECT_EQ(tls_.Version().substr(0, 4), "TLSv");
}

// Many small records arrive together: the decrypted rest of one socket read
// must be read from OpenSSL, not waited for on the socket. The server keeps
// the connection open, so a stall would show as a read time-out.
TEST_F(HttpsTransfer, AChunkedBodyOfManySmallRecordsNeverStalls) {
  std::string expected;
  std::string chunks;
  for (int i = 0; i < 2000; ++i) {
    std::string piece = "piece " + std::to_string(i) + ";";
    expected += piece;
    char size[16];
    std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
    chunks += size + piece + "\r\n";
  }
  TlsScriptedPeer peer(Certificates().goodCert, Certificates().goodKey, [&](TNetConnectionInterceptOpenSSL& tls) {
    for (int round = 0; round < 2; ++round) {
      TlsScriptedPeer::ReadHead(tls);
      TlsScriptedPeer::SendAll(tls, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
      // One record per chunk line.
      for (size_t at = 0; at < chunks.size();) {
        size_t end = chunks.find("\r\n", at) + 2;
        TlsScriptedPeer::SendAll(tls, chunks.substr(at, end - at));
        at = end;
      }
      TlsScriptedPeer::SendAll(tls, "0\r\n\r\n");
    }
    char c;
    tls.Receive(&c, 1);  // until the client goes
  });
  http_.ReadTimeout = 5000;
  for (int round = 0; round < 2; ++round) {
    TMemoryStream body;
    http_.Get("https://localhost:" + std::to_string(peer.Port()) + "/chunked", &body);
    EXPECT_EQ(body.Bytes(), expected);
  }
  http_.Disconnect();
}

TEST_F(HttpsTransfer, ACloseWithoutGoodbyeInsideABodyIsAnError) {
  TlsScriptedPeer peer(Certificates().goodCert, Certificates().goodKey, [](TNetConnectionInterceptOpenSSL& tls) {
    TlsScriptedPeer::ReadHead(tls);
    // A body that runs until the close, then a bare TCP close: a cut.
    TlsScriptedPeer::SendAll(tls, "HTTP/1.0 200 OK\r\n\r\npartial");
    tls.Socket()->CloseSocket();
  });
  TMemoryStream body;
  try {
    http_.Get("https://127.0.0.1:" + std::to_string(peer.Port()) + "/", &body);
    FAIL() << "a cut body passed as complete";
  } catch (const ENetHTTPBodyCut& e) {
    EXPECT_STREQ(e.what(), "The connection closed before the body ended.");
  }
  EXPECT_EQ(body.Bytes(), "partial");
}

// nginx and others may drop an idle kept connection without a goodbye: the
// next request finds it closed before any answer and starts afresh.
TEST_F(HttpsTransfer, AKeptConnectionDroppedWithoutGoodbyeIsRetried) {
  std::atomic<int> served = 0;
  TlsScriptedPeer peer(Certificates().goodCert, Certificates().goodKey,
                       [&](TNetConnectionInterceptOpenSSL& tls) {
                         TlsScriptedPeer::ReadHead(tls);
                         TlsScriptedPeer::SendAll(tls, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
                         ++served;
                         // Later than the client's look for a close after the answer.
                         std::this_thread::sleep_for(std::chrono::milliseconds(50));
                         tls.Socket()->CloseSocket();  // no close_notify
                       },
                       2);
  const std::string url = "https://localhost:" + std::to_string(peer.Port()) + "/";
  for (int round = 0; round < 2; ++round) {
    TMemoryStream body;
    http_.Get(url, &body);
    EXPECT_EQ(body.Bytes(), "ok");
    // Let the server's close arrive, so the second request meets it.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  EXPECT_EQ(served, 2);
}

TEST_F(HttpsTransfer, AGoodbyeEndsABodyThatRunsUntilTheClose) {
  TlsScriptedPeer peer(Certificates().goodCert, Certificates().goodKey, [](TNetConnectionInterceptOpenSSL& tls) {
    TlsScriptedPeer::ReadHead(tls);
    TlsScriptedPeer::SendAll(tls, "HTTP/1.0 200 OK\r\n\r\nwhole body");
  });  // the peer's Disconnect sends close_notify
  TMemoryStream body;
  http_.Get("https://127.0.0.1:" + std::to_string(peer.Port()) + "/", &body);
  EXPECT_EQ(body.Bytes(), "whole body");
}

// Real proxies and a SOCKS 5 server in front of nginx.
class HttpsThroughProxy : public HttpsTransfer {
 protected:
  void SetUp() override {
    HttpsTransfer::SetUp();
    nginx_.WriteFile("page.html", "through the tunnel");
    nginx_.Start();
    ASSERT_TRUE(nginx_.Started()) << nginx_.Error();
    chmod(dir_.Path().c_str(), 0777);
  }
  void Start(const std::vector<std::string>& command, const std::string& package) {
    proxy_ = std::make_unique<test::PeerProcess>(command, package, port_, dir_.Path());
    ASSERT_TRUE(proxy_->Started()) << proxy_->Error();
  }
  std::string Fetch() {
    TMemoryStream body;
    http_.Get("https://localhost:" + std::to_string(nginx_.Port()) + "/page.html", &body);
    return std::string(body.Bytes());
  }
  void UseProxy() {
    http_.Request.ProxyServer = "127.0.0.1";
    http_.Request.ProxyPort = port_;
  }

  test::NginxPeer nginx_{Certificates().goodCert, Certificates().goodKey};
  test::TempDir dir_;
  int port_ = test::FreePort();
  std::unique_ptr<test::PeerProcess> proxy_;
};

TEST_F(HttpsThroughProxy, TinyproxyConnect) {
  dir_.Write("tinyproxy.conf",
             "Port " + std::to_string(port_) + "\nListen 127.0.0.1\nAllow 127.0.0.1\nLogLevel Error\n");
  Start({"tinyproxy", "-d", "-c", dir_.Path() + "/tinyproxy.conf"}, "tinyproxy");
  UseProxy();
  EXPECT_EQ(Fetch(), "through the tunnel");
}

TEST_F(HttpsThroughProxy, SquidConnect) {
  // Squid resolves the tunnel's target itself; where the system's hosts file
  // also maps localhost to ::1 it would try IPv6 first, and nginx listens on
  // IPv4 only.
  dir_.Write("hosts", "127.0.0.1 localhost\n");
  dir_.Write("squid.conf", "http_port 127.0.0.1:" + std::to_string(port_) +
                               "\nacl localnet src 127.0.0.1/32\nhttp_access allow localnet\n"
                               "http_access deny all\ncache deny all\npid_filename " + dir_.Path() +
                               "/squid.pid\ncache_log " + dir_.Path() +
                               "/cache.log\naccess_log none\nshutdown_lifetime 0 seconds\n"
                               "pinger_enable off\nhosts_file " + dir_.Path() + "/hosts\n");
  Start({"squid", "-N", "-f", dir_.Path() + "/squid.conf"}, "squid");
  UseProxy();
  EXPECT_EQ(Fetch(), "through the tunnel");
}

TEST_F(HttpsThroughProxy, Socks5) {
  test::DantePeer socks;
  ASSERT_TRUE(socks.Started()) << socks.Error();
  http_.SocksInfo.Version = TSocksVersion::svSocks5;
  http_.SocksInfo.Host = "127.0.0.1";
  http_.SocksInfo.Port = socks.Port();
  // The certificate names the host asked for, not the SOCKS server.
  EXPECT_EQ(Fetch(), "through the tunnel");
}

}  // namespace
}  // namespace lark
