#include "platform/windows/control.h"

#include <algorithm>

#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/cursor.h"
#include "platform/windows/hover.h"
#include "platform/windows/win_control.h"
#include "platform/core/exception.h"

namespace lark {
namespace {

TControl* g_capture = nullptr;

TShiftState ShiftFromKeys(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  return shift;
}

}  // namespace

void TSizeConstraints::Apply(int& width, int& height) const {
  if (MaxWidth > 0 && width > MaxWidth) width = MaxWidth;
  if (MinWidth > 0 && width < MinWidth) width = MinWidth;
  if (MaxHeight > 0 && height > MaxHeight) height = MaxHeight;
  if (MinHeight > 0 && height < MinHeight) height = MinHeight;
}

TControl* GetCaptureControl() { return g_capture; }

void SetCaptureControl(TControl* control) {
  if (g_capture == control) return;
  TControl* old = g_capture;
  g_capture = control;
  if (old) old->Perform(WM_CANCELMODE);
}

std::string GetShortHint(const std::string& hint) {
  auto bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  auto bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
  WindowProc = [this](TMessage& message) { WndProc(message); };
}

TControl::~TControl() {
  Destroying();
  if (g_capture == this) g_capture = nullptr;
  hover::Forget(this);
  drag::Forget(this);
  delete action_link_;
  action_link_ = nullptr;
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) {
    parent->InsertControl(this);
    UpdateAnchorRules();
    FollowParent();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  Constraints.Apply(width, height);
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool resized = width != width_ || height != height_;
  if (parent_ && !parent_->HasState(csDestroying)) parent_->InvalidateRect(BoundsRect(), true);
  SetBoundsInternal(left, top, width, height);
  if (parent_ && parent_->align_disabled_ == 0) UpdateAnchorRules();
  BoundsChanged();
  NotifyWindowPosChanged();
  if (parent_ && !parent_->HasState(csDestroying)) parent_->InvalidateRect(BoundsRect(), true);
  RequestAlign();
  // A windowed control's OnResize comes once its children are aligned to
  // the new size (TWinControl::SetBounds), as after the desktop's WM_SIZE.
  if (resized && !dynamic_cast<TWinControl*>(this)) Resize();
}

// A window hears WM_WINDOWPOSCHANGED from the window system (sent, so the
// thread's hooks see it); a windowless control hears it from the control
// itself, as the class library does. LPARAM carries no position record.
void TControl::NotifyWindowPosChanged() {
  if (HasState(csDestroying)) return;
  if (auto* window = dynamic_cast<TWinControl*>(this); window && window->HandleAllocated())
    SendMessage(window->Handle(), WM_WINDOWPOSCHANGED);
  else
    Perform(WM_WINDOWPOSCHANGED);
}

void TControl::SetBoundsInternal(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void TControl::SetBoundsInternalMove(int dx, int dy) {
  SetBoundsInternal(left_ + dx, top_ + dy, width_, height_);
  BoundsChanged();
}

void TControl::SetClientSize(int width, int height) {
  TRect client = ClientRect();
  SetBounds(left_, top_, width_ + width - client.Width(), height_ + height - client.Height());
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return Point(left_, top_);
  TPoint origin = parent_->ClientOrigin();
  return Point(origin.X + left_, origin.Y + top_);
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint origin = ClientOrigin();
  return Point(p.X + origin.X, p.Y + origin.Y);
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint origin = ClientOrigin();
  return Point(p.X - origin.X, p.Y - origin.Y);
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (align != TAlign::alNone) anchors_ = akLeft | akTop;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors anchors) {
  anchors_ = anchors;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!parent_ || HasState(csLoading)) return;
  TRect client = parent_->ClientRect();
  anchor_origin_ = Point(left_, top_);
  anchor_size_ = TSize{width_, height_};
  anchor_parent_size_ = TSize{client.Width(), client.Height()};
}

void TControl::RequestAlign() {
  if (parent_ && !parent_->HasState(csDestroying)) parent_->Realign(this);
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  Perform(CM_VISIBLECHANGING, visible ? 1 : 0);
  VisibleChanging();
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  if (parent_ && !parent_->HasState(csDestroying)) {
    parent_->InvalidateRect(BoundsRect(), true);
    RequestAlign();
  }
  if (!visible && (g_capture == this)) SetCaptureControl(nullptr);
  if (!visible) hover::ControlUnavailable(this);
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (!enabled) hover::ControlUnavailable(this);
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

void TControl::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Perform(CM_TEXTCHANGED);
  Invalidate();
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (popup_menu_ == menu) return;
  if (popup_menu_) RemoveFreeNotification(popup_menu_);
  popup_menu_ = menu;
  if (menu) FreeNotification(menu);
}

void TControl::SetColor(TColor color) {
  parent_color_ = false;
  if (color == color_) return;
  color_ = color;
  Perform(CM_COLORCHANGED);
  Invalidate();
  if (auto* win = dynamic_cast<TWinControl*>(this))
    for (int i = 0; i < win->ControlCount(); ++i) win->Controls(i)->FollowParent();
}

void TControl::SetParentColor(bool value) {
  parent_color_ = value;
  FollowParent();
}

void TControl::SetFont(const TFont& font) {
  parent_font_ = false;
  font_ = font;
  Perform(CM_FONTCHANGED);
  Invalidate();
  if (auto* win = dynamic_cast<TWinControl*>(this))
    for (int i = 0; i < win->ControlCount(); ++i) win->Controls(i)->FollowParent();
}

void TControl::SetParentFont(bool value) {
  parent_font_ = value;
  FollowParent();
}

void TControl::FollowParent() {
  if (!parent_) return;
  if (parent_color_ && color_ != parent_->Color()) {
    SetColor(parent_->Color());
    parent_color_ = true;
  }
  if (parent_font_) {
    SetFont(parent_->Font());
    parent_font_ = true;
  }
}

void TControl::SetShowHint(bool show) {
  show_hint_ = show;
  ParentShowHint = false;
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (auto* win = dynamic_cast<TWinControl*>(this); win && win->HandleAllocated()) ShowCursorOf(this);
}

TBasicAction* TControl::Action() const { return action_link_ ? action_link_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
  if (!action) {
    delete action_link_;
    action_link_ = nullptr;
    return;
  }
  if (!action_link_) action_link_ = new TControlActionLink(this);
  action_link_->SetAction(action);
  ActionChange(action, HasState(csLoading));
}

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || Caption().empty()) SetCaption(action->Caption());
  if (!checkDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!checkDefaults || Hint.empty()) Hint = action->Hint;
  if (!checkDefaults || Visible()) SetVisible(action->Visible());
}

