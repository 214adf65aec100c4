// Windows bitmap files for TBitmap.

#include <QBuffer>
#include <QImageReader>
#include <cstring>

#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/bitmap_data_qt.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/resources.h"

namespace lark {
namespace {

constexpr const char* kNotValid = "Bitmap image is not valid";

uint32_t ReadLe32(const std::string& data, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, data.data() + offset, 4);
  return value;
}

uint16_t ReadLe16(const std::string& data, size_t offset) {
  uint16_t value = 0;
  std::memcpy(&value, data.data() + offset, 2);
  return value;
}

// Checks the headers before any pixel memory is taken; returns the bit count.
int CheckHeaders(const std::string& data) {
  if (data.size() < 26 || data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic(kNotValid);
  const uint32_t header_size = ReadLe32(data, 14);
  int64_t width = 0, height = 0;
  int bits = 0;
  if (header_size == 12) {  // the old OS/2 header
    width = ReadLe16(data, 18);
    height = ReadLe16(data, 20);
    bits = ReadLe16(data, 24);
  } else if (header_size >= 40 && data.size() >= 54) {
    width = int32_t(ReadLe32(data, 18));
    height = int32_t(ReadLe32(data, 22));
    bits = ReadLe16(data, 28);
  } else {
    throw EInvalidGraphic(kNotValid);
  }
  height = height < 0 ? -height : height;
  if (width <= 0 || height <= 0 || width * height > kMaxGraphicPixels) throw EInvalidGraphic(kNotValid);
  return bits;
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

}  // namespace

void TBitmap::LoadFromStream(TStream& stream) {
  const std::string data = stream.ReadRest();
  const int bits = CheckHeaders(data);
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(data.data()), int(data.size()), "BMP") || image.isNull())
    throw EInvalidGraphic(kNotValid);
  const TPixelFormat format = FormatForDepth(bits);
  if (format == pf1bit) image = image.convertToFormat(QImage::Format_Mono);
  else if (format == pf4bit || format == pf8bit) image = image.convertToFormat(QImage::Format_Indexed8);
  detail::BitmapData& target = Data();
  target.image = image;
  target.format = pfDevice;
  target.palette = nullptr;
  // The pixels are already in the file's depth: only the layout changes.
  if (format == pf1bit || format == pf4bit || format == pf8bit) target.format = format;
  else SetPixelFormat(format);
  target.handleType = bmDIB;
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
