#include <chrono>
#include <memory>

#include "platform/windows/timer.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using Clock = std::chrono::steady_clock;

class MessageLoop : public WindowTest {};

TEST_F(MessageLoop, PostedMessagesArriveInOrderAfterThePostingHandlerReturns) {
  RecordingForm form(nullptr);
  std::vector<UINT> seenInsideHandler;
  form.answers[WM_USER + 1] = [&](TMessage&) {
    PostMessage(&form, WM_USER + 3);
    PostMessage(&form, WM_USER + 4);
    seenInsideHandler = form.received;
  };
  PostMessage(&form, WM_USER + 1);
  PostMessage(&form, WM_USER + 2);
  Application()->ProcessMessages();
  EXPECT_EQ(seenInsideHandler, (std::vector<UINT>{WM_USER + 1}));
  EXPECT_EQ(form.received, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4}));
}

TEST_F(MessageLoop, ProcessMessagesInsideAHandlerDeliversAtOnceAndNests) {
  RecordingForm form(nullptr);
  int depth = 0, deepest = 0;
  form.answers[WM_USER + 1] = [&](TMessage&) {
    ++depth;
    deepest = std::max(deepest, depth);
    PostMessage(&form, WM_USER + 2);
    Application()->ProcessMessages();
    --depth;
  };
  form.answers[WM_USER + 2] = [&](TMessage&) {
    ++depth;
    deepest = std::max(deepest, depth);
    if (form.received.size() < 4) PostMessage(&form, WM_USER + 1);
    --depth;
  };
  PostMessage(&form, WM_USER + 1);
  Application()->ProcessMessages();
  EXPECT_EQ(form.received, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 1, WM_USER + 2}));
  EXPECT_EQ(deepest, 3);
}

TEST_F(MessageLoop, SendMessageRunsAtOnceAndReturnsTheAnswer) {
  RecordingForm form(nullptr);
  form.answers[WM_USER + 9] = [](TMessage& m) { m.Result = static_cast<LRESULT>(m.WParam * 2); };
  EXPECT_EQ(SendMessage(&form, WM_USER + 9, 21), 42);
}

