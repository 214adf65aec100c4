// Windows bitmap files for TBitmap.

#include <QBuffer>

#include "platform/core/little_endian.h"
#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/bitmap_data_qt.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/resources.h"
#include "platform/graphics/run_length.h"

namespace lark {
namespace {

constexpr const char* kNotValid = "Bitmap image is not valid";
constexpr size_t kFileHeaderSize = 14;

enum Compression : uint32_t { kUncompressed = 0, kRunLength8 = 1, kRunLength4 = 2, kBitFields = 3 };

[[noreturn]] void Refuse() { throw EInvalidGraphic(kNotValid); }

struct BitmapFileHeader {
  uint32_t pixelOffset = 0;
  uint32_t headerSize = 0;
  int64_t width = 0;
  int64_t height = 0;  // always positive; topDown tells the row order
  bool topDown = false;
  int bits = 0;
  uint32_t compression = kUncompressed;
  uint32_t colorsUsed = 0;

  [[nodiscard]] bool OldStyle() const { return headerSize == 12; }
  [[nodiscard]] size_t PaletteEntrySize() const { return OldStyle() ? 3 : 4; }
  [[nodiscard]] size_t PaletteEntries() const {
    if (bits > 8) return 0;
    const uint32_t full = 1u << bits;
    return colorsUsed == 0 || OldStyle() || colorsUsed > full ? full : colorsUsed;
  }
  [[nodiscard]] bool RunLength() const { return compression == kRunLength8 || compression == kRunLength4; }
};

bool CompressionFits(const BitmapFileHeader& h) {
  switch (h.compression) {
    case kUncompressed: return true;
    case kRunLength8: return h.bits == 8 && !h.topDown;
    case kRunLength4: return h.bits == 4 && !h.topDown;
    case kBitFields: return h.bits == 16 || h.bits == 32;
    default: return false;
  }
}

// Run-length data can leave most of a picture unreached, so a file of a few
// bytes may announce any size: the limits stand before anything is decoded.
void CheckLimits(const BitmapFileHeader& h) {
  const uint64_t rowBytes = (uint64_t(h.width) * h.bits + 31) / 32 * 4;
  if (h.width > kMaxGraphicSide || h.height > kMaxGraphicSide || h.width * h.height > kMaxGraphicPixels ||
      rowBytes > uint64_t(kMaxGraphicRowBytes) || rowBytes * uint64_t(h.height) > uint64_t(kMaxGraphicBytes))
    throw EInvalidGraphic("Bitmap image is too large");
}

// Checks the headers before any pixel memory is taken.
BitmapFileHeader ReadHeaders(const std::string& data) {
  if (data.size() < 26 || data[0] != 'B' || data[1] != 'M') Refuse();
  BitmapFileHeader h;
  h.pixelOffset = Le32(data, 10);
  h.headerSize = Le32(data, 14);
  if (h.OldStyle()) {
    h.width = Le16(data, 18);
    h.height = Le16(data, 20);
    h.bits = Le16(data, 24);
  } else if (h.headerSize >= 40 && data.size() >= 54) {
    h.width = int32_t(Le32(data, 18));
    h.height = int32_t(Le32(data, 22));
    h.bits = Le16(data, 28);
    h.compression = Le32(data, 30);
    h.colorsUsed = Le32(data, 46);
  } else {
    Refuse();
  }
  h.topDown = h.height < 0;
  h.height = h.topDown ? -h.height : h.height;
  if (h.width <= 0 || h.height <= 0) Refuse();
  const int bits = h.bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) Refuse();
  if (!CompressionFits(h)) Refuse();
  CheckLimits(h);
  return h;
}

// The pixel data must start after the headers and the colour table, and
// uncompressed rows (each padded to 4 bytes) must all be in the file: Qt's
// reader would otherwise show whatever lies outside as pixels.
void CheckPixelData(const BitmapFileHeader& h, size_t fileSize) {
  const uint64_t tableEnd = kFileHeaderSize + uint64_t{h.headerSize} + h.PaletteEntries() * h.PaletteEntrySize();
  if (h.pixelOffset < tableEnd || h.pixelOffset >= fileSize) Refuse();
  if (h.RunLength()) return;  // the decoder checks each run against the data
  const uint64_t rowBytes = (uint64_t(h.width) * h.bits + 31) / 32 * 4;
  if (rowBytes * uint64_t(h.height) > fileSize - h.pixelOffset) Refuse();
}

QList<QRgb> ReadColorTable(const BitmapFileHeader& h, const std::string& data) {
  QList<QRgb> table(1 << h.bits, qRgb(0, 0, 0));  // indices past the file's table show black
  const size_t start = kFileHeaderSize + h.headerSize;
  for (size_t i = 0; i < h.PaletteEntries(); ++i) {
    const auto* entry = reinterpret_cast<const uint8_t*>(data.data() + start + i * h.PaletteEntrySize());
    table[qsizetype(i)] = qRgb(entry[2], entry[1], entry[0]);
  }
  return table;
}

// Run-length coded pixels (8 or 4 bits, rows bottom up) become an indexed
// image. Pixels that the runs never reach keep index 0, the background, as
// Windows shows them; data that stops before the bitmap ends is a broken file.
QImage DecodeRunLength(const BitmapFileHeader& h, const std::string& data) {
  QImage image = detail::NewImage(int(h.width), int(h.height), QImage::Format_Indexed8);  // all index 0
  image.setColorTable(ReadColorTable(h, data));
  const TIndexRaster target{image.bits(), image.bytesPerLine(), image.width(), image.height()};
  const auto depth = h.compression == kRunLength4 ? TRunLengthDepth::Bits4 : TRunLengthDepth::Bits8;
  if (!ApplyRunLength(std::string_view(data).substr(h.pixelOffset), depth, target)) Refuse();
  return image;
}

// Indexed pictures are drawn as they are: every index the depth can hold
// gets a colour, black past the file's table, as the screen conversion shows it.
void PadColorTable(QImage& image, int entries) {
  QList<QRgb> table = image.colorTable();
  if (table.size() >= entries) return;
  table.resize(entries, qRgb(0, 0, 0));
  image.setColorTable(table);
}

TPixelFormat FormatForDepth(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

// Plain 24-bit pixels (blue, green, red; rows padded to 4 bytes) are read
// here: the toolkit's reader would first look through every image-format
// plugin, which costs a program's start more than the decoding.
QImage DecodeTrueColour(const BitmapFileHeader& h, const std::string& data) {
  QImage image = detail::NewImage(int(h.width), int(h.height), QImage::Format_RGB32);
  const size_t rowBytes = (size_t(h.width) * 3 + 3) / 4 * 4;
  for (int y = 0; y < image.height(); ++y) {
    const size_t fileRow = h.topDown ? size_t(y) : size_t(image.height() - 1 - y);
    const auto* in = reinterpret_cast<const uint8_t*>(data.data() + h.pixelOffset + fileRow * rowBytes);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x, in += 3) out[x] = qRgb(in[2], in[1], in[0]);
  }
  return image;
}

QImage DecodePixels(const BitmapFileHeader& h, const std::string& data) {
  if (h.RunLength()) return DecodeRunLength(h, data);
  if (h.compression == kUncompressed && h.bits == 24) return DecodeTrueColour(h, data);
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(data.data()), int(data.size()), "BMP") || image.isNull())
    Refuse();
  return image;
}

}  // namespace

