#pragma once
// Work on pages read by the HTML parser, for shapes that grow a page.

#include <cstddef>
#include <string>
#include <string_view>

namespace lark::bench {

// `piece` written `times` times over.
[[nodiscard]] std::string Repeat(std::string_view piece, std::size_t times);

// Seconds taken to parse `html` into a document and lay it out at 800
// pixels. A comment left open at the end ends the parse with what was read,
// which is laid out as well.
double ParseAndLayOut(const std::string& html);

}  // namespace lark::bench
