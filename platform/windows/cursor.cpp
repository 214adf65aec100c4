#include "platform/windows/cursor.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QToolTip>
#include <algorithm>
#include <map>
#include <optional>

#include "platform/graphics/resources.h"
#include "platform/windows/application.h"
#include "platform/windows/hover.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/win_control.h"

namespace lark {
namespace {

Qt::CursorShape ShapeOf(TCursor cursor) {
  switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crDrag: case crMultiDrag: return Qt::DragMoveCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

// A cursor file: the image the toolkit reads, the hot spot from the first
// directory entry (bytes 10..13 of the file).
std::optional<QCursor> ReadCursorResource(const std::string& name) {
  std::optional<std::string_view> bytes = FindResource(name);
  if (!bytes || bytes->size() < 22) return std::nullopt;
  QByteArray data(bytes->data(), static_cast<qsizetype>(bytes->size()));
  QPixmap image;
  if (!image.loadFromData(data, "CUR") && !image.loadFromData(data)) return std::nullopt;
  auto word = [&data](int at) { return static_cast<uchar>(data[at]) | (static_cast<uchar>(data[at + 1]) << 8); };
  int hotX = std::min(word(10), image.width() - 1);
  int hotY = std::min(word(12), image.height() - 1);
  return QCursor(image, hotX, hotY);
}

// Registered cursors, read once.
std::map<TCursor, QCursor>& RegisteredCursors() {
  static std::map<TCursor, QCursor> cursors;
  return cursors;
}

}  // namespace

void ShowHintWindow(const std::string& text, TPoint screenPoint) {
  QToolTip::showText(QPoint(screenPoint.X, screenPoint.Y + 20), QString::fromStdString(text));
}

// The toolkit's tool tip fades out a while after it is told to hide; the
// desktop's hint window goes at once, so a hint never lingers over a control
// that shows none.
void HideHintWindow() {
  QToolTip::hideText();
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->inherits("QTipLabel")) widget->hide();
}

void PointerLeftWindow() {
  QPoint at = QCursor::pos();
  NoteCursorPos(TPoint{at.x(), at.y()});
  hover::RecheckSoon();
}

QCursor QtCursor(TCursor cursor) {
  std::string resource = cursor > 0 ? Screen()->CursorResource(cursor) : std::string();
  if (resource.empty()) return QCursor(ShapeOf(cursor));
  auto& cache = RegisteredCursors();
  auto it = cache.find(cursor);
  if (it == cache.end()) {
    std::optional<QCursor> read = ReadCursorResource(resource);
    it = cache.emplace(cursor, read ? *read : QCursor(Qt::ArrowCursor)).first;
  }
  return it->second;
}

TCursor CursorNumberOf(const QCursor& cursor) {
  if (cursor.shape() == Qt::BitmapCursor) {
    for (const auto& [number, registered] : RegisteredCursors())
      if (registered.pixmap().cacheKey() == cursor.pixmap().cacheKey()) return number;
    return crNone;
  }
  for (TCursor number = crDefault; number >= crSizeAll; --number)
    if (ShapeOf(number) == cursor.shape()) return number == crDefault ? crArrow : number;
  return crNone;
}

void ShowCursorOf(TControl* control) {
  auto* window = dynamic_cast<TWinControl*>(control);
  if (!window) window = control->Parent();
  if (!window || !window->HandleAllocated()) return;
  QWidget* widget = window->Handle()->widget;
  if (control->Cursor() == crDefault) {
    // The window's own cursor (an edit box keeps its text cursor).
    if (widget->testAttribute(Qt::WA_SetCursor)) widget->unsetCursor();
    return;
  }
  QCursor wanted = QtCursor(control->Cursor());
  QCursor shown = widget->cursor();
  bool same = shown.shape() == wanted.shape() &&
              (wanted.shape() != Qt::BitmapCursor || shown.pixmap().cacheKey() == wanted.pixmap().cacheKey());
  if (!widget->testAttribute(Qt::WA_SetCursor) || !same) widget->setCursor(wanted);
}

}  // namespace lark
