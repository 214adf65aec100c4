#include "controls/toolbar_button.h"

#include <algorithm>
#include <vector>

#include "controls/thread_hooks.h"
#include "platform/core/synchronize.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/drag.h"
#include "platform/windows/form.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/timer.h"
#include "platform/windows/utility_window.h"

namespace lark {

using TState = TToolbarButtonState;

// What every toolbar button shares: the live buttons, the hot one, the
// timer that notices the pointer leaving it, the dither pattern of latched
// faces (freed with the last button), and a hidden window that runs a drop-down click after the mouse-down
// handler has returned (the menu's entry may free the button, and the
// window layer still uses it after its handler).
struct HotTracking {
  std::vector<TToolbarButton*> live;
  TToolbarButton* hot = nullptr;
  std::unique_ptr<TTimer> timer;
  std::unique_ptr<TBitmap> dither;
  HWND window = nullptr;

  // Never destroyed: at exit its timer would reach into the layer's queue
  // and timer window, which may be gone by then.
  static HotTracking& Get() {
    static HotTracking& shared = *new HotTracking;
    return shared;
  }
  [[nodiscard]] bool Alive(const TToolbarButton* button) const {
    return std::find(live.begin(), live.end(), button) != live.end();
  }
  // The hot button loses its border once the pointer is elsewhere.
  static void CheckHot() {
    TToolbarButton* hot = Get().hot;
    if (hot && FindDragTarget(Mouse()->CursorPos(), true) != hot) hot->MouseLeft();
  }
  static void HookEvent(int code, HWND, WPARAM wParam, LPARAM) {
    if (code == hpGetMessage) CheckHot();
    TToolbarButton* hot = Get().hot;
    if (code == hpSendActivateApp && wParam == 0 && hot && !hot->ShowBorderWhenInactive) hot->MouseLeft();
  }
  static void DeferredMessage(TMessage& message) {
    auto* button = reinterpret_cast<TToolbarButton*>(message.LParam);
    if (message.Msg != WM_USER || !Get().Alive(button)) return;
    const SyncToken alive = button->Token();
    button->arrow_hit_ = true;
    button->Click();
    if (!alive.Expired()) button->arrow_hit_ = false;
  }
  // The timer and the hidden window are made with the first button and
  // kept, disabled, after the last: the last button may well be freed from
  // inside their own handlers (a menu entry or OnMouseExit closing the
  // window), and freeing them there would pull them from under themselves.
  void Join(TToolbarButton* button) {
    if (!timer) {
      timer = std::make_unique<TTimer>(nullptr);
      timer->SetEnabled(false);
      timer->SetInterval(125);
      timer->OnTimer = [](TObject*) { CheckHot(); };
      window = AllocateHWnd(&DeferredMessage);
    }
    live.push_back(button);
  }
  void Leave(TToolbarButton* button) {
    live.erase(std::remove(live.begin(), live.end(), button), live.end());
    if (hot == button) hot = nullptr;
    if (!live.empty()) return;
    timer->SetEnabled(false);
    dither.reset();
  }
  // 8 x 8: button face, with highlight where x and y have the same parity.
  const TBitmap& Dither() {
    if (!dither) {
      dither = std::make_unique<TBitmap>();
      dither->SetPixelFormat(pf24bit);
      dither->SetSize(8, 8);
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) dither->Canvas().SetPixel(x, y, (x % 2 == y % 2) ? clBtnHighlight : clBtnFace);
      }
    }
    return *dither;
  }
};

TToolbarButton* TToolbarButton::HotButton() { return HotTracking::Get().hot; }

const TBitmap& TToolbarButton::DitherPattern() { return HotTracking::Get().Dither(); }

TToolbarButton::TToolbarButton(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(Left(), Top(), 23, 22);
  ControlStyle = csCaptureMouse | csOpaque | csDoubleClicks;
  SetColor(clBtnFace);
  SetParentFont(true);
  glyph_.OnChange = [this] { Redraw(true); };
  HotTracking::Get().Join(this);
  InstallHookProc(&HotTracking::HookEvent, HookCodes(hpSendActivateApp) | HookCodes(hpGetMessage),
                  HasState(csDesigning));
}

TToolbarButton::~TToolbarButton() {
  Destroying();
  glyph_.OnChange = nullptr;
  repeat_timer_.reset();
  UninstallHookProc(&HotTracking::HookEvent);
  HotTracking& shared = HotTracking::Get();
  if (shared.hot == this && shared.timer) shared.timer->SetEnabled(false);
  shared.Leave(this);
}