TEST_F(MessageLoop, QueuedClicksCanBePeekedAndRemoved) {
  RecordingForm form(nullptr);
  form.SetBounds(10, 10, 200, 150);
  form.Show();
  int downs = 0;
  form.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  test_driver::Click(&form, 20, 20);
  PostMessage(&form, WM_USER + 5);
  TMsg msg;
  ASSERT_TRUE(PeekMessage(msg, form.Handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
  EXPECT_EQ(PointFromLParam(msg.lParam), Point(20, 20));
  while (PeekMessage(msg, form.Handle(), WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
  }
  Application()->ProcessMessages();
  EXPECT_EQ(downs, 0);
  EXPECT_EQ(form.received, (std::vector<UINT>{WM_USER + 5}));
}

TEST_F(MessageLoop, HooksAndOnMessageSeeQueuedInput) {
  RecordingForm form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  form.Show();
  std::vector<UINT> hooked, filtered;
  HHOOK hook = SetWindowsHookEx(WH_GETMESSAGE, [&](int code, const TMsg& m) {
    if (code == HC_ACTION) hooked.push_back(m.message);
  });
  Application()->OnMessage = [&](TMsg& m, bool& handled) {
    filtered.push_back(m.message);
    handled = m.message == WM_KEYDOWN;  // the control never sees it
  };
  unsigned short keySeen = 0;
  form.OnKeyDown = [&](TObject*, unsigned short& key, TShiftState) { keySeen = key; };
  test_driver::MouseMove(&form, 5, 5);
  test_driver::KeyDown('A');
  test_driver::Wheel(&form, 5, 5, -120);
  PostMessage(&form, WM_VSCROLL, SB_LINEDOWN);
  Application()->ProcessMessages();
  UnhookWindowsHookEx(hook);
  for (UINT m : {static_cast<UINT>(WM_MOUSEMOVE), static_cast<UINT>(WM_KEYDOWN), static_cast<UINT>(WM_CHAR),
                 static_cast<UINT>(WM_MOUSEWHEEL), static_cast<UINT>(WM_VSCROLL)}) {
    EXPECT_NE(std::find(hooked.begin(), hooked.end(), m), hooked.end()) << m;
    EXPECT_NE(std::find(filtered.begin(), filtered.end(), m), filtered.end()) << m;
  }
  EXPECT_EQ(keySeen, 0);
}

TEST_F(MessageLoop, AHookThatRemovesItselfWhileCalledIsSafe) {
  int calls = 0;
  HHOOK hook = nullptr;
  hook = SetWindowsHookEx(WH_GETMESSAGE, [&](int, const TMsg&) {
    ++calls;
    UnhookWindowsHookEx(hook);
  });
  RecordingForm form(nullptr);
  PostMessage(&form, WM_USER + 1);
  PostMessage(&form, WM_USER + 2);
  Application()->ProcessMessages();
  EXPECT_EQ(calls, 1);
}

TEST_F(MessageLoop, MessagesForADestroyedWindowAreDropped) {
  auto form = std::make_unique<RecordingForm>(nullptr);
  PostMessage(form.get(), WM_USER + 1);
  form.reset();
  Application()->ProcessMessages();  // must not reach freed memory
  SUCCEED();
}

TEST_F(MessageLoop, TimerWithIntervalZeroNeverFires) {
  TTimer timer(nullptr);
  int fired = 0;
  timer.OnTimer = [&](TObject*) { ++fired; };
  timer.SetInterval(0);
  auto end = Clock::now() + std::chrono::milliseconds(500);
  while (Clock::now() < end) Application()->ProcessMessages();
  EXPECT_EQ(fired, 0);
}

TEST_F(MessageLoop, TimerFiresThroughTheQueueAndStopsWhenDisabled) {
  TTimer timer(nullptr);
  int fired = 0;
  std::vector<UINT> seen;
  Application()->OnMessage = [&](TMsg& m, bool&) { seen.push_back(m.message); };
  timer.SetInterval(20);
  timer.OnTimer = [&](TObject*) {
    if (++fired == 3) timer.SetEnabled(false);
  };
  auto end = Clock::now() + std::chrono::milliseconds(400);
  while (Clock::now() < end) Application()->ProcessMessages();
  EXPECT_EQ(fired, 3);
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_TIMER)), seen.end());
}

TEST_F(MessageLoop, AFreedTimerLeavesNoWaitingTick) {
  auto timer = std::make_unique<TTimer>(nullptr);
  timer->SetInterval(1);
  int fired = 0;
  timer->OnTimer = [&](TObject*) { ++fired; };
  auto end = Clock::now() + std::chrono::milliseconds(30);
  while (Clock::now() < end) test_driver::PumpWindowSystem();
  timer.reset();
  Application()->ProcessMessages();
  EXPECT_EQ(fired, 0);
}

TEST_F(MessageLoop, IdleRunsWhenTheQueueIsEmpty) {
  int idles = 0;
  Application()->OnIdle = [&](TObject*, bool& done) {
    ++idles;
    done = false;  // do not sleep
  };
  Application()->HandleMessage();
  EXPECT_EQ(idles, 1);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST_F(MessageLoop, AFailingHandlerIsReportedAndTheLoopGoesOn) {
  RecordingForm form(nullptr);
  form.answers[WM_USER + 1] = [](TMessage&) { throw EInvalidOperation("broken handler"); };
  std::string reported;
  Application()->OnException = [&](TObject*, const std::exception& error) { reported = error.what(); };
  PostMessage(&form, WM_USER + 1);
  PostMessage(&form, WM_USER + 2);
  Application()->ProcessMessages();
  Application()->OnException = nullptr;
  EXPECT_EQ(reported, "broken handler");
  EXPECT_EQ(form.received, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

}  // namespace
}  // namespace lark
