#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/free_list.h"
#include "html/properties.h"
#include "html/symbols.h"

namespace lark {

// One attribute of a tag as the reader found it; never changed afterwards.
class TAttribute {
 public:
  TAttribute(Symb which, std::int32_t value, std::string name)
      : Which(which), Value(value), Name(std::move(name)) {}

  const Symb Which;          // the attribute's symbol
  const std::int32_t Value;  // the value read as a number, 0 when not numeric
  const std::string Name;    // the value's text as written
};

// Fills a property set from the text of a STYLE attribute. The style-sheet
// parser installs one at start-up.
using TStyleAttributeParser = std::function<void(const std::string& text, TProperties& props)>;
void SetStyleAttributeParser(TStyleAttributeParser parser);

// The attributes of the tag being processed; cleared for every tag.
class TAttributeList : public TFreeList<TAttribute> {
 public:
  // Adds an attribute. The reader adds a few for every tag it reads, so the
  // objects that Clear frees are kept and built anew here, without going
  // back to the heap each time.
  TAttribute* AddAttribute(Symb which, std::int32_t value, std::string_view name);
  // The first attribute with symbol `sy`, or nullptr.
  [[nodiscard]] TAttribute* Find(Symb sy) const;
  // The ID's text lower-cased; remembered until the next Clear.
  [[nodiscard]] std::string GetID();
  [[nodiscard]] std::string GetClass() const;
  [[nodiscard]] std::string GetTitle() const;
  // The properties of the STYLE attribute, freshly parsed into a set this list
  // owns until the next call; nullptr, with the previous set kept, when the tag
  // has no STYLE. Throws when no style-attribute parser is installed.
  TProperties* GetStyle();
  [[nodiscard]] TProperties* Prop() const { return prop_.get(); }

  void Clear() override;

 private:
  std::unique_ptr<TProperties> prop_;
  std::string saveID_;
  std::vector<std::unique_ptr<TAttribute>> spare_;
};

}  // namespace lark
