#pragma once

#include <functional>

namespace lark {

// End of input for readers that take text one character at a time (the HTML
// reader and the style-sheet reader). It lies outside the byte values 0..255,
// so every byte of a document, 0x1A included, is a character like any other.
constexpr int EofChar = -1;

// Hands out the next character of some text as 0..255, then EofChar for ever.
using TCharSource = std::function<int()>;

}  // namespace lark
