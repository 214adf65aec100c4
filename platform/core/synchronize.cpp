#include "platform/core/synchronize.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/core/exception.h"

namespace lark {
namespace {

// Set during static initialisation, which runs on the thread that starts
// the program.
const std::thread::id kMainThread = std::this_thread::get_id();

// One queued call; the worker that queued it waits for done.
struct PendingCall {
  std::function<void()> method;
  SyncToken target;
  std::exception_ptr failure;
  bool done = false;
};

class SyncQueue {
 public:
  // Never destroyed: workers still blocked at exit must not wait on a
  // destroyed condition variable.
  static SyncQueue& Instance() {
    static auto* queue = new SyncQueue;
    return *queue;
  }

  void Run(std::function<void()> method, SyncToken target) {
    PendingCall call{std::move(method), std::move(target), nullptr, false};
    std::function<void()> wake_up;
    {
      std::lock_guard lock(mutex_);
      calls_.push_back(&call);
      wake_up = wake_up_;
    }
    queued_.notify_all();
    try {
      if (wake_up) wake_up();
    } catch (...) {
      // The call is queued and lives on this stack: leaving before the GUI
      // thread has taken it would leave the queue pointing at nothing. The
      // GUI loop drains regularly anyway, so a failed wake-up only delays it.
    }
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return call.done; });
    lock.unlock();
    if (call.failure) std::rethrow_exception(call.failure);
  }

  bool Drain() {
    bool ran = false;
    while (PendingCall* call = Pop()) {
      if (!call->target.Expired()) {
        try {
          call->method();
        } catch (...) {
          call->failure = std::current_exception();
        }
      }
      ran = true;
      {
        std::lock_guard lock(mutex_);
        call->done = true;
      }
      done_.notify_all();
    }
    return ran;
  }

  void SetWakeUp(std::function<void()> wake_up) {
    std::lock_guard lock(mutex_);
    wake_up_ = std::move(wake_up);
  }

  void Wait(int milliseconds) {
    std::unique_lock lock(mutex_);
    queued_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return !calls_.empty() || notified_; });
    notified_ = false;
  }

  void Notify() {
    {
      std::lock_guard lock(mutex_);
      notified_ = true;
    }
    queued_.notify_all();
  }

 private:
  PendingCall* Pop() {
    std::lock_guard lock(mutex_);
    if (calls_.empty()) return nullptr;
    PendingCall* call = calls_.front();
    calls_.pop_front();
    return call;
  }

  std::mutex mutex_;
  std::condition_variable queued_;  // a call was queued, or a waiter was notified
  std::condition_variable done_;    // some call finished
  std::deque<PendingCall*> calls_;  // each lives on its waiting worker's stack
  std::function<void()> wake_up_;
  bool notified_ = false;
};

}  // namespace

bool IsMainThread() { return std::this_thread::get_id() == kMainThread; }

void Synchronize(std::function<void()> method, SyncToken target) {
  if (IsMainThread()) {
    if (!target.Expired()) method();
    return;
  }
  SyncQueue::Instance().Run(std::move(method), std::move(target));
}

bool CheckSynchronize() {
  if (!IsMainThread()) throw EThread("CheckSynchronize called from a thread that is not the main thread");
  return SyncQueue::Instance().Drain();
}

void SetSynchronizeWakeUp(std::function<void()> wake_up) { SyncQueue::Instance().SetWakeUp(std::move(wake_up)); }

void WaitForSynchronize(int milliseconds) { SyncQueue::Instance().Wait(milliseconds); }

void NotifySynchronizeWaiters() { SyncQueue::Instance().Notify(); }

}  // namespace lark