void TBitmap::LoadFromStream(TStream& stream) {
  const std::string data = stream.ReadRest();
  const BitmapFileHeader header = ReadHeaders(data);
  CheckPixelData(header, data.size());
  QImage image = DecodePixels(header, data);
  const TPixelFormat format = FormatForDepth(header.bits);
  if (format == pf1bit) image = image.convertToFormat(QImage::Format_Mono);
  else if (format == pf4bit || format == pf8bit) image = image.convertToFormat(QImage::Format_Indexed8);
  if (header.bits <= 8) PadColorTable(image, 1 << header.bits);
  detail::BitmapData& target = Data();
  target.image = image;
  target.format = pfDevice;
  target.palette = nullptr;
  // The pixels are already in the file's depth: only the layout changes.
  if (format == pf1bit || format == pf4bit || format == pf8bit) target.format = format;
  else SetPixelFormat(format);
  target.handleType = bmDIB;
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QImage& image = Data().image;
  const QImage out = image.format() == QImage::Format_BGR888 || image.format() == QImage::Format_RGB16 ||
                             image.format() == QImage::Format_RGB555
                         ? image.convertToFormat(QImage::Format_RGB32)
                         : image;
  if (out.isNull() || !out.save(&buffer, "BMP")) throw EInvalidGraphic(kNotValid);
  stream.WriteBuffer(bytes.constData(), bytes.size());
}

void TBitmap::LoadFromResourceName(const std::string& name) {
  const std::optional<std::string_view> bytes = FindResource(name);
  if (!bytes) throw EResNotFound("Resource " + name + " not found");
  TStringStream stream(*bytes);
  LoadFromStream(stream);
}

}  // namespace lark
