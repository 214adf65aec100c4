// Feeds arbitrary bytes to the PNG reader, and writes back what it decoded:
// reading must raise or succeed, never crash, overrun or allocate without
// bound; whatever it decoded must write a file that reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "images/png_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lark::TPNGImage image;
  try {
    image.LoadFromMemory(data, size);
  } catch (const lark::Exception&) {
    return 0;
  }
  (void)image.TransparencyMask();
  std::vector<uint8_t> written;
  image.SaveToStream(written);
  lark::TPNGImage back;
  back.LoadFromMemory(written.data(), written.size());  // raising here is a finding
  if (back.Bitmap().Width() != image.Bitmap().Width() || back.Bitmap().Height() != image.Bitmap().Height())
    std::abort();
  return 0;
}
