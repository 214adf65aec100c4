#pragma once

// Internal to the window layer: the toolkit side of a window. Only the
// layer's .cpp files include this header.

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "platform/graphics/canvas.h"
#include "platform/windows/control_types.h"
#include "platform/windows/messages.h"

namespace lark {

class TControl;
class TCustomForm;
class TWinControl;
class TWindowWidget;
class TInputFilter;
struct TScrollBarState;
}  // namespace lark

class QScrollBar;

namespace lark {

// One window: the toolkit widget, the retained surface the control paints
// into, and the part of it that needs the control's Paint again.
struct TWindowHandle {
  TWinControl* control = nullptr;
  QWidget* widget = nullptr;
  QImage surface;
  // What the control must paint again. Parts under child windows wait until
  // they are shown, as the window system never shows them while covered.
  QRegion invalid;
  // Parts of the surface nothing has drawn since it grew: shown white should
  // they be shown before the control paints them (redrawing off). Filling
  // them at once would touch every page of every window's surface, most of
  // them under child windows and never seen.
  QRegion blank;
  bool erase_pending = false;
  bool redraw = true;  // WM_SETREDRAW
  // The layer showed and activated this window itself; the window system's
  // late word on it is not a user's switch.
  bool activation_expected = false;
  // Canvases on the surface: the window's own and its windowless children's.
  std::map<const TControl*, std::unique_ptr<TCanvas>> canvases;
  bool painting = false;
  // A toolkit widget that paints itself (no retained surface).
  bool native = false;
  TInputFilter* input_filter = nullptr;  // owned by the widget
  // Rows of the window above the client area (a form's menu bar).
  int top_inset = 0;
  // The window's own scroll bars (SB_HORZ, SB_VERT) and the square between
  // them, made when first needed.
  QScrollBar* scroll_bars[2] = {nullptr, nullptr};
  QWidget* scroll_corner = nullptr;
};

// The canvas a control draws with: on its own window's surface, or for a
// windowless control on its parent's, moved to its position and clipped to
// it. Outside a paint, the window shows what was drawn at its next paint.
TCanvas& ControlCanvas(TControl* control);
// Forgets a windowless control's canvas (it leaves its parent or goes).
void DropCanvas(TWinControl* parent, const TControl* control);


// The widget behind every windowed control: turns the toolkit's input into
// queued messages and shows the retained surface.
class TWindowWidget : public QWidget {
 public:
  TWindowWidget(TWindowHandle* handle, QWidget* parent);
  TWindowHandle* handle() const { return handle_; }
  void detach() { handle_ = nullptr; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  TWindowHandle* handle_;
};

// Converts a toolkit input event for the window into a queued message.
// Returns false for events that are not input.
bool QueueInputEvent(TWindowHandle* handle, QEvent* event);
// Mouse, wheel and key events: what the layer takes into its queue.
bool IsInputEvent(const QEvent* event);
// True for input that the toolkit passes up to `widget` from a widget the
// layer is replaying it to: the target left it alone, and the windows around
// it must not queue it as new input.
bool IsReplayPassingUp(const QWidget* widget, const QEvent* event);
// Brings the retained surface to the window's client size, keeping what it shows.
void ResizeSurface(TWindowHandle* handle, int width, int height);
// Makes a top-level window's backing store (the toolkit's picture of the
// whole window) now and has the system provide its memory on a worker, so
// that the window's first paint does not fault it in page by page.
void PrepareBackingStore(QWidget* window);
// Moves the pixels of `area` by (dx, dy) and marks the uncovered part invalid.
void ScrollSurface(TWindowHandle* handle, int dx, int dy, const QRect& area);
// Runs the control's paint for the invalid part and marks it shown.
void PaintInvalidPart(TWindowHandle* handle);
// The same as a paint of the window: in paint state, an error reported
// after it, the canvases' drawing finished.
void PaintPendingPart(TWindowHandle* handle);

// Who a reporting scroll bar belongs to: a scroll bar control, or a window
// as one of its own bars.
enum class TScrollBarOwner { Control, Window };
// A toolkit scroll bar whose clicks and drags reach `target` through the
// queue as WM_VSCROLL (vertical) or WM_HSCROLL; `state` follows the thumb
// while it is dragged. The wheel never moves the bar itself: over a window's
// own bar it reaches the window as WM_MOUSEWHEEL.
QScrollBar* NewReportingScrollBar(bool vertical, TWinControl* target, TScrollBarState& state, TScrollBarOwner owner);
// Shows a scroll bar state in a toolkit bar.
void ShowScrollState(QScrollBar* bar, const TScrollBarState& state, bool enabled, int singleStep);
// Shows, hides and places a window's own scroll bars beside and below its
// client area after their state, the window's size or Enabled changed.
void PlaceWindowScrollBars(TWinControl* control);
// Restacks the window's own bars above its child windows (a child window
// added or raised would otherwise cover them).
void KeepScrollBarsOnTop(TWindowHandle* handle);

// The toolkit cursor for a cursor number: a built-in shape, or a registered
// cursor read from its resource (the arrow when it cannot be read).
QCursor QtCursor(TCursor cursor);
// The cursor number a toolkit cursor shows (crNone when unknown).
TCursor CursorNumberOf(const QCursor& cursor);

// Picture `index` of an image list for the toolkit's widgets, its masked
// pixels transparent (null when the list has no such picture).
class TCustomImageList;
QIcon ImageListIcon(const TCustomImageList* images, int index);

// Shows a top-level form's window minimised or not, as the form and the
// program say it is.
void ShowIconicState(TCustomForm* form);

// Installs a freshly made handle as the control's window.
void SetNewHandle(TWinControl* control, TWindowHandle* handle);

// Paint depth (see InPaint).
void EnterPaint();
void LeavePaint();

QWidget* WidgetOf(TWinControl* control);
// Puts a message at the end of the queue (thread-safe).
void EnqueueMessage(const TMsg& msg);
// Takes every matching message out of the queue, the others keeping their order.
void RemoveQueuedMessages(const std::function<bool(const TMsg&)>& match);
// Screen position of the pointer as the layer last saw or set it.
TPoint LastCursorPos();
void NoteCursorPos(TPoint screenPoint);

}  // namespace lark
