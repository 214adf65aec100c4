#include "platform/windows/form_registry.h"

#include <map>

namespace lark {

int TFormValue::AsInt() const {
  if (kind != Kind::Integer) throw EFormResourceError("integer expected");
  if (integer < INT32_MIN || integer > INT32_MAX) throw EFormResourceError("integer out of range");
  return static_cast<int>(integer);
}

bool TFormValue::AsBool() const {
  if (kind == Kind::Ident && (text == "True" || text == "true")) return true;
  if (kind == Kind::Ident && (text == "False" || text == "false")) return false;
  throw EFormResourceError("True or False expected");
}

const std::string& TFormValue::AsString() const {
  if (kind != Kind::String) throw EFormResourceError("string expected");
  return text;
}

const std::string& TFormValue::AsIdent() const {
  if (kind != Kind::Ident) throw EFormResourceError("name expected");
  return text;
}

namespace form_registry {
namespace {

struct PropertyEntry {
  std::function<bool(TObject*)> applies;
  TPropertySetter setter;
};

struct ObjectPropertyEntry {
  std::function<bool(TObject*)> applies;
  std::function<TObject*(TObject*)> get;
  std::function<void(TObject*)> changed;
};

struct Registry {
  std::map<std::string, TFactory> classes;
  std::multimap<std::string, PropertyEntry> properties;
  std::multimap<std::string, ObjectPropertyEntry> object_properties;
  std::multimap<std::string, std::function<std::any(TComponent*)>> handlers;
  std::vector<std::function<bool(TComponent*, TComponent*)>> child_rules;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterClass(const std::string& className, TFactory factory) {
  TheRegistry().classes[className] = std::move(factory);
}

void RegisterProperty(const std::string& name, std::function<bool(TObject*)> applies, TPropertySetter setter) {
  TheRegistry().properties.emplace(name, PropertyEntry{std::move(applies), std::move(setter)});
}

void RegisterObjectProperty(const std::string& name, std::function<bool(TObject*)> applies,
                            std::function<TObject*(TObject*)> get, std::function<void(TObject*)> changed) {
  TheRegistry().object_properties.emplace(
      name, ObjectPropertyEntry{std::move(applies), std::move(get), std::move(changed)});
}

void RegisterHandler(const std::string& name, std::function<std::any(TComponent*)> make) {
  TheRegistry().handlers.emplace(name, std::move(make));
}

void RegisterChildRule(std::function<bool(TComponent*, TComponent*)> rule) {
  TheRegistry().child_rules.push_back(std::move(rule));
}

const TFactory* FindClass(const std::string& className) {
  auto& classes = TheRegistry().classes;
  auto it = classes.find(className);
  return it == classes.end() ? nullptr : &it->second;
}

// The most recently registered setter that applies wins, so a library can
// refine a property of a base class for its own class.
const TPropertySetter* FindProperty(const std::string& name, TObject* target) {
  auto range = TheRegistry().properties.equal_range(name);
  const TPropertySetter* found = nullptr;
  for (auto it = range.first; it != range.second; ++it)
    if (it->second.applies(target)) found = &it->second.setter;
  return found;
}

// A name registered whole ("Font.Name") wins over the object property
// before its first dot; the rest of the name is looked up on that object.
TBoundSetter ResolveProperty(const std::string& name, TObject* target) {
  if (const TPropertySetter* setter = FindProperty(name, target))
    return [setter, target](const TFormValue& v, TFormReader& reader) { (*setter)(target, v, reader); };
  auto dot = name.find('.');
  if (dot == std::string::npos) return {};
  auto range = TheRegistry().object_properties.equal_range(name.substr(0, dot));
  const ObjectPropertyEntry* found = nullptr;
  for (auto it = range.first; it != range.second; ++it)
    if (it->second.applies(target)) found = &it->second;
  if (!found) return {};
  TBoundSetter inner = ResolveProperty(name.substr(dot + 1), found->get(target));
  if (!inner) return {};
  return [inner, found, target](const TFormValue& v, TFormReader& reader) {
    inner(v, reader);
    if (found->changed) found->changed(target);
  };
}

std::any MakeHandler(const std::string& name, TComponent* root) {
  auto range = TheRegistry().handlers.equal_range(name);
  for (auto it = range.first; it != range.second; ++it) {
    std::any handler = it->second(root);
    if (handler.has_value()) return handler;
  }
  return {};
}

void PlaceChild(TComponent* child, TComponent* container) {
  for (auto& rule : TheRegistry().child_rules)
    if (rule(child, container)) return;
}

}  // namespace form_registry
}  // namespace lark
