#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/windows/form_registry.h"

namespace lark {

// Parses a resource (EFormResourceError on bad syntax).
struct TFormObject {
  std::string name;
  std::string className;
  std::vector<TPropAssignment> properties;
  std::vector<TFormObject> children;
  int line = 0;
};
[[nodiscard]] TFormObject ParseFormResource(std::string_view text, const std::string& resourceName);

// Reads a resource into `root` (normally from its constructor): creates the
// nested components owned by root, sets their properties, binds handlers,
// resolves references, then calls Loaded on everything.
void ReadFormResource(TComponent* root, std::string_view text, const std::string& resourceName);

// Resources compiled into the program, by name; others are read from
// "<program dir>/forms/<name>.lfm".
void RegisterFormResource(const std::string& name, std::string text);
// Finds the resource `name` and reads it into root.
void LoadFormResource(TComponent* root, const std::string& name);

}  // namespace lark
