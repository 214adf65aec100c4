#include "platform/windows/drag.h"

#include <cstdlib>

#include "platform/windows/application.h"
#include "platform/windows/form.h"

namespace lark {
namespace {

// How far the mouse moves before a drag that waits for it starts.
constexpr int kDragThreshold = 5;

struct DragState {
  TControl* source = nullptr;
  TControl* target = nullptr;
  bool started = false;
  bool accepted = false;
  TPoint start;
};

DragState& State() {
  static DragState state;
  return state;
}

bool AskTarget(TControl* target, TControl* source, TPoint screen, TDragState how) {
  bool accept = false;
  if (target && target->OnDragOver) {
    TPoint p = target->ScreenToClient(screen);
    accept = true;
    target->OnDragOver(target, source, p.X, p.Y, how, accept);
  }
  return accept;
}

void Finish(TControl* target, TPoint screen) {
  DragState& state = State();
  TControl* source = state.source;
  state = DragState{};
  SetCaptureControl(nullptr);
  if (target) {
    TPoint p = target->ScreenToClient(screen);
    if (target->OnDragDrop) target->OnDragDrop(target, source, p.X, p.Y);
  }
  if (source && source->OnEndDrag) {
    TPoint p = target ? target->ScreenToClient(screen) : TPoint{};
    source->OnEndDrag(source, target, p.X, p.Y);
  }
}

}  // namespace

TControl* FindDragTarget(TPoint screenPoint, bool allowDisabled) {
  TScreen* screen = Screen();
  for (int i = screen->FormCount() - 1; i >= 0; --i) {
    TCustomForm* form = screen->Forms(i);
    if (!form->Visible() || form->Parent()) continue;
    TPoint p = form->ScreenToClient(screenPoint);
    if (!form->ClientRect().Contains(p)) continue;
    TControl* found = form;
    for (auto* container = static_cast<TWinControl*>(form); container;) {
      TControl* child = container->ControlAtPos(p, allowDisabled, true);
      if (!child) break;
      found = child;
      p = Point(p.X - child->Left(), p.Y - child->Top());
      container = dynamic_cast<TWinControl*>(child);
    }
    return found;
  }
  return nullptr;
}

namespace drag {

void Begin(TControl* source, bool immediate, TPoint screenPoint) {
  DragState& state = State();
  state = DragState{};
  state.source = source;
  state.start = screenPoint;
  state.started = immediate;
  SetCaptureControl(source);
  if (immediate && source->OnStartDrag) source->OnStartDrag(source);
}

bool Active(const TControl* source) { return State().source == source && source; }

bool MouseMove(TControl* source, TPoint screenPoint) {
  DragState& state = State();
  if (state.source != source) return false;
  if (!state.started) {
    if (std::abs(screenPoint.X - state.start.X) < kDragThreshold &&
        std::abs(screenPoint.Y - state.start.Y) < kDragThreshold)
      return false;
    state.started = true;
    if (source->OnStartDrag) source->OnStartDrag(source);
  }
  TControl* target = FindDragTarget(screenPoint, false);
  if (target != state.target) {
    if (state.target) AskTarget(state.target, source, screenPoint, TDragState::dsDragLeave);
    state.target = target;
    state.accepted = AskTarget(target, source, screenPoint, TDragState::dsDragEnter);
  } else {
    state.accepted = AskTarget(target, source, screenPoint, TDragState::dsDragMove);
  }
  return true;
}

bool MouseUp(TControl* source, TPoint screenPoint) {
  DragState& state = State();
  if (state.source != source) return false;
  if (!state.started) {
    state = DragState{};
    return false;  // never moved far enough: an ordinary click
  }
  Finish(state.accepted ? state.target : nullptr, screenPoint);
  return true;
}

void Cancel() {
  if (State().source) Finish(nullptr, TPoint{});
}

void Forget(const TControl* control) {
  DragState& state = State();
  if (state.source == control) state = DragState{};
  if (state.target == control) state.target = nullptr;
}

}  // namespace drag
}  // namespace lark
