#include <gtest/gtest.h>

#include <sys/stat.h>

#include "net/connection_intercept.h"
#include "net/http_client.h"
#include "net/net_exception.h"
#include "net/socket_stack.h"
#include "platform/core/stream.h"
#include "tests/net/http_test_support.h"

namespace lark {
namespace {

using test::PeerProcess;
using test::ScriptedPeer;

// Stands in for the TLS intercept, which comes with its own library: it
// carries the bytes unchanged, so a tunnel can be tested against plain
// servers, and records when it was connected.
class PlainTunnelIntercept : public TNetSSLConnectionIntercept {
 public:
  void Connect(TNetSocketHandle* socket) override {
    TNetSSLConnectionIntercept::Connect(socket);
    ++connects;
  }
  int Receive(char* buffer, int length) override { return Socket()->Recv(buffer, length); }
  int Send(const char* buffer, int length) override {
    sentBeforeConnect += connects == 0 ? 1 : 0;
    return Socket()->Send(buffer, length);
  }
  int connects = 0;
  int sentBeforeConnect = 0;
};

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

TEST(HTTPProxy, PlainRequestsCarryTheAbsoluteURIHostAndCredentials) {
  std::string head;
  ScriptedPeer proxy([&](int fd) {
    head = ScriptedPeer::ReadHead(fd);
    ScriptedPeer::SendAll(fd, kOk);
  });
  TNetHTTP http;
  http.Request.ProxyServer = "127.0.0.1";
  http.Request.ProxyPort = proxy.Port();
  http.Request.ProxyUsername = "bob";
  http.Request.ProxyPassword = "pw1";
  TMemoryStream body;
  http.Get("http://example.test:8080/a/b.html#top", &body);
  EXPECT_EQ(body.Bytes(), "ok");
  EXPECT_EQ(head.substr(0, head.find("\r\n")), "GET http://example.test:8080/a/b.html HTTP/1.1");
  EXPECT_NE(head.find("\r\nHost: example.test:8080\r\n"), std::string::npos);
  EXPECT_NE(head.find("\r\nProxy-Authorization: Basic Ym9iOnB3MQ==\r\n"), std::string::npos);
}

TEST(HTTPProxy, HttpsGoesThroughConnectBeforeAnyTunnelledByte) {
  std::string connect;
  std::string inner;
  ScriptedPeer proxy([&](int fd) {
    connect = ScriptedPeer::ReadHead(fd);
    ScriptedPeer::SendAll(fd, "HTTP/1.1 200 Connection established\r\n\r\n");  // two lines, as squid sends
    inner = ScriptedPeer::ReadHead(fd);
    ScriptedPeer::SendAll(fd, kOk);
  });
  TNetHTTP http;
  PlainTunnelIntercept tls;
  http.SetIntercept(&tls);
  http.Request.ProxyServer = "127.0.0.1";
  http.Request.ProxyPort = proxy.Port();
  http.Request.ProxyUsername = "bob";
  http.Request.ProxyPassword = "pw1";
  TMemoryStream body;
  http.Get("https://secure.test/page", &body);
  EXPECT_EQ(body.Bytes(), "ok");
  EXPECT_EQ(connect,
            "CONNECT secure.test:443 HTTP/1.1\r\nHost: secure.test:443\r\n"
            "Proxy-Authorization: Basic Ym9iOnB3MQ==\r\n\r\n");
  EXPECT_EQ(inner.substr(0, inner.find("\r\n")), "GET /page HTTP/1.1");
  EXPECT_NE(inner.find("\r\nHost: secure.test\r\n"), std::string::npos);
  EXPECT_EQ(inner.find("Proxy-Authorization"), std::string::npos);
  EXPECT_EQ(tls.connects, 1);
  EXPECT_EQ(tls.sentBeforeConnect, 0);
}

TEST(HTTPProxy, ARefusedConnectFailsWithTheProxysStatus) {
  ScriptedPeer proxy([&](int fd) {
    ScriptedPeer::ReadHead(fd);
    ScriptedPeer::SendAll(fd, "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n");
  });
  TNetHTTP http;
  PlainTunnelIntercept tls;
  http.SetIntercept(&tls);
  http.Request.ProxyServer = "127.0.0.1";
  http.Request.ProxyPort = proxy.Port();
  try {
    http.Get("https://secure.test/", nullptr);
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 407);
    EXPECT_STREQ(e.what(), "407 Proxy Authentication Required");
  }
  EXPECT_FALSE(http.Connected());
}

TEST(HTTPProxy, ATunnelIsReusedOnlyForItsOwnTarget) {
  std::vector<std::string> connects;
  std::mutex mutex;
  ScriptedPeer proxy(
      [&](int fd) {
        std::string head = ScriptedPeer::ReadHead(fd);
        {
          std::lock_guard lock(mutex);
          connects.push_back(head.substr(0, head.find("\r\n")));
        }
        ScriptedPeer::SendAll(fd, "HTTP/1.0 200 Connection established\r\nProxy-agent: test\r\n\r\n");
        while (!ScriptedPeer::ReadHead(fd).empty()) ScriptedPeer::SendAll(fd, kOk);
      },
      2);
  TNetHTTP http;
  PlainTunnelIntercept tls;
  http.SetIntercept(&tls);
  http.Request.ProxyServer = "127.0.0.1";
  http.Request.ProxyPort = proxy.Port();
  http.Get("https://one.test/a", nullptr);
  http.Get("https://one.test/b", nullptr);
  http.Get("https://two.test/c", nullptr);
  http.Disconnect();
  std::lock_guard lock(mutex);
  EXPECT_EQ(connects, (std::vector<std::string>{"CONNECT one.test:443 HTTP/1.1", "CONNECT two.test:443 HTTP/1.1"}));
}

TEST(HTTPProxy, HttpsWithoutATLSInterceptIsRefused) {
  TNetHTTP http;
  try {
    http.Get("https://secure.test/", nullptr);
    FAIL();
  } catch (const ENetInterceptPropInvalid& e) {
    EXPECT_STREQ(e.what(), "Intercept value is not valid");
  }
}

TEST(HTTPProxy, SocksComesBeforeTheTunnelledBytes) {
  std::string socks;
  std::string inner;
  ScriptedPeer server([&](int fd) {
    socks = ScriptedPeer::ReadExactly(fd, 9);
    ScriptedPeer::SendAll(fd, std::string{0, 90, 0, 0, 0, 0, 0, 0});
    inner = ScriptedPeer::ReadHead(fd);
    ScriptedPeer::SendAll(fd, kOk);
  });
  TNetHTTP http;
  PlainTunnelIntercept tls;
  http.SetIntercept(&tls);
  http.SocksInfo.Version = TSocksVersion::svSocks4;
  http.SocksInfo.Host = "127.0.0.1";
  http.SocksInfo.Port = server.Port();
  TMemoryStream body;
  http.Get("https://127.0.0.1:8443/x", &body);
  EXPECT_EQ(body.Bytes(), "ok");
  EXPECT_EQ(socks.substr(0, 4), std::string("\x04\x01\x20\xFB", 4));
  EXPECT_EQ(inner.substr(0, 16), "GET /x HTTP/1.1\r");
  EXPECT_EQ(tls.sentBeforeConnect, 0);
}

// Real proxies in front of the fixture server.
class RealProxy : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(origin_.Started()) << origin_.Error();
    chmod(dir_.Path().c_str(), 0777);
  }
  void Start(const std::vector<std::string>& command, const std::string& package) {
    proxy_ = std::make_unique<PeerProcess>(command, package, port_, dir_.Path());
    ASSERT_TRUE(proxy_->Started()) << proxy_->Error();
  }
  void UseProxy(TNetHTTP& http) {
    http.Request.ProxyServer = "127.0.0.1";
    http.Request.ProxyPort = port_;
  }
  // GET of the fixture's echo, plain or tunnelled; answers the echoed head.
  std::string Echo(TNetHTTP& http, bool tunnelled) {
    TMemoryStream body;
    PlainTunnelIntercept tls;
    if (tunnelled) http.SetIntercept(&tls);
    std::string scheme = tunnelled ? "https" : "http";
    http.Get(scheme + "://127.0.0.1:" + std::to_string(origin_.Port()) + "/echo", &body);
    http.Disconnect();
    http.SetIntercept(nullptr);
    return std::string(body.Bytes());
  }

  test::HttpFixtureServer origin_;
  test::TempDir dir_;
  int port_ = test::FreePort();
  std::unique_ptr<PeerProcess> proxy_;
};

