#include "html/css_number.h"

#include <algorithm>

namespace lark {

namespace {

bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'; }

}  // namespace

TNumberAndUnit SplitNumberUnit(std::string_view text) {
  std::size_t split = 0;
  while (split < text.size() && IsNumberChar(text[split])) ++split;
  return {text.substr(0, split), text.substr(split)};
}

bool ParseCssNumber(std::string_view text, double& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double result = 0;
  int digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) result = result * 10 + (text[i] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, scale /= 10)
      result += (text[i] - '0') * scale;
  }
  if (digits == 0 || i != text.size()) return false;
  // Beyond any sensible size, and small enough that products with pixel
  // sizes stay finite (never infinity, so never NaN from infinity times 0).
  constexpr double kLargest = 1e15;
  result = std::min(result, kLargest);
  value = negative ? -result : result;
  return true;
}

}  // namespace lark
