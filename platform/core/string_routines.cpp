#include "platform/core/string_routines.h"

#include <charconv>
#include <limits>

#include "platform/core/exception.h"

namespace lark {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view SkipBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

// Parses the integer syntax of StrToInt into a 64-bit value; false on bad
// text or when the magnitude leaves the range [min, max].
bool ParseInteger(std::string_view text, std::int64_t min, std::int64_t max, std::int64_t& value) {
  std::string_view s = SkipBlanks(text);
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  std::uint64_t magnitude = 0;
  auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
  if (error != std::errc() || end != s.data() + s.size()) return false;
  if (negative) {
    if (magnitude > static_cast<std::uint64_t>(-(min + 1)) + 1) return false;
    value = magnitude == 0 ? 0 : -static_cast<std::int64_t>(magnitude - 1) - 1;
  } else {
    if (magnitude > static_cast<std::uint64_t>(max)) return false;
    value = static_cast<std::int64_t>(magnitude);
  }
  return true;
}

[[noreturn]] void RaiseNotInteger(std::string_view s) {
  throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

}  // namespace

std::string TrimLeft(std::string_view s) { return std::string(SkipBlanks(s)); }

std::string TrimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) { return TrimRight(SkipBlanks(s)); }

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = UpperChar(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = LowerChar(c);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(UpperChar(a[i]));
    const auto cb = static_cast<unsigned char>(UpperChar(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareStr(std::string_view a, std::string_view b) {
  const int r = a.compare(b);  // char_traits<char> compares as unsigned char
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::size_t Pos(std::string_view sub, std::string_view s, std::size_t from) {
  if (sub.empty()) return std::string::npos;
  return s.find(sub, from);
}

std::size_t PosText(std::string_view sub, std::string_view s, std::size_t from) {
  if (sub.empty() || sub.size() > s.size()) return std::string::npos;
  for (std::size_t i = from; i + sub.size() <= s.size(); ++i) {
    if (SameText(s.substr(i, sub.size()), sub)) return i;
  }
  return std::string::npos;
}

bool StartsText(std::string_view sub, std::string_view s) {
  return s.size() >= sub.size() && SameText(s.substr(0, sub.size()), sub);
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string IntToHex(std::int64_t value, int digits) {
  char buffer[16];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint64_t>(value), 16);
  std::string hex = UpperCase(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
  if (static_cast<int>(hex.size()) < digits) hex.insert(0, static_cast<std::size_t>(digits) - hex.size(), '0');
  return hex;
}

bool TryStrToInt64(std::string_view s, std::int64_t& value) {
  return ParseInteger(s, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(),
                      value);
}

bool TryStrToInt(std::string_view s, int& value) {
  std::int64_t wide = 0;
  if (!ParseInteger(s, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), wide)) return false;
  value = static_cast<int>(wide);
  return true;
}

int StrToInt(std::string_view s) {
  int value = 0;
  if (!TryStrToInt(s, value)) RaiseNotInteger(s);
  return value;
}

std::int64_t StrToInt64(std::string_view s) {
  std::int64_t value = 0;
  if (!TryStrToInt64(s, value)) RaiseNotInteger(s);
  return value;
}

int StrToIntDef(std::string_view s, int fallback) {
  int value = 0;
  return TryStrToInt(s, value) ? value : fallback;
}

bool TryStrToFloat(std::string_view text, double& value) {
  std::string_view s = SkipBlanks(text);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  // from_chars would also take "inf" and "nan", which are not numbers here.
  if (s.empty() || !(s[0] == '.' || (s[0] >= '0' && s[0] <= '9'))) return false;
  double parsed = 0;
  auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), parsed, std::chars_format::general);
  if (error != std::errc() || end != s.data() + s.size()) return false;
  value = negative ? -parsed : parsed;
  return true;
}

double StrToFloat(std::string_view s) {
  double value = 0;
  if (!TryStrToFloat(s, value)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
  return value;
}

std::string StringReplace(std::string_view s, std::string_view from, std::string_view to, ReplaceAll all,
                          IgnoreCase ignore_case) {
  std::string result;
  std::size_t start = 0;
  while (start <= s.size()) {
    const std::size_t at = ignore_case == IgnoreCase::Yes ? PosText(from, s, start) : Pos(from, s, start);
    if (at == std::string::npos) break;
    result.append(s.substr(start, at - start)).append(to);
    start = at + from.size();
    if (all == ReplaceAll::No) break;
  }
  result.append(s.substr(std::min(start, s.size())));
  return result;
}

std::string QuotedStr(std::string_view s) {
  std::string r = "'";
  for (char c : s) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r + "'";
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace lark
