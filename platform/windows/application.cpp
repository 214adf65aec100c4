#include "platform/windows/application.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <memory>
#include <vector>

#include "platform/core/message_pump.h"
#include "platform/core/synchronize.h"
#include "platform/graphics/font.h"
#include "platform/windows/action.h"
#include "platform/windows/desktop.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/form.h"
#include "platform/windows/gui_application.h"
#include "platform/windows/hover.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/qt_bridge.h"

namespace lark {
namespace {

// Messages being handled right now, nested by pumps inside handlers.
int g_dispatch_depth = 0;
std::vector<std::unique_ptr<TObject>> g_deferred_objects;
bool g_freeing_deferred = false;

void FreeDeferredObjects() {
  g_freeing_deferred = true;
  while (!g_deferred_objects.empty()) {
    auto objects = std::move(g_deferred_objects);
    g_deferred_objects.clear();
    objects.clear();
  }
  g_freeing_deferred = false;
}

int g_paint_depth = 0;
TShiftState g_keyboard_state = 0;

bool IsKeyDown(UINT msg) { return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN; }

// A key the form took (a shortcut, dialog navigation) is not typed as well:
// the characters it made, queued right behind it, go.
void DropCharactersOf(HWND hwnd) {
  TMsg next;
  while (PeekMessage(next, nullptr, 0, 0, PM_NOREMOVE) && next.hwnd == hwnd &&
         (next.message == WM_CHAR || next.message == WM_SYSCHAR))
    PeekMessage(next, nullptr, 0, 0, PM_REMOVE);
}

// The pop-up menus of the control and its parents know shortcuts too, the
// nearest first (a view's menu answers its keys on whatever form it sits).
bool IsPopupMenuKey(TControl* control, TShortCut shortCut) {
  for (; control; control = control->Parent())
    if (TPopupMenu* menu = control->PopupMenu(); menu && menu->IsShortCut(shortCut)) return true;
  return false;
}

// Copy, cut, paste, undo and select all belong to an edit box that has the
// focus (the address box, a page's text field) before any shortcut: a
// window's Ctrl+C copies the page only when no text field is focused.
bool IsEditingKey(TWinControl* control, WPARAM key, TShiftState shift) {
  if (!(control->Perform(WM_GETDLGCODE, key) & DLGC_HASSETSEL)) return false;
  const TShiftState modifiers = shift & (ssShift | ssCtrl | ssAlt);
  if (modifiers == ssCtrl) return key == 'A' || key == 'C' || key == 'V' || key == 'X' || key == 'Z' || key == VK_INSERT;
  if (modifiers == ssShift) return key == VK_INSERT || key == VK_DELETE;
  return false;
}

bool WantsKey(TWinControl* control, WPARAM key) {
  LRESULT code = control->Perform(WM_GETDLGCODE, key);
  if (code & DLGC_WANTALLKEYS) return true;
  switch (key) {
    case VK_TAB:
      return (code & DLGC_WANTTAB) != 0;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      return (code & DLGC_WANTARROWS) != 0;
    case VK_RETURN:
    case VK_ESCAPE:
      return false;
    default:
      return true;
  }
}

// Fonts added to or removed from the system reach every window of the
// program, as the desktop's WM_FONTCHANGE broadcast does, so lists of fonts
// can rebuild.
void PostFontChange(TWinControl* control) {
  if (control->HandleAllocated()) PostMessage(control->Handle(), WM_FONTCHANGE);
  for (int i = 0; i < control->ControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(control->Controls(i))) PostFontChange(child);
}

void PostFontChangeToAllForms() {
  for (int i = 0; i < Screen()->FormCount(); ++i) PostFontChange(Screen()->Forms(i));
}

}  // namespace

// Paint depth is kept by the window widgets.
void EnterPaint() { ++g_paint_depth; }
void LeavePaint() { --g_paint_depth; }
bool InPaint() { return g_paint_depth > 0; }
TShiftState KeyboardState() { return g_keyboard_state; }

TApplication* Application() {
  // Reachable for the whole run; the forms it owns are freed when Run ends.
  static TApplication* application = new TApplication;
  return application;
}

TApplication::TApplication() : TComponent(nullptr) {
  EnsureGuiApplication();
  SetMessagePump([] { Application()->ProcessMessages(); }, [] { Application()->ProcessMessage(); });
  // Workers that hand calls to this thread wake its loop, which runs them.
  SetSynchronizeWakeUp(WakeGuiThread);
  QObject::connect(qApp, &QGuiApplication::fontDatabaseChanged, qApp, PostFontChangeToAllForms);
}

TApplication::~TApplication() {
  SetSynchronizeWakeUp(nullptr);
  SetMessagePump(nullptr);
}

void TApplication::NoteCreatedForm(TCustomForm* form) {
  if (!main_form_) main_form_ = form;
  form->AfterConstruction();
}

void TApplication::Run() {
  if (main_form_ && !main_form_->Visible()) main_form_->Show();
  while (!terminated_) {
    HandleMessage();
    if (main_form_ == nullptr) terminated_ = true;
  }
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  EnsureGuiApplication();
  QGuiApplication::setApplicationDisplayName(QString::fromStdString(title));
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void FreeAfterDispatch(std::unique_ptr<TObject> object) {
  // While deferred objects are freed no handler runs: what they let go of
  // goes at once, before the objects it may still refer to.
  if (!object || g_freeing_deferred) return;
  g_deferred_objects.push_back(std::move(object));
}

void TApplication::ProcessMessages() {
  if (InPaint()) return;
  while (ProcessOneMessage()) {
  }
  if (g_dispatch_depth == 0) FreeDeferredObjects();
}

bool TApplication::ProcessMessage() { return !InPaint() && ProcessOneMessage(); }

void TApplication::HandleMessage() {
  if (!ProcessOneMessage()) Idle();
}

bool TApplication::ProcessOneMessage() {
  // Calls synchronized from workers count as messages of their own.
  try {
    if (CheckSynchronize()) return true;
  } catch (const std::exception& error) {
    HandleException(error);
    return true;
  }
  TMsg msg;
  if (!PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) return false;
  g_keyboard_state = msg.keyState;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  // A failing handler is reported and the loop goes on, whoever runs it
  // (the main loop, a modal loop, long work pumping messages).
  ++g_dispatch_depth;
  try {
    Dispatch(msg);
  } catch (const std::exception& error) {
    HandleException(error);
  }
  if (--g_dispatch_depth == 0) FreeDeferredObjects();
  return true;
}

void TApplication::Dispatch(TMsg& msg) {
  CallHooks(WH_GETMESSAGE, HC_ACTION, msg);
  if (hover::CancelsHint(msg.message)) hover::CancelHint();
  bool handled = false;
  if (OnMessage) OnMessage(msg, handled);
  if (handled) return;
  if (IsKeyMsg(msg)) {
    if (IsKeyDown(msg.message)) DropCharactersOf(msg.hwnd);
    return;
  }
  if (msg.message == CM_RELEASE) {
    delete TWinControl::FindControl(msg.hwnd);
    return;
  }
  DispatchMessage(msg);
}

// Keys the form takes before its control: menu and action shortcuts, then
// dialog navigation (Tab, arrows, Enter, Escape) unless the control's
// WM_GETDLGCODE keeps the key, then "&" accelerators with Alt.
bool TApplication::IsKeyMsg(TMsg& msg) {
  TWinControl* target = TWinControl::FindControl(msg.hwnd);
  if (!target) return false;
  TCustomForm* form = GetParentForm(target);
  if (!form) return false;
  if (IsKeyDown(msg.message) && !IsEditingKey(target, msg.wParam, g_keyboard_state)) {
    if (IsPopupMenuKey(target, ShortCut(static_cast<unsigned short>(msg.wParam), g_keyboard_state))) return true;
    if (form->IsShortCut(static_cast<unsigned short>(msg.wParam), g_keyboard_state)) return true;
    if (!WantsKey(target, msg.wParam) && form->Perform(CM_DIALOGKEY, msg.wParam, msg.lParam) != 0) return true;
  }
  bool dialogChar = msg.message == WM_SYSCHAR ||
                    (msg.message == WM_CHAR &&
                     !(target->Perform(WM_GETDLGCODE, msg.wParam) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)));
  if (dialogChar && form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0) return true;
  return false;
}

void TApplication::Idle() {
  if (g_dispatch_depth == 0) FreeDeferredObjects();
  bool done = true;
  try {
    // The control under the pointer may have moved, gone or changed.
    hover::Recheck();
    if (OnIdle) OnIdle(this, done);
    UpdateActions();
  } catch (const std::exception& error) {
    HandleException(error);
  }
  if (!done) return;
  // Sleep until the window system or another thread has something for us.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
}

void TApplication::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) OnHint(this);
}

