#include "viewer/box_dump.h"

#include "html/block.h"
#include "html/section_list.h"

namespace lark {

std::vector<TBoxEntry> DumpBoxes(const TSectionList& list) {
  std::vector<TBoxEntry> boxes;
  if (!list.IDNameList) return boxes;
  const TIDNameList& ids = *list.IDNameList;
  for (int i = 0; i < ids.Count(); ++i)
    if (const auto* block = dynamic_cast<const TBlock*>(ids.Objects(i))) boxes.push_back({ids.Strings(i), block->BoxRect});
  return boxes;
}

}  // namespace lark
