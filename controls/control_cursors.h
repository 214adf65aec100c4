#pragma once

#include "platform/windows/control_types.h"

namespace lark {

// The controls' own pointers: a pointing hand and a gripping hand.
inline constexpr TCursor crHand = 14000;
inline constexpr TCursor crDragHand = 14001;

// Registers the cursor resources "RX_HANDCUR" and "RX_DRAGCUR" and makes them
// the screen's cursors crHand and crDragHand. Safe to call more than once;
// the controls that show these cursors call it themselves.
void RegisterControlCursors();

}  // namespace lark
