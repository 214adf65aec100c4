#pragma once

#include <string>
#include <string_view>

namespace lark {

// Words are runs of characters not in delimiters; n counts them from 1.
// The 0-based position of the n-th word's first character, or npos when the
// text has fewer words.
[[nodiscard]] std::size_t WordPosition(int n, std::string_view text, std::string_view delimiters);
// The n-th word, empty when there is none.
[[nodiscard]] std::string ExtractWord(int n, std::string_view text, std::string_view delimiters);

}  // namespace lark
