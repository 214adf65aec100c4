#include "html/attribute_list.h"

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

void TAttributeList::Clear() {
  saveID_.clear();
  TFreeList<TAttribute>::Clear();
}

}  // namespace lark
