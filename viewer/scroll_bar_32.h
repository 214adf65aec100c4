#pragma once

#include <functional>

#include "platform/windows/scroll_bar.h"

namespace lark {

// A vertical scroll bar for documents taller than 16 bits can count: it
// keeps its own 32-bit position, page and range, hands them to the bar with
// SetScrollInfo only when one of them changed, and reads a dragged thumb
// from the 32-bit track position rather than the notification's 16-bit one.
// The notifications themselves go to OnScrollMessage (the viewer decides
// the new position).
class T32ScrollBar : public TScrollBar {
 public:
  explicit T32ScrollBar(TComponent* owner);

  [[nodiscard]] int Position32() const { return position_; }
  [[nodiscard]] int Min32() const { return min_; }
  [[nodiscard]] int Max32() const { return max_; }
  [[nodiscard]] int Page32() const { return page_; }
  void SetPosition32(int position);
  void SetMin32(int min);
  void SetMax32(int max);
  void SetPage32(int page);
  // A short document still shows the bar, greyed (the viewer's option to
  // keep the bar always visible).
  void SetDisableNoScroll(bool disable);

  // The thumb's place while it is dragged, at full width.
  [[nodiscard]] int TrackPosition32();

  // The SB_ code of each WM_VSCROLL the bar receives.
  std::function<void(int code)> OnScrollMessage;

 protected:
  void WndProc(TMessage& message) override;

 private:
  void Apply();

  int position_ = 0, min_ = 0, max_ = 0, page_ = 0;
  bool disableNoScroll_ = false;
  TScrollInfo sent_;  // what SetScrollInfo was last given
  bool everSent_ = false;
};

}  // namespace lark
