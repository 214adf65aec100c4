#pragma once

#include <functional>
#include <memory>

namespace lark {

// Hand-over of calls from worker threads to the GUI thread (the thread that
// started the program). A worker queues a call and blocks; the GUI thread runs
// queued calls in order whenever it drains the queue with CheckSynchronize:
// the window layer does that from its event loop, woken by the hook below;
// tests and tools without windows call it themselves; TThread::WaitFor on the
// GUI thread does it while it waits, so waiting for a worker that is
// synchronizing cannot deadlock.

class SyncTarget;

// A weak reference to the object a synchronized call works on. A call whose
// target has been destroyed by the time the GUI thread gets to it is dropped
// (the worker's Synchronize then returns without it having run). Targets are
// destroyed on the GUI thread, which also runs the calls, so a call never
// starts on an object that is going away. A default token has no target and
// never expires.
class SyncToken {
 public:
  SyncToken() = default;
  [[nodiscard]] bool Expired() const { return bound_ && life_.expired(); }

 private:
  friend class SyncTarget;
  explicit SyncToken(std::weak_ptr<void> life) : life_(std::move(life)), bound_(true) {}
  std::weak_ptr<void> life_;
  bool bound_ = false;
};

// Held as a member by any object that worker threads synchronize onto (a
// control a thread draws on, the owner of a thread's OnTerminate handler).
// Its tokens expire when it is destroyed. A copy is a new target.
class SyncTarget {
 public:
  SyncTarget() : life_(std::make_shared<char>()) {}
  SyncTarget(const SyncTarget&) : SyncTarget() {}
  SyncTarget& operator=(const SyncTarget&) { return *this; }
  [[nodiscard]] SyncToken Token() const { return SyncToken(life_); }

 private:
  std::shared_ptr<void> life_;
};

[[nodiscard]] bool IsMainThread();

// Runs method on the GUI thread and returns when it has run (or has been
// dropped because target expired). Called on the GUI thread it runs method
// at once. An exception thrown by method is raised again in the caller.
void Synchronize(std::function<void()> method, SyncToken target = {});

// Runs every call queued so far, in order; true when there was any. Only the
// GUI thread may drain the queue (EThread otherwise).
bool CheckSynchronize();

// Called, on the worker thread, each time a call is queued, so that the GUI
// half can wake its event loop (which then calls CheckSynchronize). Pass
// nullptr to remove it.
void SetSynchronizeWakeUp(std::function<void()> wake_up);

// Blocks the GUI thread until a call is queued, or a worker ends, or the time
// is up; used by waits that drain the queue as they go.
void WaitForSynchronize(int milliseconds);
// Wakes WaitForSynchronize (a worker that ends calls it).
void NotifySynchronizeWaiters();

}  // namespace lark
