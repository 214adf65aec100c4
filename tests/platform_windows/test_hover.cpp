// The control under the pointer: enter and leave notes, the application's
// hint, and the hint window's timing.

#include <chrono>
#include <functional>
#include <thread>

#include "platform/windows/custom_control.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using Clock = std::chrono::steady_clock;

// Records the hover notes it hears into a list that outlives it.
class HoverProbe : public TGraphicControl {
 public:
  HoverProbe(TComponent* owner, std::string name, std::vector<std::string>& notes)
      : TGraphicControl(owner), name_(std::move(name)), notes_(notes) {}

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER) notes_.push_back(name_ + " enter");
    if (m.Msg == CM_MOUSELEAVE) notes_.push_back(name_ + " leave");
    TGraphicControl::WndProc(m);
  }

 private:
  std::string name_;
  std::vector<std::string>& notes_;
};

class Hover : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(200, 150, 300, 200);
    form->SetShowHint(true);
    left = Probe("left", 10, 10);
    right = Probe("right", 150, 10);
    bare = Probe("bare", 10, 120);
    left->Hint = "Back|Go back one page";
    right->Hint = "Forward|Go forward one page";
    Application()->OnHint = [this](TObject*) { longHints.push_back(Application()->Hint()); };
    form->Show();
    Drain();
  }
  void TearDown() override {
    form.reset();
    WindowTest::TearDown();
  }

  HoverProbe* Probe(const std::string& name, int x, int y) {
    auto* probe = new HoverProbe(form.get(), name, notes);
    probe->SetParent(form.get());
    probe->SetBounds(x, y, 100, 50);
    return probe;
  }
  void MoveOnto(TControl* control) {
    test_driver::MouseMove(form.get(), control->Left() + 5, control->Top() + 5);
    Drain();
  }
  // Runs the loop for a while (timers fire through it).
  static void RunFor(int milliseconds) {
    auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end) {
      Drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  // Runs the loop until `done` holds; how long that took, or -1 when it did
  // not within a generous limit.
  static int MillisecondsUntil(const std::function<bool()>& done) {
    auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(10)) {
      Drain();
      if (done()) return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
  }
  static bool Shows(const std::string& hint) { return test_driver::ShownHint() == hint; }

  std::unique_ptr<TForm> form;
  HoverProbe* left = nullptr;
  HoverProbe* right = nullptr;
  HoverProbe* bare = nullptr;
  std::vector<std::string> notes;
  std::vector<std::string> longHints;
};

// Timers are late rather than early, so "not before" leaves a margin below
// the pause and "shown" waits as long as it takes.
constexpr int kMargin = 150;

TEST_F(Hover, TheHintWaitsForThePauseThenHidesAfterTheHidePause) {
  EXPECT_EQ(Application()->HintPause, 500);
  EXPECT_EQ(Application()->HintShortPause, 50);
  EXPECT_EQ(Application()->HintHidePause, 2500);
  Application()->HintPause = 400;
  Application()->HintHidePause = 600;

  auto start = Clock::now();
  MoveOnto(left);
  // The long hint (status-bar text) changes at once.
  EXPECT_EQ(longHints, std::vector<std::string>{"Go back one page"});
  EXPECT_EQ(test_driver::ShownHint(), "");
  RunFor(400 - kMargin - 50);
  if (Clock::now() - start < std::chrono::milliseconds(400 - kMargin)) {
    EXPECT_EQ(test_driver::ShownHint(), "");
  }
  ASSERT_GE(MillisecondsUntil([] { return Shows("Back"); }), 0);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(400 - kMargin));

  auto shown = Clock::now();
  RunFor(600 - kMargin - 50);
  if (Clock::now() - shown < std::chrono::milliseconds(600 - kMargin)) {
    EXPECT_EQ(test_driver::ShownHint(), "Back");
  }
  ASSERT_GE(MillisecondsUntil([] { return Shows(""); }), 0);
  // Resting on the control does not bring it back.
  RunFor(600);
  EXPECT_EQ(test_driver::ShownHint(), "");
}

