#include "platform/graphics/resources.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace lark {
namespace {

std::string Key(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return name;
}

std::map<std::string, std::string_view>& Registry() {
  static std::map<std::string, std::string_view> registry;
  return registry;
}

}  // namespace

void RegisterResource(const std::string& name, std::string_view bytes) { Registry()[Key(name)] = bytes; }

std::optional<std::string_view> FindResource(const std::string& name) {
  const auto found = Registry().find(Key(name));
  if (found == Registry().end()) return std::nullopt;
  return found->second;
}

}  // namespace lark
