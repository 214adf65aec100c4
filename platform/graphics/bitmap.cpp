#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/core/exception.h"
#include "platform/graphics/bitmap_data_qt.h"
#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/pixel_memory.h"
#include "platform/graphics/raster_ops_qt.h"

namespace lark {

using detail::BitmapData;

namespace detail {

QImage NewImage(int width, int height, QImage::Format format) {
  if (width <= 0 || height <= 0) return QImage();
  const qsizetype bytesPerLine = qsizetype((int64_t(width) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4);
  std::unique_ptr<PixelMemory> memory;
  try {
    memory = std::make_unique<PixelMemory>(size_t(bytesPerLine) * size_t(height));
  } catch (const std::bad_alloc&) {
    throw EOutOfResources("Out of system resources");
  }
  QImage image(memory->Bytes(), width, height, bytesPerLine, format,
               [](void* owner) { delete static_cast<PixelMemory*>(owner); }, memory.get());
  if (image.isNull()) throw EOutOfResources("Out of system resources");
  memory.release();  // the image frees it with its last copy
  return image;
}

QImage ToRgb32(const QImage& image) {
  if (image.format() == QImage::Format_Mono && image.colorCount() < 2) return MonoToRgb32(image, 0, 0xFFFFFF);
  return image.convertToFormat(QImage::Format_RGB32);
}

QImage MonoToRgb32(const QImage& image, uint32_t zero_color, uint32_t one_color) {
  QImage result(image.size(), QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* bits = image.constScanLine(y);
    auto* line = reinterpret_cast<uint32_t*>(result.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      line[x] = 0xFF000000u | (((bits[x >> 3] >> (7 - (x & 7))) & 1) ? one_color : zero_color);
  }
  return result;
}

}  // namespace detail

namespace {

QImage::Format QtFormat(TPixelFormat format) {
  switch (format) {
    case pf1bit: return QImage::Format_Mono;
    case pf4bit:
    case pf8bit: return QImage::Format_Indexed8;
    case pf15bit: return QImage::Format_RGB555;
    case pf16bit: return QImage::Format_RGB16;
    case pf24bit: return QImage::Format_BGR888;
    default: return QImage::Format_RGB32;
  }
}

QList<QRgb> ColorTable(const HPALETTE& palette, int size) {
  QList<QRgb> table;
  const HPALETTE source = palette ? palette : DefaultPalette();
  for (const PALETTEENTRY& e : source->Entries) table.push_back(qRgb(e.peRed, e.peGreen, e.peBlue));
  if (size == 2 && !palette) table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
  table.resize(std::min<qsizetype>(std::max<qsizetype>(table.size(), 1), size));
  while (table.size() < size) table.push_back(qRgb(0, 0, 0));
  return table;
}

int NearestIndex(const QList<QRgb>& table, QRgb color) {
  int best = 0, best_distance = 1 << 30;
  for (int i = 0; i < int(table.size()); ++i) {
    const int dr = qRed(table[i]) - qRed(color), dg = qGreen(table[i]) - qGreen(color), db = qBlue(table[i]) - qBlue(color);
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return best;
}

// Converts pixels to an indexed format by nearest colour of the table.
QImage ToIndexed(const QImage& image, QImage::Format format, const QList<QRgb>& table) {
  QImage result(image.size(), format);
  result.setColorTable(table);
  const QImage rgb = detail::ToRgb32(image);
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) result.setPixel(x, y, uint(NearestIndex(table, line[x])));
  }
  return result;
}

// Indexed pixels through their colour table, a row at a time; a row equal
// to the one above (most rows of a run-length picture) is copied whole.
// Indices past the table show black, as Qt's own conversion shows them.
QImage IndexedToRgb32(const QImage& image) {
  QImage result = detail::NewImage(image.width(), image.height(), QImage::Format_RGB32);
  QList<QRgb> table = image.colorTable();
  table.resize(256, 0xFF000000u);
  const QRgb* colors = table.constData();
  const size_t rowBytes = size_t(image.width()) * 4;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* source = image.constScanLine(y);
    auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
    if (y > 0 && std::memcmp(source, image.constScanLine(y - 1), size_t(image.width())) == 0) {
      std::memcpy(line, result.constScanLine(y - 1), rowBytes);
      continue;
    }
    for (int x = 0; x < image.width(); ++x) line[x] = colors[source[x]];
  }
  return result;
}

// Qt's conversion, but for indexed pictures of opaque colours, the kind every
// indexed file gives, which take the row-wise path above.
QImage ConvertPixels(const QImage& image, QImage::Format target) {
  const QList<QRgb> table = image.colorTable();
  const bool opaque = !table.isEmpty() && std::all_of(table.begin(), table.end(), [](QRgb c) { return qAlpha(c) == 255; });
  if (image.format() == QImage::Format_Indexed8 && target == QImage::Format_RGB32 && opaque) return IndexedToRgb32(image);
  return image.convertToFormat(target);
}

QImage Blank(int width, int height, TPixelFormat format, const HPALETTE& palette) {
  QImage image = detail::NewImage(width, height, QtFormat(format));
  if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_Indexed8) {
    const QList<QRgb> table = ColorTable(palette, format == pf1bit ? 2 : format == pf4bit ? 16 : 256);
    image.setColorTable(table);
    image.fill(uint(NearestIndex(table, qRgb(255, 255, 255))));
  } else {
    image.fill(Qt::white);
  }
  return image;
}

// The bitmap's own canvas device: draws on the pixels and reports each
// drawing call as a change of the bitmap.
class ReportingDevice : public detail::CanvasDevice {
 public:
  ReportingDevice(std::unique_ptr<detail::CanvasDevice> pixels, std::function<void()> changed)
      : pixels_(std::move(pixels)), changed_(std::move(changed)) {}
  const TDeviceCaps& Caps() const override { return pixels_->Caps(); }
  void Execute(const detail::DrawCommand& command) override {
    pixels_->Execute(command);
    changed_();
  }
  QImage* Pixels() override { return pixels_->Pixels(); }
  void Flush() override { pixels_->Flush(); }

