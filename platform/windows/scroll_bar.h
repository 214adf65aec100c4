#pragma once

#include <functional>

#include "platform/windows/native_control.h"
#include "platform/windows/scroll_info.h"

namespace lark {

enum class TScrollBarKind { sbHorizontal, sbVertical };
enum class TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* sender, TScrollCode code, int& scrollPos)>;

// A scroll bar control. The user's actions arrive through the queue as
// WM_HSCROLL / WM_VSCROLL to the bar itself (low word of WPARAM: the SB_
// code, high word: the thumb position while tracking); the default answer
// moves the position by SmallChange, LargeChange or to the thumb, lets
// OnScroll adjust it and fires OnChange.
class TScrollBar : public TNativeControl {
 public:
  explicit TScrollBar(TComponent* owner);
  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind kind);
  int Min() const { return state_.Min; }
  int Max() const { return state_.Max; }
  int Position() const { return state_.Pos; }
  void SetPosition(int pos);
  void SetParams(int pos, int minPos, int maxPos);
  int PageSize() const { return static_cast<int>(state_.Page); }
  void SetPageSize(int page);
  int SmallChange = 1;
  int LargeChange = 1;
  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  // The desktop-rules state behind SetScrollInfo(bar, SB_CTL, ...).
  TScrollBarState& State() { return state_; }
  // Shows the state in the widget.
  void StateChanged();

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  bool ReplaysMouse() const override { return true; }
  virtual void Scroll(TScrollCode code, int& pos);

 private:
  TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
  TScrollBarState state_;
};

}  // namespace lark
