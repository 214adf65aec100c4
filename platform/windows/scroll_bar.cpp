#include "platform/windows/scroll_bar.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>

#include "platform/windows/message_queue.h"
#include "platform/windows/native_widget.h"
#include "platform/windows/system_metrics.h"

namespace lark {

int TScrollBarState::MaxPos() const {
  int last = Page > 0 ? Max - static_cast<int>(Page) + 1 : Max;
  return std::max(Min, last);
}

bool TScrollBarState::CanScroll() const {
  long long range = static_cast<long long>(Max) - Min + 1;
  return Max > Min && static_cast<long long>(Page) < range;
}

int TScrollBarState::Set(const TScrollInfo& info) {
  if (info.fMask & SIF_RANGE) {
    Min = info.nMin;
    Max = info.nMax;
  }
  if (info.fMask & SIF_PAGE) Page = info.nPage;
  long long range = static_cast<long long>(Max) - Min + 1;
  if (range < 0) range = 0;
  if (static_cast<long long>(Page) > range) Page = static_cast<unsigned>(range);
  if (info.fMask & SIF_POS) Pos = info.nPos;
  Pos = std::clamp(Pos, Min, MaxPos());
  if (!Tracking) TrackPos = Pos;
  DisableNoScroll = (info.fMask & SIF_DISABLENOSCROLL) != 0;
  return Pos;
}

void TScrollBarState::Get(TScrollInfo& info) const {
  if (info.fMask & SIF_RANGE) {
    info.nMin = Min;
    info.nMax = Max;
  }
  if (info.fMask & SIF_PAGE) info.nPage = Page;
  if (info.fMask & SIF_POS) info.nPos = Pos;
  // The notifications of a drag wait in the queue and may be handled after
  // the release: until the program sets a position, the track position stays
  // where the thumb was dragged.
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = TrackPos;
}

namespace {

WPARAM ScrollWParam(int code, int pos) {
  return static_cast<WPARAM>(static_cast<unsigned>(code) | (static_cast<unsigned>(pos & 0xFFFF) << 16));
}

TScrollCode CodeOf(int sb) {
  switch (sb) {
    case SB_LINEUP: return TScrollCode::scLineUp;
    case SB_LINEDOWN: return TScrollCode::scLineDown;
    case SB_PAGEUP: return TScrollCode::scPageUp;
    case SB_PAGEDOWN: return TScrollCode::scPageDown;
    case SB_THUMBPOSITION: return TScrollCode::scPosition;
    case SB_THUMBTRACK: return TScrollCode::scTrack;
    case SB_TOP: return TScrollCode::scTop;
    case SB_BOTTOM: return TScrollCode::scBottom;
    default: return TScrollCode::scEndScroll;
  }
}

}  // namespace

TScrollBar::TScrollBar(TComponent* owner) : TNativeControl(owner) {
  // As thick as a window's own bars, so a view sized by its bar's width
  // leaves the same room as one with its own bars.
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  state_.Max = 100;
}

void TScrollBar::SetKind(TScrollBarKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  if (!HasState(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TScrollBar::SetPosition(int pos) { SetParams(pos, state_.Min, state_.Max); }

void TScrollBar::SetParams(int pos, int minPos, int maxPos) {
  int before = state_.Pos;
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_POS;
  info.nMin = minPos;
  info.nMax = std::max(minPos, maxPos);
  info.nPos = pos;
  state_.Set(info);
  StateChanged();
  if (state_.Pos != before && OnChange) OnChange(this);
}

void TScrollBar::SetPageSize(int page) {
  TScrollInfo info;
  info.fMask = SIF_PAGE;
  info.nPage = static_cast<unsigned>(std::max(page, 0));
  state_.Set(info);
  StateChanged();
}

void TScrollBar::StateChanged() { PushState(); }

void TScrollBar::Scroll(TScrollCode code, int& pos) {
  if (OnScroll) OnScroll(this, code, pos);
}

void TScrollBar::WndProc(TMessage& message) {
  UINT own = kind_ == TScrollBarKind::sbHorizontal ? WM_HSCROLL : WM_VSCROLL;
  if (message.Msg != own) {
    TNativeControl::WndProc(message);
    return;
  }
  int code = LoWord(static_cast<LPARAM>(message.WParam));
  int pos = state_.Pos;
  switch (code) {
    case SB_LINEUP: pos -= SmallChange; break;
    case SB_LINEDOWN: pos += SmallChange; break;
    case SB_PAGEUP: pos -= LargeChange; break;
    case SB_PAGEDOWN: pos += LargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = state_.TrackPos; break;
    case SB_TOP: pos = state_.Min; break;
    case SB_BOTTOM: pos = state_.Max; break;
    default: break;
  }
  pos = std::clamp(pos, state_.Min, state_.MaxPos());
  Scroll(CodeOf(code), pos);
  SetPosition(pos);
}

void TScrollBar::CreateNativeWidget() {
  AttachNativeWidget(this, NewReportingScrollBar(kind_ == TScrollBarKind::sbVertical, this, state_,
                                                 TScrollBarOwner::Control));
}

void TScrollBar::PushState() {
  if (auto* bar = NativeWidget<QScrollBar>(this)) ShowScrollState(bar, state_, Enabled(), SmallChange);
}

namespace {

// A toolkit bar that reports what the user does to `target` as `msg`
// (WM_HSCROLL / WM_VSCROLL); the position changes only when the layer
// handles the message. `state` follows the thumb while it is dragged.
class TReportingScrollBar : public QScrollBar {
 public:
  TReportingScrollBar(Qt::Orientation orientation, TWinControl* target, TScrollBarState& state, UINT msg,
                      TScrollBarOwner owner)
      : QScrollBar(orientation), target_(target), state_(state), msg_(msg), owner_(owner) {
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, [this](int action) { Report(action); });
    connect(this, &QAbstractSlider::sliderReleased, [this] {
      Post(SB_THUMBPOSITION, state_.TrackPos);
      state_.Tracking = false;
    });
  }

 protected:
  // Every press ends with SB_ENDSCROLL once the button is let go.
  void mouseReleaseEvent(QMouseEvent* event) override {
    QScrollBar::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) Post(SB_ENDSCROLL, 0);
  }
  // A window's own bar greyed because nothing scrolls is still part of an
  // enabled window, which hears the wheel over it; the toolkit gives a
  // disabled widget no wheel at all.
  bool event(QEvent* event) override {
    if (event->type() != QEvent::Wheel || isEnabled() || owner_ != TScrollBarOwner::Window)
      return QScrollBar::event(event);
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  // The toolkit would move the thumb as a drag that never ends, leaving the
  // state tracking. A scroll bar control has already queued the wheel
  // through its input filter; a window's own bar is part of the window,
  // which gets nothing while it is disabled.
  void wheelEvent(QWheelEvent* event) override {
    if (owner_ == TScrollBarOwner::Window && target_->HandleAllocated() && parentWidget() &&
        parentWidget()->isEnabled())
      QueueInputEvent(target_->Handle(), event);
    event->accept();
  }

 private:
  void Report(int action) {
    int code = SB_ENDSCROLL;
    switch (action) {
      case SliderSingleStepAdd: code = SB_LINEDOWN; break;
      case SliderSingleStepSub: code = SB_LINEUP; break;
      case SliderPageStepAdd: code = SB_PAGEDOWN; break;
      case SliderPageStepSub: code = SB_PAGEUP; break;
      case SliderToMinimum: code = SB_TOP; break;
      case SliderToMaximum: code = SB_BOTTOM; break;
      case SliderMove: code = SB_THUMBTRACK; break;
      default: return;
    }
    if (code == SB_THUMBTRACK) {
      state_.Tracking = true;
      state_.TrackPos = sliderPosition();
    } else {
      // The thumb stays until the program answers with a new position.
      setSliderPosition(state_.Pos);
    }
    Post(code, state_.TrackPos);
  }
  void Post(int code, int pos) { PostMessage(target_->Handle(), msg_, ScrollWParam(code, pos), 0); }

  TWinControl* target_;
  TScrollBarState& state_;
  UINT msg_;
  TScrollBarOwner owner_;
};

}  // namespace

QScrollBar* NewReportingScrollBar(bool vertical, TWinControl* target, TScrollBarState& state,
                                  TScrollBarOwner owner) {
  return new TReportingScrollBar(vertical ? Qt::Vertical : Qt::Horizontal, target, state,
                                 vertical ? WM_VSCROLL : WM_HSCROLL, owner);
}

// Qt's slider runs from minimum to maximum with the page as its step; the
// desktop's range includes the page, so Qt's maximum is the largest position.
void ShowScrollState(QScrollBar* bar, const TScrollBarState& state, bool enabled, int singleStep) {
  QSignalBlocker quiet(bar);
  bar->setRange(state.Min, state.MaxPos());
  bar->setPageStep(std::max(1, static_cast<int>(state.Page)));
  bar->setSingleStep(std::max(1, singleStep));
  if (!state.Tracking) bar->setValue(state.Pos);
  bar->setEnabled(enabled && state.CanScroll());
}

int SetScrollInfo(TWinControl* window, int bar, const TScrollInfo& info, bool) {
  if (bar == SB_CTL) {
    auto* scrollBar = dynamic_cast<TScrollBar*>(window);
    if (!scrollBar) return 0;
    int pos = scrollBar->State().Set(info);
    scrollBar->StateChanged();
    return pos;
  }
  return window->SetWindowScrollInfo(bar, info);
}

bool GetScrollInfo(TWinControl* window, int bar, TScrollInfo& info) {
  if (bar == SB_CTL) {
    auto* scrollBar = dynamic_cast<TScrollBar*>(window);
    if (!scrollBar) return false;
    scrollBar->State().Get(info);
    return true;
  }
  window->WindowScrollBar(bar).Get(info);
  return true;
}

int SetScrollPos(TWinControl* window, int bar, int pos, bool redraw) {
  TScrollInfo info;
  info.fMask = SIF_POS;
  GetScrollInfo(window, bar, info);
  int previous = info.nPos;
  info.nPos = pos;
  SetScrollInfo(window, bar, info, redraw);
  return previous;
}

int GetScrollPos(TWinControl* window, int bar) {
  TScrollInfo info;
  info.fMask = SIF_POS;
  GetScrollInfo(window, bar, info);
  return info.nPos;
}

bool SetScrollRange(TWinControl* window, int bar, int minPos, int maxPos, bool redraw) {
  TScrollInfo info;
  info.fMask = SIF_RANGE;
  info.nMin = minPos;
  info.nMax = maxPos;
  SetScrollInfo(window, bar, info, redraw);
  return true;
}

}  // namespace lark
