#include "html/colors.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "html/css_number.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

// The last successful answer. Keyed on the text and NeedPound together: "abc"
// is a colour without NeedPound and none with it.
struct ColorCache {
  std::string Text;
  bool NeedPound = false;
  TColor Color = 0;
  bool Valid = false;
};

ColorCache& TheCache() {
  static ColorCache cache;
  return cache;
}

std::optional<int> RgbComponent(std::string_view part) {
  const std::string text = Trim(part);
  double value = 0;
  if (const std::size_t percent = text.find('%'); percent != std::string::npos) {
    if (!ParseCssNumber(Trim(std::string_view(text).substr(0, percent)), value)) return std::nullopt;
    value = std::clamp(value, 0.0, 100.0) * 255 / 100;  // n × 2.55 without the binary error of 2.55
  } else if (!ParseCssNumber(text, value) || text.find('.') != std::string::npos) {
    return std::nullopt;
  }
  return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0)));
}

// "rgb(r, g, b)": false unless there are three readable components.
bool RgbColor(const std::string& text, TColor& color) {
  const std::size_t open = text.find('(');
  if (open == std::string::npos) return false;
  const std::size_t close = text.find(')', open);
  const std::string inner =
      text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
  std::vector<int> parts;
  std::size_t start = 0;
  while (parts.size() < 3 && start <= inner.size()) {
    std::size_t comma = inner.find(',', start);
    if (comma == std::string::npos) comma = inner.size();
    const std::optional<int> component = RgbComponent(std::string_view(inner).substr(start, comma - start));
    if (!component) return false;
    parts.push_back(*component);
    start = comma + 1;
  }
  if (parts.size() < 3) return false;
  color = RGB(parts[0], parts[1], parts[2]) | PalRelative;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Hexadecimal "rrggbb", or shorter forms with every digit doubled. More than
// six digits is no colour.
bool HexColor(std::string text, bool needPound, TColor& color) {
  const std::size_t pounds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '#'));
  if (pounds == 0 && needPound) return false;
  text.erase(std::remove(text.begin(), text.end(), '#'), text.end());
  text = Trim(text);
  if (text.empty() || text.size() > 6) return false;
  if (text.size() < 4) {
    std::string doubled;
    for (char c : text) doubled.append(2, c);
    text = doubled;
  }
  unsigned value = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  color = RGB(int(value >> 16) & 0xFF, int(value >> 8) & 0xFF, int(value) & 0xFF) | PalRelative;
  return true;
}

bool ReadColor(const std::string& text, bool needPound, TColor& color) {
  if (!text.empty() && text[0] != '#' && text.find("rgb(") == std::string::npos &&
      FindColorName(text, color))
    return true;
  if (text.find("rgb") != std::string::npos) return RgbColor(text, color);
  return HexColor(text, needPound, color);
}

}  // namespace

bool ColorFromString(std::string_view text, bool NeedPound, TColor& Color) {
  const std::string key = LowerCase(Trim(text));
  ColorCache& cache = TheCache();
  if (cache.Valid && cache.NeedPound == NeedPound && cache.Text == key) {
    Color = cache.Color;
    return true;
  }
  TColor color = 0;
  if (!ReadColor(key, NeedPound, color)) return false;
  cache = {key, NeedPound, color, true};
  Color = color;
  return true;
}

}  // namespace lark
