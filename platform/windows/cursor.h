#pragma once

namespace lark {

class TControl;

// Shows a control's cursor on the window it lies on (its own, or its
// parent's for a windowless control).
void ShowCursorOf(TControl* control);

}  // namespace lark
