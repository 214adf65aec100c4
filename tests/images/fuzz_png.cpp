// Feeds arbitrary bytes to the PNG reader: it must raise or decode, never
// crash, overrun or allocate without bound.
#include <cstddef>
#include <cstdint>

#include "images/png_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    lark::TPNGImage image;
    image.LoadFromMemory(data, size);
    (void)image.TransparencyMask();
  } catch (const lark::Exception&) {
  }
  return 0;
}
