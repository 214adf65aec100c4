// The busy gauge: its worker animates through synchronized steps while the
// GUI thread pumps messages.

#include "controls/navigator_gauge.h"

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using Clock = std::chrono::steady_clock;
constexpr TColor kFore = RGB(200, 0, 0);
constexpr TColor kBack = RGB(0, 0, 200);
constexpr std::uint32_t kForePixel = 0xC80000;
constexpr std::uint32_t kBackPixel = 0x0000C8;

int ThreadCount() {
  int count = 0;
  DIR* tasks = ::opendir("/proc/self/task");
  while (dirent* entry = ::readdir(tasks)) count += entry->d_name[0] != '.';
  ::closedir(tasks);
  return count;
}


class Gauge : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form = std::make_unique<RecordingForm>(nullptr);
    form->SetClientSize(120, 40);
    gauge = new TVVNavigatorGauge(form.get());
    gauge->SetParent(form.get());
    gauge->SetBounds(10, 10, 75, 10);
    gauge->SetForeColor(kFore);
    gauge->SetBackColor(kBack);
    gauge->SetDelay(2);
    form->Show();
  }
  // Pumps as a blocking fetch does: messages, then a short wait.
  void Pump(std::chrono::milliseconds how_long) {
    const auto end = Clock::now() + how_long;
    while (Clock::now() < end) {
      Drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Drain();
  }
  // The gauge's row as shown: one pixel per column.
  std::vector<std::uint32_t> Row() {
    std::vector<std::uint32_t> row;
    for (int x = 0; x < 75; ++x) row.push_back(test_driver::PixelAt(form.get(), 10 + x, 15));
    return row;
  }
  // Pumps until the block shows; a loaded machine may take a while to run
  // the worker's first steps.
  bool BlockShowsWithin(std::chrono::milliseconds how_long) {
    const auto end = Clock::now() + how_long;
    do {
      Pump(std::chrono::milliseconds(10));
      if (LeadingEdge(Row()) >= 0) return true;
    } while (Clock::now() < end);
    return false;
  }
  // The column of the block's leading edge, -1 when none shows.
  static int LeadingEdge(const std::vector<std::uint32_t>& row) {
    for (int x = 0; x < static_cast<int>(row.size()); ++x) {
      if (row[x] == kForePixel) return x;
    }
    return -1;
  }

  std::unique_ptr<RecordingForm> form;
  TVVNavigatorGauge* gauge = nullptr;
};

TEST_F(Gauge, TheBlockMovesAndTurnsAtTheEdgesWithItsLeadingEdgeInForeColor) {
  gauge->SetActive(true);
  int previous = -1;
  int direction = 0;
  int turns = 0;
  int leftmost = 75;
  int rightmost = -1;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while ((turns < 2 || leftmost > 3 || rightmost < 71) && Clock::now() < deadline) {
    Pump(std::chrono::milliseconds(10));
    const std::vector<std::uint32_t> row = Row();
    const int edge = LeadingEdge(row);
    if (edge < 0 || edge == previous) continue;
    // The form's first paint may land after the gauge laid its background, so
    // only from the first turn on has every column of the track been redrawn.
    // Then the leading edge has the background on one side, the gradient behind.
    const bool clear_right = edge + 1 >= 75 || row[edge + 1] == kBackPixel;
    const bool clear_left = edge == 0 || row[edge - 1] == kBackPixel;
    if (turns > 0) {
      EXPECT_TRUE(clear_right || clear_left) << edge;
    }
    leftmost = std::min(leftmost, edge);
    rightmost = std::max(rightmost, edge);
    const int now = edge > previous ? 1 : -1;
    // Away from the ends no turn fits between two samples (a sample spans a
    // few steps): the edge leads, so the background lies ahead of it.
    if (turns > 0 && now == direction && edge > 8 && edge < 66) {
      EXPECT_EQ(row[edge + now], kBackPixel) << edge;
    }
    if (previous >= 0 && direction != 0 && now != direction) ++turns;
    if (previous >= 0) direction = now;
    previous = edge;
  }
  EXPECT_GE(turns, 2);
  EXPECT_LE(leftmost, 3);
  EXPECT_GE(rightmost, 71);
}

