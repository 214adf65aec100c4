#include "platform/windows/scroll_bar.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/windows/message_queue.h"
#include "platform/windows/native_widget.h"

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
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = Tracking ? TrackPos : Pos;
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
  SetBounds(0, 0, 121, 16);
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
  auto* bar = new QScrollBar(kind_ == TScrollBarKind::sbHorizontal ? Qt::Horizontal : Qt::Vertical);
  bar->setFocusPolicy(Qt::NoFocus);
  // The toolkit reports what the user did; the position changes only when
  // the layer handles the message.
  QObject::connect(bar, &QAbstractSlider::actionTriggered, [this](int action) {
    int code = SB_ENDSCROLL;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
      case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
      case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
      case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
      case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
      case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
      case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
      default: return;
    }
    auto* widget = NativeWidget<QScrollBar>(this);
    if (code == SB_THUMBTRACK && widget) {
      state_.Tracking = true;
      state_.TrackPos = widget->sliderPosition();
    }
    PostMessage(Handle(), kind_ == TScrollBarKind::sbHorizontal ? WM_HSCROLL : WM_VSCROLL,
                ScrollWParam(code, state_.TrackPos), 0);
  });
  QObject::connect(bar, &QAbstractSlider::sliderReleased, [this] {
    UINT msg = kind_ == TScrollBarKind::sbHorizontal ? WM_HSCROLL : WM_VSCROLL;
    PostMessage(Handle(), msg, ScrollWParam(SB_THUMBPOSITION, state_.TrackPos), 0);
    PostMessage(Handle(), msg, ScrollWParam(SB_ENDSCROLL, 0), 0);
    state_.Tracking = false;
  });
  AttachNativeWidget(this, bar);
}

// Qt's slider runs from minimum to maximum with the page as its step; the
// desktop's range includes the page, so Qt's maximum is the largest position.
void TScrollBar::PushState() {
  auto* bar = NativeWidget<QScrollBar>(this);
  if (!bar) return;
  QSignalBlocker quiet(bar);
  bar->setRange(state_.Min, state_.MaxPos());
  bar->setPageStep(std::max(1, static_cast<int>(state_.Page)));
  bar->setSingleStep(std::max(1, SmallChange));
  if (!state_.Tracking) bar->setValue(state_.Pos);
  bool scrolls = state_.CanScroll();
  bar->setEnabled(Enabled() && scrolls);
}

int SetScrollInfo(TWinControl* window, int bar, const TScrollInfo& info, bool) {
  if (bar == SB_CTL) {
    auto* scrollBar = dynamic_cast<TScrollBar*>(window);
    if (!scrollBar) return 0;
    int pos = scrollBar->State().Set(info);
    scrollBar->StateChanged();
    return pos;
  }
  TScrollBarState& state = window->WindowScrollBar(bar);
  return state.Set(info);
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
