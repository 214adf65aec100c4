#pragma once

// Keeps the window alive while the GUI thread blocks in a network call: the
// socket layer's waits call the hook after every slice, and the one
// registered anti-freeze lets pending window messages run. Messages run
// inside a network call may free objects; the busy guard and the deferred
// release keep them from freeing the connection that is still waiting.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "platform/core/object.h"

namespace lark {

class TNetAntiFreezeBase : public TObject {
 public:
  // The newest anti-freeze takes over the process-wide reference.
  TNetAntiFreezeBase();
  // Clears the reference only when it still names this one.
  ~TNetAntiFreezeBase() override;
  TNetAntiFreezeBase(const TNetAntiFreezeBase&) = delete;
  TNetAntiFreezeBase& operator=(const TNetAntiFreezeBase&) = delete;

  virtual void Process() = 0;
  // The hook of the library's waiting points: idle means the wait found
  // nothing. Acts only on the main thread, with an anti-freeze registered
  // and Active, and (with OnlyWhenIdle) only when idle or forced. An idle
  // turn comes at most once per IdleTimeOut.
  static void ProcessHook(bool idle, bool force = false);

  bool Active = true;
  bool ApplicationHasPriority = true;
  int IdleTimeOut = 250;
  bool OnlyWhenIdle = true;

 private:
  std::chrono::steady_clock::time_point lastTurn_{};
};

class TNetAntiFreeze : public TNetAntiFreezeBase {
 public:
  // Runs the window messages that are pending, or only one of them when the
  // network has priority (ApplicationHasPriority false).
  void Process() override;
};

extern std::atomic<TNetAntiFreezeBase*> GRegisteredAntiFreeze;

// Marks a blocking network call of this thread. Guards nest; releases asked
// for meanwhile run when the outermost guard ends. The library takes one in
// each of its blocking entry points; the application may take its own around
// work that uses a connection before and after the call.
class TNetBusyGuard {
 public:
  TNetBusyGuard();
  ~TNetBusyGuard();
  TNetBusyGuard(const TNetBusyGuard&) = delete;
  TNetBusyGuard& operator=(const TNetBusyGuard&) = delete;
};

// Whether a blocking network call runs on this thread.
[[nodiscard]] bool NetworkBusy();

// Runs release now when no blocking network call runs on this thread, else
// when the outermost one returns. This is how the application frees a
// connection from a message handler (a Stop, a new navigation).
void ReleaseWhenIdle(std::function<void()> release);

template <typename T>
void DeferredRelease(std::unique_ptr<T> object) {
  ReleaseWhenIdle([raw = object.release()] { delete raw; });
}

}  // namespace lark
