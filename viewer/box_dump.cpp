#include "viewer/box_dump.h"

#include <optional>

#include "html/block.h"
#include "html/form_control_base.h"
#include "html/section_list.h"
#include "platform/windows/win_control.h"

namespace lark {

namespace {

// A form control's box: its window where it was placed; none for a hidden
// input. (An image input's NAME names its picture, an image.)
std::optional<TRect> FormControlBox(const TObject* object) {
  if (const auto* control = dynamic_cast<const THtmlFormControl*>(object))
    if (const TWinControl* window = control->GetControl()) return window->BoundsRect();
  return std::nullopt;
}

}  // namespace

std::vector<TBoxEntry> DumpBoxes(const TSectionList& list) {
  std::vector<TBoxEntry> boxes;
  if (!list.IDNameList) return boxes;
  const TIDNameList& ids = *list.IDNameList;
  for (int i = 0; i < ids.Count(); ++i) {
    if (const auto* block = dynamic_cast<const TBlock*>(ids.Objects(i)))
      boxes.push_back({ids.Strings(i), block->BoxRect});
    else if (const std::optional<TRect> box = FormControlBox(ids.Objects(i)))
      boxes.push_back({ids.Strings(i), *box});
  }
  return boxes;
}

}  // namespace lark
