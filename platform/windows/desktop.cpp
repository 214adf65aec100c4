#include "platform/windows/desktop.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <map>
#include <optional>

#include "platform/graphics/canvas_device_qt.h"
#include "platform/windows/application.h"
#include "platform/windows/drag.h"
#include "platform/windows/form.h"
#include "platform/windows/qt_bridge.h"

namespace lark {
namespace {

std::optional<TRect>& CursorClip() {
  static std::optional<TRect> clip;
  return clip;
}

// Marks drawn "on the screen" over one top-level window: an image of what
// to invert (white) over the window's pixels, shown above its children by
// exclusive-or. Inverting twice restores, so marks drawn again go away.
class TScreenMarks : public QWidget {
 public:
  explicit TScreenMarks(QWidget* window) : QWidget(window), marks_(window->size(), QImage::Format_RGB32) {
    marks_.fill(Qt::black);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(window->rect());
    show();
  }

  // Inverts the focus-rectangle dots of `rect` (window coordinates).
  void Toggle(const TRect& rect) {
    {
      TCanvas canvas(detail::MakeImageDevice(&marks_));
      canvas.DrawFocusRect(rect);
    }
    raise();
    update();
  }
  [[nodiscard]] bool Empty() const {
    for (int y = 0; y < marks_.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(marks_.constScanLine(y));
      if (std::any_of(line, line + marks_.width(), [](QRgb pixel) { return (pixel & 0xFFFFFF) != 0; }))
        return false;
    }
    return true;
  }
  [[nodiscard]] QSize MarksSize() const { return marks_.size(); }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(event->rect(), marks_, event->rect());
  }

 private:
  QImage marks_;
};

std::map<QWidget*, QPointer<TScreenMarks>>& MarksByWindow() {
  static std::map<QWidget*, QPointer<TScreenMarks>> marks;
  return marks;
}

TScreenMarks* MarksOver(QWidget* window) {
  QPointer<TScreenMarks>& marks = MarksByWindow()[window];
  // A window resized meanwhile starts its marks afresh.
  if (marks && marks->MarksSize() != window->size()) delete marks.data();
  if (!marks) marks = new TScreenMarks(window);
  return marks.data();
}

}  // namespace

bool ClipCursor(const TRect* screenRect) {
  if (screenRect) CursorClip() = *screenRect;
  else CursorClip().reset();
  return true;
}

bool GetClipCursor(TRect& screenRect) {
  if (!CursorClip()) return false;
  screenRect = *CursorClip();
  return true;
}

TPoint ConfineToCursorClip(TPoint screenPoint) {
  const std::optional<TRect>& clip = CursorClip();
  if (!clip) return screenPoint;
  return Point(std::clamp(screenPoint.X, clip->Left, std::max(clip->Left, clip->Right - 1)),
               std::clamp(screenPoint.Y, clip->Top, std::max(clip->Top, clip->Bottom - 1)));
}

TWinControl* WindowFromPoint(TPoint screenPoint) {
  TControl* control = FindDragTarget(screenPoint, false);
  while (control && !dynamic_cast<TWinControl*>(control)) control = control->Parent();
  return static_cast<TWinControl*>(control);
}

void DrawFocusRectOnScreen(const TRect& screenRect) {
  TScreen* screen = Screen();
  for (int i = 0; i < screen->FormCount(); ++i) {
    TCustomForm* form = screen->Forms(i);
    QWidget* window = form->Parent() || !form->Visible() ? nullptr : WidgetOf(form);
    if (!window) continue;
    QPoint origin = window->mapToGlobal(QPoint(0, 0));
    TRect local = screenRect;
    OffsetRect(local, -origin.x(), -origin.y());
    TRect shown;
    if (!IntersectRect(shown, local, Rect(0, 0, window->width(), window->height()))) continue;
    TScreenMarks* marks = MarksOver(window);
    marks->Toggle(local);
    if (marks->Empty()) {
      MarksByWindow().erase(window);
      delete marks;
    }
  }
}

}  // namespace lark
