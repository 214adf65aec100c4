// AVI clips from untrusted bytes: reading gives a clip whose every frame
// decodes, or raises EInvalidAvi, never anything worse.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/graphics/avi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    lark::TAviClip clip(std::string(reinterpret_cast<const char*>(data), size));
    // Every frame in order, then the first again (which decodes from the
    // start), within a pixel budget that keeps each input quick.
    const long long pixels = static_cast<long long>(clip.Width()) * clip.Height();
    long long budget = 1 << 24;
    for (int i = 0; i < clip.FrameCount() && budget > 0; ++i, budget -= pixels) (void)clip.Frame(i).size();
    (void)clip.Frame(0).size();
  } catch (const lark::EInvalidAvi&) {
  }
  return 0;
}
