#include "platform/graphics/canvas.h"

#include <QtMath>
#include <cmath>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/bitmap_data_qt.h"
#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/region_data_qt.h"

namespace lark {

using detail::DrawCommand;
using Kind = detail::DrawCommand::Kind;

namespace detail {

QTransform DeviceTransform(const GdiState& state) {
  double sx = 1, sy = 1;
  if (state.MapMode == MM_ANISOTROPIC || state.MapMode == MM_ISOTROPIC) {
    sx = state.WindowExt.cx ? double(state.ViewportExt.cx) / state.WindowExt.cx : 1;
    sy = state.WindowExt.cy ? double(state.ViewportExt.cy) / state.WindowExt.cy : 1;
    if (state.MapMode == MM_ISOTROPIC) {
      const double scale = std::min(std::abs(sx), std::abs(sy));
      sx = std::copysign(scale, sx);
      sy = std::copysign(scale, sy);
    }
  }
  return QTransform(sx, 0, 0, sy, state.ViewportOrg.X - state.WindowOrg.X * sx,
                    state.ViewportOrg.Y - state.WindowOrg.Y * sy);
}

DrawCommand NewCommand(TCanvas& canvas, DrawCommand::Kind kind) {
  DrawCommand command;
  command.kind = kind;
  command.transform = DeviceTransform(canvas.State());
  if (canvas.State().Clip) command.clip = ToQRegion(*canvas.State().Clip);
  return command;
}

DrawCommand FillCommand(TCanvas& canvas, const QBrush& brush) {
  DrawCommand command = NewCommand(canvas, DrawCommand::Kind::FillRects);
  command.brush = brush;
  command.rop = PATCOPY;
  return command;
}

}  // namespace detail

namespace {

QBrush BrushOf(const TBrush& brush) {
  if (brush.Bitmap && brush.Style != bsClear && !brush.Bitmap->Empty())
    return QBrush(detail::ToRgb32(const_cast<TBitmap*>(brush.Bitmap)->Data().image));
  return detail::ToQBrush(brush);
}

bool IsPlainPen(const TPen& pen) { return pen.Style == psSolid || pen.Style == psInsideFrame; }

// The pixels a straight line or a frame of the pen covers, by its mode.
DrawCommand PenCommand(TCanvas& canvas, const TPen& pen) {
  DrawCommand command = detail::FillCommand(canvas, QBrush(detail::ToQColor(pen.Color)));
  command.rop = detail::PenRop(pen.Mode);
  return command;
}

// A shape outlined by the pen, with the operation by which the pen's pixels
// combine with the target.
DrawCommand PathCommand(TCanvas& canvas, const TPen& pen) {
  DrawCommand command = detail::NewCommand(canvas, Kind::Path);
  command.pen = detail::ToQPen(pen);
  command.rop = detail::PenRop(pen.Mode);
  return command;
}

}  // namespace

TCanvas::TCanvas(std::unique_ptr<detail::CanvasDevice> device) : device_(std::move(device)) {}
TCanvas::~TCanvas() = default;

void TCanvas::ResetDeviceState() {
  state_ = {};
  synced_font_color_ = clNone;
  synced_brush_ = {clNone, bsSolid, nullptr};
}

const TDeviceCaps& TCanvas::Caps() const { return device_->Caps(); }

void TCanvas::SyncTextColors() {
  if (font_.Color() != synced_font_color_) {
    synced_font_color_ = font_.Color();
    state_.TextColor = font_.Color();
  }
  if (brush_.Color != synced_brush_.Color || brush_.Style != synced_brush_.Style) {
    synced_brush_ = brush_;
    state_.BkColor = brush_.Color;
    state_.BkMode = brush_.Style == bsClear ? TRANSPARENT : OPAQUE;
  }
}

void TCanvas::LineTo(int x, int y) {
  const TPoint from = pen_pos_;
  pen_pos_ = {x, y};
  if (pen_.Style == psClear || from == pen_pos_) return;
  if (IsPlainPen(pen_) && (from.X == x || from.Y == y)) {
    // Straight lines are exact: every pixel from the start up to, not
    // including, the end, the pen's width centred on the line. As on the
    // desktop's canvases a line covers at least one device pixel, however
    // far the mapping shrinks it (a print preview's grid and rules).
    int width = std::max(1, pen_.Width);
    const QTransform toDevice = detail::DeviceTransform(state_);
    const double across = std::abs(from.Y == y ? toDevice.m22() : toDevice.m11());
    if (across > 0 && width * across < 1) width = static_cast<int>(std::ceil(1 / across));
    const int before = (width - 1) / 2;
    DrawCommand command = PenCommand(*this, pen_);
    if (from.Y == y) {
      const int left = x > from.X ? from.X : x + 1, right = x > from.X ? x : from.X + 1;
      command.rects.push_back(QRect(left, y - before, right - left, width));
    } else {
      const int top = y > from.Y ? from.Y : y + 1, bottom = y > from.Y ? y : from.Y + 1;
      command.rects.push_back(QRect(x - before, top, width, bottom - top));
    }
    device_->Execute(command);
    return;
  }
  DrawCommand command = PathCommand(*this, pen_);
  command.path.moveTo(from.X + 0.5, from.Y + 0.5);
  command.path.lineTo(x + 0.5, y + 0.5);
  device_->Execute(command);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  DrawCommand command = PathCommand(*this, pen_);
  command.path.moveTo(points[0].X + 0.5, points[0].Y + 0.5);
  for (size_t i = 1; i < points.size(); ++i) command.path.lineTo(points[i].X + 0.5, points[i].Y + 0.5);
  device_->Execute(command);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  DrawCommand command = PathCommand(*this, pen_);
  QPolygonF polygon;
  for (const TPoint& p : points) polygon << QPointF(p.X + 0.5, p.Y + 0.5);
  command.path.addPolygon(polygon);
  command.path.closeSubpath();
  command.brush = BrushOf(brush_);
  device_->Execute(command);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (pen_.Style == psClear) {
    // Without a pen the filled area is one pixel smaller on the right and bottom.
    if (brush_.Style == bsClear) return;
    DrawCommand command = detail::FillCommand(*this, BrushOf(brush_));
    command.rects.push_back(QRect(left, top, right - left - 1, bottom - top - 1));
    device_->Execute(command);
    return;
  }
  if (!IsPlainPen(pen_)) {
    DrawCommand command = PathCommand(*this, pen_);
    command.path.addRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
    command.brush = BrushOf(brush_);
    device_->Execute(command);
    return;
  }
  const int w = std::max(1, pen_.Width);
  const QRect outer(left, top, right - left, bottom - top);
  const QRect inner = outer.adjusted(w, w, -w, -w);
  if (brush_.Style != bsClear && !inner.isEmpty()) {
    DrawCommand fill = detail::FillCommand(*this, BrushOf(brush_));
    fill.rects.push_back(inner);
    device_->Execute(fill);
  }
  DrawCommand frame = PenCommand(*this, pen_);
  frame.rects = {QRect(left, top, outer.width(), w), QRect(left, bottom - w, outer.width(), w),
                 QRect(left, top + w, w, outer.height() - 2 * w),
                 QRect(right - w, top + w, w, outer.height() - 2 * w)};
  device_->Execute(frame);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  DrawCommand command = PathCommand(*this, pen_);
  command.path.addEllipse(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
  command.brush = BrushOf(brush_);
  device_->Execute(command);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  const QRectF box(x1 + 0.5, y1 + 0.5, x2 - x1 - 1, y2 - y1 - 1);
  const QPointF centre = box.center();
  auto angle = [&](int x, int y) { return qRadiansToDegrees(std::atan2(centre.y() - y, x - centre.x())); };
  const double start = angle(x3, y3);
  double sweep = angle(x4, y4) - start;
  if (sweep <= 0) sweep += 360;
  DrawCommand command = PathCommand(*this, pen_);
  command.path.arcMoveTo(box, start);
  command.path.arcTo(box, start, sweep);
  device_->Execute(command);
}

void TCanvas::FillRect(const TRect& rect) {
  if (brush_.Style == bsClear) return;
  DrawCommand command = detail::FillCommand(*this, BrushOf(brush_));
  command.rects.push_back(detail::ToQRect(rect));
  device_->Execute(command);
}

void TCanvas::FrameRect(const TRect& rect) {
  if (rect.IsEmpty()) return;
  DrawCommand command = detail::FillCommand(*this, BrushOf(brush_));
  const int w = rect.Width(), h = rect.Height();
  command.rects = {QRect(rect.Left, rect.Top, w, 1), QRect(rect.Left, rect.Bottom - 1, w, 1),
                   QRect(rect.Left, rect.Top + 1, 1, h - 2), QRect(rect.Right - 1, rect.Top + 1, 1, h - 2)};
  device_->Execute(command);
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  if (rect.IsEmpty()) return;
  DrawCommand command = detail::FillCommand(*this, QBrush(Qt::white));
  command.rop = DSTINVERT;
  // Every other pixel around the edge, starting at the top-left corner.
  auto dot = [&](int x, int y) {
    if (((x - rect.Left) + (y - rect.Top)) % 2 == 0) command.rects.push_back(QRect(x, y, 1, 1));
  };
  for (int x = rect.Left; x < rect.Right; ++x) {
    dot(x, rect.Top);
    if (rect.Bottom - 1 > rect.Top) dot(x, rect.Bottom - 1);
  }
  for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
    dot(rect.Left, y);
    if (rect.Right - 1 > rect.Left) dot(rect.Right - 1, y);
  }
  device_->Execute(command);
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
  graphic.DrawOn(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) { graphic.DrawOn(*this, rect); }

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& source_rect) {
  StretchBlt(*this, dest.Left, dest.Top, dest.Width(), dest.Height(), &source, source_rect.Left,
             source_rect.Top, source_rect.Width(), source_rect.Height(), copy_mode_);
}

TColor TCanvas::Pixel(int x, int y) {
  QImage* image = device_->Pixels();
  TPoint p{x, y};
  LPtoDP(*this, &p, 1);
  if (!image || !image->rect().contains(p.X, p.Y)) return clNone;
  const QRgb rgb = image->pixel(p.X, p.Y);
  return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  DrawCommand command = detail::FillCommand(*this, QBrush(detail::ToQColor(color)));
  command.rects.push_back(QRect(x, y, 1, 1));
  device_->Execute(command);
}

TRect TCanvas::ClipRect() {
  TRect rect;
  GetClipBox(*this, rect);
  return rect;
}

}  // namespace lark
