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

// Every block-level element with an ID (blocks and list items) and the
// border box it was last painted in, and every form control with a window
// and a NAME or an ID and the box its window was placed in, in the anchor
// list's order. For tests and comparisons: lay the document out and paint
// it unscrolled first.
[[nodiscard]] std::vector<TBoxEntry> DumpBoxes(const TSectionList& list);

}  // namespace lark