void TControl::BeginDrag(bool immediate) { drag::Begin(this, immediate, Mouse()->CursorPos()); }

bool TControl::MouseCapture() const { return g_capture == this; }

void TControl::SetMouseCapture(bool capture) {
  if (capture) SetCaptureControl(this);
  else if (g_capture == this) SetCaptureControl(nullptr);
}

void TControl::Invalidate() { InvalidateRect(ClientRect(), !(ControlStyle & csOpaque)); }

void TControl::InvalidateRect(const TRect& r, bool erase) {
  // A windowless control is part of its parent's surface.
  if (!parent_ || !Showing()) return;
  TRect inParent = Rect(r.Left + left_, r.Top + top_, r.Right + left_, r.Bottom + top_);
  parent_->InvalidateRect(inParent, erase);
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& siblings = parent_->controls_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  siblings.push_back(this);
  parent_->OrderChanged(this);
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& siblings = parent_->controls_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  siblings.insert(siblings.begin(), this);
  parent_->OrderChanged(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WindowProc(message);
  return message.Result;
}

bool TControl::HitTest(TPoint clientPoint) { return ClientRect().Contains(clientPoint); }

void TControl::Click() {
  if (TBasicAction* action = Action()) {
    if (action->Execute()) return;
  }
  if (OnClick) OnClick(this);
}

void TControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (enabled_ || message.Msg == WM_MOUSEMOVE) HandleMouseMessage(message);
      return;
    case WM_MOUSEWHEEL:
      if (!WheelHandled(message)) DefaultHandler(message);
      return;
    case WM_CONTEXTMENU:
      ContextMenu(message);
      return;
    case WM_NCHITTEST:
      message.Result = HTCLIENT;
      return;
    case WM_CANCELMODE:
      ControlState &= ~(csLButtonDown | csClicked);
      return;
    default:
      DefaultHandler(message);
  }
}

