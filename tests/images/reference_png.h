#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lark::test {

// libpng's decoding of a file: 8-bit R, G, B per pixel (16-bit samples cut to
// their high bytes, no gamma), and the alpha each pixel gets from the file's
// alpha channel or tRNS.
struct ReferencePNG {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> RGB;
  std::vector<uint8_t> Alpha;
};

// False when libpng refuses the data.
bool DecodeWithLibpng(const std::string& bytes, ReferencePNG& out);

}  // namespace lark::test
