#pragma once

namespace lark {

class TControl;

// What the pointer shows over controls.

// Shows a control's cursor on the window it lies on (its own, or its
// parent's for a windowless control).
void ShowCursorOf(TControl* control);

// The hint window: a control's short hint near the pointer, or nothing.
void ShowHintOf(TControl* control);

}  // namespace lark
