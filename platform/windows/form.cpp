#include "platform/windows/form.h"

#include <algorithm>
#include <cstdint>

#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/menu_host.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/system_menu.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/test_driver.h"
#include "platform/core/exception.h"

namespace lark {
namespace {

bool Sizeable(TFormBorderStyle style) {
  return style == TFormBorderStyle::bsSizeable || style == TFormBorderStyle::bsSizeToolWin;
}

bool MenuShowsBar(const TMainMenu* menu) {
  if (!menu) return false;
  for (int i = 0; i < menu->Items()->Count(); ++i)
    if (menu->Items()->Items(i)->Visible()) return true;
  return false;
}

}  // namespace

void SetActiveForm(TCustomForm* form) {
  TScreen* screen = Screen();
  if (screen->active_form_ == form) return;
  TCustomForm* old = screen->active_form_;
  screen->active_form_ = form;
  if (old) {
    old->active_ = false;
    old->Deactivate();
    // The keyboard focus leaves with the form; its active control stays
    // chosen for when the form is active again.
    if (old->active_control_ && !old->HasState(csDestroying)) old->active_control_->Perform(WM_KILLFOCUS);
  }
  if (!form) return;
  form->active_ = true;
  Application()->FormActivated(form);
  if (!form->active_control_) {
    if (TWinControl* first = form->FindNextControl(nullptr, true, true, false)) form->FocusControl(first);
  } else {
    form->active_control_->Perform(WM_SETFOCUS);
    form->MoveEntered(form->active_control_);  // chosen before the form showed
  }
  form->Activate();
}

TCustomForm::TCustomForm(TComponent* owner)
    : TCustomControl(owner), system_menu_(std::make_unique<TSystemMenu>(this)) {
  InitVisible(false);
  ControlStyle |= csAcceptsControls;
  TControl::SetBounds(0, 0, 320, 240);
  normal_bounds_ = BoundsRect();
  Screen()->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (menu_) menu_->OnChange = nullptr;
  if (!destroy_fired_) {
    destroy_fired_ = true;
    if (OnDestroy) OnDestroy(this);
  }
  TScreen* screen = Screen();
  auto& forms = screen->forms_;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (screen->active_form_ == this) screen->active_form_ = nullptr;
  if (Application()->main_form_ == this) Application()->main_form_ = nullptr;
}

void TCustomForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (Screen()->ActiveForm() != this) SetActiveForm(this);
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::VisibleChanging() {
  // Showing or hiding the form itself: done in the CM_VISIBLECHANGED answer.
}

void TCustomForm::ShowWindow(bool visible) {
  if (visible) {
    DoShow();
    HandleNeeded();
    if (!shown_once_) PlaceAtFirstShow();
    shown_once_ = true;
    SyncWindowGeometry();
    QWidget* widget = WidgetOf(this);
    widget->setWindowTitle(QString::fromStdString(Caption()));
    Handle()->activation_expected = true;
    if (window_state_ != TWindowState::wsMinimized) PrepareBackingStore(widget);
    if (window_state_ == TWindowState::wsMinimized) widget->showMinimized();
    else if (FullScreen()) widget->showFullScreen();
    else widget->show();
    Invalidate();
    return;
  }
  if (QWidget* widget = WidgetOf(this)) widget->hide();
  DoHide();
  if (Screen()->ActiveForm() == this) {
    // The most recent other visible form takes over.
    TCustomForm* next = nullptr;
    for (TCustomForm* f : Screen()->forms_)
      if (f != this && f->Visible()) next = f;
    SetActiveForm(next);
  }
}

int TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_)
    throw EInvalidOperation("Cannot make a visible window modal");
  SetCaptureControl(nullptr);
  TCustomForm* previous = Screen()->ActiveForm();
  std::vector<QWidget*> disabled;
  for (TCustomForm* f : Screen()->forms_) {
    QWidget* widget = f != this ? WidgetOf(f) : nullptr;
    if (widget && widget->isEnabled()) {
      widget->setEnabled(false);
      disabled.push_back(widget);
    }
  }
  modal_ = true;
  ModalResult = mrNone;
  TApplication* app = Application();
  ++app->modal_level_;
  auto restore = [&] {
    for (TCustomForm* f : Screen()->forms_)
      if (QWidget* widget = WidgetOf(f); widget && std::count(disabled.begin(), disabled.end(), widget))
        widget->setEnabled(true);
    --app->modal_level_;
    modal_ = false;
    if (Visible()) Hide();
    if (previous && previous->Visible()) SetActiveForm(previous);
  };
  try {
    Show();
    NotifyModalShown(this);
    for (;;) {
      if (app->Terminated()) ModalResult = mrCancel;
      else if (ModalResult != mrNone) {
        // The close handlers may keep the dialog open.
        TCloseAction action = TCloseAction::caNone;
        if (CloseQuery()) {
          action = TCloseAction::caHide;
          DoClose(action);
        }
        if (action == TCloseAction::caNone) ModalResult = mrNone;
        else if (action == TCloseAction::caFree) Release();
      }
      if (ModalResult != mrNone) break;
      app->HandleMessage();
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return ModalResult;
}

void TCustomForm::Close() {
  if (modal_) {
    ModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = Application()->MainForm() == this ? TCloseAction::caFree : TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (Application()->MainForm() == this) {
    Application()->Terminate();
    return;
  }
  switch (action) {
    case TCloseAction::caHide:
      Hide();
      break;
    case TCloseAction::caMinimize:
      SetWindowState(TWindowState::wsMinimized);
      break;
    default:
      Release();
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Release() { PostMessage(static_cast<TWinControl*>(this), CM_RELEASE); }

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == border_style_) return;
  TRect client = ClientRect();
  border_style_ = style;
  // The client area keeps its size; the frame changes around it.
  SetClientSize(client.Width(), client.Height());
  if (HandleAllocated()) {
    SyncWindowGeometry();
    ApplyWindowFlags();
  }
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == border_icons_) return;
  border_icons_ = icons;
  ApplyWindowFlags();
}

void TCustomForm::InitSystemMenu() {
  auto offer = [this](UINT command, bool enabled) { system_menu_->EnableItem(command, enabled ? MF_ENABLED : MF_GRAYED); };
  bool normal = window_state_ == TWindowState::wsNormal;
  bool iconic = IsIconic(Handle());
  offer(SC_RESTORE, !normal || iconic);
  offer(SC_MOVE, window_state_ != TWindowState::wsMaximized);
  offer(SC_SIZE, normal && Sizeable(border_style_));
  offer(SC_MINIMIZE, !iconic && (border_icons_ & biMinimize));
  offer(SC_MAXIMIZE, window_state_ != TWindowState::wsMaximized && (border_icons_ & biMaximize) &&
                         Sizeable(border_style_));
}

void TCustomForm::SystemCommand(UINT command) {
  // The desktop brings the menu up to date before it acts on one of its commands.
  SendMessage(Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system_menu_.get()), MakeLParam(0, 1));
  if (!system_menu_->Allows(command)) {
    // Refused: the window goes back to what the form says (the user may
    // have minimised it with the frame already).
    ShowIconicState(this);
    return;
  }
  switch (command) {
    case SC_CLOSE:
      SendMessage(Handle(), WM_CLOSE);
      break;
    case SC_MINIMIZE:
      // The main form takes the whole program down with it.
      if (Application()->MainForm() == this) Application()->Minimize();
      else SetWindowState(TWindowState::wsMinimized);
      break;
    case SC_MAXIMIZE:
      SetWindowState(TWindowState::wsMaximized);
      break;
    case SC_RESTORE:
      if (Application()->MainForm() == this && Application()->Minimized()) Application()->Restore();
      else SetWindowState(TWindowState::wsNormal);
      break;
    default:
      break;
  }
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (state == window_state_) return;
  TWindowState old = window_state_;
  window_state_ = state;
  if (state == TWindowState::wsMaximized) {
    if (old == TWindowState::wsNormal) normal_bounds_ = BoundsRect();
    TMinMaxInfo info = GetMinMaxInfo();
    TWinControl::SetBounds(info.ptMaxPosition.X, info.ptMaxPosition.Y, info.ptMaxSize.X, info.ptMaxSize.Y);
  } else if (state == TWindowState::wsNormal) {
    TWinControl::SetBounds(normal_bounds_.Left, normal_bounds_.Top, normal_bounds_.Width(),
                           normal_bounds_.Height());
  }
  if (QWidget* widget = WidgetOf(this); widget && Visible()) {
    if (state == TWindowState::wsMinimized) widget->showMinimized();
    else if (FullScreen()) widget->showFullScreen();
    else widget->showNormal();
  }
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  TRect client = ClientRect();
  if (menu_) {
    RemoveFreeNotification(menu_);
    menu_->OnChange = nullptr;
  }
  menu_ = menu;
  if (menu) {
    FreeNotification(menu);
    menu->OnChange = [this] { MenuChanged(); };
  }
  SetClientSize(client.Width(), client.Height());
  MenuChanged();
}

