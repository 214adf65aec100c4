#include "platform/windows/native_widget.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWheelEvent>

#include "platform/windows/application.h"
#include "platform/windows/win_control.h"

namespace lark {

// Takes a native widget's input into the queue; lets replayed events through.
class TInputFilter : public QObject {
 public:
  TInputFilter(TWindowHandle* handle, QObject* parent) : QObject(parent), handle_(handle) {}
  bool replaying = false;
  QByteArray pending_text;  // bytes of a character still incomplete

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (replaying || !IsInputEvent(event)) return false;
    if (IsReplayPassingUp(static_cast<QWidget*>(watched), event)) {
      event->accept();
      return true;
    }
    auto* widget = static_cast<QWidget*>(parent());
    if (widget->isEnabled()) QueueInputEvent(handle_, event);
    return true;
  }

 private:
  TWindowHandle* handle_;
};

namespace {

// The widget a replayed event is being delivered to, while it is.
QPointer<QWidget> replay_target;
// The replay in progress went up past its target, untaken.
bool replay_passed_up = false;

int QtKeyOf(WPARAM vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<int>(vk);
  switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    default: return 0;
  }
}

Qt::KeyboardModifiers ModifiersNow() {
  Qt::KeyboardModifiers modifiers;
  TShiftState state = KeyboardState();
  if (state & ssShift) modifiers |= Qt::ShiftModifier;
  if (state & ssCtrl) modifiers |= Qt::ControlModifier;
  if (state & ssAlt) modifiers |= Qt::AltModifier;
  return modifiers;
}

// True when the widget took the event.
bool Send(QWidget* widget, TInputFilter* filter, QEvent* event) {
  QPointer<QWidget> outer = replay_target;
  bool outerPassedUp = replay_passed_up;
  replay_target = widget;
  replay_passed_up = false;
  filter->replaying = true;
  QCoreApplication::sendEvent(widget, event);
  filter->replaying = false;
  bool taken = !replay_passed_up && event->isAccepted();
  replay_target = outer;
  replay_passed_up = outerPassedUp;
  return taken;
}

// Widgets that scroll what they show (memos, lists) turn the wheel into
// scrolling; the others leave it to the windows around them.
bool ReplayWheel(QWidget* widget, TInputFilter* filter, const TMessage& message) {
  if (!qobject_cast<QAbstractScrollArea*>(widget)) return false;
  TPoint screen = PointFromLParam(message.LParam);
  QPointF global(screen.X, screen.Y);
  int delta = HiWord(static_cast<LPARAM>(message.WParam));
  QWheelEvent event(widget->mapFromGlobal(global.toPoint()), global, QPoint(), QPoint(0, delta), Qt::NoButton,
                    ModifiersNow(), Qt::NoScrollPhase, false);
  return Send(widget, filter, &event);
}

bool IsArrowKey(WPARAM vk) { return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN; }

bool ReplayMouse(QWidget* widget, TInputFilter* filter, const TMessage& message) {
  QEvent::Type type = QEvent::MouseMove;
  Qt::MouseButton button = Qt::NoButton;
  switch (message.Msg) {
    case WM_LBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::LeftButton; break;
    case WM_LBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::LeftButton; break;
    case WM_LBUTTONDBLCLK: type = QEvent::MouseButtonDblClick; button = Qt::LeftButton; break;
    case WM_RBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::RightButton; break;
    case WM_RBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::RightButton; break;
    default: break;
  }
  Qt::MouseButtons buttons;
  if (message.WParam & MK_LBUTTON) buttons |= Qt::LeftButton;
  if (message.WParam & MK_RBUTTON) buttons |= Qt::RightButton;
  TPoint p = PointFromLParam(message.LParam);
  QPointF local(p.X, p.Y);
  QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, ModifiersNow());
  return Send(widget, filter, &event);
}

}  // namespace

bool IsInputEvent(const QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return true;
    default:
      return false;
  }
}

bool IsReplayPassingUp(const QWidget* widget, const QEvent* event) {
  bool passing = replay_target && widget != replay_target && IsInputEvent(event) && widget->isAncestorOf(replay_target);
  if (passing) replay_passed_up = true;
  return passing;
}

void AttachNativeWidget(TWinControl* control, QWidget* widget) {
  auto* handle = new TWindowHandle;
  handle->control = control;
  handle->widget = widget;
  handle->native = true;
  handle->input_filter = new TInputFilter(handle, widget);
  widget->installEventFilter(handle->input_filter);
  widget->setMouseTracking(true);
  SetNewHandle(control, handle);
}

void RouteInputOf(QWidget* part, TWinControl* control) { part->installEventFilter(control->Handle()->input_filter); }

bool ReplayToWidget(HWND handle, const TMessage& message) {
  QWidget* widget = handle->widget;
  TInputFilter* filter = handle->input_filter;
  if (!filter) return false;
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      int key = QtKeyOf(message.WParam);
      // Typed characters arrive as WM_CHAR; only keys without text go here,
      // and letters with Ctrl (copy, paste, select all: their WM_CHAR is a
      // control code that types nothing).
      const bool control = (KeyboardState() & (ssCtrl | ssAlt)) == ssCtrl;
      const bool typed = (message.WParam >= '0' && message.WParam <= 'Z') || message.WParam == VK_SPACE;
      if (!key || (typed && !control)) return false;
      // The desktop's buttons do nothing with arrow keys; the toolkit's would
      // move the focus behind the layer's back.
      if (IsArrowKey(message.WParam) && qobject_cast<QAbstractButton*>(widget)) return false;
      bool press = message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN;
      QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, ModifiersNow());
      return Send(widget, filter, &event);
    }
    case WM_CHAR: {
      auto byte = static_cast<char>(message.WParam);
      if (static_cast<unsigned char>(byte) < 0x20 && byte != '\r' && byte != '\t') return false;
      if (byte == '\r' || byte == '\t') return false;  // handled as their keys
      filter->pending_text.append(byte);
      QString text = QString::fromUtf8(filter->pending_text);
      if (text.contains(QChar::ReplacementCharacter) && filter->pending_text.size() < 4) return true;
      filter->pending_text.clear();
      QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, ModifiersNow(), text);
      return Send(widget, filter, &event);
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return ReplayMouse(widget, filter, message);
    case WM_MOUSEWHEEL:
      return ReplayWheel(widget, filter, message);
    case WM_CONTEXTMENU:
      // Text widgets show their own editing menu when the window system
      // asks them; the others have none.
      return qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
             qobject_cast<QAbstractSpinBox*>(widget);
    default:
      return false;
  }
}

void ShowOwnScrollBars(QAbstractScrollArea* area, bool vertical, bool horizontal) {
  area->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  area->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

}  // namespace lark
