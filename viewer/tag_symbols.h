#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "html/symbols.h"

namespace lark {

// A tag name of the reader's table.
struct TagSymbols {
  std::string_view Name;  // upper case
  Symb Start;
  std::optional<Symb> End;  // only the first 51 names have an end symbol
};

// `upperName` is the name as read, upper-cased. Unknown names give nullptr.
[[nodiscard]] const TagSymbols* LookupTag(std::string_view upperName);
// Unknown attribute names give UnknownAttributeSymbol.
[[nodiscard]] Symb LookupAttribute(std::string_view upperName);

// The lower-case tag name of a start symbol (every tag) or of an end symbol;
// empty when the symbol names no tag.
[[nodiscard]] std::string SymbolToTagName(Symb sy);
[[nodiscard]] std::string EndSymbolToTagName(Symb sy);
// The end symbol belonging to a start symbol, when the tag has one.
[[nodiscard]] std::optional<Symb> StartToEndSymbol(Symb sy);

}  // namespace lark
