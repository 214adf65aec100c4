#pragma once

#include <optional>
#include <string_view>

namespace lark {

// The character a named reference stands for, matched case-sensitively
// ("amp", not "AMP"). "nbsp" gives 5, the document's own non-breaking space;
// "ndash" and "rsquo" give the ASCII hyphen and apostrophe. "hellip" is not
// here: it stands for three full stops, not for one character.
[[nodiscard]] std::optional<char32_t> LookupNamedReference(std::string_view name);

// The character a numeric reference stands for. Pages write 128..159 meaning
// the Windows-1252 characters of those bytes (the euro sign, curly quotes,
// dashes...), never the invisible C1 controls, so those values read through
// Windows-1252; the five it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// become "?". Every other value stands for itself.
[[nodiscard]] char32_t NumericReferenceValue(char32_t number);

}  // namespace lark
