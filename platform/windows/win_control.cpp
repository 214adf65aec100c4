#include "platform/windows/win_control.h"

#include <algorithm>
#include <set>

#include "platform/windows/application.h"
#include "platform/windows/cursor.h"
#include "platform/windows/form.h"
#include "platform/windows/gui_application.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/qt_bridge.h"
#include "platform/core/exception.h"

namespace lark {
namespace {

std::set<HWND>& LiveHandles() {
  static std::set<HWND> handles;
  return handles;
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }

}  // namespace

TCustomForm* GetParentForm(const TControl* control) {
  const TControl* c = control;
  while (c && c->Parent()) c = c->Parent();
  return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  Destroying();
  // Leave the parent while still a windowed control, so the form forgets
  // it as its focused control.
  if (Parent()) Parent()->RemoveControl(this);
  // A parent frees its children, whoever owns them; each leaves its owner's
  // list as it goes.
  while (!controls_.empty()) delete controls_.back();
  DestroyHandle();
}

void TWinControl::InsertControl(TControl* control) {
  if (ContainsControl(control) && control->parent_ == this) return;
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    if (handle_) {
      if (win->handle_) win->handle_->widget->setParent(handle_->widget);
      else win->HandleNeeded();
      win->SyncWindowGeometry();
      win->ShowOrHideWindow();
    } else {
      win->DestroyHandle();
    }
  }
  // Containers with layouts of their own (tool bars) place every child.
  Realign(control);
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  if (!HasState(csDestroying)) InvalidateRect(control->BoundsRect(), true);
  controls_.erase(it);
  control->parent_ = nullptr;
  if (!dynamic_cast<TWinControl*>(control)) DropCanvas(this, control);
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    if (TCustomForm* form = GetParentForm(this)) form->ControlRemoved(win, this);
    if (win->handle_ && !control->HasState(csDestroying)) win->DestroyHandle();
  }
  if (!HasState(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
    if (windowed && !allowWinControls) continue;
    if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    TPoint local = Point(p.X - c->Left(), p.Y - c->Top());
    if (c->BoundsRect().Contains(p) && c->HitTest(local)) return c;
  }
  return nullptr;
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();
  if (handle_) return;  // the parent made ours along with its own
  EnsureGuiApplication();
  ControlState |= csCreating;
  CreateWnd();
  ControlState &= ~csCreating;
  LiveHandles().insert(handle_);
  Perform(WM_CREATE);
  for (TControl* child : controls_)
    if (auto* win = dynamic_cast<TWinControl*>(child)) win->HandleNeeded();
  ShowOrHideWindow();
}

void TWinControl::CreateWnd() {
  auto* handle = new TWindowHandle;
  handle->control = this;
  handle->widget = new TWindowWidget(handle, nullptr);
  SetNewHandle(this, handle);
}

void SetNewHandle(TWinControl* control, TWindowHandle* handle) {
  TWinControl* parent = control->parent_;
  if (parent && parent->handle_) handle->widget->setParent(parent->handle_->widget);
  control->handle_ = handle;
  control->SyncWindowGeometry();
  handle->widget->setEnabled(control->Enabled());
  if (control->Cursor() != crDefault) ShowCursorOf(control);
}

void TWinControl::DestroyWnd() {
  TWindowHandle* handle = handle_;
  handle_ = nullptr;
  if (auto* widget = dynamic_cast<TWindowWidget*>(handle->widget)) widget->detach();
  delete handle->widget;
  delete handle;
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  ControlState |= csDestroyingHandle;
  TMsg note;
  note.hwnd = handle_;
  CallHooks(WH_CBT, HCBT_DESTROYWND, note);
  Perform(WM_DESTROY);
  for (TControl* child : controls_)
    if (auto* win = dynamic_cast<TWinControl*>(child)) win->DestroyHandle();
  PurgeMessages(handle_);
  LiveHandles().erase(handle_);
  DestroyWnd();
  ControlState &= ~csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  HandleNeeded();
}

TWinControl* TWinControl::FindControl(HWND handle) {
  if (!handle || !LiveHandles().count(handle)) return nullptr;
  return handle->control;
}

bool TWinControl::CanFocus() const {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const {
  TCustomForm* form = GetParentForm(this);
  return form && form->ActiveControl() == this && Screen()->ActiveForm() == form;
}

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) throw EInvalidOperation("Cannot focus a window that is not on a form");
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  form->FocusControl(this);
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  int order = 0;
  for (TControl* c : parent_->controls_) {
    auto* win = dynamic_cast<TWinControl*>(c);
    if (!win) continue;
    if (win == this) return order;
    ++order;
  }
  return -1;
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  std::vector<TWinControl*> windowed;
  for (TControl* c : parent_->controls_)
    if (auto* win = dynamic_cast<TWinControl*>(c); win && win != this) windowed.push_back(win);
  order = std::clamp(order, 0, static_cast<int>(windowed.size()));
  windowed.insert(windowed.begin() + order, this);
  // Tab order is the order of the windowed children among the parent's
  // controls; windowless ones keep their places.
  auto& all = parent_->controls_;
  size_t next = 0;
  for (TControl*& c : all)
    if (dynamic_cast<TWinControl*>(c)) c = windowed[next++];
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TControl* c : controls_) {
    auto* win = dynamic_cast<TWinControl*>(c);
    if (!win) continue;
    list.push_back(win);
    win->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int count = static_cast<int>(list.size());
  auto found = std::find(list.begin(), list.end(), current);
  int start = found == list.end() ? (goForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
  int i = start;
  for (int step = 0; step < count; ++step) {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TWinControl* candidate = list[static_cast<size_t>(i)];
    if (candidate == current) continue;
    if (checkTabStop && !candidate->TabStop) continue;
    if (checkParent && candidate->Parent() != this) continue;
    if (candidate->CanFocus()) return candidate;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false)) next->SetFocus();
}

