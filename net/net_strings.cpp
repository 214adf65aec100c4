#include "net/net_strings.h"

#include <algorithm>
#include <cctype>
#include <thread>

#include "platform/core/string_routines.h"

namespace lark {
namespace {

// Static initialisation runs on the main thread, before any other starts.
const std::thread::id mainThread = std::this_thread::get_id();

int IndexIn(const std::string& text, const char* const* names, int count) {
  std::string upper = UpperCase(text);
  for (int i = 0; i < count; ++i) {
    if (upper == names[i]) return i + 1;
  }
  return 0;
}

}  // namespace

void NormalizePath(std::string& text) { std::replace(text.begin(), text.end(), '\\', '/'); }

std::string Fetch(std::string& text, const std::string& delimiter, bool remove) {
  size_t at = text.find(delimiter);
  std::string result = text.substr(0, at);
  if (remove) text.erase(0, at == std::string::npos ? std::string::npos : at + delimiter.size());
  return result;
}

size_t RPos(const std::string& part, const std::string& text, size_t start) {
  if (part.empty() || part.size() > text.size()) return std::string::npos;
  return UpperCase(text).rfind(UpperCase(part), start);
}

bool InMainThread() { return std::this_thread::get_id() == mainThread; }

int DayNameIndex(const std::string& text) {
  static const char* const days[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
  return IndexIn(text, days, 7);
}

int MonthIndex(const std::string& text) {
  static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  return IndexIn(text, months, 12);
}

bool IsNumeric(char c) { return c >= '0' && c <= '9'; }

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace lark
