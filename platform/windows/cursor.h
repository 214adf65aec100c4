#pragma once

#include <string>

#include "platform/graphics/geometry.h"

namespace lark {

class TControl;

// What the pointer shows over controls.

// Shows a control's cursor on the window it lies on (its own, or its
// parent's for a windowless control).
void ShowCursorOf(TControl* control);

// The hint window (hover.h decides when): a text below a screen point.
void ShowHintWindow(const std::string& text, TPoint screenPoint);
void HideHintWindow();

// The window system says the pointer left one of the program's top-level
// windows: the layer takes its position and looks again for the control under
// it.
void PointerLeftWindow();

}  // namespace lark
