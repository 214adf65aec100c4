#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/core/object.h"
#include "platform/core/synchronize.h"

namespace lark {

// The class library's worker thread: derive, override Execute, Start.
//
// A thread is created suspended: C++ cannot run the derived Execute before
// the derived constructor has finished, so "created running" is construction
// followed by Start(). When Execute returns (or throws: the exception is kept
// in FatalException), OnTerminate runs on the GUI thread through Synchronize,
// and a FreeOnTerminate thread then deletes itself on its own thread.
//
// Suspend and Resume are cooperative, as POSIX threads cannot be stopped from
// outside: a suspended thread stops at its next check of Terminated() or its
// next Synchronize and waits there until resumed or terminated. Terminate
// sets the flag and wakes a suspended thread so that it can finish. A thread
// terminated before it begins skips Execute; a FreeOnTerminate thread that
// was never started is started by Terminate, so that it frees itself.
//
// Target names the object the thread works for (the control it draws on, the
// owner of its OnTerminate handler): once that is destroyed, the thread's
// synchronized calls and its OnTerminate are dropped.
//
// Delete a thread that does not free itself only once it has finished
// (WaitFor): the destructor of TThread still ends and joins a running
// thread, but by then the derived class's members are gone.
class TThread : public TObject {
 public:
  TThread() = default;
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts a thread that never ran, or resumes a suspended one.
  void Start() { Resume(); }
  void Resume();
  void Suspend();
  [[nodiscard]] bool Suspended() const;

  void Terminate();
  // Waits until Execute has returned and OnTerminate has run; returns
  // ReturnValue. On the GUI thread the synchronize queue is drained while
  // waiting. Raises EThread for a thread that never started, a
  // FreeOnTerminate thread, or a wait of a thread for itself.
  int WaitFor();
  [[nodiscard]] bool Finished() const;

  [[nodiscard]] bool FreeOnTerminate() const { return free_on_terminate_; }
  void SetFreeOnTerminate(bool free) { free_on_terminate_ = free; }
  [[nodiscard]] int ReturnValue() const { return return_value_; }
  [[nodiscard]] std::exception_ptr FatalException() const { return fatal_exception_; }

  SyncToken Target;
  std::function<void(TObject* sender)> OnTerminate;

 protected:
  virtual void Execute() = 0;
  // Read by Execute between steps; waits here while the thread is suspended.
  [[nodiscard]] bool Terminated();
  // Runs method on the GUI thread (see synchronize.h), aimed at Target.
  void Synchronize(std::function<void()> method);
  void SetReturnValue(int value) { return_value_ = value; }

 private:
  void Run();
  void StartLocked();
  void PauseWhileSuspended();
  void WaitUntilFinished();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
  bool started_ = false;
  bool suspended_ = false;
  bool finished_ = false;
  std::atomic<bool> terminated_ = false;
  bool free_on_terminate_ = false;
  int return_value_ = 0;
  std::exception_ptr fatal_exception_;
};

}  // namespace lark
