#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lark {

// One simple selector of a style rule: tag, ".class", "#id", ":pseudo", each
// part optional ("p.note", "#top", "a:hover").
struct TSimpleSelector {
  std::string Tag, Class, ID, Pseudo;

  // Every part is empty or equal to the element's.
  [[nodiscard]] bool Matches(const std::string& tag, const std::string& cls, const std::string& id,
                             const std::string& pseudo) const;
};
[[nodiscard]] TSimpleSelector ParseSimpleSelector(std::string_view text);

// Descendant rules have at most this many selectors (the element and nine
// ancestors); a rule with more keeps the nearest ancestors.
constexpr std::size_t MaxDescendantSelectors = 10;

// The selectors of a descendant key, the element first, then its ancestors
// from the nearest outwards (the count and sequence digits dropped).
[[nodiscard]] std::vector<TSimpleSelector> SplitDescendantKey(std::string_view key);

// The key of a descendant selector such as "div p em": the element, a space,
// the ancestor count and `sequence` run together, then the ancestors from
// the nearest outwards, each followed by a space ("em 2<sequence>p div ").
[[nodiscard]] std::string MakeDescendantKey(std::string_view selector, const std::string& sequence);

}  // namespace lark
