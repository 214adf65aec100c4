#include "net/socket_stack.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/net_exception.h"

namespace lark {
namespace {

class SocketStack : public testing::Test {
 protected:
  void SetUp() override { AcquireSocketStack(); }
  void TearDown() override { ReleaseSocketStack(); }

  // A listening socket on an ephemeral loopback port.
  static void Listen(TNetSocketHandle& server) {
    server.Allocate();
    server.IP = "127.0.0.1";
    server.Bind();
    server.Listen(5);
    GSocketStack->SocketName(server.Handle(), server.IP, server.Port);
  }
};

TEST_F(SocketStack, ResolvesLocalhostAndDottedAddressesWithoutLookUp) {
  EXPECT_EQ(GSocketStack->ResolveHost("localhost"), "127.0.0.1");
  EXPECT_EQ(GSocketStack->ResolveHost("LocalHost"), "127.0.0.1");
  EXPECT_EQ(GSocketStack->ResolveHost("10.1.2.3"), "10.1.2.3");
  EXPECT_FALSE(TNetStack::IsDottedAddress("10.0.0.256"));
  EXPECT_FALSE(TNetStack::IsDottedAddress("10.0.0"));
  EXPECT_FALSE(TNetStack::IsDottedAddress("1.2.3.4.5"));
  EXPECT_EQ(TNetStack::AddressToText(TNetStack::TextToAddress("192.168.0.7")), "192.168.0.7");
}

TEST_F(SocketStack, ErrorTextsKeepTheirExactWording) {
  EXPECT_EQ(GSocketStack->ErrorText(10035), "Socket Error # 10035\r\nOperation would block. ");
  EXPECT_EQ(GSocketStack->ErrorText(10061), "Socket Error # 10061\r\nConnection refused.");
  EXPECT_EQ(GSocketStack->ErrorText(99), "Socket Error # 99\r\n");
  try {
    GSocketStack->RaiseSocketError(10054);
    FAIL();
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.ErrorCode, 10054);
    EXPECT_STREQ(e.what(), "Socket Error # 10054\r\nConnection reset by peer.");
  }
}

TEST_F(SocketStack, SelectRefusesMoreThan64Sockets) {
  std::vector<TSocket> list(65, 0);
  EXPECT_THROW(GSocketStack->Select(&list, nullptr, nullptr, 0), ENetStackSetSizeExceeded);
}

TEST_F(SocketStack, ServicePortsByNameOrNumber) {
  EXPECT_EQ(GSocketStack->ServicePort("8080"), 8080);
  try {
    (void)GSocketStack->ServicePort("no-such-service");
    FAIL();
  } catch (const ENetInvalidServiceName& e) {
    EXPECT_STREQ(e.what(), "no-such-service is not a valid service.");
  }
}

TEST_F(SocketStack, BindingAPortInUseFails) {
  TNetSocketHandle server;
  Listen(server);
  TNetSocketHandle second;
  second.Allocate();
  second.IP = "127.0.0.1";
  second.Port = server.Port;
  try {
    second.Bind();
    FAIL();
  } catch (const ENetCouldNotBindSocket& e) {
    EXPECT_STREQ(e.what(), "Could not bind socket. Address and port are already in use.");
  }
}

TEST_F(SocketStack, ConnectsAndReportsBothEnds) {
  TNetSocketHandle server;
  Listen(server);
  TNetSocketHandle client;
  client.Allocate();
  client.SetPeer("127.0.0.1", server.Port);
  client.Connect(winsock::AfInet, 5000);
  EXPECT_EQ(client.PeerPort, server.Port);
  EXPECT_EQ(client.IP, "127.0.0.1");
  EXPECT_NE(client.Port, 0);
  EXPECT_FALSE(client.Readable(50));
}

TEST_F(SocketStack, ConnectionRefusedIsASocketError) {
  TNetSocketHandle server;
  Listen(server);
  int port = server.Port;
  server.CloseSocket();
  TNetSocketHandle client;
  client.Allocate();
  client.SetPeer("127.0.0.1", port);
  try {
    client.Connect(winsock::AfInet, 5000);
    FAIL();
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.ErrorCode, 10061);
  }
}

TEST_F(SocketStack, CloseFromAnotherThreadEndsAWaitPromptly) {
  TNetSocketHandle server;
  Listen(server);
  TNetSocketHandle client;
  client.Allocate();
  client.SetPeer("127.0.0.1", server.Port);
  client.Connect();
  auto start = std::chrono::steady_clock::now();
  std::thread closer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    client.CloseSocket();
  });
  EXPECT_TRUE(client.Readable(kNoTimeLimit));
  char byte = 0;
  EXPECT_LE(client.Recv(&byte, 1), 0);
  closer.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_FALSE(client.HandleAllocated());
}

TEST_F(SocketStack, ReadableOnAClosedHandleRaises) {
  TNetSocketHandle handle;
  EXPECT_THROW((void)handle.Readable(0), ENetConnClosedGracefully);
}

}  // namespace
}  // namespace lark
