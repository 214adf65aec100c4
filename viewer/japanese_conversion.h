#pragma once

#include <string>
#include <string_view>

namespace lark {

// Whether the text holds a JIS escape into double-byte mode (ESC "$@" or
// ESC "$B"): a 7-bit JIS page.
[[nodiscard]] bool HasJisEscape(std::string_view text);

// 7-bit JIS to Shift-JIS: the escapes go, and in double-byte mode each pair
// of JIS bytes (0x21..0x7E) becomes its Shift-JIS pair. Anything else, a
// lone last byte or a cut escape included, is copied as it is.
[[nodiscard]] std::string JisToShiftJis(std::string_view text);

// EUC-JP to Shift-JIS in place, from `from` on: each pair of bytes from 0xA1
// upward becomes its Shift-JIS pair (the same length); other bytes, and a
// lone high byte, stay.
void EucJpToShiftJis(std::string& text, std::size_t from);

}  // namespace lark
