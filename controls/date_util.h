#pragma once

#include <string_view>

namespace lark {

// True when a short date format writes the year with four digits ("yyyy" in
// any case).
[[nodiscard]] bool HasFourDigitYear(std::string_view shortDateFormat);
// The same for the locale's short date format, read once at first use.
[[nodiscard]] bool FourDigitYear();

}  // namespace lark
