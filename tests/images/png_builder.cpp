#include "tests/images/png_builder.h"

#include <zlib.h>

#include <vector>

namespace lark::test {

std::string BigEndian32(uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

std::string PNGChunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return BigEndian32(static_cast<uint32_t>(data.size())) + body + BigEndian32(static_cast<uint32_t>(crc));
}

std::string IHDRData(uint32_t width, uint32_t height, int depth, int colorType, int interlace) {
  return BigEndian32(width) + BigEndian32(height) +
         std::string{static_cast<char>(depth), static_cast<char>(colorType), 0, 0, static_cast<char>(interlace)};
}

std::string Deflate(const std::string& raw) {
  uLongf size = compressBound(raw.size());
  std::vector<Bytef> out(size);
  compress(out.data(), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
  return std::string(reinterpret_cast<const char*>(out.data()), size);
}

std::string SimplePNG(uint32_t width, uint32_t height, int depth, int colorType, const std::string& raw,
                      const std::string& between) {
  return kPNGSignature + PNGChunk("IHDR", IHDRData(width, height, depth, colorType)) + between +
         PNGChunk("IDAT", Deflate(raw)) + PNGChunk("IEND", "");
}

}  // namespace lark::test
