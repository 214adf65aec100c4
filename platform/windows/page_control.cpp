#include "platform/windows/page_control.h"

#include <algorithm>

#include "platform/graphics/gdi.h"
#include "platform/windows/application.h"
#include "platform/windows/label.h"

namespace lark {

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  InitVisible(false);
  SetAlign(TAlign::alClient);
}

TTabSheet::~TTabSheet() {
  Destroying();
  if (page_control_) page_control_->RemovePage(this);
  page_control_ = nullptr;
}

void TTabSheet::SetPageControl(TPageControl* control) { SetParent(control); }

void TTabSheet::SetParent(TWinControl* parent) {
  TCustomControl::SetParent(parent);
  auto* control = dynamic_cast<TPageControl*>(parent);
  if (control == page_control_) return;
  if (page_control_) page_control_->RemovePage(this);
  page_control_ = control;
  if (control) control->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!page_control_) return -1;
  auto& pages = page_control_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

TPageControl::TPageControl(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  TabStop = true;
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  Destroying();
  for (TTabSheet* page : pages_) page->page_control_ = nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  if (!active_) SetActivePage(page);
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page) {
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  if (active_ == page) {
    active_ = nullptr;
    if (!pages_.empty() && !HasState(csDestroying)) SetActivePage(pages_.front());
  }
  if (!HasState(csDestroying)) Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->page_control_ != this) return;
  active_ = page;
  ShowActive();
}

void TPageControl::ShowActive() {
  for (TTabSheet* p : pages_) p->SetVisible(p == active_);
  Invalidate();
}

int TPageControl::ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

bool TPageControl::ChangeTo(TTabSheet* page) {
  if (page == active_) return false;
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) return false;
  SetActivePage(page);
  if (OnChange) OnChange(this);
  return true;
}

void TPageControl::SelectNextPage(bool goForward) {
  std::vector<TTabSheet*> visible;
  for (TTabSheet* p : pages_)
    if (p->TabVisible) visible.push_back(p);
  if (visible.empty()) return;
  auto it = std::find(visible.begin(), visible.end(), active_);
  int index = it == visible.end() ? 0 : static_cast<int>(it - visible.begin());
  int count = static_cast<int>(visible.size());
  ChangeTo(visible[static_cast<size_t>((index + (goForward ? 1 : count - 1)) % count)]);
}

TRect TPageControl::TabRect(int index) const {
  // Tabs as wide as their caption plus a margin, left to right.
  int x = 2;
  for (int i = 0; i < PageCount(); ++i) {
    TTabSheet* page = pages_[static_cast<size_t>(i)];
    if (!page->TabVisible) {
      if (i == index) return TRect{};
      continue;
    }
    int width = 16 + 7 * static_cast<int>(LabelText(page->Caption()).size());
    if (i == index) return Rect(x, 0, x + width, TabHeight);
    x += width;
  }
  return TRect{};
}

int TPageControl::IndexOfTabAt(int x, int y) const {
  for (int i = 0; i < PageCount(); ++i)
    if (TabRect(i).Contains(Point(x, y))) return i;
  return -1;
}

void TPageControl::AdjustClientRect(TRect& rect) const {
  rect = Rect(rect.Left + 4, rect.Top + TabHeight + 4, rect.Right - 4, rect.Bottom - 4);
}

void TPageControl::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().Color = Color();
  canvas.FillRect(ClientRect());
  TRect body = Rect(0, TabHeight, Width(), Height());
  DrawEdge(canvas, body, EDGE_RAISED, BF_RECT);
  canvas.SetFont(Font());
  canvas.Brush().Style = bsClear;
  for (int i = 0; i < PageCount(); ++i) {
    TRect tab = TabRect(i);
    if (tab.IsEmpty()) continue;
    if (pages_[static_cast<size_t>(i)] != active_) tab.Top += 2;
    DrawEdge(canvas, tab, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
    DrawText(canvas, LabelText(pages_[static_cast<size_t>(i)]->Caption()), tab, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  int index = IndexOfTabAt(x, y);
  if (button == TMouseButton::mbLeft && index >= 0) ChangeTo(pages_[static_cast<size_t>(index)]);
  TCustomControl::MouseDown(button, shift, x, y);
}

void TPageControl::WndProc(TMessage& message) {
  if (message.Msg == CM_DIALOGKEY && message.WParam == VK_TAB && (KeyboardState() & ssCtrl) && Showing()) {
    SelectNextPage((KeyboardState() & ssShift) == 0);
    message.Result = 1;
    return;
  }
  TCustomControl::WndProc(message);
}

}  // namespace lark
