#include "platform/graphics/color.h"

#include <array>

namespace lark {
namespace {

// The classic desktop scheme, indexed by system colour number.
constexpr std::array<TColor, 31> kClassicScheme = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 0, 128),     RGB(166, 202, 240),
    RGB(192, 192, 192), RGB(10, 36, 106),   RGB(212, 208, 200)};

}  // namespace

TColor GetSysColor(int index) {
  if (index < 0 || index >= int(kClassicScheme.size())) return clBlack;
  return kClassicScheme[std::size_t(index)];
}

TColor ColorToRGB(TColor color) { return color < 0 ? GetSysColor(color & 0xFF) : color; }

uint32_t ColorToRGB24(TColor color) { return uint32_t(ColorToRGB(color)) & 0xFFFFFFu; }

}  // namespace lark
