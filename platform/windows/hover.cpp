#include "platform/windows/hover.h"

#include <chrono>

#include "platform/windows/application.h"
#include "platform/windows/control.h"
#include "platform/windows/cursor.h"
#include "platform/windows/drag.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/timer.h"
#include "platform/windows/utility_window.h"
#include "platform/windows/win_control.h"

namespace lark::hover {
namespace {

using Clock = std::chrono::steady_clock;

enum class TimerMode { Show, Hide };
constexpr UINT kRecheck = WM_USER + 1;

struct State {
  TControl* mouse_control = nullptr;
  // The control whose hint is pending or showing.
  TControl* hint_control = nullptr;
  // A hint has shown and nothing has cancelled it: the next control's hint
  // comes after the short pause.
  bool hint_active = false;
  // Made on first use and kept for the whole run, like the application.
  TTimer* timer = nullptr;
  TimerMode mode = TimerMode::Show;
  // A tick that waited in the queue while the timer was restarted is not the
  // restarted timer's; the toolkit's timers may tick a little early.
  Clock::time_point earliest;
  HWND window = nullptr;  // takes the queued re-checks
  bool recheck_pending = false;
};

State& TheState() {
  static State state;
  return state;
}

// A control's hint, or its nearest ancestor's that has one.
std::string HintOf(const TControl* control) {
  for (const TControl* c = control; c; c = c->Parent())
    if (!c->Hint.empty()) return c->Hint;
  return std::string();
}

// ShowHint, or the parent's when ParentShowHint.
bool ShowsHint(const TControl* control) {
  for (const TControl* c = control; c; c = c->Parent())
    if (!c->ParentShowHint || !c->Parent()) return c->ShowHint();
  return false;
}

// The control whose hint the pointer over `control` asks for; none when that
// hint is empty, so a control without one ends a run of hints.
TControl* HintControlOf(TControl* control) {
  if (!Application()->ShowHint) return nullptr;
  while (control && !ShowsHint(control)) control = control->Parent();
  return control && !GetShortHint(HintOf(control)).empty() ? control : nullptr;
}

// Input over a disabled control belongs to the first enabled control above
// every disabled one.
TControl* TargetFor(TControl* control) {
  TControl* target = control;
  for (TControl* c = control; c; c = c->Parent())
    if (!c->Enabled()) target = c->Parent();
  return target;
}

void StopTimer() {
  if (TheState().timer) TheState().timer->SetEnabled(false);
}

void TimerExpired();

void StartTimer(int milliseconds, TimerMode mode) {
  State& state = TheState();
  if (!state.timer) {
    state.timer = new TTimer(nullptr);
    state.timer->OnTimer = [](TObject*) { TimerExpired(); };
  }
  state.timer->SetEnabled(false);
  state.mode = mode;
  state.earliest = Clock::now() + std::chrono::milliseconds(milliseconds - milliseconds / 16 - 2);
  state.timer->SetInterval(static_cast<unsigned>(milliseconds));
  state.timer->SetEnabled(true);
}

void ActivateHint() {
  State& state = TheState();
  std::string hint = state.hint_control ? GetShortHint(HintOf(state.hint_control)) : std::string();
  if (hint.empty() || !Application()->ShowHint) {
    HideHintWindow();
    state.hint_active = false;
    return;
  }
  ShowHintWindow(hint, Mouse()->CursorPos());
  state.hint_active = true;
  // A hide pause of 0 or less keeps the hint until the pointer moves on.
  if (Application()->HintHidePause > 0) StartTimer(Application()->HintHidePause, TimerMode::Hide);
}

void TimerExpired() {
  State& state = TheState();
  if (Clock::now() < state.earliest) return;
  StopTimer();
  if (state.mode == TimerMode::Hide) HideHintWindow();
  else ActivateHint();
}

// The hint that goes with the pointer over `control` (null: over nothing).
void FollowHint(TControl* control) {
  State& state = TheState();
  TControl* hintControl = HintControlOf(control);
  if (!hintControl) {
    CancelHint();
    return;
  }
  if (hintControl == state.hint_control) return;
  bool wasActive = state.hint_active;
  CancelHint();
  state.hint_active = wasActive;
  state.hint_control = hintControl;
  int pause = wasActive ? Application()->HintShortPause : Application()->HintPause;
  if (pause > 0) StartTimer(pause, TimerMode::Show);
  else ActivateHint();
}

void MoveTo(TControl* target) {
  State& state = TheState();
  bool changed = target != state.mouse_control;
  if (changed) {
    TControl* old = state.mouse_control;
    state.mouse_control = target;
    if (old && !old->HasState(csDestroying)) old->Perform(CM_MOUSELEAVE);
    // The leaving control's handler may have freed the newcomer.
    if (target && state.mouse_control == target) target->Perform(CM_MOUSEENTER);
  }
  // Also after the target was destroyed: its hint is no longer the program's.
  Application()->SetHint(GetLongHint(HintOf(state.mouse_control)));
  if (changed) FollowHint(state.mouse_control);
}

}  // namespace

void MouseMoved(TControl* control) {
  State& state = TheState();
  if (!state.window) {
    state.window = AllocateHWnd([](TMessage& message) {
      if (message.Msg != kRecheck) return;
      TheState().recheck_pending = false;
      Recheck();
    });
  }
  TControl* target = TargetFor(control);
  // Over the same control, a hint cancelled by a click comes back after the pause.
  if (target == state.mouse_control) FollowHint(target);
  else MoveTo(target);
}

void Recheck() {
  // Nothing to find before the pointer was first seen over our windows.
  if (!TheState().window) return;
  TControl* under = GetCaptureControl();
  if (!under) under = FindDragTarget(LastCursorPos(), false);
  MoveTo(TargetFor(under));
}

void RecheckSoon() {
  State& state = TheState();
  if (!state.window || state.recheck_pending) return;
  state.recheck_pending = true;
  PostMessage(state.window, kRecheck);
}

void ControlUnavailable(const TControl* control) {
  for (const TControl* c = TheState().mouse_control; c; c = c->Parent())
    if (c == control) {
      RecheckSoon();
      return;
    }
}

void Forget(const TControl* control) {
  State& state = TheState();
  if (state.hint_control == control) CancelHint();
  if (state.mouse_control != control) return;
  state.mouse_control = nullptr;
  RecheckSoon();
}

void CancelHint() {
  State& state = TheState();
  if (!state.hint_control && !state.hint_active) return;
  HideHintWindow();
  state.hint_control = nullptr;
  state.hint_active = false;
  StopTimer();
}

bool CancelsHint(UINT msg) {
  bool key = msg >= WM_KEYDOWN && msg <= WM_SYSCHAR;
  bool mouse = msg > WM_MOUSEMOVE && msg <= WM_MOUSEWHEEL;
  return key || mouse;
}

TControl* MouseControl() { return TheState().mouse_control; }

}  // namespace lark::hover
