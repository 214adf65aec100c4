#include <QPaintDevice>
#include <algorithm>
#include <cmath>

#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/raster_ops_qt.h"

namespace lark::detail {

QRect MapToDevice(const QTransform& transform, int x, int y, int width, int height, bool& mirror_x,
                  bool& mirror_y) {
  const QPointF a = transform.map(QPointF(x, y));
  const QPointF b = transform.map(QPointF(x + width, y + height));
  const int x0 = int(std::lround(a.x())), y0 = int(std::lround(a.y()));
  const int x1 = int(std::lround(b.x())), y1 = int(std::lround(b.y()));
  mirror_x = x1 < x0;
  mirror_y = y1 < y0;
  return QRect(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0));
}

QRect MapToDevice(const QTransform& transform, const QRect& rect) {
  bool mirror_x = false, mirror_y = false;
  return MapToDevice(transform, rect.x(), rect.y(), rect.width(), rect.height(), mirror_x, mirror_y);
}

bool WhollyOutsideClip(const DrawCommand& command) {
  if (!command.clip) return false;
  QRectF bounds;
  switch (command.kind) {
    case DrawCommand::Kind::FillRects:
      for (const QRect& r : command.rects) bounds |= QRectF(MapToDevice(command.transform, r));
      break;
    case DrawCommand::Kind::Path: {
      const double scale = std::max(std::abs(command.transform.m11()), std::abs(command.transform.m22()));
      const double pen = command.pen.style() == Qt::NoPen ? 0 : std::max(1.0, command.pen.widthF()) * scale;
      bounds = command.transform.map(command.path).boundingRect().adjusted(-pen, -pen, pen, pen);
      break;
    }
    case DrawCommand::Kind::Text:
      for (const QGlyphRun& run : command.glyphs) bounds |= command.transform.mapRect(run.boundingRect());
      if (command.opaqueRect) bounds |= QRectF(MapToDevice(command.transform, *command.opaqueRect));
      break;
    case DrawCommand::Kind::Image: {
      bool mirror_x = false, mirror_y = false;
      bounds = MapToDevice(command.transform, command.destX, command.destY, command.destWidth, command.destHeight,
                           mirror_x, mirror_y);
      break;
    }
  }
  constexpr int kMargin = 4;
  return !command.clip->intersects(bounds.toAlignedRect().adjusted(-kMargin, -kMargin, kMargin, kMargin));
}

QColor ToQColor(TColor color) {
  const uint32_t rgb = ColorToRGB24(color);
  return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

uint32_t ToRgb24(TColor color) { return ToQColor(color).rgb() & 0xFFFFFF; }

unsigned PenRop(TPenMode mode) {
  switch (mode) {
    case pmBlack: return BLACKNESS;
    case pmWhite: return WHITENESS;
    case pmNot: return DSTINVERT;
    case pmNotCopy: return 0x000F0001;  // NOT pattern
    case pmXor: return PATINVERT;
    case pmNotXor: return 0x00A50065;   // NOT (pattern XOR dest)
    default: return PATCOPY;
  }
}

QBrush ToQBrush(const TBrush& brush) {
  const QColor color = ToQColor(brush.Color);
  switch (brush.Style) {
    case bsClear: return QBrush(Qt::NoBrush);
    case bsHorizontal: return QBrush(color, Qt::HorPattern);
    case bsVertical: return QBrush(color, Qt::VerPattern);
    case bsFDiagonal: return QBrush(color, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(color, Qt::BDiagPattern);
    case bsCross: return QBrush(color, Qt::CrossPattern);
    case bsDiagCross: return QBrush(color, Qt::DiagCrossPattern);
    case bsSolid: break;
  }
  return QBrush(color);
}

QPen ToQPen(const TPen& pen) {
  if (pen.Style == psClear || pen.Mode == pmNop) return QPen(Qt::NoPen);
  QColor color = ToQColor(pen.Color);
  if (pen.Mode == pmBlack) color = Qt::black;
  if (pen.Mode == pmWhite) color = Qt::white;
  QPen result(color, std::max(1, pen.Width));
  result.setCosmetic(false);
  switch (pen.Style) {
    case psDash: result.setStyle(Qt::DashLine); break;
    case psDot: result.setStyle(Qt::DotLine); break;
    case psDashDot: result.setStyle(Qt::DashDotLine); break;
    case psDashDotDot: result.setStyle(Qt::DashDotDotLine); break;
    default: result.setStyle(Qt::SolidLine); break;
  }
  return result;
}

namespace {

void ApplyClip(QPainter& painter, const DrawCommand& command) {
  painter.setWorldTransform(QTransform());
  if (command.clip)
    painter.setClipRegion(*command.clip);
  else
    painter.setClipping(false);
}

uint32_t Rgb24(const QColor& color) { return color.rgb() & 0xFFFFFF; }

// Printers and PDF pages have no pixels to combine with. The visible effect
// of the masked-drawing sequences is kept by leaving out the source pixels
// that leave the destination unchanged under the operation (white for AND,
// black for OR and XOR, black for DSna) and copying the rest.
void DrawImageOnPaper(QPainter& painter, const QRect& dest, bool mirror_x, bool mirror_y,
                      const DrawCommand& command) {
  QImage image = command.image.copy(command.sourceRect).convertToFormat(QImage::Format_ARGB32);
  if (mirror_x || mirror_y) image = image.mirrored(mirror_x, mirror_y);
  uint32_t transparent = 0x1000000;  // none
  bool invert = false;
  switch (command.rop) {
    case SRCAND: transparent = 0xFFFFFF; break;
    case SRCPAINT:
    case SRCINVERT: transparent = 0; break;
    case NOTSRCCOPY: invert = true; break;
    case DSna: transparent = 0; invert = true; break;
    default: break;
  }
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const uint32_t rgb = line[x] & 0xFFFFFF;
      if (rgb == transparent || rgb == command.transparentColor) line[x] = 0;
      else line[x] = 0xFF000000u | (invert ? ~rgb & 0xFFFFFF : rgb);
    }
  }
  if (command.rop == DSna) {  // the source's white pixels paint black
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if (line[x] >> 24) line[x] = 0xFF000000u;
    }
  }
  painter.drawImage(dest, image);
}