// --- properties -----------------------------------------------------------------

void TToolbarButton::Redraw(bool erase) {
  // A flat see-through button lets the parent paint first; any other paints
  // its whole face itself.
  if (flat_ && !opaque_ && erase) {
    Invalidate();
  } else {
    InvalidateRect(ClientRect(), false);
  }
}

void TToolbarButton::SetAllowAllUp(bool value) {
  allow_all_up_ = value;
  UpdateExclusive();
}

void TToolbarButton::SetGroupIndex(int value) {
  group_index_ = value;
  UpdateExclusive();
}

void TToolbarButton::SetDown(bool value) {
  if (group_index_ == 0) value = false;
  if (value == down_ || (down_ && !allow_all_up_)) return;
  down_ = value;
  state_ = !Enabled() ? TState::bsDisabled : down_ ? TState::bsExclusive : TState::bsUp;
  Redraw(true);
  if (down_) UpdateExclusive();
}

// The other buttons of this one's group on the same parent: up when this one
// is down, and all of them take its AllowAllUp.
void TToolbarButton::UpdateExclusive() {
  if (group_index_ == 0 || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = dynamic_cast<TToolbarButton*>(Parent()->Controls(i));
    if (!other || other == this || other->group_index_ != group_index_) continue;
    if (down_ && other->down_) {
      other->down_ = false;
      if (other->state_ != TState::bsDisabled) other->state_ = TState::bsUp;
      other->Redraw(true);
    }
    other->allow_all_up_ = allow_all_up_;
  }
}

void TToolbarButton::SetDropdownArrowWidth(int value) {
  value = std::max(7, value);
  if (value == dropdown_arrow_width_) return;
  const int difference = value - dropdown_arrow_width_;
  dropdown_arrow_width_ = value;
  if (dropdown_combo_ && !HasState(csLoading)) SetBounds(Left(), Top(), Width() + difference, Height());
  Redraw(true);
}

void TToolbarButton::SetDropdownCombo(bool value) {
  if (value == dropdown_combo_) return;
  dropdown_combo_ = value;
  if (!HasState(csLoading)) {
    const int part = dropdown_arrow_width_ + 2;
    SetBounds(Left(), Top(), value ? Width() + part : std::max(1, Width() - part), Height());
  }
  Redraw(true);
}

void TToolbarButton::SetDropdownMenu(TPopupMenu* menu) {
  if (menu == dropdown_menu_) return;
  if (dropdown_menu_) RemoveFreeNotification(dropdown_menu_);
  dropdown_menu_ = menu;
  if (dropdown_menu_) FreeNotification(dropdown_menu_);
  Redraw(true);
}

void TToolbarButton::SetImages(TCustomImageList* images) {
  if (Images()) RemoveFreeNotification(Images());
  glyph_.SetImages(images);
  if (images) FreeNotification(images);
}

void TToolbarButton::SetMargin(int value) {
  if (value < -1) return;
  Set(margin_, value);
}

void TToolbarButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == dropdown_menu_) dropdown_menu_ = nullptr;
  if (component == Images()) glyph_.SetImages(nullptr);
}

void TToolbarButton::Loaded() {
  TGraphicControl::Loaded();
  UpdateExclusive();
}

void TToolbarButton::SetEnabled(bool enabled) {
  TGraphicControl::SetEnabled(enabled);
  if (!enabled) {
    state_ = TState::bsDisabled;
    mouse_in_control_ = false;
    mouse_is_down_ = false;
    HotTracking& shared = HotTracking::Get();
    if (shared.hot == this) {
      shared.hot = nullptr;
      shared.timer->SetEnabled(false);
    }
    SetMouseCapture(false);
  } else if (state_ == TState::bsDisabled) {
    state_ = down_ && group_index_ != 0 ? TState::bsExclusive : TState::bsUp;
  }
  Redraw(true);
}

void TToolbarButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
  TGraphicControl::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  // Down follows Checked only while it still shows what the action said.
  if ((!checkDefaults || !down_) && down_ == action_checked_) SetDown(action->Checked());
  action_checked_ = action->Checked();
  if (!checkDefaults || HelpContext == 0) HelpContext = action->HelpContext;
  if (!checkDefaults || ImageIndex() == -1) SetImageIndex(action->ImageIndex());
}

