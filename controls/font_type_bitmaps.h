#pragma once

namespace lark {

// Registers the pictures a font list marks its fonts with, as the bitmap
// resources "TRUETYPE_FNT" and "DEVICE_FNT". Safe to call more than once.
void RegisterFontTypeBitmaps();

}  // namespace lark
