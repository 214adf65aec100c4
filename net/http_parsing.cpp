#include "net/http_parsing.h"

#include <cctype>
#include <limits>

#include "platform/core/string_routines.h"

namespace lark {
namespace {

constexpr std::int64_t kMaxSize = std::numeric_limits<std::int64_t>::max();

std::string TrimBlanks(const std::string& text) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

bool ParseNumber(const std::string& digits, int base, std::int64_t& value) {
  if (digits.empty()) return false;
  value = 0;
  for (char c : digits) {
    int digit = c >= '0' && c <= '9' ? c - '0'
                : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
    if (digit < 0 || value > (kMaxSize - digit) / base) return false;
    value = value * base + digit;
  }
  return true;
}

}  // namespace

bool ParseStatusLine(const std::string& line, std::string& version, int& code, std::string& text) {
  if (line.size() < 12 || !SameText(line.substr(0, 5), "HTTP/")) return false;
  size_t blank = line.find(' ');
  version = line.substr(5, blank - 5);
  if (version.size() != 3 || !std::isdigit(static_cast<unsigned char>(version[0])) || version[1] != '.' ||
      !std::isdigit(static_cast<unsigned char>(version[2]))) {
    return false;
  }
  text = line.substr(blank + 1);
  std::int64_t value = 0;
  if (text.size() < 3 || (text.size() > 3 && text[3] != ' ') || !ParseNumber(text.substr(0, 3), 10, value) ||
      value < 100 || value > 599) {
    return false;
  }
  code = static_cast<int>(value);
  return true;
}

bool ParseContentLength(const std::string& text, std::int64_t& length) {
  return ParseNumber(TrimBlanks(text), 10, length);
}

bool ParseContentRange(const std::string& text, std::int64_t& start, std::int64_t& end) {
  std::string rest = TrimBlanks(text);
  size_t blank = rest.find(' ');
  if (blank == std::string::npos) return false;
  rest = TrimBlanks(rest.substr(blank + 1));
  size_t slash = rest.find('/');
  if (slash == std::string::npos) return false;
  std::int64_t total = 0;
  std::string totalText = rest.substr(slash + 1);
  if (totalText != "*" && !ParseNumber(totalText, 10, total)) return false;
  std::string span = rest.substr(0, slash);
  if (span == "*") return true;
  size_t dash = span.find('-');
  return dash != std::string::npos && ParseNumber(span.substr(0, dash), 10, start) &&
         ParseNumber(span.substr(dash + 1), 10, end) && start <= end;
}

bool ParseChunkSize(const std::string& line, std::int64_t& size) {
  std::string digits = TrimBlanks(line.substr(0, line.find(';')));
  return digits.size() <= 16 && ParseNumber(digits, 16, size);
}

}  // namespace lark
