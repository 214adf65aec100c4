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

// False when libpng refuses the data. Strict: every CRC error and every
// error libpng calls benign (a zlib stream without its end or with a wrong
// Adler-32 sum, extra data) refuses the file, and the chunks after the image
// data are read up to IEND.
enum class LibpngChecks { Default, Strict };
bool DecodeWithLibpng(const std::string& bytes, ReferencePNG& out, LibpngChecks checks = LibpngChecks::Default);

}  // namespace lark::test
