#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/core/message_pump.h"
#include "platform/core/thread.h"
#include "platform/windows/timer.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Synchronized : public WindowTest {};

class Worker : public TThread {
 public:
  std::function<void()> call;
  std::atomic<bool> reached{false};

 protected:
  void Execute() override {
    reached = true;
    Synchronize(call);
  }
};

TEST_F(Synchronized, CallsRunInTheLoopAndThoseAimedAtAFreedFormAreDropped) {
  auto form = std::make_unique<RecordingForm>(nullptr);
  int ran = 0;
  Worker worker;
  worker.Target = form->Token();
  worker.call = [&] { ++ran; };
  form.reset();
  worker.Start();
  EXPECT_EQ(worker.WaitFor(), 0);
  EXPECT_EQ(ran, 0);

  auto live = std::make_unique<RecordingForm>(nullptr);
  Worker second;
  second.Target = live->Token();
  second.call = [&] { ++ran; };
  second.Start();
  // The loop runs the call; a timer keeps the wait bounded should a wake-up
  // go astray, so a failure shows as a failed check, not a hung test.
  TTimer heartbeat(nullptr);
  heartbeat.SetInterval(100);
  heartbeat.OnTimer = [](TObject*) {};
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (ran == 0 && std::chrono::steady_clock::now() < deadline) Application()->HandleMessage();
  EXPECT_EQ(ran, 1);
  second.WaitFor();
}

TEST_F(Synchronized, LongWorkPumpsThroughTheCoreHook) {
  RecordingForm form(nullptr);
  PostMessage(&form, WM_USER + 7);
  ProcessPendingMessages();  // what net/ and the search call while they work
  EXPECT_EQ(form.received, (std::vector<UINT>{WM_USER + 7}));
}

}  // namespace
}  // namespace lark
