#include "viewer/scroll_bar_32.h"

#include "platform/windows/messages.h"

namespace lark {

T32ScrollBar::T32ScrollBar(TComponent* owner) : TScrollBar(owner) {
  SetKind(TScrollBarKind::sbVertical);
  Apply();
}

void T32ScrollBar::SetPosition32(int position) {
  position_ = position;
  Apply();
}

void T32ScrollBar::SetMin32(int min) {
  min_ = min;
  Apply();
}

void T32ScrollBar::SetMax32(int max) {
  max_ = max;
  Apply();
}

void T32ScrollBar::SetPage32(int page) {
  page_ = page;
  Apply();
}

void T32ScrollBar::SetDisableNoScroll(bool disable) {
  disableNoScroll_ = disable;
  Apply();
}

int T32ScrollBar::TrackPosition32() {
  TScrollInfo info;
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(this, SB_CTL, info);
  return info.nTrackPos;
}

void T32ScrollBar::Apply() {
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS | (disableNoScroll_ ? SIF_DISABLENOSCROLL : 0u);
  info.nMin = min_;
  info.nMax = max_;
  info.nPage = page_ > 0 ? static_cast<unsigned>(page_) : 0u;
  info.nPos = position_;
  info.nTrackPos = position_;
  const bool same = everSent_ && info.fMask == sent_.fMask && info.nMin == sent_.nMin && info.nMax == sent_.nMax &&
                    info.nPage == sent_.nPage && info.nPos == sent_.nPos;
  if (same) return;
  SetScrollInfo(this, SB_CTL, info, true);
  sent_ = info;
  everSent_ = true;
}

void T32ScrollBar::WndProc(TMessage& message) {
  if (message.Msg != WM_VSCROLL) {
    TScrollBar::WndProc(message);
    return;
  }
  if (OnScrollMessage) OnScrollMessage(LoWord(static_cast<LPARAM>(message.WParam)));
}

}  // namespace lark
