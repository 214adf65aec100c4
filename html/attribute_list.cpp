#include "html/attribute_list.h"

#include <memory>

#include "platform/core/exception.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

TStyleAttributeParser& InstalledStyleParser() {
  static TStyleAttributeParser parser;
  return parser;
}

}  // namespace

void SetStyleAttributeParser(TStyleAttributeParser parser) { InstalledStyleParser() = std::move(parser); }

TAttribute* TAttributeList::Find(Symb sy) const {
  for (const auto& attribute : *this)
    if (attribute->Which == sy) return attribute.get();
  return nullptr;
}

std::string TAttributeList::GetID() {
  if (saveID_.empty())
    if (const TAttribute* id = Find(IDSy)) saveID_ = LowerCase(id->Name);
  return saveID_;
}

std::string TAttributeList::GetClass() const {
  const TAttribute* cls = Find(ClassSy);
  return cls ? LowerCase(cls->Name) : std::string();
}

std::string TAttributeList::GetTitle() const {
  const TAttribute* title = Find(TitleSy);
  return title ? title->Name : std::string();
}

TProperties* TAttributeList::GetStyle() {
  const TAttribute* style = Find(StyleSy);
  if (!style) return nullptr;
  const TStyleAttributeParser& parser = InstalledStyleParser();
  if (!parser) throw Exception("No style-attribute parser is installed");
  prop_.reset();
  prop_ = std::make_unique<TProperties>();
  parser(style->Name, *prop_);
  return prop_.get();
}

TAttribute* TAttributeList::AddAttribute(Symb which, std::int32_t value, std::string_view name) {
  std::string text(name);  // the only step that may throw, done before any change
  if (spare_.empty()) return Add(std::make_unique<TAttribute>(which, value, std::move(text)));
  std::unique_ptr<TAttribute> attribute = std::move(spare_.back());
  spare_.pop_back();
  // An attribute never changes once made; a kept one is made again in place.
  std::destroy_at(attribute.get());
  std::construct_at(attribute.get(), which, value, std::move(text));
  return Add(std::move(attribute));
}

void TAttributeList::Clear() {
  saveID_.clear();
  // The attributes leave the list; their storage stays for the next tag.
  while (!Empty()) spare_.push_back(Extract(Count() - 1));
}

}  // namespace lark
