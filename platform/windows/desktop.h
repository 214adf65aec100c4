#pragma once

#include "platform/graphics/geometry.h"

namespace lark {

class TWinControl;

// What the program does with the desktop as a whole, beyond its own windows.

// Confines the pointer to a screen rectangle (null frees it). While it is
// confined, every pointer position the program sees (mouse messages,
// Mouse.CursorPos) lies inside, the right and bottom edges excluded. The
// window system's own pointer is not held: some desktops do not let a
// program move it.
bool ClipCursor(const TRect* screenRect);
// The confining rectangle; false when the pointer is free.
bool GetClipCursor(TRect& screenRect);
// A screen point moved inside the confining rectangle (unchanged when the
// pointer is free).
[[nodiscard]] TPoint ConfineToCursorClip(TPoint screenPoint);

// The window of the program under a screen point: the deepest shown,
// enabled window there (a windowless control's parent window); null over
// nothing of the program's.
TWinControl* WindowFromPoint(TPoint screenPoint);

// Draws the desktop's dotted focus rectangle on the screen, above the
// program's windows and their child windows, by inverting the pixels there
// (a rubber band that crosses child windows, such as a dragged splitter
// line). Drawing the same rectangle again takes it away; the windows' own
// painting beneath is never touched.
void DrawFocusRectOnScreen(const TRect& screenRect);

}  // namespace lark
