#pragma once

#include <cstdint>
#include <string>

namespace lark::test {

// Hand-made PNG files for the odd cases no tool writes.
std::string BigEndian32(uint32_t value);
std::string PNGChunk(const std::string& type, const std::string& data);
std::string IHDRData(uint32_t width, uint32_t height, int depth, int colorType, int interlace = 0);
std::string Deflate(const std::string& raw);
inline const std::string kPNGSignature("\x89PNG\r\n\x1a\n", 8);

// A whole file: signature, IHDR, the chunks between, IDAT of `raw` rows, IEND.
std::string SimplePNG(uint32_t width, uint32_t height, int depth, int colorType, const std::string& raw,
                      const std::string& between = "");

}  // namespace lark::test
