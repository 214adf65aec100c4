#pragma once

#include "platform/graphics/geometry.h"

namespace lark {

class TMenuItem;
class TPopupMenu;

// Shows a pop-up menu and waits for the choice (null when dismissed). A test
// hook (test_driver.h) answers in place of the window system.
TMenuItem* RunPopupMenu(TPopupMenu* menu, TPoint screenPoint);

class TCustomForm;
// Shows the form's main menu as a bar across the top of its window (or
// removes the bar when the menu has no visible entry). A chosen entry comes
// back as WM_COMMAND to the form (LPARAM: the entry).
void UpdateMenuBar(TCustomForm* form);

}  // namespace lark
