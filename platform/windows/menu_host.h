#pragma once

#include "platform/graphics/geometry.h"

namespace lark {

class TMenuItem;
class TPopupMenu;

// Shows a pop-up menu and waits for the choice (null when dismissed). A test
// hook (test_driver.h) answers in place of the window system.
TMenuItem* RunPopupMenu(TPopupMenu* menu, TPoint screenPoint);

}  // namespace lark