void PaintImage(QPainter& painter, QImage* raster, const DrawCommand& command) {
  bool mirror_x = false, mirror_y = false;
  const QRect dest = MapToDevice(command.transform, command.destX, command.destY, command.destWidth,
                                 command.destHeight, mirror_x, mirror_y);
  if (dest.isEmpty()) return;
  if (raster)
    RasterBlt(*raster, dest, mirror_x, mirror_y, command.clip, command.image, command.sourceRect,
              command.rop, command.stretchMode, Rgb24(command.brush.color()), command.transparentColor);
  else
    DrawImageOnPaper(painter, dest, mirror_x, mirror_y, command);
}

void PaintRects(QPainter& painter, QImage* raster, const DrawCommand& command) {
  const bool plain = command.rop == PATCOPY || (command.brush.style() != Qt::SolidPattern);
  for (const QRect& rect : command.rects) {
    const QRect dest = MapToDevice(command.transform, rect);
    if (dest.isEmpty()) continue;
    if (plain)
      painter.fillRect(dest, command.brush);
    else if (raster)
      PatternBlt(*raster, dest, command.clip, command.rop, Rgb24(command.brush.color()));
    else if (command.rop != DSTINVERT)  // inverting is screen feedback: paper keeps nothing of it
      painter.fillRect(dest, command.brush);
  }
}

// Pens of the copying modes paint their colour; the others combine it with
// the target.
bool CombinesWithTarget(unsigned pen_rop) { return pen_rop != PATCOPY && pen_rop != BLACKNESS && pen_rop != WHITENESS; }

// The brush fills as usual; then every pixel that the outline covers, each
// once however often the outline crosses it, is combined with the pen's
// colour, so that an XOR outline drawn twice leaves no trace.
void PaintPathWithPenOperation(QPainter& painter, QImage& raster, const DrawCommand& command) {
  painter.setWorldTransform(command.transform);
  if (command.brush.style() != Qt::NoBrush) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(command.brush);
    painter.drawPath(command.path);
  }
  const qreal margin = command.pen.widthF() + 2;
  const QRect area = command.transform.mapRect(command.path.controlPointRect().adjusted(-margin, -margin, margin, margin))
                         .toAlignedRect()
                         .intersected(raster.rect());
  if (area.isEmpty()) return;
  QImage coverage(area.size(), QImage::Format_ARGB32_Premultiplied);
  coverage.fill(0);
  QPainter cover(&coverage);
  cover.setWorldTransform(command.transform * QTransform::fromTranslate(-area.left(), -area.top()));
  cover.setPen(command.pen);
  cover.setBrush(Qt::NoBrush);
  cover.drawPath(command.path);
  cover.end();
  const uint32_t pen_color = Rgb24(command.pen.color());
  for (const QRect& band : VisibleArea(raster, area, command.clip))
    for (int y = band.top(); y <= band.bottom(); ++y) {
      const auto* covered = reinterpret_cast<const uint32_t*>(coverage.constScanLine(y - area.top()));
      auto* line = reinterpret_cast<uint32_t*>(raster.scanLine(y));
      for (int x = band.left(); x <= band.right(); ++x)
        if (covered[x - area.left()] >> 24)
          line[x] = 0xFF000000u | (ApplyRop3(command.rop, pen_color, 0, line[x] & 0xFFFFFF) & 0xFFFFFF);
    }
}

void PaintPath(QPainter& painter, QImage* raster, const DrawCommand& command) {
  if (raster && command.pen.style() != Qt::NoPen && CombinesWithTarget(command.rop)) {
    PaintPathWithPenOperation(painter, *raster, command);
    return;
  }
  painter.setWorldTransform(command.transform);
  painter.setPen(command.pen);
  painter.setBrush(command.brush);
  painter.drawPath(command.path);
}

