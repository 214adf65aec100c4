// Numbers stored least significant byte first, as the desktop's file
// formats (bitmaps, cursors, clips) keep them. Callers check that the
// bytes are there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lark {

inline std::uint16_t Le16(std::string_view data, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(data[offset]) |
                                    static_cast<unsigned char>(data[offset + 1]) << 8);
}

inline std::uint32_t Le32(std::string_view data, std::size_t offset) {
  return Le16(data, offset) | std::uint32_t{Le16(data, offset + 2)} << 16;
}

}  // namespace lark
