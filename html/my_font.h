#pragma once

#include <array>

#include "platform/graphics/font.h"

namespace lark {

// The "no colour" value of style properties: transparent.
constexpr TColor NoColor = 0x1FFFFFFF;

// A font as the document's text runs use it: a TFont plus the background
// colour its text is painted on and eight values that depend on the
// character set in force (what they stand for is up to the text code that
// reads them; see CharSetValuesFor).
class TMyFont : public TFont {
 public:
  TMyFont() = default;

  void Assign(const TMyFont& source) { *this = source; }

  TColor bgColor = NoColor;
  std::array<int, 8> CharSetValues{};
};

// The eight character-set values of a font whose character set is `charset`.
[[nodiscard]] std::array<int, 8> CharSetValuesFor(int charset);

}  // namespace lark