// The desktop's default window procedure hands the wheel and the
// context-menu request that no window took to the parent window.
void TControl::DefaultHandler(TMessage& message) {
  bool passedUp = message.Msg == WM_MOUSEWHEEL || message.Msg == WM_CONTEXTMENU;
  if (passedUp && parent_) message.Result = parent_->Perform(message.Msg, message.WParam, message.LParam);
}

void TControl::ContextMenu(TMessage& message) {
  TPopupMenu* menu = popup_menu_;
  if (!menu || !menu->AutoPopup) {
    DefaultHandler(message);
    return;
  }
  SetCaptureControl(nullptr);
  TPoint at = PointFromLParam(message.LParam);
  menu->PopupComponent = this;
  menu->Popup(at.X, at.Y);
  message.Result = 1;
}

bool TControl::WheelHandled(const TMessage& wheel) {
  TShiftState shift = ShiftFromKeys(wheel.WParam) | (KeyboardState() & ssAlt);
  return DoMouseWheel(shift, HiWord(static_cast<LPARAM>(wheel.WParam)), PointFromLParam(wheel.LParam));
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  return handled;
}

void TControl::HandleMouseMessage(TMessage& message) {
  TPoint p = PointFromLParam(message.LParam);
  TShiftState shift = ShiftFromKeys(message.WParam);
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      if (drag::MouseMove(this, ClientToScreen(p))) return;
      hover::MouseMoved(this);
      ShowCursorOf(this);
      MouseMove(shift, p.X, p.Y);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (ControlStyle & csCaptureMouse) SetMouseCapture(true);
      if (ControlStyle & csClickEvents) ControlState |= csLButtonDown | csClicked;
      if (message.Msg == WM_LBUTTONDBLCLK && (ControlStyle & csDoubleClicks)) {
        DblClick();
        shift |= ssDouble;
      }
      MouseDown(TMouseButton::mbLeft, shift, p.X, p.Y);
      if (DragMode == TDragMode::dmAutomatic && !HasState(csDestroying)) drag::Begin(this, false, ClientToScreen(p));
      return;
    case WM_LBUTTONUP: {
      if (drag::MouseUp(this, ClientToScreen(p))) {
        ControlState &= ~(csLButtonDown | csClicked);
        return;
      }
      bool clicked = (ControlState & csClicked) != 0;
      ControlState &= ~(csLButtonDown | csClicked);
      if (MouseCapture()) SetMouseCapture(false);
      MouseUp(TMouseButton::mbLeft, shift, p.X, p.Y);
      if (clicked && ClientRect().Contains(p) && !HasState(csDestroying)) Click();
      return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(TMouseButton::mbRight, shift, p.X, p.Y);
      return;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, shift, p.X, p.Y);
      // The desktop follows a right click with the context-menu request.
      if (!HasState(csDestroying)) Perform(WM_CONTEXTMENU, 0, LParamFromPoint(ClientToScreen(p)));
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(TMouseButton::mbMiddle, shift, p.X, p.Y);
      return;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, shift, p.X, p.Y);
      return;
  }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (popup_menu_ && component == popup_menu_) popup_menu_ = nullptr;
  if (action_link_ && component == action_link_->Action()) {
    delete action_link_;
    action_link_ = nullptr;
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
  if (TBasicAction* action = Action()) ActionChange(action, true);
}

}  // namespace lark
