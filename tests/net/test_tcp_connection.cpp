#include "net/tcp_connection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/net_exception.h"
#include "net/tcp_client.h"
#include "platform/core/stream.h"
#include "tests/net/net_test_support.h"

namespace lark {
namespace {

using test::ScriptedPeer;
using namespace std::chrono_literals;

// A client connected to a peer that runs the script.
struct Pipe {
  explicit Pipe(std::function<void(int)> script) : peer(std::move(script)) {
    client.Host = "127.0.0.1";
    client.Port = peer.Port();
    client.Connect();
  }
  ScriptedPeer peer;
  TNetTCPClient client;
};

TEST(TCPConnection, ReadLnWithEachTerminator) {
  Pipe p([](int fd) { ScriptedPeer::SendAll(fd, "abc\r\nabc\r\nabc\r\nx|y|"); });
  EXPECT_EQ(p.client.ReadLn(), "abc");
  EXPECT_EQ(p.client.ReadLn("\r\n"), "abc");
  EXPECT_EQ(p.client.ReadLn("\n"), "abc\r");
  EXPECT_EQ(p.client.ReadLn("|"), "x");
  EXPECT_EQ(p.client.ReadLn("|"), "y");
}

TEST(TCPConnection, ReadLnTimeOutKeepsTheBufferedBytes) {
  std::atomic<bool> goOn{false};
  Pipe p([&](int fd) {
    ScriptedPeer::SendAll(fd, "par");
    while (!goOn) std::this_thread::sleep_for(5ms);
    ScriptedPeer::SendAll(fd, "tial\n");
  });
  EXPECT_EQ(p.client.ReadLn({}, 200), "");
  EXPECT_TRUE(p.client.ReadLnTimedOut());
  EXPECT_EQ(p.client.InputBuffer().Size(), 3);
  goOn = true;
  EXPECT_EQ(p.client.ReadLn(), "partial");
  EXPECT_FALSE(p.client.ReadLnTimedOut());
}

TEST(TCPConnection, ACloseInTheMiddleOfALineIsAnError) {
  Pipe p([](int fd) { ScriptedPeer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-"); });
  EXPECT_EQ(p.client.ReadLn(), "HTTP/1.1 200 OK");
  EXPECT_THROW(p.client.ReadLn(), ENetConnClosedGracefully);
}

TEST(TCPConnection, OverlongLinesAndIdleReadsAreRefused) {
  Pipe p([](int fd) {
    ScriptedPeer::SendAll(fd, std::string(200000, 'a'));
    ScriptedPeer::ReadExactly(fd, 1);
  });
  EXPECT_THROW(p.client.ReadLn(), ENetLineTooLong);

  Pipe silent([](int fd) { ScriptedPeer::ReadExactly(fd, 1); });
  silent.client.ReadTimeout = 300;
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(silent.client.ReadLn(), ENetReadTimeout);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST(TCPConnection, MultiLineRepliesEndOnlyAtTheirCode) {
  Pipe p([](int fd) {
    ScriptedPeer::SendAll(fd,
                          "250-first\r\n250-second\r\n250 last\r\n"
                          "250\r\n"
                          "220-welcome\r\n12\r\n220-more\r\n220 ready\r\n"
                          "+OK fine\r\n-ERR bad\r\n");
  });
  EXPECT_EQ(p.client.GetResponse(), 250);
  EXPECT_EQ(p.client.LastCmdResult().Count(), 3);
  EXPECT_EQ(p.client.LastCmdResult().At(2), "250 last");
  EXPECT_EQ(p.client.GetResponse(), 250);
  EXPECT_EQ(p.client.LastCmdResult().Count(), 1);
  EXPECT_EQ(p.client.GetResponse({220}), 220);
  EXPECT_EQ(p.client.LastCmdResult().Count(), 4);
  EXPECT_EQ(p.client.GetResponse(), 1);
  try {
    p.client.GetResponse({1});
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 0);
    EXPECT_STREQ(e.what(), "-ERR bad");
  }
}

TEST(TCPConnection, TakingMoreThanBufferedFailsAndKeepsTheBuffer) {
  Pipe p([](int fd) { ScriptedPeer::SendAll(fd, "12345\n"); });
  EXPECT_EQ(p.client.ReadLn("3"), "12");
  try {
    (void)p.client.TakeFromInputBuffer(100);
    FAIL();
  } catch (const ENetNotEnoughDataInBuffer& e) {
    EXPECT_STREQ(e.what(), "Not enough data in buffer.");
  }
  EXPECT_EQ(p.client.TakeFromInputBuffer(p.client.InputBuffer().Size()), "45\n");
}

TEST(TCPConnection, ReadStreamTakesExactlyTheCountAndLeavesTheRest) {
  Pipe p([](int fd) { ScriptedPeer::SendAll(fd, "hello" + std::string(100000, 'x') + "NEXT\n"); });
  TMemoryStream stream;
  stream.WriteString("stale bytes from before that must go");
  stream.SetPosition(0);
  p.client.ReadStream(stream, 100005);
  EXPECT_EQ(stream.Size(), 100005);
  EXPECT_EQ(stream.Bytes().substr(0, 6), "hellox");
  EXPECT_EQ(p.client.ReadLn(), "NEXT");
}

TEST(TCPConnection, CountedStreamsIntegersAndFilesRoundTrip) {
  // The peer sends back whatever arrives.
  Pipe p([](int fd) {
    for (std::string got; !(got = ScriptedPeer::ReadExactly(fd, 1)).empty();) ScriptedPeer::SendAll(fd, got);
  });
  TMemoryStream out;
  out.WriteString("counted payload");
  p.client.WriteStream(out, true, true);
  TMemoryStream in;
  p.client.ReadStream(in);
  EXPECT_EQ(in.Bytes(), "counted payload");
  p.client.WriteInteger(-123456);
  EXPECT_EQ(p.client.ReadInteger(), -123456);
  test::TempDir dir;
  dir.Write("f.txt", "file body\n");
  EXPECT_EQ(p.client.WriteFile(dir.Path() + "/f.txt"), 10);
  EXPECT_EQ(p.client.ReadLn(), "file body");
}

TEST(TCPConnection, ReadStreamByLengthFailsWhenThePeerClosesEarly) {
  Pipe p([](int fd) { ScriptedPeer::SendAll(fd, "short"); });
  TMemoryStream stream;
  EXPECT_THROW(p.client.ReadStream(stream, 100), ENetConnClosedGracefully);
  EXPECT_EQ(stream.Bytes(), "short");
}

TEST(TCPConnection, WorkEventsNestAndCountInSixtyFourBits) {
  Pipe p([](int fd) { ScriptedPeer::ReadExactly(fd, 10); });
  std::vector<std::string> events;
  p.client.OnWorkBegin = [&](TObject*, TWorkMode m, std::int64_t max) {
    events.push_back("begin " + std::to_string(static_cast<int>(m)) + " " + std::to_string(max));
  };
  p.client.OnWorkEnd = [&](TObject*, TWorkMode m) { events.push_back("end " + std::to_string(static_cast<int>(m))); };
  TMemoryStream empty;
  p.client.WriteStream(empty);
  p.client.BeginWork(TWorkMode::wmRead, 5'000'000'000LL);
  p.client.BeginWork(TWorkMode::wmRead, 7);
  p.client.EndWork(TWorkMode::wmRead);
  p.client.EndWork(TWorkMode::wmRead);
  EXPECT_EQ(events, (std::vector<std::string>{"begin 1 0", "end 1", "begin 0 5000000000", "end 0"}));
}

TEST(TCPConnection, ADisconnectFromAnotherThreadEndsAStalledRead) {
  Pipe p([](int fd) { ScriptedPeer::ReadExactly(fd, 1); });
  std::thread aborter([&] {
    std::this_thread::sleep_for(200ms);
    p.client.Disconnect();
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(p.client.ReadLn(), ENetConnClosedGracefully);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
  aborter.join();
  EXPECT_FALSE(p.client.Connected());
}

TEST(TCPConnection, WaitsCallTheHookEverySliceAndAStopThereEndsTheRead) {
  Pipe p([](int fd) { ScriptedPeer::ReadExactly(fd, 1); });
  int idle = 0;
  SetNetWaitHook([&](bool isIdle) { idle += isIdle ? 1 : 0; });
  EXPECT_EQ(p.client.ReadLn({}, 350), "");
  EXPECT_GE(idle, 3);
  // A Stop pressed while the GUI thread waits runs inside the hook, on the
  // waiting thread itself.
  SetNetWaitHook([&](bool) { p.client.Disconnect(); });
  EXPECT_THROW(p.client.ReadLn(), ENetConnClosedGracefully);
  SetNetWaitHook({});
  EXPECT_FALSE(p.client.Connected());
}

TEST(TCPConnection, InterceptEnabledNeedsAnIntercept) {
  TNetTCPConnection connection;
  try {
    connection.SetInterceptEnabled(true);
    FAIL();
  } catch (const ENetInterceptPropIsNil& e) {
    EXPECT_STREQ(e.what(), "InterceptEnabled cannot be set to true when Intercept is nil.");
  }
}

}  // namespace
}  // namespace lark