void TCustomForm::MenuChanged() {
  if (!HandleAllocated() || Parent() || HasState(csDestroying)) return;
  UpdateMenuBar(this);
  SyncWindowGeometry();
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* win = dynamic_cast<TWinControl*>(Controls(i))) win->SyncWindowGeometry();
  Invalidate();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == active_control_) return;
  if (control && (!ContainsControl(control) || control == this))
    throw EInvalidOperation("Invalid control for the form's active control");
  if (control && Visible() && active_) FocusControl(control);
  else active_control_ = control;
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (control == active_control_) return;
  TWinControl* old = active_control_;
  active_control_ = control;
  if (old) old->Perform(WM_KILLFOCUS);
  if (control && active_control_ == control) {
    control->Perform(WM_SETFOCUS);
    if (control->HandleAllocated()) WidgetOf(control)->setFocus();
  }
  // Then OnExit and OnEnter along the parents, the innermost left first.
  if (active_control_ == control) MoveEntered(control);
}

void TCustomForm::MoveEntered(TWinControl* control) {
  TWinControl* target = control ? control : this;
  if (!entered_) entered_ = this;
  while (entered_ && !entered_->ContainsControl(target)) {
    TWinControl* leaving = entered_;
    entered_ = entered_->Parent();
    leaving->Perform(CM_EXIT);
    if (active_control_ != control) return;
  }
  while (entered_ && entered_ != target) {
    TWinControl* next = target;
    while (next->Parent() && next->Parent() != entered_) next = next->Parent();
    entered_ = next;
    next->Perform(CM_ENTER);
    if (active_control_ != control) return;
  }
}

