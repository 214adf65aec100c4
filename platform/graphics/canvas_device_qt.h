#pragma once

// Layer internal: what a canvas draws on. Every drawing call of TCanvas
// becomes one DrawCommand, which a device either paints (bitmaps, window
// surfaces, printer pages) or keeps (metafiles, to be replayed later through
// the same painting code).

#include <QColor>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/canvas.h"

namespace lark::detail {

struct DrawCommand {
  enum class Kind {
    FillRects,  // rects filled with brush, combined by rop (PATCOPY paints)
    Path,       // path filled with brush and outlined with pen, in logical units
    Text,       // positioned glyph runs
    Image,      // image sourceRect stretched onto destRect with a raster operation
  };
  Kind kind = Kind::FillRects;
  QTransform transform;         // logical -> device
  std::optional<QRegion> clip;  // device pixels

  std::vector<QRect> rects;  // logical units
  QPainterPath path;
  QPen pen = QPen(Qt::NoPen);
  QBrush brush = QBrush(Qt::NoBrush);

  std::vector<QGlyphRun> glyphs;  // positions in logical units
  std::string text;               // the bytes drawn, for reading a display list
  std::vector<int> charX;         // left edge of each character
  int baseline = 0;
  QColor textColor;
  std::optional<QRect> opaqueRect;  // filled with background first
  QColor background;

  QImage image;
  QRect sourceRect;  // image pixels
  // Logical units; a negative width or height mirrors the image.
  int destX = 0, destY = 0, destWidth = 0, destHeight = 0;
  // FillRects: an operation on brush and target; Path: the one by which the
  // pen's pixels combine with the target (exact on images only).
  unsigned rop = SRCCOPY;
  int stretchMode = 3;
  uint32_t transparentColor = 0x1000000;  // a source colour to leave out; none by default
};

inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
inline TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// Maps a logical rectangle to device pixels, rounding each edge.
QRect MapToDevice(const QTransform& transform, const QRect& rect);
// The same for a rectangle from (x, y) spanning width x height, which may be
// negative; mirror_x / mirror_y tell whether the device rectangle runs backwards.
QRect MapToDevice(const QTransform& transform, int x, int y, int width, int height, bool& mirror_x,
                  bool& mirror_y);

class CanvasDevice {
 public:
  virtual ~CanvasDevice() = default;
  [[nodiscard]] virtual const TDeviceCaps& Caps() const = 0;
  virtual void Execute(const DrawCommand& command) = 0;
  // The pixels, for reading (a source of BitBlt, Pixel); null on devices
  // that have none (printers, metafiles). Finishes any drawing in progress.
  virtual QImage* Pixels() { return nullptr; }
  // Ends drawing in progress, so that the pixels can be read or replaced.
  virtual void Flush() {}
};

// A device over an image: exact raster operations. The image must outlive
// the device; Flush before resizing or replacing it.
std::unique_ptr<CanvasDevice> MakeImageDevice(QImage* image);
// A device over any paint device that has no readable pixels (a PDF writer,
// a printer, a page image of the test printer treated as paper).
std::unique_ptr<CanvasDevice> MakePaperDevice(QPaintDevice* device, const TDeviceCaps& caps);

// Whether a command's marks lie wholly outside its clip. Devices that keep
// or send every command (metafiles, paper) drop such a command: on paper
// the clip hid it, but a PDF would keep its text for extraction and a
// metafile its record. Errs towards keeping: the bounds are widened by the
// pen and by a margin for glyph overhang and rounding.
bool WhollyOutsideClip(const DrawCommand& command);

// The logical-to-device mapping of a canvas's state.
QTransform DeviceTransform(const GdiState& state);
// A command carrying the canvas's mapping and clip.
DrawCommand NewCommand(TCanvas& canvas, DrawCommand::Kind kind);
// A FillRects command that paints with a solid colour or the canvas brush.
DrawCommand FillCommand(TCanvas& canvas, const QBrush& brush);
// The operation on brush and target by which a pen of this mode draws.
unsigned PenRop(TPenMode mode);

// Draws sourceRect of an RGB32 image stretched onto the logical rectangle
// (x, y, width, height) of the canvas with a raster operation.
void BlitImage(TCanvas& dest, int x, int y, int width, int height, const QImage& source,
               const QRect& source_rect, unsigned rop, uint32_t transparent_color = 0x1000000);

// The QColor a device draws for a colour value, and the same as a 24-bit
// 0xRRGGBB value as pixels hold it.
QColor ToQColor(TColor color);
uint32_t ToRgb24(TColor color);
QBrush ToQBrush(const TBrush& brush);
QPen ToQPen(const TPen& pen);

// Executes a command on a painter that is already open on the target.
// `raster`, when given, is the painter's target image: raster operations are
// then exact instead of drawn through the mask.
void PaintCommand(QPainter& painter, QImage* raster, const DrawCommand& command);

}  // namespace lark::detail
