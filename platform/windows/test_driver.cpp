#include "platform/windows/test_driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyleOptionMenuItem>
#include <QToolTip>
#include <QWheelEvent>

#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/qt_bridge.h"

namespace lark {
namespace {

std::function<void(TCustomForm*)>& ModalHandler() {
  static std::function<void(TCustomForm*)> handler;
  return handler;
}
std::function<int(const std::string&, TMsgDlgType, TMsgDlgButtons)>& BoxAnswer() {
  static std::function<int(const std::string&, TMsgDlgType, TMsgDlgButtons)> answer;
  return answer;
}
std::string& LastCaption() {
  static std::string caption;
  return caption;
}
std::function<TMenuItem*(TPopupMenu*, TPoint)>& MenuAnswer() {
  static std::function<TMenuItem*(TPopupMenu*, TPoint)> answer;
  return answer;
}

std::function<bool(TCommonDialog*)>& DialogAnswer() {
  static std::function<bool(TCommonDialog*)> answer;
  return answer;
}
std::function<void(const std::string&, const std::vector<std::string>&)>& StartCapture() {
  static std::function<void(const std::string&, const std::vector<std::string>&)> capture;
  return capture;
}

Qt::KeyboardModifiers Modifiers(TShiftState shift) {
  Qt::KeyboardModifiers modifiers;
  if (shift & ssShift) modifiers |= Qt::ShiftModifier;
  if (shift & ssCtrl) modifiers |= Qt::ControlModifier;
  if (shift & ssAlt) modifiers |= Qt::AltModifier;
  return modifiers;
}

Qt::MouseButton QtButton(TMouseButton button) {
  switch (button) {
    case TMouseButton::mbRight:
      return Qt::RightButton;
    case TMouseButton::mbMiddle:
      return Qt::MiddleButton;
    default:
      return Qt::LeftButton;
  }
}

Qt::MouseButtons g_buttons;

// The window under a control's client point: the control's own window, or
// for a windowless control its parent's, then the deepest child window there.
QWidget* WidgetAt(TControl* control, TPoint screen) {
  TWinControl* win = dynamic_cast<TWinControl*>(control);
  if (!win) win = control->Parent();
  QWidget* widget = WidgetOf(win);
  if (!widget) return nullptr;
  QPoint local = widget->mapFromGlobal(QPoint(screen.X, screen.Y));
  QWidget* child = widget->childAt(local);
  return child ? child : widget;
}

void SendMouse(TControl* control, QEvent::Type type, Qt::MouseButton button, int x, int y, TShiftState shift) {
  TPoint screen = control->ClientToScreen(Point(x, y));
  QWidget* widget = WidgetAt(control, screen);
  if (!widget) return;
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) g_buttons |= button;
  if (type == QEvent::MouseButtonRelease) g_buttons &= ~Qt::MouseButtons(button);
  QPointF global(screen.X, screen.Y);
  QPointF local = widget->mapFromGlobal(global.toPoint());
  QMouseEvent event(type, local, global, button, g_buttons, Modifiers(shift));
  QCoreApplication::sendEvent(widget, &event);
}

QWidget* KeyTarget() {
  TCustomForm* form = Screen()->ActiveForm();
  if (!form) return nullptr;
  TWinControl* control = form->ActiveControl() ? form->ActiveControl() : form;
  return WidgetOf(control);
}

int QtKey(unsigned short key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return key;
  if (key >= VK_F1 && key <= VK_F1 + 23) return Qt::Key_F1 + (key - VK_F1);
  switch (key) {
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_TAB: return Qt::Key_Tab;
    case VK_BACK: return Qt::Key_Backspace;
    case VK_SPACE: return Qt::Key_Space;
    case VK_LEFT: return Qt::Key_Left;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_UP: return Qt::Key_Up;
    case VK_DOWN: return Qt::Key_Down;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_HOME: return Qt::Key_Home;
    case VK_END: return Qt::Key_End;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    default: return Qt::Key_unknown;
  }
}

QString KeyText(unsigned short key, TShiftState shift) {
  if (shift & (ssCtrl | ssAlt)) return QString();
  if (key >= 'A' && key <= 'Z') return QString(QChar((shift & ssShift) ? key : key - 'A' + 'a'));
  if (key >= '0' && key <= '9') return QString(QChar(key));
  switch (key) {
    case VK_RETURN: return QStringLiteral("\r");
    case VK_ESCAPE: return QString(QChar(0x1B));
    case VK_TAB: return QStringLiteral("\t");
    case VK_BACK: return QStringLiteral("\b");
    case VK_SPACE: return QStringLiteral(" ");
    default: return QString();
  }
}

void SendKey(QEvent::Type type, int qtKey, TShiftState shift, const QString& text) {
  QWidget* widget = KeyTarget();
  if (!widget) return;
  QKeyEvent event(type, qtKey, Modifiers(shift), text);
  QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

namespace test_driver {

void MouseMove(TControl* control, int x, int y, TShiftState shift) {
  SendMouse(control, QEvent::MouseMove, Qt::NoButton, x, y, shift);
}

void MouseDown(TControl* control, TMouseButton button, int x, int y, TShiftState shift) {
  SendMouse(control, QEvent::MouseButtonPress, QtButton(button), x, y, shift);
}

void MouseUp(TControl* control, TMouseButton button, int x, int y, TShiftState shift) {
  SendMouse(control, QEvent::MouseButtonRelease, QtButton(button), x, y, shift);
}

void DoubleClick(TControl* control, int x, int y) {
  Click(control, x, y);
  SendMouse(control, QEvent::MouseButtonDblClick, Qt::LeftButton, x, y, 0);
  MouseUp(control, TMouseButton::mbLeft, x, y);
}

void Click(TControl* control, int x, int y) {
  MouseDown(control, TMouseButton::mbLeft, x, y);
  MouseUp(control, TMouseButton::mbLeft, x, y);
}

void Wheel(TControl* control, int x, int y, int delta) {
  TPoint screen = control->ClientToScreen(Point(x, y));
  QWidget* widget = WidgetAt(control, screen);
  if (!widget) return;
  QPointF global(screen.X, screen.Y);
  QWheelEvent event(widget->mapFromGlobal(global.toPoint()), global, QPoint(), QPoint(0, delta), g_buttons,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(widget, &event);
}

void KeyDown(unsigned short key, TShiftState shift) {
  SendKey(QEvent::KeyPress, QtKey(key), shift, KeyText(key, shift));
}

void KeyUp(unsigned short key, TShiftState shift) { SendKey(QEvent::KeyRelease, QtKey(key), shift, QString()); }

void PressKey(unsigned short key, TShiftState shift) {
  KeyDown(key, shift);
  KeyUp(key, shift);
}

void TypeText(const std::string& text) {
  QString unicode = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (QChar ch : unicode) {
    SendKey(QEvent::KeyPress, Qt::Key_unknown, 0, QString(ch));
    SendKey(QEvent::KeyRelease, Qt::Key_unknown, 0, QString());
  }
}

void SetCursorPos(TPoint screenPoint) { Mouse()->SetCursorPos(screenPoint); }

void ActivateWindow(TCustomForm* form) {
  QWidget* widget = WidgetOf(form);
  if (!widget) return;
  form->Handle()->activation_expected = false;
  QEvent event(QEvent::WindowActivate);
  QCoreApplication::sendEvent(widget, &event);
}

void SetApplicationActive(bool active) { Application()->SetActive(active); }

void OpenDropDown(TWinControl* combo) {
  auto* box = qobject_cast<QComboBox*>(WidgetOf(combo));
  if (!box) return;
  box->showPopup();
  QCoreApplication::processEvents();
  box->view()->grab();
  box->hidePopup();
}

// The entry of a form's menu bar at a path of captions, or null.
static QAction* MenuBarEntry(TCustomForm* form, const std::string& path) {
  QWidget* window = WidgetOf(form);
  auto* bar = window ? window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
  if (!bar) return nullptr;
  QList<QAction*> actions = bar->actions();
  QAction* found = nullptr;
  for (const QString& caption : QString::fromStdString(path).split(QLatin1Char('/'))) {
    found = nullptr;
    for (QAction* action : actions)
      if (action->text() == caption) found = action;
    if (!found) return nullptr;
    if (found->menu()) actions = found->menu()->actions();
  }
  return found;
}

bool ChooseMenuBarEntry(TCustomForm* form, const std::string& path) {
  QAction* found = MenuBarEntry(form, path);
  if (!found) return false;
  found->trigger();
  return true;
}

std::string ShownHint() {
  QCoreApplication::processEvents();
  return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
}

void ResizeWindow(TCustomForm* form, int width, int height) {
  if (QWidget* widget = WidgetOf(form)) widget->resize(width, height);
}

TRect DismissPopupMenu() {
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) return TRect{};
  QRect shown = menu->geometry();
  menu->close();
  return Rect(shown.left(), shown.top(), shown.right() + 1, shown.bottom() + 1);
}

bool AcceptToolkitDialog() {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (!dialog) return false;
  dialog->accept();
  return true;
}

bool RejectToolkitDialog() {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (!dialog) return false;
  dialog->reject();
  return true;
}

TRect ToolkitDialogBounds() {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (!dialog) return TRect{};
  const QRect frame = dialog->frameGeometry();
  return Rect(frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height());
}

std::vector<std::int64_t> PopupMenuPictures() {
  std::vector<std::int64_t> pictures;
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) return pictures;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    if (action->icon().isNull()) {
      pictures.push_back(-1);
      continue;
    }
    QImage image = action->icon().pixmap(16, 16).toImage();
    pictures.push_back(image.pixel(image.width() / 2, image.height() / 2) & 0xFFFFFF);
  }
  return pictures;
}

// The toolkit paints a menu entry from the options its menu gives it.
struct TMenuOptions : QMenu {
  using QMenu::initStyleOption;
};

static std::vector<std::string> MenuMarks(QMenu* menu) {
  std::vector<std::string> marks;
  if (!menu) return marks;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    QStyleOptionMenuItem option;
    (menu->*&TMenuOptions::initStyleOption)(&option, action);
    if (option.checkType == QStyleOptionMenuItem::NotCheckable || !option.checked) marks.emplace_back();
    else marks.emplace_back(option.checkType == QStyleOptionMenuItem::Exclusive ? "radio" : "check");
  }
  return marks;
}