void TWinControl::EnableAlign() {
  if (align_disabled_ > 0) --align_disabled_;
  if (align_disabled_ == 0 && (ControlState & csAlignmentNeeded)) Realign();
}

void TWinControl::Realign(TControl* control) {
  if (HasState(csDestroying)) return;
  if (align_disabled_ > 0 || HasState(csLoading)) {
    ControlState |= csAlignmentNeeded;
    return;
  }
  ControlState &= ~csAlignmentNeeded;
  TRect rect = ClientRect();
  ++align_disabled_;  // children placed below must not start this over
  AlignControls(control, rect);
  --align_disabled_;
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::ScrollBy(int deltaX, int deltaY) {
  DisableAlign();
  for (TControl* c : controls_) c->SetBounds(c->Left() + deltaX, c->Top() + deltaY, c->Width(), c->Height());
  EnableAlign();
  Invalidate();
}

void TWinControl::ScrollWindow(int dx, int dy, const TRect* rect) {
  if (!rect) {
    for (TControl* c : controls_) c->SetBoundsInternalMove(dx, dy);
  }
  if (!handle_ || handle_->native || (dx == 0 && dy == 0)) return;
  QRect area = rect ? QRect(rect->Left, rect->Top, rect->Width(), rect->Height()) : handle_->surface.rect();
  area &= handle_->surface.rect();
  ScrollSurface(handle_, dx, dy, area);
}

void TWinControl::Invalidate() { InvalidateRect(ClientRect(), !(ControlStyle & csOpaque)); }

void TWinControl::ShowHeldBackPaints() {
  if (!handle_ || !handle_->redraw) return;
  handle_->widget->update();
  for (TControl* c : controls_)
    if (auto* child = dynamic_cast<TWinControl*>(c)) child->ShowHeldBackPaints();
}

void TWinControl::InvalidateRect(const TRect& r, bool erase) {
  if (!handle_ || HasState(csDestroying)) return;
  QRect area(r.Left, r.Top, r.Width(), r.Height());
  if (handle_->native) {
    handle_->widget->update(area);
    return;
  }
  handle_->invalid += area;
  if (erase) handle_->erase_pending = true;
  if (handle_->redraw) handle_->widget->update(area.translated(0, handle_->top_inset));
}

// The invalid part is painted now, into the retained surface, and shown at
// the window system's next turn (its own repaint may wait for that turn).
void TWinControl::Update() {
  if (!handle_ || !handle_->widget->isVisible() || InPaint()) return;
  if (handle_->native) {
    handle_->widget->repaint();
    return;
  }
  PaintPendingPart(handle_);
  handle_->widget->update();
}

bool TWinControl::Showing() const {
  if (!Visible()) return false;
  return parent_ ? parent_->Showing() : false;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  TSize oldClient{ClientWidth(), ClientHeight()};
  const TSize oldSize{Width(), Height()};
  TControl::SetBounds(left, top, width, height);
  ClientResized(oldClient);
  if (TSize{Width(), Height()} != oldSize) Resize();
}

void TWinControl::ClientResized(TSize oldClient) {
  TSize newClient{ClientWidth(), ClientHeight()};
  if (oldClient == newClient) return;
  ApplyAnchors(oldClient);
  Realign();
  Perform(WM_SIZE, 0, MakeLParam(newClient.cx, newClient.cy));
}

void TWinControl::ApplyAnchors(TSize) {
  TRect client = ClientRect();
  ++align_disabled_;
  for (TControl* c : controls_) {
    if (c->Align() != TAlign::alNone || c->Anchors() == (akLeft | akTop)) continue;
    if (c->anchor_parent_size_.cx == 0 && c->anchor_parent_size_.cy == 0) continue;
    int dx = client.Width() - c->anchor_parent_size_.cx;
    int dy = client.Height() - c->anchor_parent_size_.cy;
    int left = c->anchor_origin_.X, width = c->anchor_size_.cx;
    int top = c->anchor_origin_.Y, height = c->anchor_size_.cy;
    TAnchors a = c->Anchors();
    if ((a & akLeft) && (a & akRight)) width += dx;
    else if (a & akRight) left += dx;
    else if (!(a & akLeft)) left += dx / 2;
    if ((a & akTop) && (a & akBottom)) height += dy;
    else if (a & akBottom) top += dy;
    else if (!(a & akTop)) top += dy / 2;
    c->SetBounds(left, top, width, height);
  }
  --align_disabled_;
}

void TWinControl::SetEnabled(bool enabled) {
  TControl::SetEnabled(enabled);
  if (handle_) handle_->widget->setEnabled(enabled);
  // The own bars grey out with the window and come back as last set.
  PlaceWindowScrollBars(this);
}

TPoint TWinControl::ClientOrigin() const { return TControl::ClientOrigin(); }

void TWinControl::BoundsChanged() { SyncWindowGeometry(); }

void TWinControl::SyncWindowGeometry() {
  if (!handle_) return;
  TRect client = ClientRect();
  TRect interior = InteriorRect();
  QWidget* widget = handle_->widget;
  int inset = handle_->top_inset;
  if (widget->isWindow()) {
    TPoint origin = ClientOrigin();
    widget->setGeometry(origin.X, origin.Y - inset, interior.Width(), interior.Height() + inset);
  } else {
    int parentInset = parent_ && parent_->handle_ ? parent_->handle_->top_inset : 0;
    widget->setGeometry(Left(), Top() + parentInset, interior.Width(), interior.Height());
  }
  ResizeSurface(handle_, client.Width(), client.Height());
  PlaceWindowScrollBars(this);
}

void TWinControl::VisibleChanging() {}

void TWinControl::ShowOrHideWindow() {
  if (!handle_ || handle_->widget->isWindow()) return;
  handle_->widget->setVisible(Visible());
}

void TWinControl::OrderChanged(TControl* control) {
  if (auto* win = dynamic_cast<TWinControl*>(control); win && win->handle_) {
    // Windowed siblings stack in list order.
    for (TControl* c : controls_)
      if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_) w->handle_->widget->raise();
    if (handle_) KeepScrollBarsOnTop(handle_);
  }
  control->Invalidate();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::PaintWindow() {
  TCanvas& canvas = ControlCanvas(this);
  if (handle_->erase_pending) {
    handle_->erase_pending = false;
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&canvas));
  }
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(&canvas));
}