TEST_F(Gauge, ABusyGuiThreadDelaysItAndActiveOffStopsItWithinAStep) {
  gauge->SetActive(true);
  ASSERT_TRUE(BlockShowsWithin(std::chrono::seconds(5)));
  const std::vector<std::uint32_t> before = Row();
  std::this_thread::sleep_for(std::chrono::milliseconds(150));  // busy: no messages pumped
  Drain();  // the step that was waiting, and any the worker adds meanwhile
  // Unblocked at Delay 2 the block would have crossed the track in 150 ms;
  // a loaded machine may let a few steps in while the queue drains.
  const int moved = std::abs(LeadingEdge(Row()) - LeadingEdge(before));
  EXPECT_LE(moved, 5);

  gauge->SetActive(false);
  Pump(std::chrono::milliseconds(30));
  const std::vector<std::uint32_t> stopped = Row();
  Pump(std::chrono::milliseconds(100));
  EXPECT_EQ(Row(), stopped);
}

TEST_F(Gauge, HidingDeactivatesAndShowingRestores) {
  gauge->SetActive(true);
  gauge->SetVisible(false);
  EXPECT_FALSE(gauge->Active());
  gauge->SetVisible(true);
  EXPECT_TRUE(gauge->Active());
  EXPECT_EQ(gauge->Width(), 75);
  EXPECT_TRUE(BlockShowsWithin(std::chrono::seconds(5)));
}

TEST_F(Gauge, WithoutDelayMessagesKeepFlowing) {
  gauge->SetDelay(0);
  gauge->SetActive(true);
  Pump(std::chrono::milliseconds(20));
  for (int i = 0; i < 20; ++i) {
    PostMessage(form.get(), WM_USER + 1);
    Drain();  // returns: the worker leaves the queue empty between steps
  }
  EXPECT_EQ(form->received.size(), 20u);
}

TEST_F(Gauge, SettingsAreClamped) {
  gauge->SetFillRatio(1.7);
  EXPECT_EQ(gauge->FillRatio(), 1.0);
  gauge->SetFillRatio(-0.2);
  EXPECT_EQ(gauge->FillRatio(), 0.0);
  gauge->SetGradientColorCount(0);
  EXPECT_EQ(gauge->GradientColorCount(), 1);
  gauge->SetGradientColorCount(300);
  EXPECT_EQ(gauge->GradientColorCount(), 255);
  // An empty block: only the trailing line moves, over the background.
  gauge->SetFillRatio(0);
  gauge->SetActive(true);
  Pump(std::chrono::milliseconds(40));
  EXPECT_EQ(LeadingEdge(Row()), -1);
}

// The sanitizer build checks that no step reaches a freed gauge.
TEST_F(Gauge, CreatedAndDestroyedAHundredTimesLeavesNoThread) {
  const int threads = ThreadCount();
  for (int i = 0; i < 100; ++i) {
    auto* cycled = new TVVNavigatorGauge(form.get());
    cycled->SetParent(form.get());
    cycled->SetDelay(i % 3);
    cycled->SetActive(i % 4 != 0);
    if (i % 2 == 0) Drain();
    if (i % 5 == 0) cycled->SetActive(false);
    delete cycled;
  }
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (ThreadCount() > threads && Clock::now() < deadline) Pump(std::chrono::milliseconds(5));
  EXPECT_LE(ThreadCount(), threads);
}

constexpr int kAnimatedExit = 3;  // not a skipped or failed test's status

// Run by the next test in a child process: the program ends while its
// gauge animates, its window still open.
TEST_F(Gauge, ChildExitsWhileTheGaugeRuns) {
  if (!std::getenv("LARK_GAUGE_EXIT")) GTEST_SKIP() << "run by TheProgramEndsCleanlyWhileAGaugeRuns";
  gauge->SetActive(true);
  ASSERT_TRUE(BlockShowsWithin(std::chrono::seconds(5)));
  std::exit(kAnimatedExit);
}

TEST(GaugeExit, TheProgramEndsCleanlyWhileAGaugeRuns) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("LARK_GAUGE_EXIT", "1", 1);
    ::execl("/proc/self/exe", "test_controls", "--gtest_filter=Gauge.ChildExitsWhileTheGaugeRuns",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      FAIL() << "the program did not end";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), kAnimatedExit);
}

}  // namespace
}  // namespace lark
