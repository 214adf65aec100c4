#include <functional>

#include "platform/core/thread.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class WorkerPost : public WindowTest {};

// Runs one function on a real worker thread and waits for it.
class Worker : public TThread {
 public:
  explicit Worker(std::function<void()> work) : work_(std::move(work)) {}

 protected:
  void Execute() override { work_(); }

 private:
  std::function<void()> work_;
};

void OnWorker(std::function<void()> work) {
  Worker worker(std::move(work));
  worker.Start();
  worker.WaitFor();
}

TEST_F(WorkerPost, AWorkerNeverMakesAWindowAndAPostWithoutOneFails) {
  RecordingForm form(nullptr);
  bool posted = true;
  OnWorker([&] { posted = PostMessage(&form, WM_USER + 5); });
  EXPECT_FALSE(posted);
  EXPECT_FALSE(form.HandleAllocated());
  Application()->ProcessMessages();
  EXPECT_TRUE(form.received.empty());
  // The same post on the GUI thread makes the window and waits for it.
  EXPECT_TRUE(PostMessage(&form, WM_USER + 5));
  EXPECT_TRUE(form.HandleAllocated());
  Application()->ProcessMessages();
  EXPECT_EQ(form.received, (std::vector<UINT>{WM_USER + 5}));
}

TEST_F(WorkerPost, AWorkerReachesAnExistingWindowByControlOrHandle) {
  RecordingForm form(nullptr);
  HWND handle = form.Handle();
  bool byControl = false, byHandle = false;
  OnWorker([&] {
    byControl = PostMessage(&form, WM_USER + 6);
    byHandle = PostMessage(handle, WM_USER + 7);
  });
  EXPECT_TRUE(byControl);
  EXPECT_TRUE(byHandle);
  Application()->ProcessMessages();
  EXPECT_EQ(form.received, (std::vector<UINT>{WM_USER + 6, WM_USER + 7}));
}

}  // namespace
}  // namespace lark
