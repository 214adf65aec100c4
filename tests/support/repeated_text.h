#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lark::test {

// `piece` written `times` times over, for inputs made to cost.
[[nodiscard]] std::string Repeat(std::string_view piece, std::size_t times);

}  // namespace lark::test
