#include "platform/windows/cursor.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QToolTip>
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

#include "platform/core/little_endian.h"
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

// A cursor file of one uncompressed 32-bit picture whose pixels are each
// opaque or, where the mask says so, wholly see-through (what CursorFile
// writes), read here; anything else is left to the toolkit's reader, which
// loads every image-format plugin before it reads anything: the page's text
// cursor cost the first page that much.
std::optional<QImage> ReadPlainCursorImage(std::string_view file) {
  if (file.size() < 22 || Le16(file, 0) != 0 || Le16(file, 2) != 2 || Le16(file, 4) != 1) return std::nullopt;
  const std::uint32_t length = Le32(file, 14);
  const std::uint32_t offset = Le32(file, 18);
  if (offset > file.size() || length > file.size() - offset || length < 40) return std::nullopt;
  const std::string_view dib = file.substr(offset, length);
  const std::uint32_t width = Le32(dib, 4);
  const std::uint32_t height = Le32(dib, 8) / 2;
  if (Le32(dib, 0) != 40 || width == 0 || width > 256 || height == 0 || height > 256 || Le32(dib, 8) != 2 * height ||
      Le16(dib, 12) != 1 || Le16(dib, 14) != 32 || Le32(dib, 16) != 0 || Le32(dib, 32) != 0)
    return std::nullopt;
  const std::size_t maskRow = (width + 31) / 32 * 4;
  const std::size_t maskStart = 40 + std::size_t{width} * height * 4;
  if (maskStart + maskRow * height > dib.size()) return std::nullopt;
  QImage image(int(width), int(height), QImage::Format_ARGB32);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::size_t fileRow = height - 1 - y;  // rows are stored bottom up
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint32_t argb = Le32(dib, 40 + (fileRow * width + x) * 4);
      const bool seeThrough = (dib[maskStart + fileRow * maskRow + x / 8] >> (7 - x % 8)) & 1;
      if (seeThrough ? argb != 0 : argb >> 24 != 0xFF) return std::nullopt;
      out[x] = argb;
    }
  }
  return image;
}

// A cursor file: the image, the hot spot from the first directory entry
// (bytes 10..13 of the file).
std::optional<QCursor> ReadCursorResource(const std::string& name) {
  std::optional<std::string_view> bytes = FindResource(name);
  if (!bytes || bytes->size() < 22) return std::nullopt;
  QByteArray data(bytes->data(), static_cast<qsizetype>(bytes->size()));
  QPixmap image;
  if (std::optional<QImage> plain = ReadPlainCursorImage(*bytes)) image = QPixmap::fromImage(*plain);
  else if (!image.loadFromData(data, "CUR") && !image.loadFromData(data)) return std::nullopt;
  int hotX = std::min<int>(Le16(*bytes, 10), image.width() - 1);
  int hotY = std::min<int>(Le16(*bytes, 12), image.height() - 1);
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
