#include "net/tcp_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "net/net_exception.h"
#include "tests/net/net_test_support.h"

namespace lark {
namespace {

using test::PeerProcess;
using test::ScriptedPeer;
using test::TempDir;

// Answers "pong" to a client's "ping" line: the target behind a SOCKS server.
void Echo(int fd) {
  if (ScriptedPeer::ReadExactly(fd, 6) == "ping\r\n") ScriptedPeer::SendAll(fd, "pong\r\n");
}

void PingPong(TNetTCPClient& client) {
  client.WriteLn("ping");
  EXPECT_EQ(client.ReadLn(), "pong");
}

TEST(TCPClient, ConnectingTwiceFailsWithoutTouchingTheSocket) {
  ScriptedPeer peer(Echo);
  TNetTCPClient client;
  client.Host = "127.0.0.1";
  client.Port = peer.Port();
  client.Connect();
  TSocket before = client.Socket().Handle();
  try {
    client.Connect();
    FAIL();
  } catch (const ENetAlreadyConnected& e) {
    EXPECT_STREQ(e.what(), "Already connected.");
  }
  EXPECT_EQ(client.Socket().Handle(), before);
  PingPong(client);
}

TEST(TCPClient, ResolvingIsReportedOnlyForNames) {
  ScriptedPeer peer([](int) {}, 2);
  for (const char* host : {"127.0.0.1", "localhost"}) {
    TNetTCPClient client;
    std::vector<std::string> texts;
    client.OnStatus = [&](TObject*, TNetStatus, const std::string& text) { texts.push_back(text); };
    client.Host = host;
    client.Port = peer.Port();
    client.Connect();
    client.Disconnect();
    std::vector<std::string> expected = {"Connecting to 127.0.0.1.", "Connected.", "Disconnecting from 127.0.0.1.",
                                         "Not connected."};
    if (std::string(host) == "localhost") expected.insert(expected.begin(), "Resolving hostname localhost.");
    EXPECT_EQ(texts, expected) << host;
  }
}

TEST(TCPClient, AnUnknownHostIsASocketError) {
  TNetTCPClient client;
  client.Host = "nosuchhost.invalid";
  client.Port = 80;
  try {
    client.Connect();
    FAIL();
  } catch (const ENetSocketError& e) {
    EXPECT_GE(e.ErrorCode, 11001);
    EXPECT_LE(e.ErrorCode, 11004);
  }
  EXPECT_FALSE(client.Socket().HandleAllocated());
}

TEST(TCPClient, AFailedConnectLeavesTheClientReusable) {
  int port = test::FreePort();
  TNetTCPClient client;
  client.Host = "127.0.0.1";
  client.Port = port;
  EXPECT_THROW(client.Connect(), ENetSocketError);
  ScriptedPeer peer(Echo);
  client.Port = peer.Port();
  client.Connect();
  PingPong(client);
}

// A listener whose queue is full: further connects hang until their deadline.
class FullQueue {
 public:
  FullQueue() {
    listener_.Allocate();
    listener_.IP = "127.0.0.1";
    listener_.Bind();
    listener_.Listen(0);
    GSocketStack->SocketName(listener_.Handle(), listener_.IP, listener_.Port);
    filler_.Host = "127.0.0.1";
    filler_.Port = listener_.Port;
    filler_.Connect();
  }
  int Port() const { return listener_.Port; }