void TToolbarButton::AssignTo(TCustomAction& action) const { action.SetChecked(down_); }

// --- hot tracking and the mouse -----------------------------------------------------

void TToolbarButton::MouseEntered() {
  if (!Enabled() || mouse_in_control_) return;
  mouse_in_control_ = true;
  if (state_ == TState::bsUp) state_ = TState::bsMouseIn;
  if (flat_ || NumGlyphs() == 5) Redraw(true);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TToolbarButton::MouseLeft() {
  if (!Enabled() || !mouse_in_control_ || mouse_is_down_) return;
  mouse_in_control_ = false;
  HotTracking& shared = HotTracking::Get();
  if (shared.hot == this) {
    shared.hot = nullptr;
    shared.timer->SetEnabled(false);
  }
  if (state_ == TState::bsMouseIn || (state_ == TState::bsDown && !menu_is_down_)) {
    state_ = down_ && group_index_ != 0 ? TState::bsExclusive : TState::bsUp;
  }
  Redraw(true);
  if (OnMouseExit) OnMouseExit(this);
}

bool TToolbarButton::InsideMainPart(int x, int y) const {
  return x >= 0 && x < ClientWidth() - ArrowPartWidth() && y >= 0 && y < ClientHeight();
}

void TToolbarButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button != TMouseButton::mbLeft || !Enabled()) {
    MouseEntered();
    TGraphicControl::MouseDown(button, shift, x, y);
    return;
  }
  MouseEntered();
  arrow_hit_ = UsesDropdown() && (!Combo() || x >= ClientWidth() - ArrowPartWidth());
  if (!down_) {
    state_ = TState::bsDown;
    Redraw(true);
  } else if (allow_all_up_) {
    Redraw(true);
  }
  if (!arrow_hit_) mouse_is_down_ = true;
  TGraphicControl::MouseDown(button, shift, x, y);
  if (arrow_hit_) {
    PostMessage(HotTracking::Get().window, WM_USER, 0, reinterpret_cast<LPARAM>(this));
  } else if (Repeating) {
    Click();
    if (!repeat_timer_) {
      repeat_timer_ = std::make_unique<TTimer>(nullptr);
      repeat_timer_->OnTimer = [this](TObject*) { RepeatTimerTick(); };
    }
    repeat_timer_->SetInterval(static_cast<unsigned>(std::max(1, RepeatDelay)));
    repeat_timer_->SetEnabled(true);
  }
  arrow_hit_ = false;
}

void TToolbarButton::DblClick() {
  if (down_) TGraphicControl::DblClick();
}

void TToolbarButton::RepeatTimerTick() {
  repeat_timer_->SetInterval(static_cast<unsigned>(std::max(1, RepeatInterval)));
  const TPoint p = ScreenToClient(Mouse()->CursorPos());
  if (Repeating && mouse_is_down_ && MouseCapture() && InsideMainPart(p.X, p.Y)) {
    Click();
  } else {
    repeat_timer_->SetEnabled(false);
  }
}

void TToolbarButton::StopRepeat() { repeat_timer_.reset(); }

void TToolbarButton::MouseMove(TShiftState shift, int x, int y) {
  HotTracking& shared = HotTracking::Get();
  if (shared.hot != this && FindDragTarget(ClientToScreen(Point(x, y)), true) == this) {
    if (shared.hot) shared.hot->MouseLeft();
    if (ShowBorderWhenInactive || Application()->Active()) {
      shared.hot = this;
      shared.timer->SetEnabled(true);
      MouseEntered();
    }
  }
  if (mouse_is_down_) {
    const bool inside = InsideMainPart(x, y);
    if (inside && repeat_timer_ && !repeat_timer_->Enabled()) repeat_timer_->SetEnabled(true);
    const TState now = down_ ? TState::bsExclusive : inside ? TState::bsDown : TState::bsUp;
    if (now != state_) {
      state_ = now;
      Redraw(true);
    }
  }
  TGraphicControl::MouseMove(shift, x, y);
}

void TToolbarButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  StopRepeat();
  if (button == TMouseButton::mbRight) {
    MouseLeft();
  } else if (button == TMouseButton::mbLeft && mouse_is_down_) {
    mouse_is_down_ = false;
    const SyncToken alive = Token();
    if (InsideMainPart(x, y) && !Repeating) {
      Click();
    } else {
      if (state_ == TState::bsDown) state_ = down_ ? TState::bsExclusive : TState::bsUp;
      MouseLeft();
      Redraw(true);
    }
    if (alive.Expired()) return;
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

// --- clicking ---------------------------------------------------------------------

void TToolbarButton::Click() {
  if (Repeating && !arrow_hit_) {
    TGraphicControl::Click();
    return;
  }
  const SyncToken alive = Token();
  menu_is_down_ = true;
  if (group_index_ != 0 && !arrow_hit_) SetDown(!down_);
  const bool show_menu = UsesDropdown() && (!Combo() || arrow_hit_);
  if (state_ == TState::bsUp || state_ == TState::bsMouseIn) {
    state_ = TState::bsDown;
    Redraw(true);
  }
  if (show_menu) {
    if (!Combo()) TGraphicControl::Click();
    if (alive.Expired()) return;
    SetMouseCapture(false);
    ShowDropdown();
  } else {
    if (TCustomForm* form = GetParentForm(this)) form->ModalResult = ModalResult;
    TGraphicControl::Click();
  }
  if (alive.Expired()) return;
  menu_is_down_ = false;
  if (state_ == TState::bsDown) state_ = TState::bsUp;
  if (HasState(csDestroying)) return;
  Redraw(true);
  if (FindDragTarget(Mouse()->CursorPos(), true) != this) MouseLeft();
}

void TToolbarButton::ShowDropdown() {
  const SyncToken alive = Token();
  bool show = dropdown_menu_ != nullptr;
  bool remove_clicks = true;
  if (OnDropdown) OnDropdown(this, show, remove_clicks);
  if (alive.Expired()) return;
  if (show && dropdown_menu_) {
    TPopupMenu* menu = dropdown_menu_;
    const TPopupAlignment alignment = menu->Alignment;
    menu->Alignment = TPopupAlignment::paLeft;
    menu->PopupComponent = this;
    const TPoint corner = ClientToScreen(Point(0, Height()));
    menu->Popup(corner.X, corner.Y);
    if (alive.Expired()) return;
    if (dropdown_menu_ == menu) menu->Alignment = alignment;  // unless the menu went meanwhile
  }
  if (remove_clicks) RemoveQueuedClicks();
}

// Clicks made while the menu was open must not reopen it: presses over this
// button are dropped, every other mouse-button message is posted again in
// its order. They are all taken out first and then re-posted, or the loop
// would meet its own re-posts forever. A WM_QUIT is not a mouse message and
// stays where it is.
void TToolbarButton::RemoveQueuedClicks() {
  std::vector<TMsg> taken;
  TMsg msg;
  while (PeekMessage(msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) taken.push_back(msg);
  const TRect here = Rect(ClientOrigin().X, ClientOrigin().Y, ClientOrigin().X + Width(), ClientOrigin().Y + Height());
  for (const TMsg& m : taken) {
    const bool press = m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONDBLCLK || m.message == WM_RBUTTONDOWN ||
                       m.message == WM_RBUTTONDBLCLK || m.message == WM_MBUTTONDOWN || m.message == WM_MBUTTONDBLCLK;
    TWinControl* window = TWinControl::FindControl(m.hwnd);
    const bool over_this = window && here.Contains(window->ClientToScreen(PointFromLParam(m.lParam)));
    if (press && over_this) continue;
    PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
  }
}

// --- messages -------------------------------------------------------------------

void TToolbarButton::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGCHAR:
      if (display_mode_ != TButtonDisplayMode::dmGlyphOnly && IsAccel(static_cast<unsigned>(message.WParam), Caption()) &&
          Enabled() && Visible() && Parent() && Parent()->CanFocus()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    case CM_DIALOGKEY:
      if (((message.WParam == VK_RETURN && Default) || (message.WParam == VK_ESCAPE && Cancel)) &&
          (static_cast<unsigned>(message.LParam) & 0x20000000) == 0 && Enabled() && Visible()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      Redraw(true);
      break;
    case WM_LBUTTONUP: {
      // The layer lets go of the capture (and sends WM_CANCELMODE) before
      // MouseUp: that is the end of this press, not a cancelled one.
      releasing_ = true;
      TGraphicControl::WndProc(message);
      releasing_ = false;
      return;
    }
    case WM_CANCELMODE:
      if (releasing_) break;
      StopRepeat();
      if (mouse_is_down_) {
        mouse_is_down_ = false;
        MouseLeft();
      }
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(message);
}

}  // namespace lark
