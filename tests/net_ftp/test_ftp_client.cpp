#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "net/ftp_client.h"
#include "net/net_exception.h"
#include "platform/core/stream.h"
#include "tests/net_ftp/ftp_test_support.h"
#include "tests/net_tls/socks_peer.h"

namespace lark {
namespace {

constexpr int kFileSize = 8 * 1024 * 1024 + 3;

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

TEST(FTPReplies, PassiveAddressesWithAndWithoutBrackets) {
  auto bracketed = ParsePassiveReply("227 Entering Passive Mode (10,0,0,5,4,1).");
  EXPECT_EQ(bracketed.host, "10.0.0.5");
  EXPECT_EQ(bracketed.port, 1025);
  auto bare = ParsePassiveReply("227 Entering Passive Mode 10,0,0,5,4,1");
  EXPECT_EQ(bare.host, "10.0.0.5");
  EXPECT_EQ(bare.port, 1025);
  for (const char* bad : {"227 (10,0,0,5,4)", "227 (10,0,0,5,4,x)", "227 (10,0,0,5,256,1)", "227 nothing"}) {
    EXPECT_THROW((void)ParsePassiveReply(bad), ENetProtocolReplyError) << bad;
  }
  EXPECT_EQ(PortArgument("192.168.1.7", 5001), "192,168,1,7,19,137");
}

// Active mode: the data connection must come from the server's address, and
// the wait for it ends at its deadline.
TEST(FTPDataListener, AcceptsOnlyTheServersAddressWithinItsDeadline) {
  TNetSimpleServer listener;
  listener.BoundIP = "127.0.0.1";
  listener.AllowedPeerIP = "127.0.0.2";
  listener.AcceptTimeout = 5000;
  listener.BeginListen();
  auto connectFrom = [&](const std::string& ip) {
    auto client = std::make_unique<TNetTCPClient>();
    client->BoundIP = ip;
    client->Host = "127.0.0.1";
    client->Port = listener.BoundPort;
    client->Connect();
    return client;
  };
  std::unique_ptr<TNetTCPClient> stranger, server;
  std::thread peers([&] {
    stranger = connectFrom("127.0.0.1");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    server = connectFrom("127.0.0.2");
  });
  EXPECT_TRUE(listener.Listen());
  peers.join();
  EXPECT_EQ(listener.Socket().PeerIP, "127.0.0.2");

  TNetSimpleServer lonely;
  lonely.BoundIP = "127.0.0.1";
  lonely.AcceptTimeout = 300;
  EXPECT_FALSE(lonely.Listen());
}

class Vsftpd : public testing::Test {
 protected:
  void SetUp() override {
    server_.MakeDirectory("sub");
    server_.WriteFile("sub/file.bin", Pattern(kFileSize));
    server_.WriteFile("small.txt", "small file\n");
    server_.Start();
    ASSERT_TRUE(server_.Started()) << server_.Error();
    ftp_.Host = "127.0.0.1";
    ftp_.Port = server_.Port();
    ftp_.User = "anonymous";
    ftp_.Password = "lark@example.test";
  }
  test::VsftpdPeer server_;
  TNetFTP ftp_;
};

TEST_F(Vsftpd, PassiveLoginDirectorySizeAndRetrieve) {
  ftp_.Passive = true;
  ftp_.Connect();
  EXPECT_EQ(ftp_.SystemDesc(), " UNIX Type: L8");
  ftp_.ChangeDir("sub");
  EXPECT_EQ(ftp_.Size("file.bin"), kFileSize);
  EXPECT_EQ(ftp_.Size("missing.bin"), -1);
  std::int64_t worked = 0;
  int begins = 0;
  ftp_.OnWorkBegin = [&](TObject*, TWorkMode, std::int64_t) { ++begins; };
  ftp_.OnWork = [&](TObject*, TWorkMode, std::int64_t count) { worked = count; };
  TMemoryStream stream;
  ftp_.Get("file.bin", stream);
  EXPECT_EQ(stream.Bytes(), Pattern(kFileSize));
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(worked, kFileSize);
  // The control connection is still in step for the next transfer.
  ftp_.ChangeDir("/");
  TMemoryStream small;
  ftp_.Get("small.txt", small);
  EXPECT_EQ(small.Bytes(), "small file\n");
}

TEST_F(Vsftpd, ActiveModeRetrievesAndAMissingFileFails) {
  ftp_.Passive = false;
  ftp_.Connect();
  TMemoryStream stream;
  ftp_.Get("small.txt", stream);
  EXPECT_EQ(stream.Bytes(), "small file\n");
  TMemoryStream nothing;
  try {
    ftp_.Get("missing.bin", nothing);
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 550);
  }
  // The refusal was the transfer's last word: the next one starts at once.
  auto start = std::chrono::steady_clock::now();
  TMemoryStream again;
  ftp_.Get("small.txt", again);
  EXPECT_EQ(again.Bytes(), "small file\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(Vsftpd, AnAbortDuringATransferIsSilentAndKeepsTheSessionUsable) {
  server_.WriteFile("big.bin", Pattern(64 * 1024 * 1024));
  ftp_.Passive = true;
  ftp_.Connect();
  ftp_.OnWork = [&](TObject*, TWorkMode, std::int64_t count) {
    if (count > 1000000) ftp_.Abort();
  };
  TMemoryStream stream;
  EXPECT_THROW(ftp_.Get("big.bin", stream), ENetFTPTransferAborted);
  EXPECT_LT(stream.Size(), 64 * 1024 * 1024);
  ftp_.OnWork = nullptr;
  EXPECT_EQ(ftp_.Size("small.txt"), 11);
}

TEST_F(Vsftpd, LineBreaksInNamesAreRefusedBeforeSending) {
  ftp_.Connect();
  EXPECT_THROW((void)ftp_.Size("a\r\nDELE b"), ENetFTPLineBreak);
  EXPECT_THROW(ftp_.ChangeDir("x\ny"), ENetFTPLineBreak);
  EXPECT_EQ(ftp_.Size("small.txt"), 11);
}

// Both connections go through the SOCKS server.
TEST_F(Vsftpd, PassiveTransfersThroughSocks5) {
  test::DantePeer socks;
  ASSERT_TRUE(socks.Started()) << socks.Error();
  ftp_.SocksInfo.Version = TSocksVersion::svSocks5;
  ftp_.SocksInfo.Host = "127.0.0.1";
  ftp_.SocksInfo.Port = socks.Port();
  ftp_.Passive = true;
  ftp_.Connect();
  TMemoryStream stream;
  ftp_.Get("small.txt", stream);
  EXPECT_EQ(stream.Bytes(), "small file\n");
}

class OddServer : public testing::Test {
 protected:
  void SetUp() override {
    server_.WriteFile("file.txt", "from the odd server");
    server_.WriteFile("cut.bin", "");
    server_.WriteFile("slow.bin", std::string(4 * 1024 * 1024, 's'));
    server_.Start();
    ASSERT_TRUE(server_.Started()) << server_.Error();
  }
  void Login(const std::string& user) {
    ftp_.Host = "127.0.0.1";
    ftp_.Port = server_.Port();
    ftp_.User = user;
    ftp_.Password = "pw";
    ftp_.Passive = true;
    ftp_.Connect();
  }
  test::OddFtpPeer server_;
  TNetFTP ftp_;
};

TEST_F(OddServer, Syst502LeavesTheSystemUnknownAndPassiveRepliesOfEveryShapeWork) {
  for (const char* user : {"plain", "nobrackets", "foreign"}) {
    Login(user);
    EXPECT_EQ(ftp_.SystemDesc(), "Unknown");
    // "foreign" names 10.1.2.3: the data still comes from the server itself.
    TMemoryStream stream;
    ftp_.Get("file.txt", stream);
    EXPECT_EQ(stream.Bytes(), "from the odd server") << user;
    EXPECT_EQ(ftp_.Size("nothing-here"), -1);
    ftp_.Disconnect();
  }
}

TEST_F(OddServer, A426DuringTheTransferFailsItRatherThanTruncating) {
  Login("plain");
  TMemoryStream stream;
  try {
    ftp_.Get("cut.bin", stream);
    FAIL() << "a cut transfer passed as complete";
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 426);
  }
  EXPECT_EQ(ftp_.Size("file.txt"), 19);
}

TEST_F(OddServer, APassiveReplyWithAFieldOutOfRangeIsAProtocolError) {
  Login("badpasv");
  TMemoryStream stream;
  try {
    ftp_.Get("file.txt", stream);
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 227);
  }
  EXPECT_EQ(ftp_.Size("file.txt"), 19);
}

