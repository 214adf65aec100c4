#include "viewer/japanese_conversion.h"

namespace lark {

namespace {

constexpr char kEsc = '\x1B';

// The Shift-JIS pair of a JIS row and cell (each 0x21..0x7E).
void JisPairToShiftJis(unsigned row, unsigned cell, char& first, char& second) {
  first = static_cast<char>(((row + 1) >> 1) + (row < 0x5F ? 0x70 : 0xB0));
  if (row & 1)
    second = static_cast<char>(cell + (cell < 0x60 ? 0x1F : 0x20));
  else
    second = static_cast<char>(cell + 0x7E);
}

bool IsJisByte(unsigned char b) { return b >= 0x21 && b <= 0x7E; }

}  // namespace

bool HasJisEscape(std::string_view text) {
  return text.find("\x1B$@") != std::string_view::npos || text.find("\x1B$B") != std::string_view::npos;
}

std::string JisToShiftJis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool doubleByte = false;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == kEsc && i + 2 < text.size()) {
      const std::string_view escape = text.substr(i + 1, 2);
      if (escape == "(B" || escape == "(J" || escape == "$@" || escape == "$B") {
        doubleByte = escape[0] == '$';
        i += 3;
        continue;
      }
    }
    const auto b = static_cast<unsigned char>(text[i]);
    if (doubleByte && i + 1 < text.size() && IsJisByte(b) && IsJisByte(static_cast<unsigned char>(text[i + 1]))) {
      char first, second;
      JisPairToShiftJis(b, static_cast<unsigned char>(text[i + 1]), first, second);
      out += first;
      out += second;
      i += 2;
      continue;
    }
    out += text[i++];
  }
  return out;
}

void EucJpToShiftJis(std::string& text, std::size_t from) {
  for (std::size_t i = from; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
    if (b >= 0xA1 && next >= 0xA1) {
      JisPairToShiftJis(b & 0x7Fu, next & 0x7Fu, text[i], text[i + 1]);
      i += 2;
    } else {
      ++i;
    }
  }
}

}  // namespace lark
