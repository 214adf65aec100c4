#include "html/font_family.h"

#include <map>
#include <unordered_map>
#include <vector>

#include "platform/core/string_routines.h"
#include "platform/graphics/font.h"

namespace lark {

namespace {

// Installed families by lower-cased name; the list does not change while
// the program runs.
const std::map<std::string, std::string>& InstalledFamilies() {
  static const std::map<std::string, std::string> families = [] {
    std::map<std::string, std::string> byName;
    for (const std::string& name : InstalledFontNames()) byName.emplace(LowerCase(name), name);
    return byName;
  }();
  return families;
}

std::string FamilyName(std::string_view written) {
  std::string name = Trim(written);
  if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
    name = Trim(name.substr(1, name.size() - 2));
  const std::string lower = LowerCase(name);
  if (lower == "serif") return "Times New Roman";
  if (lower == "monospace") return "Courier New";
  if (lower == "sans-serif") return "Arial";
  if (lower == "cursive") return "Lucida Handwriting";
  return name;
}

std::vector<std::string> FamilyNames(std::string_view families) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= families.size()) {
    std::size_t comma = families.find(',', start);
    if (comma == std::string_view::npos) comma = families.size();
    std::string name = FamilyName(families.substr(start, comma - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = comma + 1;
  }
  return names;
}

}  // namespace

std::string ResolveFontFamily(std::string_view families) {
  // Pages name the same few lists in every FONT element; the answers are
  // kept, kMaxResolvedFamilies of them (then the table starts again).
  constexpr std::size_t kMaxResolvedFamilies = 256;
  thread_local std::unordered_map<std::string, std::string> resolved;
  const std::string key(families);
  if (const auto found = resolved.find(key); found != resolved.end()) return found->second;
  std::string result;
  const std::map<std::string, std::string>& installed = InstalledFamilies();
  for (const std::string& name : FamilyNames(families))
    if (const auto found = installed.find(LowerCase(name)); found != installed.end()) {
      result = found->second;
      break;
    }
  if (resolved.size() >= kMaxResolvedFamilies) resolved.clear();
  resolved.emplace(key, result);
  return result;
}

std::string FirstFontFamily(std::string_view families) {
  const std::vector<std::string> names = FamilyNames(families);
  return names.empty() ? std::string() : names.front();
}

}  // namespace lark
