#pragma once

#include <memory>
#include <string>

#include "platform/windows/custom_control.h"

namespace lark {

class TMainMenu;
class TSystemMenu;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

// Show commands of a window placement.
enum : unsigned { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };

struct TWindowPlacement {
  unsigned flags = 0;
  unsigned showCmd = SW_SHOWNORMAL;
  TPoint ptMinPosition;
  TPoint ptMaxPosition;
  TRect rcNormalPosition;
};

// What WM_GETMINMAXINFO carries (its LPARAM points at one).
struct TMinMaxInfo {
  TPoint ptReserved;
  TPoint ptMaxSize;
  TPoint ptMaxPosition;
  TPoint ptMinTrackSize;
  TPoint ptMaxTrackSize;
};

// A top-level window. Its bounds include the frame (border, caption, menu
// bar); the client area is what the toolkit window shows.
class TCustomForm : public TCustomControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Fires OnCreate; NewForm and TApplication::CreateForm call it once the
  // derived constructor has run (handlers bound, components in place).
  void AfterConstruction();

  void Show();
  void Hide();
  // Runs the layer's nested loop until ModalResult is set, and returns it.
  int ShowModal();
  void Close();
  bool CloseQuery();
  // Frees the form once the handler that asks for it has returned.
  void Release();
  bool Modal() const { return modal_; }
  TModalResult ModalResult = mrNone;

  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle style);
  // The frame's buttons follow them at once.
  TBorderIcons BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons icons);
  // The window menu (system_menu.h); it lives as long as the form.
  TSystemMenu& SystemMenu() { return *system_menu_; }
  // The window menu's Close changed: the frame's close box follows.
  void SystemMenuChanged() { ApplyWindowFlags(); }
  TPosition Position = TPosition::poDesigned;
  TWindowState WindowState() const { return window_state_; }
  // A maximised form without a frame is full screen: the window system
  // keeps desktop panels below it.
  bool FullScreen() const {
    return border_style_ == TFormBorderStyle::bsNone && window_state_ == TWindowState::wsMaximized;
  }
  void SetWindowState(TWindowState state);
  bool KeyPreview = false;
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);

  TWinControl* ActiveControl() const { return active_control_; }
  void SetActiveControl(TWinControl* control);
  // Gives the focus to a control of this form (OnExit / OnEnter).
  void FocusControl(TWinControl* control);
  bool Active() const { return active_; }

  bool GetWindowPlacement(TWindowPlacement& placement) const;
  // Keeps the normal rectangle on the primary screen, as the desktop does:
  // no larger than the screen (nor below the smallest tracking size), moved
  // until it lies wholly on it.
  bool SetWindowPlacement(const TWindowPlacement& placement);
  TMinMaxInfo GetMinMaxInfo();

  // Keys that belong to the form before its controls: menu and action shortcuts.
  virtual bool IsShortCut(unsigned short key, TShiftState shift);

  TRect InteriorRect() const override;
  TPoint ClientOrigin() const override;
  bool Showing() const override;
  void SetBounds(int left, int top, int width, int height) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;

  // A resize the user makes with the frame: limited by WM_GETMINMAXINFO and
  // refused where WM_NCHITTEST at the dragged corner is not a sizing edge.
  bool UserResize(int width, int height);

 protected:
  void WndProc(TMessage& message) override;
  void CreateWnd() override;
  void DoShow();
  void DoHide();
  void Activate();
  void Deactivate();
  void DoClose(TCloseAction& action);
  void Notification(TComponent* component, TOperation operation) override;
  void VisibleChanging() override;

 private:
  friend class TWinControl;
  friend class TApplication;
  friend void SetActiveForm(TCustomForm* form);
  // `control` left `parent`.
  void ControlRemoved(TWinControl* control, TWinControl* parent);
  // CM_EXIT up from the control last entered to the first container that
  // holds `control`, then CM_ENTER down to `control`; stops when a handler
  // moves the focus elsewhere meanwhile.
  void MoveEntered(TWinControl* control);
  void DialogKey(TMessage& message);
  void ShowWindow(bool visible);
  TRect FrameInsets() const;
  LRESULT NonClientHitTest(TPoint screenPoint) const;
  void PlaceAtFirstShow();
  void ApplyWindowFlags();
  void MenuChanged();
  // WM_SYSCOMMAND: the window menu's command, when the menu offers it.
  void SystemCommand(UINT command);
  void InitSystemMenu();

  TFormBorderStyle border_style_ = TFormBorderStyle::bsSizeable;
  TBorderIcons border_icons_ = biSystemMenu | biMinimize | biMaximize;
  std::unique_ptr<TSystemMenu> system_menu_;
  TWindowState window_state_ = TWindowState::wsNormal;
  TRect normal_bounds_;
  // A placement's minimised and maximised positions, kept as set (the
  // desktop remembers them; -1 when never set).
  TPoint min_position_{-1, -1};
  TPoint max_position_{-1, -1};
  TMainMenu* menu_ = nullptr;
  TWinControl* active_control_ = nullptr;
  TWinControl* entered_ = nullptr;  // the control last entered (null: the form)
  bool active_ = false;
  bool modal_ = false;
  bool created_ = false;
  bool destroy_fired_ = false;
  bool shown_once_ = false;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};

// Creates a form and fires its OnCreate.
template <typename T, typename... Args>
T* NewForm(TComponent* owner, Args&&... args) {
  T* form = new T(owner, std::forward<Args>(args)...);
  form->AfterConstruction();
  return form;
}

// Makes `form` the program's active form (OnDeactivate on the previous one,
// then OnActivate); null when none of the program's forms is active.
void SetActiveForm(TCustomForm* form);

}  // namespace lark
