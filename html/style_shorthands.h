#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

// Sets one longhand property (by CSS name) of whatever a declaration belongs
// to: the rules of a selector list, or the properties of a STYLE attribute.
using TPropertySetter = std::function<void(const std::string& property, const std::string& value)>;

// True for margin, padding, border-width, border, border-top/-right/-bottom/
// -left, font, background and list-style.
[[nodiscard]] bool IsShorthand(std::string_view name);
// Expands a shorthand into its longhands through `set`; false (nothing set)
// when `name` is no shorthand.
bool ExpandShorthand(const std::string& name, const std::string& value, const TPropertySetter& set);

// margin, padding and border-width: one to four sides, top, right, bottom,
// left as CSS gives them.
void ExpandBox(const std::string& name, const std::string& value, const TPropertySetter& set);
// border and its four sides: colours, style words and widths.
void ExpandBorder(const std::string& name, const std::string& value, const TPropertySetter& set);
void ExpandFont(const std::string& value, const TPropertySetter& set);
void ExpandBackground(const std::string& value, const TPropertySetter& set);
void ExpandListStyle(const std::string& value, const TPropertySetter& set);

// A shorthand's value in parts: runs of blanks count as one and ", " as ",";
// "url(...)" and "rgb(...)" groups come first, each one part; the rest splits
// at blanks (quoted text stays whole) into at most `maxParts` parts in all,
// the rest dropped; a "/" inside a part starts a part of its own
// ("12pt/14pt" gives "12pt" and "/14pt").
[[nodiscard]] std::vector<std::string> SplitShorthandValue(std::string_view value, std::size_t maxParts);

}  // namespace lark
