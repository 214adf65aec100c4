#include "controls/gui_utils.h"

#include <algorithm>

#include "platform/graphics/arithmetic.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/screen.h"

namespace lark {

void ResourceNotFound(const std::string& name) { throw EResNotFound("Resource " + name + " not found"); }

void ResourceNotFound(int id) { ResourceNotFound(std::to_string(id)); }

std::unique_ptr<TBitmap> MakeModuleBitmap(HMODULE module, const std::string& name) {
  if (module == 0) ResourceNotFound(name);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromResourceName(name);
  return bitmap;
}

std::unique_ptr<TBitmap> MakeModuleBitmap(HMODULE module, int id) {
  if (module == 0) ResourceNotFound(id);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromResourceID(id);
  return bitmap;
}

std::unique_ptr<TBitmap> CreateBitmap(const std::string& name) { return MakeModuleBitmap(HInstance, name); }

namespace {

void FillSolid(TCanvas& canvas, const TRect& rect, TColor color) {
  canvas.Pen().Style = psSolid;
  canvas.Pen().Mode = pmCopy;
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = color;
  canvas.FillRect(rect);
}

// The band (or leftover strip) from offset to offset + thickness along the
// gradient's extent.
TRect Band(const TRect& rect, bool vertical, int offset, int thickness) {
  if (vertical) return Rect(rect.Left, rect.Top + offset, rect.Right, rect.Top + offset + thickness);
  return Rect(rect.Left + offset, rect.Top, rect.Left + offset + thickness, rect.Bottom);
}

int Step(int from, int to, int band, int last) { return from + MulDiv(band, to - from, last); }

}  // namespace

void GradientFillRect(TCanvas& canvas, const TRect& rect, TColor startColor, TColor endColor,
                      TFillDirection direction, int colors) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  if (colors < 2) {
    FillSolid(canvas, rect, startColor);
    return;
  }
  const bool reversed = direction == fdBottomToTop || direction == fdRightToLeft;
  const TColor from = ColorToRGB(reversed ? endColor : startColor);
  const TColor to = ColorToRGB(reversed ? startColor : endColor);
  const bool vertical = direction == fdTopToBottom || direction == fdBottomToTop;
  const int extent = vertical ? RectHeight(rect) : RectWidth(rect);
  // The count was once kept in a byte: 256 colours then gave none (and a
  // division by zero), 300 gave 44. It is clamped instead.
  const int count = std::clamp(std::min(colors, extent), 2, 255);
  const int thickness = extent / count;
  for (int band = 0; band < count; ++band) {
    const TColor color = RGB(Step(GetRValue(from), GetRValue(to), band, count - 1),
                             Step(GetGValue(from), GetGValue(to), band, count - 1),
                             Step(GetBValue(from), GetBValue(to), band, count - 1));
    FillSolid(canvas, Band(rect, vertical, band * thickness, thickness), color);
  }
  const int leftover = extent % count;
  if (leftover >= 1) FillSolid(canvas, Band(rect, vertical, extent - leftover, leftover), to);
}

int GetItemHeight(const TFont& font) {
  TCanvas& screen = ScreenCanvas();
  const TFont saved = screen.Font();
  screen.SetFont(font);
  TEXTMETRIC metrics;
  GetTextMetrics(screen, metrics);
  screen.SetFont(saved);
  return metrics.tmHeight + 1;
}

}  // namespace lark
