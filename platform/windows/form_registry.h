#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/exception.h"
#include "platform/core/object.h"

namespace lark {

class TComponent;

// A form resource that cannot be read: the message names the resource and
// the line, as "frmMain.lfm(12): ...".
class EFormResourceError : public Exception {
 public:
  using Exception::Exception;
};

struct TPropAssignment;

// One value of a form resource.
struct TFormValue {
  enum class Kind { Integer, Float, String, Ident, Set, Strings, Binary, Collection };
  Kind kind = Kind::Integer;
  std::int64_t integer = 0;
  double number = 0;
  std::string text;                      // String, Ident
  std::vector<std::string> items;        // Set, Strings
  std::string bytes;                     // Binary
  std::vector<std::vector<TPropAssignment>> collection;

  // Each raises EFormResourceError when the value is of another kind.
  [[nodiscard]] int AsInt() const;
  [[nodiscard]] bool AsBool() const;
  [[nodiscard]] const std::string& AsString() const;
  [[nodiscard]] const std::string& AsIdent() const;
};

struct TPropAssignment {
  std::string name;  // may be dotted: Font.Name
  TFormValue value;
  int line = 0;
};

// The reader's view while a resource loads: what setters may ask of it.
class TFormReader {
 public:
  virtual ~TFormReader() = default;
  // The component the resource describes (the form).
  [[nodiscard]] virtual TComponent* Root() const = 0;
  // Resolves a component name once every component exists (forward
  // references): `apply` gets the component (the root for the root's name).
  virtual void Reference(const std::string& name, std::function<void(TComponent*)> apply) = 0;
  // Binds an event to the root's handler of that name, of exactly the
  // event's type.
  [[nodiscard]] virtual std::any Handler(const std::string& name) = 0;
  // Applies assignments to an object (collection items).
  virtual void Apply(TObject* target, const std::vector<TPropAssignment>& assignments) = 0;
};

using TPropertySetter = std::function<void(TObject* target, const TFormValue& value, TFormReader& reader)>;

// What the reader may create and set. Libraries fill it at start-up (the
// window layer registers its own controls; other libraries theirs), none of
// them needing Qt.
namespace form_registry {

using TFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterClass(const std::string& className, TFactory factory);
// A property of every object `applies` accepts (usually a dynamic_cast).
void RegisterProperty(const std::string& name, std::function<bool(TObject*)> applies, TPropertySetter setter);
// A property that is an object of its own (Constraints): "Name.Sub" sets the
// property Sub, registered for the object's own class, of the object `get`
// returns; `changed` (may be empty) then lets the owner take the new value.
void RegisterObjectProperty(const std::string& name, std::function<bool(TObject*)> applies,
                            std::function<TObject*(TObject*)> get, std::function<void(TObject*)> changed);
// A handler of roots that `root` accepts; `make` builds the bound event.
void RegisterHandler(const std::string& name, std::function<std::any(TComponent* root)> make);
// Where a nested component goes inside its enclosing one (a control into its
// parent, a menu item into its menu); true when the rule applied.
void RegisterChildRule(std::function<bool(TComponent* child, TComponent* container)> rule);

// The window layer's own classes and properties; the reader registers them
// on first use.
void RegisterWindowClasses();

[[nodiscard]] const TFactory* FindClass(const std::string& className);
[[nodiscard]] const TPropertySetter* FindProperty(const std::string& name, TObject* target);
// Sets the property `name` of `target`; a dotted name reaches into object
// properties. Empty when `target` has no such property.
using TBoundSetter = std::function<void(const TFormValue& value, TFormReader& reader)>;
[[nodiscard]] TBoundSetter ResolveProperty(const std::string& name, TObject* target);
[[nodiscard]] std::any MakeHandler(const std::string& name, TComponent* root);
void PlaceChild(TComponent* child, TComponent* container);

// Values of resources: an identifier among names (EFormResourceError for
// another), a set of them as bits, a colour as a number or a "cl" name.
template <typename E>
E EnumOf(const TFormValue& value, std::initializer_list<std::pair<const char*, E>> names) {
  for (const auto& [name, e] : names)
    if (value.AsIdent() == name) return e;
  throw EFormResourceError("unknown value " + value.AsIdent());
}
unsigned SetOf(const TFormValue& value, std::initializer_list<std::pair<const char*, unsigned>> names);
[[nodiscard]] std::int32_t ColorOf(const TFormValue& value);

// Typed helpers.
template <typename T>
void Property(const std::string& name, std::function<void(T&, const TFormValue&)> set) {
  RegisterProperty(
      name, [](TObject* o) { return dynamic_cast<T*>(o) != nullptr; },
      [set](TObject* o, const TFormValue& v, TFormReader&) { set(*dynamic_cast<T*>(o), v); });
}

// An event property: the value names a handler of the root.
template <typename T, typename Event>
void EventProperty(const std::string& name, Event T::*member) {
  RegisterProperty(
      name, [](TObject* o) { return dynamic_cast<T*>(o) != nullptr; },
      [name, member](TObject* o, const TFormValue& v, TFormReader& reader) {
        std::any handler = reader.Handler(v.AsIdent());
        const Event* event = std::any_cast<Event>(&handler);
        if (!event) throw EFormResourceError("handler " + v.AsIdent() + " does not fit " + name);
        dynamic_cast<T*>(o)->*member = *event;
      });
}

// A reference to another component of the form, resolved once all exist.
template <typename T, typename Target>
void ReferenceProperty(const std::string& name, std::function<void(T&, Target*)> set) {
  RegisterProperty(
      name, [](TObject* o) { return dynamic_cast<T*>(o) != nullptr; },
      [name, set](TObject* o, const TFormValue& v, TFormReader& reader) {
        T* owner = dynamic_cast<T*>(o);
        std::string target = v.AsIdent();
        reader.Reference(target, [=](TComponent* c) {
          auto* typed = dynamic_cast<Target*>(c);
          if (!typed) throw EFormResourceError(target + " cannot be the " + name);
          set(*owner, typed);
        });
      });
}

// An object property of T: `get` returns the object, `changed` runs after
// each of its properties is set.
template <typename T, typename Object>
void ObjectProperty(const std::string& name, std::function<Object&(T&)> get, std::function<void(T&)> changed = {}) {
  RegisterObjectProperty(
      name, [](TObject* o) { return dynamic_cast<T*>(o) != nullptr; },
      [get](TObject* o) -> TObject* { return &get(*dynamic_cast<T*>(o)); },
      [changed](TObject* o) {
        if (changed) changed(*dynamic_cast<T*>(o));
      });
}

// A collection ("Name = < item ... end >"): each item becomes a new Item
// (a TObject with properties of its own registered) and `store` gets them
// all, in order.
template <typename T, typename Item>
void CollectionProperty(const std::string& name, std::function<void(T&, std::vector<Item>)> store) {
  RegisterProperty(
      name, [](TObject* o) { return dynamic_cast<T*>(o) != nullptr; },
      [store](TObject* o, const TFormValue& v, TFormReader& reader) {
        if (v.kind != TFormValue::Kind::Collection) throw EFormResourceError("collection expected");
        std::vector<Item> items(v.collection.size());
        for (size_t i = 0; i < items.size(); ++i) reader.Apply(&items[i], v.collection[i]);
        store(*dynamic_cast<T*>(o), std::move(items));
      });
}

template <typename T>
void Class(const std::string& className) {
  RegisterClass(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}

// Binds a handler name to a method of the root class.
template <typename Root, typename... Args>
void Handler(const std::string& name, void (Root::*method)(Args...)) {
  RegisterHandler(name, [method](TComponent* root) -> std::any {
    auto* r = dynamic_cast<Root*>(root);
    if (!r) return {};
    return std::function<void(Args...)>([r, method](Args... args) { (r->*method)(std::forward<Args>(args)...); });
  });
}

}  // namespace form_registry

}  // namespace lark