std::vector<std::string> PopupMenuMarks() { return MenuMarks(qobject_cast<QMenu*>(QApplication::activePopupWidget())); }

std::vector<std::string> MenuBarMarks(TCustomForm* form, const std::string& path) {
  QAction* entry = MenuBarEntry(form, path);
  return MenuMarks(entry ? entry->menu() : nullptr);
}

void ChangeWindowState(TCustomForm* form, TWindowState state) {
  QWidget* widget = WidgetOf(form);
  if (!widget) return;
  widget->setWindowState(state == TWindowState::wsMaximized   ? Qt::WindowMaximized
                         : state == TWindowState::wsMinimized ? Qt::WindowMinimized
                                                              : Qt::WindowNoState);
}

bool ShownMinimized(TCustomForm* form) {
  QWidget* widget = WidgetOf(form);
  return widget && widget->isMinimized();
}

void ClickCloseBox(TCustomForm* form) {
  QWidget* widget = WidgetOf(form);
  if (!widget) return;
  QCloseEvent event;
  QCoreApplication::sendEvent(widget, &event);
}

bool FrameHasCloseBox(TCustomForm* form) {
  QWidget* widget = WidgetOf(form);
  return widget && (widget->windowFlags() & Qt::WindowCloseButtonHint);
}

bool InstallFont(const std::string& fileName) {
  return QFontDatabase::addApplicationFont(QString::fromStdString(fileName)) >= 0;
}

