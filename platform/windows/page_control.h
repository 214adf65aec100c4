#pragma once

#include <vector>

#include "platform/windows/custom_control.h"

namespace lark {

class TPageControl;

// One page of a page control; its controls show while it is the active page.
class TTabSheet : public TCustomControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return page_control_; }
  void SetPageControl(TPageControl* control);
  // A sheet placed in a page control becomes one of its pages.
  void SetParent(TWinControl* parent) override;
  int PageIndex() const;
  bool TabVisible = true;

 private:
  friend class TPageControl;
  TPageControl* page_control_ = nullptr;
};

using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

// Pages behind a row of tabs; a click on a tab (or Ctrl+Tab) turns the page,
// asking OnChanging first and telling OnChange after.
class TPageControl : public TCustomControl {
 public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  void SelectNextPage(bool goForward);
  // The tab under a client point, or -1.
  int IndexOfTabAt(int x, int y) const;
  TRect TabRect(int index) const;
  int TabHeight = 20;
  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  void AdjustClientRect(TRect& rect) const override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  bool ChangeTo(TTabSheet* page);
  void ShowActive();
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
};

}  // namespace lark
