#pragma once

#include <string>
#include <string_view>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/color.h"
#include "platform/graphics/region.h"

namespace lark {

[[nodiscard]] constexpr int IntMin(int a, int b) { return a < b ? a : b; }
[[nodiscard]] constexpr int IntMax(int a, int b) { return a > b ? a : b; }

// Removes every character below 33 (blanks and controls) from both ends.
[[nodiscard]] std::string TrimBlanks(std::string_view s);

// Replaces "%hh" escapes, each once, left to right ("%2541" gives "%41"). A
// "%" in the first position stops the decoding (the text is taken as not
// escaped), as does a "%" with fewer than two characters after it. A pair
// that is not hexadecimal raises EConvertError.
void DecodePercent(std::string& s);
void ReplaceCharInString(char oldChar, char newChar, std::string& s);

// A file URL as a local path: escapes decoded, then, when the text holds a
// "/", the first "file://" (any case) removed, which leaves the absolute
// path. Text without "/" comes back decoded and otherwise unchanged.
[[nodiscard]] std::string FileURLToPath(const std::string& url);
// `name` as a path: an absolute path stands alone; a relative one is taken
// relative to `base` when there is one.
[[nodiscard]] std::string CombinePath(const std::string& name, const std::string& base);

// The width in pixels of the first `count` bytes of `text` in the canvas font.
[[nodiscard]] int TextExtentWidth(TCanvas& canvas, std::string_view text, int count);

// Blank-separated words in lines no wider than right - left, each line
// clipped to the rectangle; stops before a line that would end below bottom.
void WrapTextRect(TCanvas& canvas, int left, int top, std::string_view text, int bottom, int right);

// True for a device with one bit per pixel (a monochrome printer).
[[nodiscard]] bool IsMonochromeDevice(TCanvas& canvas);

// How a page's frames should look: on paper, or on a white page, the light
// edge must be visible, so it darkens to silver.
struct TPageLook {
  bool Printing = false;
  TColor Background = clWhite;  // the document's background colour
};

// The 3-D edge of placeholders and form controls: raised puts the light
// colour on the left and top edges, sunken on the right and bottom.
void DrawRaisedBox(const TPageLook& look, TCanvas& canvas, int left, int top, int right, int bottom,
                   bool raised);
void DrawRaisedBoxColors(TCanvas& canvas, int left, int top, int right, int bottom, TColor light, TColor dark,
                         bool raised);
// A form control's frame for printing: white inside, a two-pixel 3-D edge,
// or a one-pixel black one on a monochrome printer.
void DrawControlFrame(TCanvas& canvas, int left, int top, int right, int bottom, bool raised, bool printing);

// A bitmap stretched onto a (printer) canvas at x, y in w x h.
void PrintBitmap(TCanvas& canvas, int x, int y, const TBitmap& bitmap, int w, int h);
// The same through a mask (white where see-through): the opaque pixels
// become a clip region, joined with any clip the canvas already has.
void PrintTransparentBitmap(TCanvas& canvas, int x, int y, int w, int h, const TBitmap& bitmap,
                            const TBitmap& mask);
// The pixels of `bitmap` whose colour is not `transparentColor`, as a region
// of one-pixel-high runs in the bitmap's coordinates.
[[nodiscard]] TRegion BitmapToRegion(const TBitmap& bitmap, TColor transparentColor);

}  // namespace lark
