#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "net/anti_freeze.h"
#include "net/ftp_client.h"
#include "net/http_client.h"
#include "net/net_exception.h"
#include "net/openssl_intercept.h"
#include "platform/core/stream.h"
#include "platform/windows/timer.h"
#include "tests/net/net_test_support.h"
#include "tests/net_ftp/ftp_test_support.h"
#include "tests/net_tls/tls_test_support.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using Clock = std::chrono::steady_clock;
using test::ScriptedPeer;

const std::string kAnswer = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nslow";

// Answers after delay, or sooner when the client goes away.
std::function<void(int)> SlowAnswer(std::chrono::milliseconds delay) {
  return [delay](int fd) {
    ScriptedPeer::ReadHead(fd);
    auto until = Clock::now() + delay;
    while (Clock::now() < until) {
      char c;
      if (::recv(fd, &c, 1, MSG_DONTWAIT) == 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ScriptedPeer::SendAll(fd, kAnswer);
  };
}

std::string Url(const ScriptedPeer& peer) { return "http://127.0.0.1:" + std::to_string(peer.Port()) + "/"; }

// A client that tells when it is freed.
class WatchedHTTP : public TNetHTTP {
 public:
  explicit WatchedHTTP(bool& freed) : freed_(freed) {}
  ~WatchedHTTP() override { freed_ = true; }

 private:
  bool& freed_;
};

class AntiFreeze : public WindowTest {
 protected:
  RecordingForm form_{nullptr};
  TNetAntiFreeze antiFreeze_;
};

TEST_F(AntiFreeze, TimersAndPostedMessagesRunDuringASlowRead) {
  ScriptedPeer peer(SlowAnswer(std::chrono::milliseconds(1200)));
  TTimer timer(nullptr);
  timer.SetInterval(50);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  bool postedRanDuringRead = false;
  TNetHTTP http;
  form_.answers[WM_USER + 1] = [&](TMessage&) { postedRanDuringRead = NetworkBusy(); };
  PostMessage(&form_, WM_USER + 1);
  TMemoryStream body;
  http.Get(Url(peer), &body);
  EXPECT_EQ(body.Bytes(), "slow");
  EXPECT_TRUE(postedRanDuringRead);
  // One turn per IdleTimeOut (250 ms) during 1.2 s, each running the ticks due.
  EXPECT_GE(ticks, 3);
}

TEST_F(AntiFreeze, NotOnlyWhenIdleMessagesRunAfterSendsAndReadsThatFoundData) {
  ScriptedPeer peer([](int fd) {
    ScriptedPeer::ReadHead(fd);
    ScriptedPeer::SendAll(fd, kAnswer);
  });
  antiFreeze_.OnlyWhenIdle = false;
  bool ranDuringRequest = false;
  form_.answers[WM_USER + 4] = [&](TMessage&) { ranDuringRequest = NetworkBusy(); };
  PostMessage(&form_, WM_USER + 4);
  TNetHTTP http;
  TMemoryStream body;
  http.Get(Url(peer), &body);
  EXPECT_TRUE(ranDuringRequest);
}

TEST_F(AntiFreeze, WithoutApplicationPriorityATurnRunsOneMessage) {
  for (int i = 0; i < 3; ++i) PostMessage(&form_, WM_USER + 5);
  antiFreeze_.ApplicationHasPriority = false;
  TNetAntiFreezeBase::ProcessHook(false, true);
  EXPECT_EQ(form_.received.size(), 1u);
  antiFreeze_.ApplicationHasPriority = true;
  TNetAntiFreezeBase::ProcessHook(false, true);
  EXPECT_EQ(form_.received.size(), 3u);
}

TEST_F(AntiFreeze, InactiveOrOnWorkerThreadsNothingRuns) {
  ScriptedPeer peer(SlowAnswer(std::chrono::milliseconds(400)), 2);
  form_.answers[WM_USER + 2] = [](TMessage&) {};
  antiFreeze_.Active = false;
  PostMessage(&form_, WM_USER + 2);
  TNetHTTP http;
  TMemoryStream body;
  http.Get(Url(peer), &body);
  EXPECT_TRUE(form_.received.empty());
  antiFreeze_.Active = true;
  std::thread worker([&] {
    TNetHTTP other;
    TMemoryStream otherBody;
    other.Get(Url(peer), &otherBody);
  });
  worker.join();
  EXPECT_TRUE(form_.received.empty());
  Application()->ProcessMessages();
  EXPECT_EQ(form_.received.size(), 1u);
}

TEST_F(AntiFreeze, StopDuringAReadAbortsItPromptly) {
  ScriptedPeer peer(SlowAnswer(std::chrono::seconds(20)));
  TNetHTTP http;
  Clock::time_point stopped{};
  TTimer stop(nullptr);
  stop.SetInterval(300);
  stop.OnTimer = [&](TObject*) {
    stop.SetEnabled(false);
    stopped = Clock::now();
    http.Disconnect();  // what the Stop button does
  };
  TMemoryStream body;
  EXPECT_THROW(http.Get(Url(peer), &body), ENetException);
  ASSERT_NE(stopped, Clock::time_point{});
  EXPECT_LT(Clock::now() - stopped, std::chrono::seconds(2));
}

// The TLS state is freed while its read waits: only after the read returns.
TEST_F(AntiFreeze, StopDuringATLSReadAbortsIt) {
  const auto& certificates = test::Certificates();
  test::TlsScriptedPeer peer(certificates.goodCert, certificates.goodKey, [](TNetConnectionInterceptOpenSSL& tls) {
    test::TlsScriptedPeer::ReadHead(tls);
    test::TlsScriptedPeer::SendAll(tls, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nsome");
    char c;
    tls.Receive(&c, 1);  // until the client goes
  });
  TNetConnectionInterceptOpenSSL tls;
  tls.SSLOptions.RootCertFile = certificates.caFile;
  TNetHTTP http;
  http.SetIntercept(&tls);
  TTimer stop(nullptr);
  stop.SetInterval(300);
  stop.OnTimer = [&](TObject*) {
    stop.SetEnabled(false);
    http.Disconnect();
  };
  TMemoryStream body;
  EXPECT_THROW(http.Get("https://localhost:" + std::to_string(peer.Port()) + "/", &body), ENetException);
  EXPECT_FALSE(stop.Enabled());
  http.SetIntercept(nullptr);
}

TEST_F(AntiFreeze, AConnectionReleasedDuringItsWaitIsFreedWhenTheWaitReturns) {
  ScriptedPeer peer(SlowAnswer(std::chrono::milliseconds(800)));
  bool freed = false;
  auto http = std::make_unique<WatchedHTTP>(freed);
  WatchedHTTP* raw = http.get();
  bool freedInsideHandler = true;
  form_.answers[WM_USER + 3] = [&](TMessage&) {
    DeferredRelease(std::move(http));
    freedInsideHandler = freed;
  };
  PostMessage(&form_, WM_USER + 3);
  TMemoryStream body;
  raw->Get(Url(peer), &body);  // the client's own guard keeps it alive until Get returns
  EXPECT_FALSE(freedInsideHandler);
  EXPECT_TRUE(freed);
  EXPECT_EQ(body.Bytes(), "slow");
}

TEST_F(AntiFreeze, OutsideANetworkCallAReleaseIsImmediate) {
  bool freed = false;
  DeferredRelease(std::make_unique<WatchedHTTP>(freed));
  EXPECT_TRUE(freed);
}

// What the Stop button does, from a window timer while the GUI thread waits
// in the network call: the call must end within half a second.
class StopFromAWindowTimer : public AntiFreeze {
 protected:
  void ExpectPromptEnd(const std::function<void()>& operation, const std::function<void()>& stop) {
    Clock::time_point stopped{};
    TTimer timer(nullptr);
    timer.SetInterval(300);
    timer.OnTimer = [&](TObject*) {
      timer.SetEnabled(false);
      stopped = Clock::now();
      stop();
    };
    EXPECT_THROW(operation(), ENetTransferAborted);
    ASSERT_NE(stopped, Clock::time_point{});
    EXPECT_LT(Clock::now() - stopped, std::chrono::milliseconds(500));
  }
  void LogIn(const std::string& user) {
    ftpServer_.WriteFile("slow.bin", std::string(4 * 1024 * 1024, 's'));
    ftpServer_.Start();
    ASSERT_TRUE(ftpServer_.Started()) << ftpServer_.Error();
    ftp_.Host = "127.0.0.1";
    ftp_.Port = ftpServer_.Port();
    ftp_.User = user;
    ftp_.Password = "pw";
    ftp_.Passive = true;
    ftp_.Connect();
  }

  test::OddFtpPeer ftpServer_;
  TNetFTP ftp_;
};

TEST_F(StopFromAWindowTimer, EndsAStalledUpload) {
  // Takes the head, then reads nothing until the test is over (the client's
  // close cannot reach it past the unread upload).
  std::atomic<bool> over = false;
  ScriptedPeer peer([&over](int fd) {
    ScriptedPeer::ReadHead(fd);
    while (!over) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  });
  TNetHTTP http;
  TMemoryStream upload;
  upload.SetSize(64 * 1024 * 1024);
  TMemoryStream body;
  ExpectPromptEnd([&] { http.Post(Url(peer), upload, &body); }, [&] { http.Disconnect(); });
  over = true;
}

TEST_F(StopFromAWindowTimer, EndsATLSHandshakeWithASilentPeer) {
  ScriptedPeer silent([](int fd) { (void)ScriptedPeer::ReadExactly(fd, 1 << 20); });
  TNetConnectionInterceptOpenSSL tls;
  tls.SSLOptions.RootCertFile = test::Certificates().caFile;
  TNetHTTP http;
  http.SetIntercept(&tls);
  TMemoryStream body;
  ExpectPromptEnd([&] { http.Get("https://127.0.0.1:" + std::to_string(silent.Port()) + "/", &body); },
                  [&] { http.Disconnect(); });
  http.SetIntercept(nullptr);
}

TEST_F(StopFromAWindowTimer, EndsTheFTPPassiveExchange) {
  LogIn("slowpasv");
  TMemoryStream stream;
  ExpectPromptEnd([&] { ftp_.Get("slow.bin", stream); }, [&] { ftp_.Abort(); });
}

TEST_F(StopFromAWindowTimer, EndsAnFTPTransferWhoseServerIgnoresAbor) {
  LogIn("noabor");
  TMemoryStream stream;
  ExpectPromptEnd([&] { ftp_.Get("slow.bin", stream); }, [&] { ftp_.Abort(); });
  EXPECT_GT(stream.Size(), 0);
}

TEST(AntiFreezeRegistration, TheNewestTakesOverAndAnOldOneLeavesItAlone) {
  auto first = std::make_unique<TNetAntiFreeze>();
  EXPECT_EQ(GRegisteredAntiFreeze.load(), first.get());
  auto second = std::make_unique<TNetAntiFreeze>();
  EXPECT_EQ(GRegisteredAntiFreeze.load(), second.get());
  first.reset();
  EXPECT_EQ(GRegisteredAntiFreeze.load(), second.get());
  second.reset();
  EXPECT_EQ(GRegisteredAntiFreeze.load(), nullptr);
}

}  // namespace
}  // namespace lark
