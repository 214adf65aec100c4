#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/component.h"
#include "platform/windows/control_types.h"
#include "platform/graphics/geometry.h"
#include "platform/windows/messages.h"

namespace lark {

class TCustomForm;
class TControl;
class TWinControl;
void SetActiveForm(TCustomForm* form);

using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
using TMessageEvent = std::function<void(TMsg& msg, bool& handled)>;
using TExceptionEvent = std::function<void(TObject* sender, const std::exception& error)>;

// The program's message loop and its window-wide state. One instance, made on
// first use together with the window system; forms created with it as owner
// are freed when Run ends.
class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Runs the loop until Terminate (or the main form closes), then frees the
  // forms it owns.
  void Run();
  // Handles every pending message, then returns. Re-entrant; does nothing
  // while a window paints.
  void ProcessMessages();
  // Handles one message, or when none is waiting runs the idle step and
  // sleeps until something arrives.
  void HandleMessage();
  // Handles at most one pending message and returns at once; false when none
  // was waiting. Does nothing while a window paints.
  bool ProcessMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Also the window system's name for the program (window lists, dialogs).
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  TCustomForm* MainForm() const { return main_form_; }
  // True while one of the program's windows is the active one.
  bool Active() const { return active_; }
  // The long hint of the control under the pointer (status-bar text);
  // OnHint hears every change.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  // Hides the hint window; the next one waits the full HintPause again.
  void CancelHint();
  bool ShowHint = true;
  // Milliseconds the pointer rests on a control before its hint shows; while
  // hints are showing, the next control's comes after the short pause; a
  // shown hint hides after HintHidePause (0 or less: when the pointer moves
  // on). Keys and clicks hide it.
  int HintPause = 500;
  int HintShortPause = 50;
  int HintHidePause = 2500;
  std::string ExeName() const;

  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnHint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TExceptionEvent OnException;

  // An exception that escaped a message handler: OnException, or a message box.
  void HandleException(const std::exception& error);
  void ShowException(const std::exception& error);

  // The program's own hidden window (application_window.cpp). Minimising the
  // main form minimises the program: every shown form goes to the task bar
  // and keeps its WindowState; WM_SYSCOMMAND SC_MINIMIZE / SC_RESTORE posted
  // here do the same as Minimize / Restore.
  HWND Handle();
  void Minimize();
  void Restore();
  [[nodiscard]] bool Minimized() const { return minimized_; }
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

  // How deeply modal loops are nested right now.
  int ModalLevel() const { return modal_level_; }

  template <typename T>
  T* CreateForm() {
    T* form = new T(this);
    NoteCreatedForm(form);
    return form;
  }
  void NoteCreatedForm(TCustomForm* form);

  // Activation bookkeeping, driven by the forms.
  void FormActivated(TCustomForm* form);
  void FormDeactivated(TCustomForm* form);
  void SetActive(bool active);

 private:
  std::string title_;
  friend class TCustomForm;
  bool ProcessOneMessage();
  void Dispatch(TMsg& msg);
  bool IsKeyMsg(TMsg& msg);
  void Idle();

  bool terminated_ = false;
  bool active_ = false;
  bool minimized_ = false;
  HWND handle_ = nullptr;
  TCustomForm* main_form_ = nullptr;
  std::string hint_;
  int modal_level_ = 0;
};

// Frees `object` once the outermost message handler now running has
// returned (or at the next idle step when none runs): a handler may drop a
// control whose own handler is still on the stack below it. Never through a
// posted message, which a pump inside that handler would take at once.
void FreeAfterDispatch(std::unique_ptr<TObject> object);

// The one application object (made on first call, with the window system).
TApplication* Application();

// Forms, focus, cursors and fonts of the screen.
class TScreen {
 public:
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(static_cast<size_t>(index)); }
  TCustomForm* ActiveForm() const { return active_form_; }
  TWinControl* ActiveControl() const;
  // The cursor forced on every window (crDefault: each control's own).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  // Registered cursors, by number; the built-in numbers need no registration.
  void RegisterCursor(TCursor id, const std::string& resourceName);
  bool HasCursor(TCursor id) const;
  // The resource a registered cursor comes from (empty when none).
  std::string CursorResource(TCursor id) const;
  std::vector<std::string> Fonts() const;
  int PixelsPerInch() const { return 96; }
  int Width() const;
  int Height() const;

 private:
  friend class TCustomForm;
  friend void SetActiveForm(TCustomForm* form);
  std::vector<TCustomForm*> forms_;
  TCustomForm* active_form_ = nullptr;
  TCursor cursor_ = crDefault;
  std::map<TCursor, std::string> cursors_;
};
TScreen* Screen();

class TMouse {
 public:
  TPoint CursorPos() const;
  void SetCursorPos(TPoint p);
  TControl* Capture() const;
};
TMouse* Mouse();

// A form's window minimised (by its state or with the whole program), or
// the program's own window while the program is minimised.
bool IsIconic(HWND window);

// The keyboard state as of the message being handled.
TShiftState KeyboardState();
// True inside a window's paint; ProcessMessages then does nothing.
bool InPaint();

}  // namespace lark
