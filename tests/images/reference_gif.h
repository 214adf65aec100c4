#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lark::test {

// giflib's decoding of one frame: its rectangle, pixel colours (R, G, B) and
// which pixels are see-through.
struct ReferenceGIFFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int Disposal = 0;
  int Delay = 0;  // hundredths of a second
  std::vector<uint8_t> RGB;
  std::vector<bool> Clear;
};

struct ReferenceGIF {
  int Width = 0, Height = 0;
  std::vector<ReferenceGIFFrame> Frames;
};

// False when giflib refuses the data.
bool DecodeWithGiflib(const std::string& bytes, ReferenceGIF& out);

}  // namespace lark::test
