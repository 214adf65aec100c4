// Reads the input as a ROWS / COLS value and divides a few lengths by it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "viewer/frame_set.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lark;
  const auto dims = ReadFrameDimensions(std::string_view(reinterpret_cast<const char*>(data), size));
  if (dims.size() > static_cast<std::size_t>(kMaxFrameDimensions)) std::abort();
  for (int length : {0, 1, 700, 100000}) {
    std::int64_t total = 0;
    for (int s : DivideFrameLength(dims, length)) {
      if (s < 0) std::abort();
      total += s;
    }
    if (total > static_cast<std::int64_t>(length) + 5000 * kMaxFrameDimensions) std::abort();
  }
  return 0;
}