TEST_F(RealProxy, TinyproxyPlainAndConnectWithAndWithoutCredentials) {
  dir_.Write("tinyproxy.conf", "Port " + std::to_string(port_) +
                                   "\nListen 127.0.0.1\nAllow 127.0.0.1\nBasicAuth bob pw1\nLogLevel Error\n");
  Start({"tinyproxy", "-d", "-c", dir_.Path() + "/tinyproxy.conf"}, "tinyproxy");
  TNetHTTP http;
  UseProxy(http);
  try {
    Echo(http, false);
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 407);
  }
  http.Request.ProxyUsername = "bob";
  http.Request.ProxyPassword = "pw1";
  EXPECT_EQ(Echo(http, false).substr(0, 9), "GET /echo");
  std::string tunnelled = Echo(http, true);
  EXPECT_EQ(tunnelled.substr(0, 9), "GET /echo");
  EXPECT_EQ(tunnelled.find("Proxy-Authorization"), std::string::npos);
}

TEST_F(RealProxy, SquidPlainAndConnect) {
  dir_.Write("squid.conf", "http_port 127.0.0.1:" + std::to_string(port_) +
                               "\nacl localnet src 127.0.0.1/32\nhttp_access allow localnet\n"
                               "http_access deny all\ncache deny all\npid_filename " +
                               dir_.Path() + "/squid.pid\ncache_log " + dir_.Path() +
                               "/cache.log\naccess_log none\nshutdown_lifetime 0 seconds\n"
                               // its ICMP helper would outlive the test
                               "pinger_enable off\n");
  Start({"squid", "-N", "-f", dir_.Path() + "/squid.conf"}, "squid");
  TNetHTTP http;
  UseProxy(http);
  EXPECT_EQ(Echo(http, false).substr(0, 9), "GET /echo");
  EXPECT_EQ(Echo(http, true).substr(0, 9), "GET /echo");
}

}  // namespace
}  // namespace lark