 private:
  std::unique_ptr<detail::CanvasDevice> pixels_;
  std::function<void()> changed_;
};

}  // namespace

TBitmap::TBitmap() : data_(std::make_unique<BitmapData>()) {}
TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }
TBitmap::~TBitmap() {
  if (data_->canvas) data_->canvas->Device().Flush();
}

BitmapData& TBitmap::Data() {
  if (data_->canvas) data_->canvas->Device().Flush();
  return *data_;
}
const BitmapData& TBitmap::Data() const { return const_cast<TBitmap*>(this)->Data(); }

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  const BitmapData& from = source.Data();
  BitmapData& to = Data();
  to.image = from.image.copy();
  to.format = from.format;
  to.handleType = from.handleType;
  to.palette = from.palette;
  transparent_color_ = source.transparent_color_;
  transparent_mode_ = source.transparent_mode_;
  TGraphic::SetTransparent(source.Transparent());
  Changed();
}

int TBitmap::Width() const { return data_->image.width(); }
int TBitmap::Height() const { return data_->image.height(); }
void TBitmap::SetWidth(int width) { SetSize(width, Height()); }
void TBitmap::SetHeight(int height) { SetSize(Width(), height); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  BitmapData& data = Data();
  if (width == data.image.width() && height == data.image.height()) return;
  QImage image = Blank(width, height, data.format, Palette());
  if (!data.image.isNull()) {
    const int rows = std::min(height, data.image.height());
    const int bytes = std::min(image.bytesPerLine(), data.image.bytesPerLine());
    const int copy = std::min(bytes, int((int64_t(std::min(width, data.image.width())) * image.depth() + 7) / 8));
    for (int y = 0; y < rows; ++y) std::copy_n(data.image.constScanLine(y), copy, image.scanLine(y));
  }
  data.image = image;
  Changed();
}

TPixelFormat TBitmap::PixelFormat() const { return data_->format; }

