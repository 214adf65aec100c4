#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/color.h"
#include "platform/graphics/geometry.h"

namespace lark {

class TBitmap;
class TCanvas;
class TFont;

// Drawing and resource routines the controls share.

[[nodiscard]] inline int RectWidth(const TRect& r) { return r.Right - r.Left; }
[[nodiscard]] inline int RectHeight(const TRect& r) { return r.Bottom - r.Top; }

// Raises EResNotFound "Resource <name> not found"; a numbered resource is
// named by its decimal number.
[[noreturn]] void ResourceNotFound(const std::string& name);
[[noreturn]] void ResourceNotFound(int id);

// Where bitmaps come from: 0 is the system, which has no bitmaps of its own
// here; HInstance is the program with the resources compiled into it.
using HMODULE = std::uintptr_t;
inline constexpr HMODULE HInstance = 1;

// A new bitmap from a module's bitmap resource, by name or by number; a
// missing one raises ResourceNotFound.
[[nodiscard]] std::unique_ptr<TBitmap> MakeModuleBitmap(HMODULE module, const std::string& name);
[[nodiscard]] std::unique_ptr<TBitmap> MakeModuleBitmap(HMODULE module, int id);
// A bitmap of the program's resources.
[[nodiscard]] std::unique_ptr<TBitmap> CreateBitmap(const std::string& name);

enum TFillDirection : int { fdTopToBottom = 0, fdBottomToTop = 1, fdLeftToRight = 2, fdRightToLeft = 3 };
// Fills rect with colors bands running from startColor to endColor (the
// bottom-to-top and right-to-left directions start their first band, at the
// top or left, with endColor). The band count is clamped to 2..255 and to
// the extent; a leftover strip at the far end gets the far colour.
void GradientFillRect(TCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor,
                      TFillDirection direction, int colors);

// The height of a list item in a font: its text height plus one, measured
// as the screen measures.
[[nodiscard]] int GetItemHeight(const TFont& font);

}  // namespace lark
