#include "platform/core/locale_settings.h"

#include <langinfo.h>

#include <cmath>
#include <cstdio>

namespace lark {
namespace {

// The C library's strftime conversions in the class library's letters;
// conversions without a counterpart are dropped.
std::string PatternOf(const char* format) {
  std::string pattern;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      pattern += *p;
      continue;
    }
    if (!*++p) break;
    if (*p == 'E' || *p == 'O' || *p == '-' || *p == '_' || *p == '0') {  // modifiers and flags
      if (!*++p) break;
    }
    switch (*p) {
      case 'd': pattern += "dd"; break;
      case 'e': pattern += "d"; break;
      case 'm': pattern += "mm"; break;
      case 'y': pattern += "yy"; break;
      case 'Y': pattern += "yyyy"; break;
      case 'D': pattern += "mm/dd/yy"; break;
      case 'F': pattern += "yyyy-mm-dd"; break;
      case 'H':
      case 'I': pattern += "hh"; break;
      case 'M': pattern += "nn"; break;
      case 'S': pattern += "ss"; break;
      case 'T': pattern += "hh:nn:ss"; break;
      case 'R': pattern += "hh:nn"; break;
      case 'p': pattern += "ampm"; break;
      case '%': pattern += '%'; break;
      default: break;
    }
  }
  return pattern;
}

std::string Digits(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

// Expands the pattern letters this layer produces.
std::string Expand(const std::string& pattern, TDateTime value) {
  int year, month, day, hour, minute, second, millisecond;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, millisecond);
  bool twelveHours = pattern.find("ampm") != std::string::npos;
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    auto at = [&](const char* token) { return pattern.compare(i, std::char_traits<char>::length(token), token) == 0; };
    if (at("yyyy")) { out += Digits(year, 4); i += 4; }
    else if (at("yy")) { out += Digits(year % 100, 2); i += 2; }
    else if (at("dd")) { out += Digits(day, 2); i += 2; }
    else if (at("d")) { out += std::to_string(day); i += 1; }
    else if (at("mm")) { out += Digits(month, 2); i += 2; }
    else if (at("hh")) { out += Digits(twelveHours ? (hour + 11) % 12 + 1 : hour, 2); i += 2; }
    else if (at("nn")) { out += Digits(minute, 2); i += 2; }
    else if (at("ss")) { out += Digits(second, 2); i += 2; }
    else if (at("ampm")) { out += hour < 12 ? "AM" : "PM"; i += 4; }
    else out += pattern[i++];
  }
  return out;
}

}  // namespace

std::string ShortDateFormat() { return PatternOf(nl_langinfo(D_FMT)); }

std::string LongTimeFormat() { return PatternOf(nl_langinfo(T_FMT)); }

std::string DateTimeToStr(TDateTime value) {
  std::string text = Expand(ShortDateFormat(), value);
  double day = std::floor(value);
  if (value - day > 0) text += " " + Expand(LongTimeFormat(), value);
  return text;
}

bool MetricMeasurement() {
  // 1: metric, 2: US customary.
  return static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_MEASUREMENT_MEASUREMENT))) != 2;
}

}  // namespace lark