void PaintText(QPainter& painter, const DrawCommand& command) {
  if (command.opaqueRect) painter.fillRect(MapToDevice(command.transform, *command.opaqueRect), command.background);
  painter.setWorldTransform(command.transform);
  painter.setPen(command.textColor);
  for (const QGlyphRun& run : command.glyphs) painter.drawGlyphRun(QPointF(0, 0), run);
  for (const QRect& line : command.rects) painter.fillRect(line, command.textColor);
}

}  // namespace

void PaintCommand(QPainter& painter, QImage* raster, const DrawCommand& command) {
  ApplyClip(painter, command);
  switch (command.kind) {
    case DrawCommand::Kind::FillRects: PaintRects(painter, raster, command); break;
    case DrawCommand::Kind::Path: PaintPath(painter, raster, command); break;
    case DrawCommand::Kind::Text: PaintText(painter, command); break;
    case DrawCommand::Kind::Image: PaintImage(painter, raster, command); break;
  }
}

namespace {

bool Paintable(QImage::Format format) {
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

// Paints on an image. Images that QPainter cannot paint on (1-bit, indexed)
// or that keep other layouts are painted through a 32-bit copy that goes
// back at Flush; the raster operations work on that copy too.
class ImageDevice : public CanvasDevice {
 public:
  explicit ImageDevice(QImage* image) : image_(image) {}
  ~ImageDevice() override { Flush(); }

  const TDeviceCaps& Caps() const override {
    caps_.HorzRes = caps_.PhysicalWidth = image_->width();
    caps_.VertRes = caps_.PhysicalHeight = image_->height();
    caps_.BitsPixel = image_->depth() == 1 ? 1 : image_->depth() == 8 ? 8 : 24;
    return caps_;
  }

  void Execute(const DrawCommand& command) override {
    QImage& target = Target();
    if (target.isNull()) return;
    if (!painter_.isActive()) painter_.begin(&target);
    PaintCommand(painter_, &target, command);
  }

  QImage* Pixels() override {
    Flush();
    return image_;
  }

  void Flush() override {
    if (painter_.isActive()) painter_.end();
    if (shadow_.isNull()) return;
    *image_ = ConvertBack(shadow_, *image_);
    shadow_ = QImage();
  }

 private:
  QImage& Target() {
    if (Paintable(image_->format())) return *image_;
    if (shadow_.isNull()) shadow_ = image_->convertToFormat(QImage::Format_RGB32);
    return shadow_;
  }

  static QImage ConvertBack(const QImage& shadow, const QImage& original) {
    if (original.format() != QImage::Format_Mono)
      return shadow.convertToFormat(original.format(), original.colorTable());
    // One bit: each pixel takes the nearer of the two table colours by brightness.
    QImage result = original.copy();
    const auto table = original.colorTable();
    const int white = table.size() > 1 && qGray(table[1]) > qGray(table[0]) ? 1 : 0;
    // Bits written in place (most significant first): a call per pixel cost
    // a masked image list most of its making.
    for (int y = 0; y < shadow.height(); ++y) {
      const auto* line = reinterpret_cast<const uint32_t*>(shadow.constScanLine(y));
      uchar* bits = result.scanLine(y);
      for (int x = 0; x < shadow.width(); ++x) {
        const int index = qGray(line[x]) >= 128 ? white : 1 - white;
        const auto bit = static_cast<uchar>(0x80 >> (x & 7));
        bits[x >> 3] = index ? bits[x >> 3] | bit : bits[x >> 3] & ~bit;
      }
    }
    return result;
  }

  QImage* image_;
  QImage shadow_;
  QPainter painter_;
  mutable TDeviceCaps caps_;
};

class PaperDevice : public CanvasDevice {
 public:
  // Painting starts at once, so that a page with nothing drawn on it still
  // counts as a page.
  // A device that cannot be painted on (an output file that cannot be
  // made) is not a valid printer.
  PaperDevice(QPaintDevice* device, const TDeviceCaps& caps) : device_(device), caps_(caps) {
    if (!painter_.begin(device_)) throw EPrinter("Printer selected is not valid");
  }
  ~PaperDevice() override { Flush(); }

  const TDeviceCaps& Caps() const override { return caps_; }

  void Execute(const DrawCommand& command) override {
    if (WhollyOutsideClip(command)) return;
    if (!painter_.isActive()) painter_.begin(device_);
    PaintCommand(painter_, nullptr, command);
  }

  void Flush() override {
    if (painter_.isActive()) painter_.end();
  }

 private:
  QPaintDevice* device_;
  TDeviceCaps caps_;
  QPainter painter_;
};

}  // namespace

std::unique_ptr<CanvasDevice> MakeImageDevice(QImage* image) { return std::make_unique<ImageDevice>(image); }

std::unique_ptr<CanvasDevice> MakePaperDevice(QPaintDevice* device, const TDeviceCaps& caps) {
  return std::make_unique<PaperDevice>(device, caps);
}

}  // namespace lark::detail