// Aborts from another thread while Get runs, at the given point.
std::thread AbortLater(TNetFTP& ftp, std::chrono::milliseconds delay) {
  return std::thread([&ftp, delay] {
    std::this_thread::sleep_for(delay);
    ftp.Abort();
  });
}

TEST_F(OddServer, AnAbortDuringThePassiveExchangeIsKeptAndTheSessionSettlesLater) {
  Login("slowpasv");
  TMemoryStream stream;
  auto start = std::chrono::steady_clock::now();
  std::thread aborter = AbortLater(ftp_, std::chrono::milliseconds(200));
  EXPECT_THROW(ftp_.Get("file.txt", stream), ENetFTPTransferAborted);
  aborter.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(stream.Size(), 0);
  // The late PASV reply is read before the next command.
  EXPECT_EQ(ftp_.Size("file.txt"), 19);
}

TEST_F(OddServer, AServerThatNeverAnswersAborIsLeftBehind) {
  Login("noabor");
  ftp_.AbortReplyTimeout = 500;
  TMemoryStream stream;
  auto start = std::chrono::steady_clock::now();
  std::thread aborter = AbortLater(ftp_, std::chrono::milliseconds(300));
  EXPECT_THROW(ftp_.Get("slow.bin", stream), ENetFTPTransferAborted);
  aborter.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_GT(stream.Size(), 0);
  EXPECT_THROW((void)ftp_.Size("file.txt"), ENetReadTimeout);
  EXPECT_FALSE(ftp_.Connected());
}

}  // namespace
}  // namespace lark
