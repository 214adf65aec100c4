#pragma once

#include <string_view>

namespace lark {

// A CSS number split from its unit: "1.5em" gives "1.5" and "em". The split
// is at the first character that cannot belong to a decimal number, or at
// the first "e" when that comes earlier, so "2em" and "3ex" split right.
struct TNumberAndUnit {
  std::string_view Number;
  std::string_view Unit;
};
[[nodiscard]] TNumberAndUnit SplitNumberUnit(std::string_view text);

// Reads a plain decimal number: an optional sign, digits, an optional point
// with digits. No exponents, no "inf" or "nan"; false for anything else.
// Magnitudes above 1e15 read as 1e15.
[[nodiscard]] bool ParseCssNumber(std::string_view text, double& value);

}  // namespace lark
