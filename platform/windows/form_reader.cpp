#include "platform/windows/form_reader.h"

#include <fstream>
#include <map>
#include <sstream>

#include "platform/windows/application.h"
#include "platform/windows/component.h"

namespace lark {
namespace {

class Reader : public TFormReader {
 public:
  Reader(TComponent* root, const std::string& resource) : root_(root), resource_(resource) {}

  TComponent* Root() const override { return root_; }

  void Reference(const std::string& name, std::function<void(TComponent*)> apply) override {
    fixups_.push_back({name, line_, std::move(apply)});
  }

  std::any Handler(const std::string& name) override {
    std::any handler = form_registry::MakeHandler(name, root_);
    if (!handler.has_value()) Fail(line_, "handler " + name + " not found");
    return handler;
  }

  void Apply(TObject* target, const std::vector<TPropAssignment>& assignments) override {
    for (const TPropAssignment& a : assignments) {
      line_ = a.line;
      form_registry::TBoundSetter setter = form_registry::ResolveProperty(a.name, target);
      if (!setter) Fail(a.line, "property " + a.name + " not found");
      try {
        setter(a.value, *this);
      } catch (const EFormResourceError& error) {
        // Errors raised by setters get the place they belong to.
        if (std::string(error.what()).rfind(resource_ + "(", 0) == 0) throw;
        Fail(a.line, a.name + ": " + error.what());
      }
    }
  }

  void Read(const TFormObject& description) {
    root_->BeginLoading();
    loaded_.push_back(root_);
    if (!description.name.empty()) root_->SetName(description.name);
    Fill(root_, description);
    for (const Fixup& fixup : fixups_) {
      line_ = fixup.line;
      TComponent* target = SameName(root_->Name(), fixup.name) ? root_ : root_->FindComponent(fixup.name);
      if (!target) Fail(fixup.line, "component " + fixup.name + " not found");
      fixup.apply(target);
    }
    for (TComponent* component : loaded_) component->Loaded();
  }

 private:
  struct Fixup {
    std::string name;
    int line;
    std::function<void(TComponent*)> apply;
  };

  [[noreturn]] void Fail(int line, const std::string& what) const {
    throw EFormResourceError(resource_ + "(" + std::to_string(line) + "): " + what);
  }

  static bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
        return false;
    return true;
  }

  void Fill(TComponent* component, const TFormObject& description) {
    // A container's properties (its size above all) are in place before its
    // children arrive, so their anchors measure against the right size.
    Apply(component, description.properties);
    for (const TFormObject& child : description.children) {
      const form_registry::TFactory* factory = form_registry::FindClass(child.className);
      if (!factory) Fail(child.line, "class " + child.className + " not found");
      TComponent* created = (*factory)(root_);
      created->BeginLoading();
      loaded_.push_back(created);
      line_ = child.line;
      try {
        created->SetName(child.name);
      } catch (const Exception& error) {
        Fail(child.line, error.what());
      }
      form_registry::PlaceChild(created, component);
      Fill(created, child);
    }
  }

  TComponent* root_;
  const std::string& resource_;
  std::vector<Fixup> fixups_;
  std::vector<TComponent*> loaded_;
  int line_ = 0;
};

std::map<std::string, std::string>& CompiledResources() {
  static std::map<std::string, std::string> resources;
  return resources;
}

std::string ProgramDirectory() {
  std::string exe = Application()->ExeName();
  auto slash = exe.rfind('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

}  // namespace

void ReadFormResource(TComponent* root, std::string_view text, const std::string& resourceName) {
  form_registry::RegisterWindowClasses();
  TFormObject description = ParseFormResource(text, resourceName);
  Reader(root, resourceName).Read(description);
}

void RegisterFormResource(const std::string& name, std::string text) { CompiledResources()[name] = std::move(text); }

void LoadFormResource(TComponent* root, const std::string& name) {
  auto it = CompiledResources().find(name);
  if (it != CompiledResources().end()) {
    ReadFormResource(root, it->second, name);
    return;
  }
  std::string path = ProgramDirectory() + "forms/" + name + ".lfm";
  std::ifstream file(path, std::ios::binary);
  if (!file) throw EFormResourceError("Resource " + name + " not found (" + path + ")");
  std::stringstream text;
  text << file.rdbuf();
  ReadFormResource(root, text.str(), name + ".lfm");
}

}  // namespace lark
