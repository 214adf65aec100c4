#pragma once

#include <span>
#include <string>
#include <string_view>

namespace lark {

// A 32 x 32 cursor as the desktop's tools store one in a cursor file (a
// directory of one entry, then a 32-bit image: colour rows bottom-up, then
// the 1-bit mask rows), from a picture drawn in text: "X" black, "o"
// white, anything else shows what lies below. Rows and columns past the
// picture are see-through. The hot spot is given in pixels from the top left.
[[nodiscard]] std::string CursorFile(std::span<const std::string_view> picture, int hotX, int hotY);

}  // namespace lark
