#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lark {

// The first `characters` UTF-8 characters of s followed by "...", or s when
// it is not longer; a cut never splits a character.
[[nodiscard]] std::string CutToCharacters(std::string_view s, std::size_t characters);

}  // namespace lark
