#include "net/internet_date.h"

#include <cctype>
#include <cstdio>
#include <cmath>
#include <ctime>
#include <optional>
#include <sstream>
#include <vector>

#include "net/net_strings.h"

namespace lark {
namespace {

constexpr long long kSecondsPerDay = 86400;
// Days from 30 December 1899 to 1 January 1970.
constexpr long long kUnixEpochDay = 25569;

struct DateParts {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int zoneMinutes = 0;
};

std::optional<int> Number(const std::string& text, size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!IsNumeric(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::vector<std::string> Words(const std::string& text) {
  std::string spaced = text;
  for (char& c : spaced) {
    if (c == ',') c = ' ';
  }
  std::istringstream in(spaced);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool ReadYear(const std::string& text, int& year) {
  auto value = Number(text, 4);
  if (!value) return false;
  year = *value;
  if (text.size() <= 2) year += year < 80 ? 2000 : 1900;
  return year >= 1601;
}

bool ReadTime(const std::string& text, DateParts& parts) {
  std::string rest = text;
  auto hour = Number(Fetch(rest, ":"), 2);
  auto minute = Number(Fetch(rest, ":"), 2);
  auto second = rest.empty() ? std::optional<int>(0) : Number(rest, 2);
  if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 60) return false;
  parts.hour = *hour;
  parts.minute = *minute;
  parts.second = *second;
  return true;
}

bool ReadZone(const std::string& text, int& minutes) {
  if (text.size() == 5 && (text[0] == '+' || text[0] == '-')) {
    auto hours = Number(text.substr(1, 2), 2);
    auto mins = Number(text.substr(3, 2), 2);
    if (!hours || !mins || *mins > 59) return false;
    minutes = (*hours * 60 + *mins) * (text[0] == '-' ? -1 : 1);
    return true;
  }
  std::string upper;
  for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  minutes = 0;
  return upper == "GMT" || upper == "UTC" || upper == "UT" || upper == "Z";
}

bool ValidDay(const DateParts& p) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (p.month < 1 || p.month > 12 || p.day < 1) return false;
  bool leap = (p.year % 4 == 0 && p.year % 100 != 0) || p.year % 400 == 0;
  return p.day <= days[p.month - 1] + (p.month == 2 && leap ? 1 : 0);
}

// "06 Nov 1994 08:49:37 GMT", "06-Nov-94 08:49:37 GMT" or "Nov 6 08:49:37 1994".
bool ReadDate(std::vector<std::string> words, DateParts& parts) {
  if (!words.empty() && DayNameIndex(words[0].substr(0, 3)) != 0) words.erase(words.begin());
  if (words.size() >= 2 && words[0].find('-') != std::string::npos) {
    std::string date = words[0];
    std::string day = Fetch(date, "-");
    std::string month = Fetch(date, "-");
    words.erase(words.begin());
    words.insert(words.begin(), {day, month, date});
  }
  if (words.size() < 3) return false;
  std::string zone = "GMT";
  if (MonthIndex(words[0]) != 0) {  // asctime
    if (words.size() != 4 || !ReadTime(words[2], parts) || !ReadYear(words[3], parts.year)) return false;
    parts.month = MonthIndex(words[0]);
    auto day = Number(words[1], 2);
    parts.day = day.value_or(0);
  } else {
    auto day = Number(words[0], 2);
    parts.day = day.value_or(0);
    parts.month = MonthIndex(words[1]);
    if (!ReadYear(words[2], parts.year)) return false;
    if (words.size() >= 4 && !ReadTime(words[3], parts)) return false;
    if (words.size() >= 5) zone = words[4];
    if (words.size() > 5) return false;
  }
  return ValidDay(parts) && ReadZone(zone, parts.zoneMinutes);
}

// Days from 1 January 1970 of a proleptic Gregorian date.
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

long LocalOffsetSeconds(time_t utc) {
  std::tm local{};
  localtime_r(&utc, &local);
  return local.tm_gmtoff;
}

}  // namespace

TDateTime GMTToLocalDateTime(const std::string& text) {
  DateParts parts;
  if (!ReadDate(Words(text), parts)) return 0;
  long long utc = DaysFromCivil(parts.year, parts.month, parts.day) * kSecondsPerDay + parts.hour * 3600LL +
                  parts.minute * 60LL + parts.second - parts.zoneMinutes * 60LL;
  long long local = utc + LocalOffsetSeconds(static_cast<time_t>(utc));
  return static_cast<double>(local) / kSecondsPerDay + kUnixEpochDay;
}

std::string LocalDateTimeToGMT(TDateTime local) {
  auto localSeconds = static_cast<long long>(std::llround((local - kUnixEpochDay) * kSecondsPerDay));
  // The offset of the local time is that of the UTC instant it stands for.
  time_t utc = static_cast<time_t>(localSeconds - LocalOffsetSeconds(static_cast<time_t>(localSeconds)));
  utc = static_cast<time_t>(localSeconds - LocalOffsetSeconds(utc));
  std::tm tm{};
  gmtime_r(&utc, &tm);
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d GMT", days[tm.tm_wday], tm.tm_mday,
                months[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buffer;
}

}  // namespace lark