void TBitmap::SetPixelFormat(TPixelFormat format) {
  BitmapData& data = Data();
  if (format == data.format) return;
  const QImage::Format target = QtFormat(format);
  if (data.image.isNull()) {
  } else if (target == QImage::Format_Mono || target == QImage::Format_Indexed8) {
    const bool keep_table = data.image.format() == target;
    const QList<QRgb> table = keep_table ? data.image.colorTable()
                                         : ColorTable(Palette(), format == pf1bit ? 2 : format == pf4bit ? 16 : 256);
    data.image = keep_table ? data.image : ToIndexed(data.image, target, table);
  } else {
    data.image = ConvertPixels(data.image, target);
  }
  data.format = format;
  data.handleType = format == pfDevice ? bmDDB : bmDIB;
  Changed();
}

bool TBitmap::Monochrome() const { return data_->format == pf1bit; }

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == Monochrome()) return;
  if (monochrome) {
    BitmapData& data = Data();
    data.palette = nullptr;
    if (!data.image.isNull()) data.image = ToIndexed(data.image, QImage::Format_Mono, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    data.format = pf1bit;
    Changed();
  } else {
    SetPixelFormat(pfDevice);
  }
}

TBitmapHandleType TBitmap::HandleType() const { return data_->handleType; }

void TBitmap::SetHandleType(TBitmapHandleType type) {
  if (type == bmDDB && data_->format != pfDevice && data_->format != pf1bit) SetPixelFormat(pfDevice);
  Data().handleType = type;
}

HPALETTE TBitmap::Palette() const {
  const QImage& image = Data().image;
  if (image.format() != QImage::Format_Mono && image.format() != QImage::Format_Indexed8) return data_->palette;
  std::vector<PALETTEENTRY> entries;
  for (QRgb c : image.colorTable())
    entries.push_back({uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c)), 0});
  return CreatePalette(entries);
}

void TBitmap::SetPalette(const HPALETTE& palette) {
  BitmapData& data = Data();
  if ((data.image.format() == QImage::Format_Mono || data.image.format() == QImage::Format_Indexed8) && palette) {
    QList<QRgb> table = data.image.colorTable();
    for (size_t i = 0; i < palette->Entries.size() && i < size_t(table.size()); ++i) {
      const PALETTEENTRY& e = palette->Entries[i];
      table[qsizetype(i)] = qRgb(e.peRed, e.peGreen, e.peBlue);
    }
    data.image.setColorTable(table);
  }
  data.palette = palette;
  Changed();
}

void* TBitmap::ScanLine(int y) {
  BitmapData& data = Data();
  if (y < 0 || y >= data.image.height()) return nullptr;
  void* row = data.image.scanLine(y);
  Changed();
  return row;
}

const void* TBitmap::ScanLine(int y) const {
  const BitmapData& data = Data();
  if (y < 0 || y >= data.image.height()) return nullptr;
  return data.image.constScanLine(y);
}

int TBitmap::BytesPerScanLine() const { return int(Data().image.bytesPerLine()); }

TColor TBitmap::Pixel(int x, int y) const {
  const QImage& image = Data().image;
  if (!image.rect().contains(x, y)) return clNone;
  const QRgb c = image.pixel(x, y);
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

TColor TBitmap::TransparentColor() const {
  if (transparent_mode_ == tmFixed && transparent_color_ != clDefault) return transparent_color_;
  if (Empty()) return clNone;
  return Pixel(0, Height() - 1) | 0x02000000;
}

void TBitmap::SetTransparentColor(TColor color) {
  transparent_color_ = color;
  transparent_mode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  transparent_mode_ = mode;
  Changed();
}

void TBitmap::SetTransparent(bool transparent) {
  TGraphic::SetTransparent(transparent);
  Changed();
}

void TBitmap::Changed() {
  if (OnChange) OnChange(this);
}

TCanvas& TBitmap::Canvas() {
  if (!data_->canvas)
    data_->canvas = std::make_unique<TCanvas>(
        std::make_unique<ReportingDevice>(detail::MakeImageDevice(&data_->image), [this] { Changed(); }));
  return *data_->canvas;
}

void TBitmap::DrawOn(TCanvas& canvas, const TRect& rect) const {
  if (Empty()) return;
  const QImage source = detail::ToRgb32(Data().image);
  const uint32_t transparent = Transparent() ? detail::ToRgb24(TransparentColor()) : detail::kNoTransparentColor;
  detail::BlitImage(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(), source, source.rect(),
                    canvas.CopyMode(), transparent);
}

}  // namespace lark
