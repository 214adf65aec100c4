// Bitmap and JPEG files from untrusted bytes: loading either gives a picture
// or raises the graphic's exception, never anything worse.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/exception.h"
#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/jpeg_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    lark::TStringStream stream(bytes);
    lark::TBitmap bitmap;
    bitmap.LoadFromStream(stream);
  } catch (const lark::Exception&) {
  }
  try {
    lark::TStringStream stream(bytes);
    lark::TJPEGImage jpeg;
    jpeg.LoadFromStream(stream);
    (void)jpeg.Bitmap().Width();
  } catch (const lark::Exception&) {
  }
  return 0;
}
