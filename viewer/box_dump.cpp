#include "viewer/box_dump.h"

#include "html/block.h"
#include "html/floating_object.h"
#include "html/section_list.h"
#include "html/table.h"
#include "html/table_box.h"

namespace lark {

namespace {

// Table cells are named by their own IDs, not in the anchor list: the walk
// reaches them through the boxes, with a work list instead of recursion.
void AddTableCells(const TSectionList& list, std::vector<TBoxEntry>& boxes) {
  std::vector<const TCellBasic*> cells{&list};
  while (!cells.empty()) {
    const TCellBasic* cell = cells.back();
    cells.pop_back();
    for (std::size_t i = 0; i < cell->Count(); ++i) {
      const auto* block = dynamic_cast<const TBlock*>(cell->Items(i));
      if (!block) continue;
      cells.push_back(block->MyCell.get());
      const auto* box = dynamic_cast<const TTableBlock*>(block);
      if (!box || !box->Table) continue;
      const ThtmlTable& table = *box->Table;
      cells.push_back(table.CaptionCell->Cell.get());
      for (std::size_t r = 0; r < table.Rows.size(); ++r)
        for (std::size_t c = 0; c < table.Rows[r]->Cells.size(); ++c)
          if (const TCellObj* slot = table.Rows[r]->Cells[c].get()) {
            if (!slot->ID.empty()) boxes.push_back({slot->ID, table.CellBorderBox(r, c)});
            cells.push_back(slot->Cell.get());
          }
    }
  }
}

}  // namespace

std::vector<TBoxEntry> DumpBoxes(const TSectionList& list) {
  std::vector<TBoxEntry> boxes;
  if (!list.IDNameList) return boxes;
  const TIDNameList& ids = *list.IDNameList;
  for (int i = 0; i < ids.Count(); ++i) {
    if (const auto* block = dynamic_cast<const TBlock*>(ids.Objects(i)))
      boxes.push_back({ids.Strings(i), block->BoxRect});
    else if (const auto* object = dynamic_cast<const TFloatingObj*>(ids.Objects(i)))
      boxes.push_back({ids.Strings(i), object->HitArea()});
  }
  AddTableCells(list, boxes);
  return boxes;
}

}  // namespace lark