void TCustomForm::ControlRemoved(TWinControl* control, TWinControl* parent) {
  if (active_control_ && control->ContainsControl(active_control_)) active_control_ = nullptr;
  if (entered_ && control->ContainsControl(entered_)) entered_ = parent;
}

bool TCustomForm::GetWindowPlacement(TWindowPlacement& placement) const {
  placement.flags = 0;
  placement.showCmd = !Visible()                                     ? SW_HIDE
                      : window_state_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                      : window_state_ == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED
                                                                     : SW_SHOWNORMAL;
  placement.ptMinPosition = min_position_;
  placement.ptMaxPosition = max_position_;
  placement.rcNormalPosition = window_state_ == TWindowState::wsNormal ? BoundsRect() : normal_bounds_;
  return true;
}

namespace {

// One axis of a placed window: the size cut to the screen (but not below the
// smallest tracking size unless the screen is smaller still), the window
// moved so that it lies wholly on the screen. 64 bits, since a stored
// rectangle may hold any two ints.
void FitAxis(int& start, int& end, int minimum, int screen) {
  const std::int64_t size = std::clamp<std::int64_t>(std::int64_t{end} - start, std::min(minimum, screen), screen);
  start = static_cast<int>(std::clamp<std::int64_t>(start, 0, screen - size));
  end = static_cast<int>(start + size);
}

}  // namespace

bool TCustomForm::SetWindowPlacement(const TWindowPlacement& placement) {
  min_position_ = placement.ptMinPosition;
  max_position_ = placement.ptMaxPosition;
  // As on the desktop, a placement cannot put a window off the screen or
  // make it larger than the screen.
  normal_bounds_ = placement.rcNormalPosition;
  const TPoint minimum = GetMinMaxInfo().ptMinTrackSize;
  FitAxis(normal_bounds_.Left, normal_bounds_.Right, std::max(1, minimum.X), std::max(1, Screen()->Width()));
  FitAxis(normal_bounds_.Top, normal_bounds_.Bottom, std::max(1, minimum.Y), std::max(1, Screen()->Height()));
  if (window_state_ == TWindowState::wsNormal) SetBoundsRect(normal_bounds_);
  switch (placement.showCmd) {
    case SW_SHOWMINIMIZED:
      SetWindowState(TWindowState::wsMinimized);
      break;
    case SW_SHOWMAXIMIZED:
      SetWindowState(TWindowState::wsMaximized);
      break;
    case SW_HIDE:
      break;
    default:
      SetWindowState(TWindowState::wsNormal);
  }
  return true;
}

