#include "platform/graphics/jpeg_image.h"

// libjpeg reports fatal errors through a callback that must not return; it
// jumps back with longjmp, so the functions that call libjpeg keep only
// plain data in their frames.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "platform/core/stream.h"
#include "platform/graphics/bitmap_data_qt.h"
#include "platform/graphics/graphics_exceptions.h"

namespace lark {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  info->err->format_message(info, manager->message);
  std::longjmp(manager->jump, 1);
}

void Quiet(j_common_ptr, int) {}

struct Header {
  int width = 0, height = 0, components = 0;
  bool cmyk = false;
  bool ok = false;
};

// Reads the header only; message receives libjpeg's text on failure.
Header ReadHeader(const std::string& data, char* message) {
  Header header;
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = Quiet;
  if (setjmp(errors.jump)) {
    std::strcpy(message, errors.message);
    jpeg_destroy_decompress(&info);
    return header;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  header.width = int(info.image_width);
  header.height = int(info.image_height);
  header.components = info.num_components;
  header.cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  header.ok = true;
  jpeg_destroy_decompress(&info);
  return header;
}

// Adobe writes CMYK inverted: each channel times K.
void CmykToBgr(const unsigned char* cmyk, int width, unsigned char* out) {
  for (int x = 0; x < width; ++x, cmyk += 4, out += 3) {
    out[2] = uint8_t(cmyk[0] * cmyk[3] / 255);
    out[1] = uint8_t(cmyk[1] * cmyk[3] / 255);
    out[0] = uint8_t(cmyk[2] * cmyk[3] / 255);
  }
}

// Decodes into rows of `row_bytes` each, blue, green, red: libjpeg writes
// them in place (grey pictures as well); CMYK goes through `cmyk_row`
// (4 bytes a pixel), which only CMYK files need.
bool DecodePixels(const std::string& data, bool cmyk, unsigned char* pixels, size_t row_bytes,
                  unsigned char* cmyk_row, char* message) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = Quiet;
  if (setjmp(errors.jump)) {
    std::strcpy(message, errors.message);
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  // libjpeg's own bound on what it allocates (a progressive file keeps every
  // coefficient): beyond it the decode fails instead of growing.
  info.mem->max_memory_to_use = kMaxGraphicBytes;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    unsigned char* target = pixels + size_t(info.output_scanline) * row_bytes;
    JSAMPROW row = cmyk ? cmyk_row : target;
    jpeg_read_scanlines(&info, &row, 1);
    if (cmyk) CmykToBgr(cmyk_row, int(info.output_width), target);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool EncodePixels(const unsigned char* rgb, int width, int height, int quality, unsigned char** out,
                  unsigned long* out_size, char* message) {
  jpeg_compress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  if (setjmp(errors.jump)) {
    std::strcpy(message, errors.message);
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, out, out_size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto row = const_cast<JSAMPROW>(rgb + size_t(info.next_scanline) * size_t(width) * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

HPALETTE GreyPalette() {
  std::vector<PALETTEENTRY> entries;
  for (int i = 0; i < 256; ++i) entries.push_back({uint8_t(i), uint8_t(i), uint8_t(i), 0});
  return CreatePalette(entries);
}

// 256 colours for an image without a palette of its own: a 6 x 7 x 6 cube
// of red, green and blue levels plus greys.
HPALETTE ColourPalette() {
  std::vector<PALETTEENTRY> entries;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 7; ++g)
      for (int b = 0; b < 6; ++b) entries.push_back({uint8_t(r * 51), uint8_t(g * 255 / 6), uint8_t(b * 51), 0});
  for (int i = 0; entries.size() < 256; ++i) entries.push_back({uint8_t(i * 5 + 8), uint8_t(i * 5 + 8), uint8_t(i * 5 + 8), 0});
  return CreatePalette(entries);
}

}  // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat format) {
  if (format == pixel_format_) return;
  pixel_format_ = format;
  bitmap_.reset();
}

void TJPEGImage::SetPalette(const HPALETTE& palette) {
  palette_ = palette;
  bitmap_.reset();
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  std::string data = stream.ReadRest();
  char message[JMSG_LENGTH_MAX] = "";
  const Header header = ReadHeader(data, message);
  if (!header.ok) throw EJPEG(message);
  const int64_t rowBytes = int64_t{header.width} * header.components;
  if (header.width <= 0 || header.height <= 0 || header.width > kMaxGraphicSide || header.height > kMaxGraphicSide ||
      int64_t{header.width} * header.height > kMaxGraphicPixels || rowBytes > kMaxGraphicRowBytes ||
      rowBytes * header.height > kMaxGraphicBytes)
    throw EJPEG("JPEG image is too large");
  data_ = std::move(data);
  width_ = header.width;
  height_ = header.height;
  grayscale_ = header.components == 1;
  bitmap_.reset();
}

void TJPEGImage::Decode() const {
  if (data_.empty()) throw EJPEG("JPEG image is empty");
  char message[JMSG_LENGTH_MAX] = "";
  const Header header = ReadHeader(data_, message);
  // Straight into the bitmap's 24-bit rows: no second copy of the picture,
  // and no page touched before libjpeg writes it.
  QImage image = detail::NewImage(width_, height_, QImage::Format_BGR888);
  std::vector<unsigned char> cmyk_row(header.cmyk ? size_t(width_) * 4 : 0);
  if (!DecodePixels(data_, header.cmyk, image.bits(), size_t(image.bytesPerLine()), cmyk_row.data(), message))
    throw EJPEG(message);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->Data().image = std::move(image);
  if (pixel_format_ == jf8Bit) {
    bitmap->SetPalette(palette_ ? palette_ : grayscale_ ? GreyPalette() : ColourPalette());
    bitmap->SetPixelFormat(pf8bit);
  }
  bitmap_ = std::move(bitmap);
}

const TBitmap& TJPEGImage::Bitmap() const {
  if (!bitmap_) Decode();
  return *bitmap_;
}

std::unique_ptr<TBitmap> TJPEGImage::TakeBitmap() {
  if (!bitmap_) Decode();
  return std::move(bitmap_);
}

void TJPEGImage::Assign(const TBitmap& bitmap) {
  if (bitmap.Empty()) throw EJPEG("JPEG image is empty");
  const QImage rgb = detail::ToRgb32(bitmap.Data().image).convertToFormat(QImage::Format_RGB888);
  std::vector<unsigned char> rows(size_t(rgb.width()) * 3 * size_t(rgb.height()));
  for (int y = 0; y < rgb.height(); ++y)
    std::memcpy(rows.data() + size_t(y) * size_t(rgb.width()) * 3, rgb.constScanLine(y), size_t(rgb.width()) * 3);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  char message[JMSG_LENGTH_MAX] = "";
  const bool ok = EncodePixels(rows.data(), rgb.width(), rgb.height(), CompressionQuality, &out, &size, message);
  if (ok) data_.assign(reinterpret_cast<const char*>(out), size);
  std::free(out);
  if (!ok) throw EJPEG(message);
  width_ = rgb.width();
  height_ = rgb.height();
  grayscale_ = false;
  bitmap_.reset();
}

void TJPEGImage::SaveToStream(TStream& stream) const { stream.WriteBuffer(data_.data(), int64_t(data_.size())); }

void TJPEGImage::DrawOn(TCanvas& canvas, const TRect& rect) const {
  if (!Empty()) Bitmap().DrawOn(canvas, rect);
}

}  // namespace lark
