#pragma once

#include "platform/graphics/canvas.h"

namespace lark {

// The screen as a device: 96 dpi, 24 bits, the primary screen's size.
[[nodiscard]] TDeviceCaps ScreenCaps();

// A canvas for what a screen device context answers: device capabilities,
// fonts and text measuring. Nothing can be drawn on the desktop through it:
// drawing raises EInvalidGraphicOperation.
TCanvas& ScreenCanvas();

}  // namespace lark