TMinMaxInfo TCustomForm::GetMinMaxInfo() {
  TRect insets = FrameInsets();
  TScreen* screen = Screen();
  TMinMaxInfo info;
  info.ptMaxSize = Point(screen->Width() + insets.Left + insets.Right, screen->Height() + insets.Top + insets.Bottom);
  info.ptMaxPosition = Point(-insets.Left, -insets.Left);
  info.ptMinTrackSize = Point(112, 27);
  info.ptMaxTrackSize = Point(info.ptMaxSize.X + 8, info.ptMaxSize.Y + 8);
  Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info;
}

bool TCustomForm::UserResize(int width, int height) {
  // The user drags the bottom-right corner: the window must say it is one.
  TPoint corner = Point(Left() + Width() - 1, Top() + Height() - 1);
  LRESULT hit = Perform(WM_NCHITTEST, 0, LParamFromPoint(corner));
  if (hit < HTLEFT || hit > HTBOTTOMRIGHT) return false;
  TMinMaxInfo info = GetMinMaxInfo();
  width = std::clamp(width, info.ptMinTrackSize.X, std::max(info.ptMinTrackSize.X, info.ptMaxTrackSize.X));
  height = std::clamp(height, info.ptMinTrackSize.Y, std::max(info.ptMinTrackSize.Y, info.ptMaxTrackSize.Y));
  SetBounds(Left(), Top(), width, height);
  return true;
}

bool TCustomForm::IsShortCut(unsigned short key, TShiftState shift) {
  TShortCut shortCut = ShortCut(key, shift);
  if (menu_ && menu_->IsShortCut(shortCut)) return true;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TActionList*>(Components(i)); list && list->IsShortCut(shortCut)) return true;
  return false;
}

TRect TCustomForm::FrameInsets() const {
  int border = 0;
  int caption = 0;
  switch (border_style_) {
    case TFormBorderStyle::bsNone:
      break;
    case TFormBorderStyle::bsToolWindow:
      border = GetSystemMetrics(SM_CXDLGFRAME);
      caption = GetSystemMetrics(SM_CYSMCAPTION);
      break;
    case TFormBorderStyle::bsSizeToolWin:
      border = GetSystemMetrics(SM_CXFRAME);
      caption = GetSystemMetrics(SM_CYSMCAPTION);
      break;
    case TFormBorderStyle::bsSizeable:
      border = GetSystemMetrics(SM_CXFRAME);
      caption = GetSystemMetrics(SM_CYCAPTION);
      break;
    default:
      border = GetSystemMetrics(SM_CXDLGFRAME);
      caption = GetSystemMetrics(SM_CYCAPTION);
  }
  int menu = MenuShowsBar(menu_) ? GetSystemMetrics(SM_CYMENU) : 0;
  return Rect(border, border + caption + menu, border, border);
}

TRect TCustomForm::InteriorRect() const {
  TRect insets = FrameInsets();
  return Rect(0, 0, std::max(0, Width() - insets.Left - insets.Right),
              std::max(0, Height() - insets.Top - insets.Bottom));
}

TPoint TCustomForm::ClientOrigin() const {
  TRect insets = FrameInsets();
  if (Parent()) {
    TPoint origin = TControl::ClientOrigin();
    return Point(origin.X + insets.Left, origin.Y + insets.Top);
  }
  return Point(Left() + insets.Left, Top() + insets.Top);
}

bool TCustomForm::Showing() const {
  if (Parent()) return TWinControl::Showing();
  return Visible() && window_state_ != TWindowState::wsMinimized;
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, width, height);
  if (window_state_ == TWindowState::wsNormal) normal_bounds_ = BoundsRect();
}

