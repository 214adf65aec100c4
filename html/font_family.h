#pragma once

#include <string>
#include <string_view>

namespace lark {

// The first family of a CSS font-family list ("'Foo Bar', serif") that is
// installed, spelled as installed; the generic families serif, monospace,
// sans-serif and cursive stand for "Times New Roman", "Courier New", "Arial"
// and "Lucida Handwriting". Empty when none is installed.
[[nodiscard]] std::string ResolveFontFamily(std::string_view families);

// The first family of the list as written (quotes removed, generic names
// mapped), whether installed or not.
[[nodiscard]] std::string FirstFontFamily(std::string_view families);

}  // namespace lark
