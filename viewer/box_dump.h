#pragma once

#include <string>
#include <vector>

#include "platform/graphics/geometry.h"

namespace lark {

class TSectionList;

// One element with an ID and its border box in document pixels.
struct TBoxEntry {
  std::string ID;  // as the anchor list keeps it
  TRect Box;
};

// Every block-level element with an ID (blocks, list items, tables, rules)
// and inline image with one, with the border box it was last painted in, in
// the anchor list's order; then table cells with an ID, in document order.
// For tests and comparisons: lay the document out and paint it unscrolled
// first.
[[nodiscard]] std::vector<TBoxEntry> DumpBoxes(const TSectionList& list);

}  // namespace lark
