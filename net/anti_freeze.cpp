#include "net/anti_freeze.h"

#include <vector>

#include "net/socket_stack.h"
#include "platform/core/message_pump.h"
#include "platform/core/synchronize.h"

namespace lark {

std::atomic<TNetAntiFreezeBase*> GRegisteredAntiFreeze{nullptr};

namespace {

thread_local int busyDepth = 0;
thread_local std::vector<std::function<void()>> pendingReleases;

void RunPendingReleases() {
  // A release may start a network call of its own, which queues afresh.
  while (!pendingReleases.empty() && busyDepth == 0) {
    std::vector<std::function<void()>> batch;
    batch.swap(pendingReleases);
    for (auto& release : batch) release();
  }
}

}  // namespace

TNetAntiFreezeBase::TNetAntiFreezeBase() {
  GRegisteredAntiFreeze = this;
  SetNetWaitHook([](bool idle) { ProcessHook(idle); });
}

TNetAntiFreezeBase::~TNetAntiFreezeBase() {
  TNetAntiFreezeBase* self = this;
  if (GRegisteredAntiFreeze.compare_exchange_strong(self, nullptr)) SetNetWaitHook(nullptr);
}

void TNetAntiFreezeBase::ProcessHook(bool idle, bool force) {
  TNetAntiFreezeBase* antiFreeze = GRegisteredAntiFreeze;
  if (antiFreeze == nullptr || !antiFreeze->Active || !IsMainThread()) return;
  if (antiFreeze->OnlyWhenIdle && !idle && !force) return;
  auto now = std::chrono::steady_clock::now();
  if (idle && !force && now - antiFreeze->lastTurn_ < std::chrono::milliseconds(antiFreeze->IdleTimeOut)) return;
  antiFreeze->lastTurn_ = now;
  // A message run here may free objects: what it frees through
  // ReleaseWhenIdle waits until the network call that waits here returns.
  TNetBusyGuard busy;
  antiFreeze->Process();
}

void TNetAntiFreeze::Process() {
  if (ApplicationHasPriority) {
    ProcessPendingMessages();
  } else {
    ProcessOnePendingMessage();
  }
}

TNetBusyGuard::TNetBusyGuard() { ++busyDepth; }

TNetBusyGuard::~TNetBusyGuard() {
  if (--busyDepth == 0) RunPendingReleases();
}

bool NetworkBusy() { return busyDepth > 0; }

void ReleaseWhenIdle(std::function<void()> release) {
  if (busyDepth == 0) {
    release();
    return;
  }
  pendingReleases.push_back(std::move(release));
}

}  // namespace lark