void TWinControl::EraseBackground(TCanvas& canvas) {
  TBrush saved = canvas.Brush();
  canvas.Brush().Color = Color();
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(ClientRect());
  canvas.SetBrush(saved);
}

bool TWinControl::RouteMouseToChild(TMessage& message) {
  TPoint p = PointFromLParam(message.LParam);
  TControl* target = nullptr;
  TControl* capture = GetCaptureControl();
  if (capture) {
    if (capture == this || dynamic_cast<TWinControl*>(capture) || !ContainsControl(capture)) return false;
    target = capture;
  } else {
    target = ControlAtPos(p, false);
  }
  if (!target) return false;
  TPoint origin = target->ClientOrigin();
  TPoint mine = ClientOrigin();
  TPoint local = Point(p.X + mine.X - origin.X, p.Y + mine.Y - origin.Y);
  message.Result = target->Perform(message.Msg, message.WParam, LParamFromPoint(local));
  return true;
}

void TWinControl::WndProc(TMessage& message) {
  if (IsMouseMessage(message.Msg) && RouteMouseToChild(message)) return;
  // A window hidden or shown after it was made follows at once; without this
  // it kept the visibility it had when made.
  if (message.Msg == CM_VISIBLECHANGED) ShowOrHideWindow();
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
      DoKeyMessage(message);
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      // Offered to every child until one takes it.
      for (TControl* c : std::vector<TControl*>(controls_)) {
        message.Result = c->Perform(message.Msg, message.WParam, message.LParam);
        if (message.Result != 0) return;
      }
      return;
    case WM_ERASEBKGND:
      EraseBackground(*reinterpret_cast<TCanvas*>(message.WParam));
      message.Result = 1;
      return;
    case WM_NCHITTEST:
      message.Result = InteriorHitTest(ScreenToClient(PointFromLParam(message.LParam)));
      return;
    case WM_SETREDRAW:
      if (handle_) {
        handle_->redraw = message.WParam != 0;
        if (handle_->redraw) ShowHeldBackPaints();
      }
      return;
    default:
      TControl::WndProc(message);
  }
}

void TWinControl::DoKeyMessage(TMessage& message) {
  TShiftState shift = KeyboardState();
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      auto key = static_cast<unsigned short>(message.WParam);
      KeyDown(key, shift);
      message.WParam = key;
      if (key == 0) return;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      auto key = static_cast<unsigned short>(message.WParam);
      KeyUp(key, shift);
      message.WParam = key;
      if (key == 0) return;
      break;
    }
    default: {
      char ch = static_cast<char>(message.WParam);
      KeyPress(ch);
      message.WParam = static_cast<unsigned char>(ch);
      if (ch == 0) return;
    }
  }
  DefaultHandler(message);
}

void TWinControl::KeyDown(unsigned short& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview) static_cast<TWinControl*>(form)->KeyDown(key, shift);
  if (key != 0 && OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview) static_cast<TWinControl*>(form)->KeyPress(key);
  if (key != 0 && OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(unsigned short& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview) static_cast<TWinControl*>(form)->KeyUp(key, shift);
  if (key != 0 && OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

}  // namespace lark
