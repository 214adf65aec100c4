#pragma once

#include <optional>
#include <string_view>

namespace lark {

// The character a named reference stands for, matched case-sensitively
// ("amp", not "AMP"). "nbsp" gives 5, the document's own non-breaking space;
// "ndash" and "rsquo" give the ASCII hyphen and apostrophe. "hellip" is not
// here: it stands for three full stops, not for one character.
[[nodiscard]] std::optional<char32_t> LookupNamedReference(std::string_view name);

}  // namespace lark