 private:
  TNetTCPClient filler_;  // first, so that the stack outlives the listener
  TNetSocketHandle listener_;
};

TEST(TCPClient, ConnectsHaveADeadlineAndCanBeAborted) {
  FullQueue queue;
  TNetTCPClient client;
  client.Host = "127.0.0.1";
  client.Port = queue.Port();
  client.ConnectTimeout = 300;
  auto start = std::chrono::steady_clock::now();
  try {
    client.Connect();
    FAIL();
  } catch (const ENetConnectTimeout& e) {
    EXPECT_EQ(e.what(), "Could not connect to 127.0.0.1:" + std::to_string(queue.Port()) + " within the time allowed.");
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_FALSE(client.Socket().HandleAllocated());

  client.ConnectTimeout = kNoTimeLimit;
  std::thread aborter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    client.Disconnect();
  });
  start = std::chrono::steady_clock::now();
  EXPECT_THROW(client.Connect(), ENetConnClosedGracefully);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  aborter.join();
}

// A SOCKS 4 server of our own that records the request and grants it.
struct Socks4Fixture {
  explicit Socks4Fixture(size_t requestSize, char reply = 90)
      : peer([this, requestSize, reply](int fd) {
          request = ScriptedPeer::ReadExactly(fd, requestSize);
          ScriptedPeer::SendAll(fd, std::string{0, reply, 0, 0, 0, 0, 0, 0});
          Echo(fd);
        }) {}
  std::string request;
  ScriptedPeer peer;
};

TEST(TCPClient, Socks4SendsNineBytesAnd4ATenPlusTheName) {
  {
    Socks4Fixture socks(9);
    TNetTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = 0x1F90;
    client.SocksInfo.Version = TSocksVersion::svSocks4;
    client.SocksInfo.Host = "127.0.0.1";
    client.SocksInfo.Port = socks.peer.Port();
    client.Connect();
    PingPong(client);
    EXPECT_EQ(socks.request, std::string("\x04\x01\x1F\x90\x7F\x00\x00\x01\x00", 9));
  }
  {
    Socks4Fixture socks(10 + 11);
    TNetTCPClient client;
    client.Host = "example.org";
    client.Port = 80;
    client.SocksInfo.Version = TSocksVersion::svSocks4A;
    client.SocksInfo.Host = "127.0.0.1";
    client.SocksInfo.Port = socks.peer.Port();
    client.Connect();
    PingPong(client);
    EXPECT_EQ(socks.request, std::string("\x04\x01\x00\x50\x00\x00\x00\x01\x00", 9) + "example.org" + '\0');
  }
}

TEST(TCPClient, Socks4RefusalsHaveTheirTexts) {
  Socks4Fixture socks(9, 91);
  TNetTCPClient client;
  client.Host = "127.0.0.1";
  client.Port = 80;
  client.SocksInfo.Version = TSocksVersion::svSocks4;
  client.SocksInfo.Host = "127.0.0.1";
  client.SocksInfo.Port = socks.peer.Port();
  try {
    client.Connect();
    FAIL();
  } catch (const ENetSocksRequestFailed& e) {
    EXPECT_STREQ(e.what(), "Request rejected or failed.");
  }
  EXPECT_FALSE(client.Socket().HandleAllocated());
}

// A SOCKS 5 server of our own answering with the given bytes.
void Socks5Answer(const std::string& methodReply, const std::string& connectReply, const char* expectedText,
                  const std::function<void(TNetTCPClient&)>& setUp = {}) {
  ScriptedPeer socks([&](int fd) {
    ScriptedPeer::ReadExactly(fd, 3);
    ScriptedPeer::SendAll(fd, methodReply);
    if (connectReply.empty()) return;
    ScriptedPeer::ReadExactly(fd, 4 + 1 + 9 + 2);
    ScriptedPeer::SendAll(fd, connectReply);
  });
  TNetTCPClient client;
  client.Host = "127.0.0.1";
  client.Port = 80;
  client.SocksInfo.Version = TSocksVersion::svSocks5;
  client.SocksInfo.Host = "127.0.0.1";
  client.SocksInfo.Port = socks.Port();
  if (setUp) setUp(client);
  try {
    client.Connect();
    ADD_FAILURE() << "no error for " << expectedText;
  } catch (const ENetSocksError& e) {
    EXPECT_STREQ(e.what(), expectedText);
  }
}

TEST(TCPClient, Socks5FailuresAreSocksErrors) {
  Socks5Answer(std::string("\x05\xFF", 2), "", "Invalid socks authentication method.");
  Socks5Answer(std::string("\x05\x00", 2), std::string("\x05\x09\x00\x01\x7F", 5), "Unknown socks error.");
  Socks5Answer(std::string("\x05\x00", 2), std::string("\x05\x05\x00\x01\x7F", 5), "Connection refused.");
  Socks5Answer(std::string("\x05\x00", 2), std::string("\x05\x00\x00\x09\x7F", 5),
               "The SOCKS server answered with an unknown address type.");
  Socks5Answer(std::string("\x05", 1), "", "Socks server did not respond.");
  Socks5Answer("", "", "A SOCKS field is longer than 255 bytes.",
               [](TNetTCPClient& c) { c.Host = std::string(256, 'h'); });
}

// A SOCKS server that accepts and then says nothing: the exchange is part of
// the connect and ends at ConnectTimeout, long before the idle read deadline.
TEST(TCPClient, ASilentSocksServerFailsAtTheConnectDeadline) {
  for (TSocksVersion version : {TSocksVersion::svSocks4, TSocksVersion::svSocks5}) {
    ScriptedPeer silent([](int fd) { (void)ScriptedPeer::ReadExactly(fd, 1 << 20); });
    TNetTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = 80;
    client.SocksInfo.Version = version;
    client.SocksInfo.Host = "127.0.0.1";
    client.SocksInfo.Port = silent.Port();
    client.ConnectTimeout = 400;
    const auto start = std::chrono::steady_clock::now();
    if (version == TSocksVersion::svSocks4) {
      EXPECT_THROW(client.Connect(), ENetConnectTimeout);
    } else {
      EXPECT_THROW(client.Connect(), ENetSocksServerRespondError);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_FALSE(client.Socket().HandleAllocated());
  }
}

// dante: SOCKS 4 and 5 without authentication.
class Dante : public testing::Test {
 protected:
  void SetUp() override {
    port_ = test::FreePort();
    dir_.Write("danted.conf", "internal: 127.0.0.1 port = " + std::to_string(port_) +
                                  "\nexternal: 127.0.0.1\nsocksmethod: none\nclientmethod: none\n"
                                  "user.privileged: root\nuser.unprivileged: nobody\n"
                                  "client pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
                                  "socks pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n  command: connect\n}\n");
    dante_ = std::make_unique<PeerProcess>(
        std::vector<std::string>{"danted", "-f", dir_.Path() + "/danted.conf", "-p", dir_.Path() + "/danted.pid"},
        "dante-server", port_, dir_.Path());
    ASSERT_TRUE(dante_->Started()) << dante_->Error();
  }
  TempDir dir_;
  int port_ = 0;
  std::unique_ptr<PeerProcess> dante_;
};

TEST_F(Dante, TunnelsSocks4And5) {
  ScriptedPeer target(Echo, 2);
  for (TSocksVersion version : {TSocksVersion::svSocks4, TSocksVersion::svSocks5}) {
    TNetTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = target.Port();
    client.SocksInfo.Version = version;
    client.SocksInfo.Host = "127.0.0.1";
    client.SocksInfo.Port = port_;
    client.Connect();
    PingPong(client);
  }
}

// microsocks: SOCKS 5 with a user name and password.
TEST(Microsocks, AuthenticatesWithUserNameAndPassword) {
  TempDir dir;
  int port = test::FreePort();
  PeerProcess socks({"microsocks", "-i", "127.0.0.1", "-p", std::to_string(port), "-u", "alice", "-P", "s3cret"},
                    "microsocks", port, dir.Path());
  ASSERT_TRUE(socks.Started()) << socks.Error();
  ScriptedPeer target(Echo);
  auto connect = [&](TSocksAuthentication auth, const std::string& password) {
    TNetTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = target.Port();
    client.SocksInfo = TSocksInfo{auth, "127.0.0.1", password, port, "alice", TSocksVersion::svSocks5};
    client.Connect();
    PingPong(client);
  };
  connect(TSocksAuthentication::saUsernamePassword, "s3cret");
  EXPECT_THROW(connect(TSocksAuthentication::saUsernamePassword, "wrong"), ENetSocksAuthError);
  EXPECT_THROW(connect(TSocksAuthentication::saNoAuthentication, ""), ENetSocksAuthMethodError);
}

}  // namespace
}  // namespace lark
