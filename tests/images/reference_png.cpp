#include "tests/images/reference_png.h"

#include <png.h>

#include <cstring>

namespace lark::test {

namespace {

struct Reader {
  const std::string* Bytes;
  size_t Pos;
};

void ReadData(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
  if (reader->Pos + count > reader->Bytes->size()) png_error(png, "read past end");
  std::memcpy(out, reader->Bytes->data() + reader->Pos, count);
  reader->Pos += count;
}

// libpng's messages would only fill the test log: the result says enough.
[[noreturn]] void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void QuietWarning(png_structp, png_const_charp) {}

}  // namespace

bool DecodeWithLibpng(const std::string& bytes, ReferencePNG& out, LibpngChecks checks) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
  png_infop info = png_create_info_struct(png);
  Reader reader{&bytes, 0};
  // libpng leaves by longjmp: whatever owns memory lives outside the jump.
  std::vector<png_bytep> rows;
  std::vector<uint8_t> rgba;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, ReadData);
  const bool strict = checks == LibpngChecks::Strict;
  if (strict) {
    png_set_benign_errors(png, 0);
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
  }
  png_read_info(png, info);
  png_set_strip_16(png);
  png_set_expand(png);  // palette to RGB, low grey depths to 8 bits, tRNS to alpha
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  out.Width = static_cast<int>(png_get_image_width(png, info));
  out.Height = static_cast<int>(png_get_image_height(png, info));
  rgba.resize(size_t(out.Width) * out.Height * 4);
  for (int y = 0; y < out.Height; ++y) rows.push_back(rgba.data() + size_t(y) * out.Width * 4);
  png_read_image(png, rows.data());
  if (strict) png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  out.RGB.clear();
  out.Alpha.clear();
  for (size_t i = 0; i < rgba.size(); i += 4) {
    out.RGB.insert(out.RGB.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    out.Alpha.push_back(rgba[i + 3]);
  }
  return true;
}

}  // namespace lark::test
