#include "platform/core/thread.h"

#include "platform/core/exception.h"

namespace lark {

TThread::~TThread() {
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();  // a FreeOnTerminate thread deleting itself
    return;
  }
  if (!thread_.joinable()) return;
  if (!Finished()) {
    Terminate();
    WaitUntilFinished();
  }
  thread_.join();
}

void TThread::StartLocked() {
  started_ = true;
  thread_ = std::thread([this] { Run(); });
}

void TThread::Resume() {
  std::lock_guard lock(mutex_);
  if (!started_) {
    StartLocked();
    return;
  }
  suspended_ = false;
  changed_.notify_all();
}

void TThread::Suspend() {
  std::lock_guard lock(mutex_);
  if (started_ && !finished_) suspended_ = true;
}

bool TThread::Suspended() const {
  std::lock_guard lock(mutex_);
  return suspended_ || !started_;
}

void TThread::Terminate() {
  terminated_ = true;
  std::lock_guard lock(mutex_);
  if (!started_ && free_on_terminate_) StartLocked();  // so that it frees itself
  changed_.notify_all();
}

bool TThread::Finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

int TThread::WaitFor() {
  {
    std::lock_guard lock(mutex_);
    if (!started_) throw EThread("Cannot wait for a thread that was never started");
    if (thread_.get_id() == std::this_thread::get_id()) throw EThread("A thread cannot wait for itself");
  }
  if (free_on_terminate_) throw EThread("Cannot wait for a thread that frees itself");
  WaitUntilFinished();
  return return_value_;
}

void TThread::WaitUntilFinished() {
  if (IsMainThread()) {
    // Drain as we wait: the thread may be synchronizing (its OnTerminate at
    // least) and would otherwise wait for us forever.
    while (!Finished()) {
      CheckSynchronize();
      WaitForSynchronize(50);
    }
  } else {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return finished_; });
  }
}

bool TThread::Terminated() {
  if (thread_.get_id() == std::this_thread::get_id()) PauseWhileSuspended();
  return terminated_;
}

void TThread::PauseWhileSuspended() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !suspended_ || terminated_; });
}

void TThread::Synchronize(std::function<void()> method) {
  if (thread_.get_id() == std::this_thread::get_id()) PauseWhileSuspended();
  lark::Synchronize(std::move(method), Target);
}

void TThread::Run() {
  { std::lock_guard wait_until_started(mutex_); }  // thread_ is assigned by now
  if (!terminated_) {
    try {
      Execute();
    } catch (...) {
      fatal_exception_ = std::current_exception();
    }
  }
  if (OnTerminate) {
    try {
      lark::Synchronize([this] { OnTerminate(this); }, Target);
    } catch (...) {
      if (!fatal_exception_) fatal_exception_ = std::current_exception();
    }
  }
  const bool free = free_on_terminate_;
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
  }
  NotifySynchronizeWaiters();
  if (free) delete this;
}

}  // namespace lark
