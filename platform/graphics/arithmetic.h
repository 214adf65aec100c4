#pragma once

namespace lark {

// a * b / c computed in 64 bits and rounded half away from zero; -1 when c
// is 0 or the result does not fit in 32 bits.
[[nodiscard]] int MulDiv(int a, int b, int c);

// Rounds half to even (2.5 gives 2, 3.5 gives 4), as the class library does.
[[nodiscard]] int Round(double value);

}  // namespace lark
