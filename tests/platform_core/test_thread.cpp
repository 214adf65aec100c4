#include "platform/core/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/exception.h"
#include "platform/core/synchronize.h"

namespace lark {
namespace {

// Drains the synchronize queue until done() holds; false after 10 s.
bool DrainUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    CheckSynchronize();
    WaitForSynchronize(5);
  }
  return true;
}

// A thread whose Execute is a function given by the test.
class LambdaThread : public TThread {
 public:
  explicit LambdaThread(std::function<void(LambdaThread&)> body, std::atomic<int>* deleted = nullptr)
      : body_(std::move(body)), deleted_(deleted) {}
  ~LambdaThread() override {
    if (deleted_) ++*deleted_;
  }
  using TThread::SetReturnValue;
  using TThread::Synchronize;
  using TThread::Terminated;

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(LambdaThread&)> body_;
  std::atomic<int>* deleted_;
};

// Counts wake-ups of the GUI loop while a test runs.
class WakeUpCounter {
 public:
  WakeUpCounter() {
    SetSynchronizeWakeUp([this] { ++count; });
  }
  ~WakeUpCounter() { SetSynchronizeWakeUp(nullptr); }
  std::atomic<int> count = 0;
};

TEST(Synchronize, OnTheMainThreadRunsAtOnce) {
  ASSERT_TRUE(IsMainThread());
  bool ran = false;
  Synchronize([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(CheckSynchronize());  // nothing was queued
}

TEST(Synchronize, AWorkerWaitsUntilTheMainThreadDrains) {
  WakeUpCounter wake_ups;
  bool ran_on_main = false;
  std::atomic<bool> returned = false;
  LambdaThread thread([&](LambdaThread& self) {
    self.Synchronize([&] { ran_on_main = IsMainThread(); });
    returned = true;
  });
  thread.Start();
  ASSERT_TRUE(DrainUntil([&] { return wake_ups.count > 0 || returned; }));
  EXPECT_EQ(wake_ups.count, 1);  // the GUI loop was woken for the call
  ASSERT_TRUE(DrainUntil([&] { return returned.load(); }));
  EXPECT_TRUE(ran_on_main);
  thread.WaitFor();
}

TEST(Synchronize, CallsFromSeveralThreadsAllRunOnTheMainThreadInTurn) {
  constexpr int kThreads = 6, kCalls = 300;
  int counter = 0;  // plain int: only the main thread may touch it
  std::atomic<int> off_main = 0;
  std::vector<std::unique_ptr<LambdaThread>> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.push_back(std::make_unique<LambdaThread>([&](LambdaThread& self) {
      for (int i = 0; i < kCalls; ++i) {
        self.Synchronize([&] {
          if (!IsMainThread()) ++off_main;
          ++counter;
        });
      }
    }));
  }
  for (auto& thread : threads) thread->Start();
  for (auto& thread : threads) thread->WaitFor();  // drains while it waits
  EXPECT_EQ(counter, kThreads * kCalls);
  EXPECT_EQ(off_main, 0);
}

TEST(Synchronize, ACallAimedAtADestroyedObjectIsDropped) {
  WakeUpCounter wake_ups;
  auto target = std::make_unique<SyncTarget>();
  bool ran = false;
  std::atomic<bool> returned = false;
  LambdaThread thread([&](LambdaThread& self) {
    self.Synchronize([&] { ran = true; });
    returned = true;
  });
  thread.Target = target->Token();
  thread.Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (wake_ups.count == 0 && std::chrono::steady_clock::now() < deadline) Sleep(1);
  ASSERT_EQ(wake_ups.count, 1);  // queued, not yet run
  target.reset();                // the object goes before the GUI loop gets to the call
  EXPECT_TRUE(CheckSynchronize());
  thread.WaitFor();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(returned);  // the worker was released all the same
}

TEST(Synchronize, ExceptionsReachTheWorkerThatAsked) {
  std::string caught;
  LambdaThread thread([&](LambdaThread& self) {
    try {
      self.Synchronize([] { throw EConvertError("bad value"); });
    } catch (const EConvertError& e) {
      caught = e.Message;
    }
  });
  thread.Start();
  thread.WaitFor();
  EXPECT_EQ(caught, "bad value");
}

TEST(Synchronize, OnlyTheMainThreadDrains) {
  bool raised = false;
  LambdaThread thread([&](LambdaThread&) {
    try {
      CheckSynchronize();
    } catch (const EThread&) {
      raised = true;
    }
  });
  thread.Start();
  thread.WaitFor();
  EXPECT_TRUE(raised);
}

TEST(Thread, OnTerminateRunsOnTheMainThreadAndFreeOnTerminateDeletes) {
  std::atomic<int> deleted = 0;
  std::atomic<bool> executed = false;
  bool terminate_on_main = false;
  TObject* sender = nullptr;
  auto* thread = new LambdaThread([&](LambdaThread&) { executed = true; }, &deleted);
  thread->SetFreeOnTerminate(true);
  thread->OnTerminate = [&](TObject* s) {
    terminate_on_main = IsMainThread();
    sender = s;
  };
  EXPECT_THROW(thread->WaitFor(), EThread);  // never started
  thread->Start();
  ASSERT_TRUE(DrainUntil([&] { return deleted == 1; }));
  EXPECT_TRUE(executed);
  EXPECT_TRUE(terminate_on_main);
  EXPECT_EQ(sender, thread);
}

TEST(Thread, TerminatingAnUnstartedSelfFreeingThreadEndsItWithoutExecute) {
  std::atomic<int> deleted = 0;
  std::atomic<bool> executed = false;
  auto* thread = new LambdaThread([&](LambdaThread&) { executed = true; }, &deleted);
  thread->SetFreeOnTerminate(true);
  thread->Terminate();
  ASSERT_TRUE(DrainUntil([&] { return deleted == 1; }));
  EXPECT_FALSE(executed);
}

TEST(Thread, OnTerminateOfADestroyedOwnerIsDropped) {
  auto owner = std::make_unique<SyncTarget>();
  bool called = false;
  LambdaThread thread([&](LambdaThread&) {});
  thread.Target = owner->Token();
  thread.OnTerminate = [&](TObject*) { called = true; };
  owner.reset();
  thread.Start();
  thread.WaitFor();
  EXPECT_FALSE(called);
}

TEST(Thread, ExecuteFailuresAreKeptAndTheReturnValueComesBack) {
  LambdaThread failing([](LambdaThread&) { throw std::runtime_error("boom"); });
  failing.Start();
  failing.WaitFor();
  ASSERT_TRUE(failing.FatalException());
  EXPECT_THROW(std::rethrow_exception(failing.FatalException()), std::runtime_error);

  LambdaThread returning([](LambdaThread& self) { self.SetReturnValue(42); });
  returning.Start();
  EXPECT_EQ(returning.WaitFor(), 42);
  EXPECT_TRUE(returning.Finished());
}

TEST(Thread, SuspendStopsTheWorkerAtItsNextCheckAndTerminateWakesIt) {
  std::atomic<long> steps = 0;
  LambdaThread thread([&](LambdaThread& self) {
    while (!self.Terminated()) ++steps;
    self.SetReturnValue(7);
  });
  EXPECT_TRUE(thread.Suspended());  // created suspended
  thread.Start();
  ASSERT_TRUE(DrainUntil([&] { return steps > 100; }));
  thread.Suspend();
  EXPECT_TRUE(thread.Suspended());
  const long at_suspend = steps;
  Sleep(30);
  EXPECT_LE(steps, at_suspend + 1);  // at most the step it was in
  thread.Resume();
  EXPECT_FALSE(thread.Suspended());
  ASSERT_TRUE(DrainUntil([&] { return steps > at_suspend + 100; }));
  thread.Suspend();
  thread.Terminate();  // a suspended thread must still be able to end
  EXPECT_EQ(thread.WaitFor(), 7);
}

// Uses nothing of its own in Execute, so it may be destroyed while running.
std::atomic<bool> spinner_running = false;
std::atomic<bool> spinner_ended = false;
class Spinner : public TThread {
 protected:
  void Execute() override {
    spinner_running = true;
    while (!Terminated()) Sleep(1);
    spinner_ended = true;
  }
};

TEST(Thread, DestroyingARunningThreadEndsAndJoinsIt) {
  spinner_running = false;
  spinner_ended = false;
  {
    Spinner spinner;
    spinner.Start();
    // Execute must have begun, or the destructor's Terminate would skip it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!spinner_running && std::chrono::steady_clock::now() < deadline) Sleep(1);
  }
  EXPECT_TRUE(spinner_ended);
}

}  // namespace
}  // namespace lark
