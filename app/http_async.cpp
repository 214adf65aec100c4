#include "app/http_async.h"

#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include "platform/core/synchronize.h"

namespace lark {
namespace {

class RunningFetches {
 public:
  // Never destroyed: fetches may end while static objects are destroyed.
  static RunningFetches& Instance() {
    static auto* fetches = new RunningFetches;
    static ExitGuard guard;  // made after the list, so destroyed first
    return *fetches;
  }

  void Add(THTTPAsync* fetch) {
    std::lock_guard lock(mutex_);
    fetches_.insert(fetch);
    ++alive_;
  }
  // The fetch begins to go: it can no longer be stopped.
  void Forget(THTTPAsync* fetch) {
    std::lock_guard lock(mutex_);
    fetches_.erase(fetch);
  }
  // The fetch's members are gone: nothing of it runs any more.
  void Gone() {
    std::lock_guard lock(mutex_);
    --alive_;
  }
  int Count() {
    std::lock_guard lock(mutex_);
    return alive_;
  }
  // A fetch in the list is alive: its destructor takes the lock to leave.
  void StopEach() {
    std::lock_guard lock(mutex_);
    for (THTTPAsync* fetch : fetches_) fetch->Stop();
  }

 private:
  struct ExitGuard {
    ~ExitGuard() { THTTPAsync::StopAll(kExitFetchWaitMs); }
  };

  std::mutex mutex_;
  std::set<THTTPAsync*> fetches_;
  int alive_ = 0;
};

}  // namespace

THTTPAsync::Registration::Registration(THTTPAsync* fetch) { RunningFetches::Instance().Add(fetch); }
THTTPAsync::Registration::~Registration() { RunningFetches::Instance().Gone(); }

THTTPAsync::THTTPAsync() : registration_(this) {
  SetFreeOnTerminate(true);
  Client.HandleRedirects = true;
  Client.ProtocolVersion = TNetHTTPProtocolVersion::pv1_0;
  tls_.SSLOptions.Method = TNetSSLVersion::sslvSSLv23;
  tls_.SSLOptions.Mode = TNetSSLMode::sslmClient;
  Client.SetIntercept(&tls_);
  Client.OnWork = [this](TObject*, TWorkMode, std::int64_t) {
    if (Terminated()) Client.Disconnect();
  };
}

THTTPAsync::~THTTPAsync() { RunningFetches::Instance().Forget(this); }

void THTTPAsync::Stop() {
  Terminate();
  Client.Disconnect();
}

void THTTPAsync::Execute() {
  if (Terminated()) {
    failed_ = true;
    return;
  }
  TBoundedStream target(Stream, MemoryLimit);
  Client.OnWorkBegin = [this, &target](TObject*, TWorkMode mode, std::int64_t countMax) {
    if (mode != TWorkMode::wmRead) return;
    target.CheckAnnounced(countMax);
    Stream.Reserve(countMax);  // within the limit now: one buffer, no growing copies
  };
  try {
    Client.Get(URL, &target);
  } catch (...) {
    failed_ = true;
    Client.Disconnect();
  }
  Client.OnWorkBegin = nullptr;
  if (Terminated()) failed_ = true;
  Stream.SetPosition(0);
}

bool THTTPAsync::StopAll(int timeoutMs) {
  RunningFetches& fetches = RunningFetches::Instance();
  fetches.StopEach();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (fetches.Count() > 0 && std::chrono::steady_clock::now() < deadline) {
    if (IsMainThread()) {
      CheckSynchronize();
      WaitForSynchronize(10);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  return fetches.Count() == 0;
}

int THTTPAsync::Running() { return RunningFetches::Instance().Count(); }

}  // namespace lark