LRESULT TCustomForm::NonClientHitTest(TPoint screenPoint) const {
  TPoint p = Point(screenPoint.X - Left(), screenPoint.Y - Top());
  if (!Bounds(0, 0, Width(), Height()).Contains(p)) return HTNOWHERE;
  TRect insets = FrameInsets();
  TRect interior = Rect(insets.Left, insets.Top, Width() - insets.Right, Height() - insets.Bottom);
  if (interior.Contains(p)) return InteriorHitTest(Point(p.X - insets.Left, p.Y - insets.Top));
  if (Sizeable(border_style_)) {
    bool left = p.X < insets.Left, right = p.X >= Width() - insets.Right;
    bool top = p.Y < insets.Left, bottom = p.Y >= Height() - insets.Bottom;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  return p.Y < insets.Top ? HTCAPTION : HTNOWHERE;
}

void TCustomForm::PlaceAtFirstShow() {
  TCustomForm* centreOn = nullptr;
  switch (Position) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter: {
      TScreen* screen = Screen();
      TControl::SetBounds((screen->Width() - Width()) / 2, (screen->Height() - Height()) / 2, Width(), Height());
      return;
    }
    case TPosition::poMainFormCenter:
      centreOn = Application()->MainForm();
      break;
    case TPosition::poOwnerFormCenter:
      centreOn = dynamic_cast<TCustomForm*>(Owner());
      break;
    default:
      return;
  }
  if (!centreOn || centreOn == this) return;
  TControl::SetBounds(centreOn->Left() + (centreOn->Width() - Width()) / 2,
                      centreOn->Top() + (centreOn->Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::CreateWnd() {
  TCustomControl::CreateWnd();
  QWidget* widget = WidgetOf(this);
  if (Parent()) return;
  widget->setWindowTitle(QString::fromStdString(Caption()));
  ApplyWindowFlags();
  MenuChanged();
}

// The frame the window system draws follows BorderStyle and BorderIcons.
void TCustomForm::ApplyWindowFlags() {
  QWidget* widget = WidgetOf(this);
  if (!widget || Parent()) return;
  Qt::WindowFlags flags = Qt::Window;
  switch (border_style_) {
    case TFormBorderStyle::bsNone:
      flags |= Qt::FramelessWindowHint;
      break;
    case TFormBorderStyle::bsDialog:
      flags = Qt::Dialog;
      break;
    case TFormBorderStyle::bsToolWindow:
    case TFormBorderStyle::bsSizeToolWin:
      flags = Qt::Tool;
      break;
    default:
      break;
  }
  if (border_style_ != TFormBorderStyle::bsNone) {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (border_icons_ & biSystemMenu) {
      flags |= Qt::WindowSystemMenuHint;
      if (system_menu_->Allows(SC_CLOSE)) flags |= Qt::WindowCloseButtonHint;
    }
    if ((border_icons_ & biMinimize) && border_style_ != TFormBorderStyle::bsDialog) flags |= Qt::WindowMinimizeButtonHint;
    if ((border_icons_ & biMaximize) && Sizeable(border_style_)) flags |= Qt::WindowMaximizeButtonHint;
  }
  if (widget->windowFlags() == flags) return;
  bool shown = widget->isVisible();
  widget->setWindowFlags(flags);
  if (shown) widget->show();
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::DialogKey(TMessage& message) {
  bool shifted = (KeyboardState() & ssShift) != 0;
  switch (message.WParam) {
    case VK_TAB:
      if (KeyboardState() & ssCtrl) break;
      SelectNext(active_control_, !shifted, true);
      message.Result = 1;
      return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      if (active_control_ && active_control_->Parent()) {
        bool forward = message.WParam == VK_RIGHT || message.WParam == VK_DOWN;
        if (TWinControl* next = active_control_->Parent()->FindNextControl(active_control_, forward, false, true))
          next->SetFocus();
        message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TCustomControl::WndProc(message);
}

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGKEY:
      DialogKey(message);
      return;
    case CM_VISIBLECHANGED:
      if (!Parent()) ShowWindow(message.WParam != 0);
      return;
    case WM_CLOSE:
      Close();
      return;
    case WM_ACTIVATE:
      if (message.WParam != WA_INACTIVE && Visible()) SetActiveForm(this);
      return;
    case WM_COMMAND:
      // An entry chosen on the menu bar, if it is still on this form's menu.
      if (menu_ && message.LParam) {
        auto* chosen = reinterpret_cast<TMenuItem*>(message.LParam);
        if (menu_->Contains(chosen)) chosen->Click();
      }
      return;
    case WM_NCHITTEST:
      message.Result = NonClientHitTest(PointFromLParam(message.LParam));
      return;
    case WM_SYSCOMMAND:
      SystemCommand(static_cast<UINT>(message.WParam & 0xFFF0));
      return;
    case WM_INITMENUPOPUP:
      if (HiWord(message.LParam) != 0) InitSystemMenu();
      return;
    case WM_GETMINMAXINFO:
      return;
    case CM_TEXTCHANGED:
      if (QWidget* widget = WidgetOf(this); widget && !Parent()) widget->setWindowTitle(QString::fromStdString(Caption()));
      return;
    default:
      TCustomControl::WndProc(message);
  }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == menu_) {
    menu_ = nullptr;
    MenuChanged();
  }
}

}  // namespace lark
