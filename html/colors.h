#pragma once

#include <string_view>

#include "platform/graphics/color.h"

namespace lark {

// Colours written with "#" or "rgb(" carry this flag; named colours do not.
constexpr TColor PalRelative = 0x02000000;

// Reads a CSS colour: a name of the colour table ("transparent" gives
// NoColor), "rgb(r, g, b)" with integers or percentages, or hexadecimal
// "#rrggbb" / "#rgb" (the "#" may be left out unless `NeedPound`). False, with
// `Color` untouched, when the text is no colour. The last successful answer
// is remembered for the same text and the same `NeedPound`.
bool ColorFromString(std::string_view text, bool NeedPound, TColor& Color);

// The colour of a name of the colour table (lower case), or false.
bool FindColorName(std::string_view name, TColor& color);

// The names of the colour table in its order (for tests and lists).
[[nodiscard]] int ColorNameCount();
[[nodiscard]] std::string_view ColorName(int index);

}  // namespace lark
