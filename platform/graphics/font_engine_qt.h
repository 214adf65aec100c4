#pragma once

// Layer internal: a TFont made real. Advances are whole pixels and kerning is
// off, so a string's width is the sum of its characters' widths and text
// measured once is drawn exactly where it was measured.

#include <QFont>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/core/code_page.h"
#include "platform/graphics/font.h"
#include "platform/graphics/gdi.h"

namespace lark::detail {

class RealizedFont {
 public:
  struct Glyph {
    int font = 0;  // index into the raw fonts: 0 is the font itself, others fall back
    quint32 index = 0;
    int advance = 0;
  };

  explicit RealizedFont(const TFont& font);

  [[nodiscard]] const TEXTMETRIC& Metrics() const { return metrics_; }
  [[nodiscard]] int CodePage() const { return code_page_; }
  [[nodiscard]] const QRawFont& RawFont(int index) const { return raw_fonts_[size_t(index)]; }
  [[nodiscard]] int UnderlinePosition() const { return underline_position_; }
  [[nodiscard]] int StrikeOutPosition() const { return strike_out_position_; }
  [[nodiscard]] int LineWidth() const { return line_width_; }
  [[nodiscard]] bool Underline() const { return underline_; }
  [[nodiscard]] bool StrikeOut() const { return strike_out_; }

  // The glyph of a character; control characters have no glyph and no width.
  [[nodiscard]] const Glyph& GlyphFor(char32_t code_point) const {
    if (code_point < 256 && latin_known_[code_point]) return latin_[code_point];
    return FirstGlyphFor(code_point);
  }

  // By byte, the advances of ASCII characters already looked up, -1 for the
  // others and for every byte past ASCII: a dense table that measuring reads
  // a byte at a time without a range check.
  [[nodiscard]] const std::array<int, 256>& AsciiAdvances() const { return ascii_advances_; }

 private:
  const Glyph& FirstGlyphFor(char32_t code_point) const;
  Glyph Lookup(char32_t code_point) const;

  QFont font_;
  mutable std::vector<QRawFont> raw_fonts_;
  TEXTMETRIC metrics_;
  int code_page_;
  int underline_position_ = 0;
  int strike_out_position_ = 0;
  int line_width_ = 1;
  bool underline_ = false;
  bool strike_out_ = false;
  mutable std::array<Glyph, 256> latin_{};
  mutable std::array<bool, 256> latin_known_{};
  mutable std::array<int, 256> ascii_advances_ = [] {
    std::array<int, 256> unknown{};
    unknown.fill(-1);
    return unknown;
  }();
  mutable std::unordered_map<char32_t, Glyph> others_;
};

// One character of a text as the font's code page reads it.
struct TextChar {
  size_t offset;  // first byte
  size_t length;  // bytes
  char32_t code_point;
};
std::vector<TextChar> SplitCharacters(std::string_view text, int code_page);

// The character of `text` that starts at byte `pos` (before its end).
inline TextChar CharacterAt(std::string_view text, size_t pos, int code_page) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  if (byte < 0x80) return TextChar{pos, 1, byte};  // the same in every code page served here
  const DecodedChar c = DecodeChar(text, pos, code_page);
  return TextChar{pos, std::max<size_t>(1, c.Length), c.CodePoint};
}

// Calls `visit` with each character of `text` in turn (what SplitCharacters
// lists, without the list).
template <typename Visit>
void ForEachCharacter(std::string_view text, int code_page, Visit&& visit) {
  for (size_t pos = 0; pos < text.size();) {
    const TextChar c = CharacterAt(text, pos, code_page);
    visit(c);
    pos += c.length;
  }
}

}  // namespace lark::detail