void TApplication::CancelHint() { hover::CancelHint(); }

std::string TApplication::ExeName() const { return QCoreApplication::applicationFilePath().toStdString(); }

void TApplication::HandleException(const std::exception& error) {
  if (OnException) OnException(this, error);
  else ShowException(error);
}

void TApplication::ShowException(const std::exception& error) {
  // Captioned with the program's title, as the desktop's own error box.
  MessageBox(error.what(), Title(), TMsgDlgType::mtError, mbOK);
}

void TApplication::FormActivated(TCustomForm*) { SetActive(true); }

void TApplication::FormDeactivated(TCustomForm*) {}

void TApplication::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (!active) hover::CancelHint();
  // Every window of the program hears about it (hooks included).
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* form = Screen()->Forms(i);
    if (form->HandleAllocated()) SendMessage(form->Handle(), WM_ACTIVATEAPP, active ? 1 : 0);
  }
  if (active && OnActivate) OnActivate(this);
  if (!active && OnDeactivate) OnDeactivate(this);
}

TScreen* Screen() {
  static TScreen screen;
  return &screen;
}

TWinControl* TScreen::ActiveControl() const { return active_form_ ? active_form_->ActiveControl() : nullptr; }

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  EnsureGuiApplication();
  // One override at a time: changing it replaces the one in place.
  if (cursor == crDefault) QGuiApplication::restoreOverrideCursor();
  else if (QGuiApplication::overrideCursor()) QGuiApplication::changeOverrideCursor(QtCursor(cursor));
  else QGuiApplication::setOverrideCursor(QtCursor(cursor));
}

void TScreen::RegisterCursor(TCursor id, const std::string& resourceName) { cursors_[id] = resourceName; }

bool TScreen::HasCursor(TCursor id) const { return id <= 0 ? id >= crSizeAll : cursors_.count(id) > 0; }

std::string TScreen::CursorResource(TCursor id) const {
  auto it = cursors_.find(id);
  return it == cursors_.end() ? std::string() : it->second;
}

std::vector<std::string> TScreen::Fonts() const { return InstalledFontNames(); }

int TScreen::Width() const {
  EnsureGuiApplication();
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 1024;
}

int TScreen::Height() const {
  EnsureGuiApplication();
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 768;
}

TMouse* Mouse() {
  static TMouse mouse;
  return &mouse;
}

TPoint TMouse::CursorPos() const { return LastCursorPos(); }

void TMouse::SetCursorPos(TPoint p) {
  EnsureGuiApplication();
  p = ConfineToCursorClip(p);
  QCursor::setPos(p.X, p.Y);
  NoteCursorPos(p);
}

TControl* TMouse::Capture() const { return GetCaptureControl(); }

}  // namespace lark
