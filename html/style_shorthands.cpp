#include "html/style_shorthands.h"

#include <algorithm>
#include <array>

#include "html/colors.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Most parts each shorthand reads; what a value has beyond them is dropped.
constexpr std::size_t kBoxParts = 4;
constexpr std::size_t kBorderParts = 3;
constexpr std::size_t kFontParts = 6;
constexpr std::size_t kBackgroundParts = 6;
constexpr std::size_t kListStyleParts = 3;

[[nodiscard]] bool StartsGroup(std::string_view text) {
  return StartsText("url(", text) || StartsText("rgb(", text);
}

[[nodiscard]] bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// Runs of blanks become one blank, and a blank after "," goes.
[[nodiscard]] std::string CollapseBlanks(std::string_view value) {
  std::string collapsed;
  collapsed.reserve(value.size());
  for (const char c : value) {
    if (c == ' ' && !collapsed.empty() && (collapsed.back() == ' ' || collapsed.back() == ',')) continue;
    collapsed += c;
  }
  return collapsed;
}

// Adds a part, split at a "/" after its first character (not in quoted text).
void AddPart(std::string_view part, std::vector<std::string>& parts) {
  const std::size_t slash = part.front() == '"' || part.front() == '\'' ? npos : part.find('/', 1);
  if (slash == npos) {
    parts.emplace_back(part);
    return;
  }
  parts.emplace_back(part.substr(0, slash));
  parts.emplace_back(part.substr(slash));
}

[[nodiscard]] bool IsColorPart(const std::string& part) {
  TColor color = 0;
  return StartsText("rgb(", part) || ColorFromString(part, true, color);
}

}  // namespace

std::vector<std::string> SplitShorthandValue(std::string_view value, std::size_t maxParts) {
  const std::string collapsed = CollapseBlanks(value);
  std::vector<std::string> parts;
  std::string rest;
  rest.reserve(collapsed.size());
  for (std::size_t i = 0; i < collapsed.size();) {
    if (!StartsGroup(std::string_view(collapsed).substr(i))) {
      rest += collapsed[i++];
      continue;
    }
    const std::size_t close = collapsed.find(')', i);
    const std::size_t end = close == npos ? collapsed.size() : close + 1;
    if (parts.size() < maxParts) parts.push_back(collapsed.substr(i, end - i));
    rest += ' ';
    i = end;
  }
  for (std::size_t i = 0; i < rest.size() && parts.size() < maxParts;) {
    if (rest[i] == ' ') {
      ++i;
      continue;
    }
    const std::size_t start = i;
    char quote = 0;
    for (; i < rest.size() && (quote || rest[i] != ' '); ++i) {
      if (quote)
        quote = rest[i] == quote ? 0 : quote;
      else if (rest[i] == '"' || rest[i] == '\'')
        quote = rest[i];
    }
    AddPart(std::string_view(rest).substr(start, i - start), parts);
  }
  return parts;
}

bool IsShorthand(std::string_view name) {
  return IsOneOf(name, {"margin", "padding", "border-width", "border", "border-top", "border-right",
                        "border-bottom", "border-left", "font", "background", "list-style"});
}

bool ExpandShorthand(const std::string& name, const std::string& value, const TPropertySetter& set) {
  if (IsOneOf(name, {"margin", "padding", "border-width"}))
    ExpandBox(name, value, set);
  else if (IsOneOf(name, {"border", "border-top", "border-right", "border-bottom", "border-left"}))
    ExpandBorder(name, value, set);
  else if (name == "font")
    ExpandFont(value, set);
  else if (name == "background")
    ExpandBackground(value, set);
  else if (name == "list-style")
    ExpandListStyle(value, set);
  else
    return false;
  return true;
}

void ExpandBox(const std::string& name, const std::string& value, const TPropertySetter& set) {
  static constexpr std::array<const char*, 4> kSides = {"top", "right", "bottom", "left"};
  const std::vector<std::string> parts = SplitShorthandValue(value, kBoxParts);
  if (parts.empty()) return;
  // Which part gives top, right, bottom and left, for one to four parts.
  static constexpr std::size_t kPartOfSide[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
  const std::size_t* partOfSide = kPartOfSide[std::min(parts.size(), kBoxParts) - 1];
  for (std::size_t side = 0; side < kSides.size(); ++side) {
    // border-width names its sides "border-top-width"; the others "margin-top".
    const std::string property = name == "border-width" ? std::string("border-") + kSides[side] + "-width"
                                                        : name + "-" + kSides[side];
    set(property, parts[partOfSide[side]]);
  }
}

void ExpandBorder(const std::string& name, const std::string& value, const TPropertySetter& set) {
  const bool allSides = name == "border";
  for (const std::string& part : SplitShorthandValue(value, kBorderParts)) {
    if (IsColorPart(part)) {
      set("border-color", part);
    } else if (IsOneOf(LowerCase(part),
                       {"none", "solid", "dashed", "dotted", "double", "groove", "inset", "outset", "ridge"})) {
      set(name + "-style", part);
    } else if (allSides) {
      for (const char* side : {"border-top-width", "border-right-width", "border-bottom-width", "border-left-width"})
        set(side, part);
    } else {
      set(name + "-width", part);
    }
  }
}

void ExpandFont(const std::string& value, const TPropertySetter& set) {
  for (const std::string& part : SplitShorthandValue(value, kFontParts)) {
    const std::string word = LowerCase(part);
    if (part.front() == '/')
      set("line-height", part.substr(1));
    else if (IsOneOf(word, {"italic", "oblique"}))
      set("font-style", part);
    else if (IsOneOf(word, {"normal", "bolder", "lighter", "bold"}))
      set("font-weight", part);
    else if (word == "small-caps")
      set("font-variant", part);
    else if (IsOneOf(word, {"larger", "smaller", "xx-small", "x-small", "small", "medium", "large", "x-large",
                            "xx-large"}) ||
             (part.front() >= '0' && part.front() <= '9'))
      set("font-size", part);
    else
      set("font-family", part);
  }
}

void ExpandBackground(const std::string& value, const TPropertySetter& set) {
  std::vector<std::string> position;
  for (const std::string& part : SplitShorthandValue(value, kBackgroundParts)) {
    if (StartsText("url(", part))
      set("background-image", part);
    else if (IsColorPart(part))
      set("background-color", part);
    else if (SameText(part, "none"))
      set("background-image", part);
    else if (PosText("repeat", part) != npos)
      set("background-repeat", part);
    else
      position.push_back(part);
  }
  // Of the parts left, the last two give the position.
  if (position.empty()) return;
  const std::size_t first = position.size() >= 2 ? position.size() - 2 : 0;
  std::string text = position[first];
  if (first + 1 < position.size()) text += ' ' + position[first + 1];
  set("background-position", text);
}

void ExpandListStyle(const std::string& value, const TPropertySetter& set) {
  for (const std::string& part : SplitShorthandValue(value, kListStyleParts)) {
    if (PosText("url(", part) != npos)
      set("list-style-image", part);
    else if (IsOneOf(LowerCase(part), {"inside", "outside"}))
      set("list-style-position", part);  // no property of ours: ignored, yet not taken for the type
    else
      set("list-style-type", part);
  }
}

}  // namespace lark