TEST_F(Hover, WhileHintsShowTheNextComesAfterTheShortPause) {
  Application()->HintPause = 1000;
  Application()->HintShortPause = 20;
  MoveOnto(left);
  ASSERT_GE(MillisecondsUntil([] { return Shows("Back"); }), 0);

  MoveOnto(right);
  EXPECT_EQ(test_driver::ShownHint(), "");  // the old hint goes at once
  int waited = MillisecondsUntil([] { return Shows("Forward"); });
  ASSERT_GE(waited, 0);
  EXPECT_LT(waited, 1000 - kMargin);
  EXPECT_EQ(longHints, (std::vector<std::string>{"Go back one page", "Go forward one page"}));

  // A control without a hint ends the run of hints: the full pause again.
  MoveOnto(bare);
  EXPECT_EQ(test_driver::ShownHint(), "");
  EXPECT_EQ(longHints.back(), "");
  auto start = Clock::now();
  MoveOnto(left);
  RunFor(1000 - kMargin - 100);
  if (Clock::now() - start < std::chrono::milliseconds(1000 - kMargin)) {
    EXPECT_EQ(test_driver::ShownHint(), "");
  }
  EXPECT_GE(MillisecondsUntil([] { return Shows("Back"); }), 0);
}

TEST_F(Hover, AClickHidesTheHintUntilThePointerRestsAgain) {
  Application()->HintPause = 0;
  MoveOnto(left);
  EXPECT_EQ(test_driver::ShownHint(), "Back");
  test_driver::MouseDown(left, TMouseButton::mbLeft, 5, 5);
  Drain();
  EXPECT_EQ(test_driver::ShownHint(), "");
  test_driver::MouseUp(left, TMouseButton::mbLeft, 5, 5);
  test_driver::MouseMove(left, 7, 7);
  Drain();
  EXPECT_EQ(test_driver::ShownHint(), "Back");
}

TEST_F(Hover, LeavingTheProgramsWindowsIsALeave) {
  Application()->HintPause = 0;
  // The window system moves the pointer onto the control, then off every
  // window of ours.
  test_driver::SetCursorPos(left->ClientToScreen(Point(5, 5)));
  Drain();
  EXPECT_EQ(notes, std::vector<std::string>{"left enter"});
  EXPECT_EQ(test_driver::ShownHint(), "Back");
  test_driver::SetCursorPos(Point(20, 20));
  Drain();
  EXPECT_EQ(notes, (std::vector<std::string>{"left enter", "left leave"}));
  EXPECT_EQ(Application()->Hint(), "");
  EXPECT_EQ(longHints.back(), "");
  EXPECT_EQ(test_driver::ShownHint(), "");
}

TEST_F(Hover, AHiddenOrDisabledTargetHearsItsLeave) {
  MoveOnto(left);
  left->Hide();
  Drain();
  EXPECT_EQ(notes, (std::vector<std::string>{"left enter", "left leave"}));

  MoveOnto(right);
  right->SetEnabled(false);
  Drain();
  EXPECT_EQ(notes.back(), "right leave");
  // Moves over the disabled control belong to the form under it.
  notes.clear();
  MoveOnto(right);
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(Application()->Hint(), "");
}

TEST_F(Hover, ADestroyedTargetIsNeverSentAnything) {
  Application()->HintPause = 200;
  MoveOnto(left);
  delete left;  // with its hint still to come
  left = nullptr;
  RunFor(200 + kMargin);
  EXPECT_EQ(test_driver::ShownHint(), "");
  MoveOnto(right);
  EXPECT_EQ(notes, (std::vector<std::string>{"left enter", "right enter"}));
}

TEST_F(Hover, TheIdleStepFindsThatTheTargetMovedAway) {
  MoveOnto(left);
  left->SetBounds(150, 120, 100, 50);  // the pointer now rests on the form
  Application()->OnIdle = [](TObject*, bool& done) { done = false; };
  Application()->HandleMessage();
  EXPECT_EQ(notes, (std::vector<std::string>{"left enter", "left leave"}));
}

}  // namespace
}  // namespace lark
