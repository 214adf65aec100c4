#pragma once

#include "platform/windows/control_types.h"

namespace lark {

// The print preview's pointers over the page: a magnifier for the zoom tool
// and an open hand for the hand tool.
inline constexpr TCursor crZoom = 40;
inline constexpr TCursor crPan = 41;

// Registers the cursor resources "ZOOM_CURSOR" and "HAND_CURSOR" as the
// screen's cursors 40 and 41. Safe to call more than once.
void RegisterPreviewCursors();

}  // namespace lark
