#pragma once

namespace lark {

// Integer maximum and minimum of the controls' arithmetic.
[[nodiscard]] constexpr int Max(int a, int b) { return a > b ? a : b; }
[[nodiscard]] constexpr int Min(int a, int b) { return a < b ? a : b; }

}  // namespace lark