std::string ShownApplicationName() { return QGuiApplication::applicationDisplayName().toStdString(); }

TCursor ShownCursor(TWinControl* window) {
  if (const QCursor* forced = QGuiApplication::overrideCursor()) return CursorNumberOf(*forced);
  QWidget* widget = WidgetOf(window);
  if (!widget || !widget->testAttribute(Qt::WA_SetCursor)) return crDefault;
  return CursorNumberOf(widget->cursor());
}

std::uint32_t CursorPixel(TCursor cursor, int x, int y) {
  return QtCursor(cursor).pixmap().toImage().convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

TPoint CursorHotSpot(TCursor cursor) {
  const QPoint hotSpot = QtCursor(cursor).hotSpot();
  return TPoint{hotSpot.x(), hotSpot.y()};
}

bool HasKeyboardFocus(TWinControl* control) {
  QWidget* focus = QApplication::focusWidget();
  QWidget* widget = WidgetOf(control);
  return focus && widget && (focus == widget || widget->isAncestorOf(focus));
}

void PumpWindowSystem() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

std::uint32_t PixelAt(TWinControl* control, int x, int y) {
  QWidget* widget = WidgetOf(control);
  if (!widget) return 0;
  QImage shown = widget->grab(QRect(x, y, 1, 1)).toImage();
  return shown.isNull() ? 0 : (shown.pixel(0, 0) & 0xFFFFFF);
}

bool SaveWindowPicture(TWinControl* control, const std::string& fileName) {
  QWidget* widget = WidgetOf(control);
  return widget && widget->grab().save(QString::fromStdString(fileName), "PNG");
}

void OnModalShown(std::function<void(TCustomForm*)> handler) { ModalHandler() = std::move(handler); }

void AnswerMessageBoxes(std::function<int(const std::string&, TMsgDlgType, TMsgDlgButtons)> answer) {
  BoxAnswer() = std::move(answer);
}

void AnswerPopupMenus(std::function<TMenuItem*(TPopupMenu*, TPoint)> answer) { MenuAnswer() = std::move(answer); }

void AnswerDialogs(std::function<bool(TCommonDialog*)> answer) { DialogAnswer() = std::move(answer); }

void CaptureStarts(std::function<void(const std::string&, const std::vector<std::string>&)> capture) {
  StartCapture() = std::move(capture);
}

void Reset() {
  DialogAnswer() = nullptr;
  StartCapture() = nullptr;
  ModalHandler() = nullptr;
  BoxAnswer() = nullptr;
  MenuAnswer() = nullptr;
  g_buttons = Qt::NoButton;
}

std::string LastMessageBoxCaption() { return LastCaption(); }

}  // namespace test_driver

void NotifyModalShown(TCustomForm* form) {
  if (auto handler = ModalHandler()) handler(form);
}

bool AnswerMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                      TMsgDlgButtons buttons, int& result) {
  if (!BoxAnswer()) return false;
  LastCaption() = caption;
  result = BoxAnswer()(text, type, buttons);
  return true;
}

bool AnswerPopupMenu(TPopupMenu* menu, TPoint screenPoint, TMenuItem*& choice) {
  if (!MenuAnswer()) return false;
  choice = MenuAnswer()(menu, screenPoint);
  return true;
}

bool AnswerDialog(TCommonDialog* dialog, bool& confirmed) {
  if (!DialogAnswer()) return false;
  confirmed = DialogAnswer()(dialog);
  return true;
}

bool InterceptsStarts() { return static_cast<bool>(StartCapture()); }

bool InterceptStart(const std::string& program, const std::vector<std::string>& arguments) {
  if (!StartCapture()) return false;
  StartCapture()(program, arguments);
  return true;
}

}  // namespace lark
