#include "platform/core/date_time.h"

#include <chrono>
#include <algorithm>
#include <cmath>

#include "platform/core/exception.h"

namespace lark {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
// Days from 1970-01-01 back to the date-time origin, 1899-12-30.
constexpr std::int64_t kUnixEpochDay = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Milliseconds of the day, rounded, so 0.99999999 days is not 23:59:59.999.
std::int64_t MillisecondsOfDay(TDateTime value) {
  const double fraction = std::fabs(value - std::trunc(value));
  return std::llround(fraction * kMillisecondsPerDay);
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > kDays[month - 1] + (month == 2 && IsLeapYear(year))) {
    throw EConvertError("Invalid argument to date encode");
  }
  return static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDay);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999) {
    throw EConvertError("Invalid argument to time encode");
  }
  return ((hour * 60.0 + minute) * 60.0 + second + millisecond / 1000.0) / 86400.0;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  std::int64_t days = static_cast<std::int64_t>(std::trunc(value));
  if (MillisecondsOfDay(value) >= static_cast<std::int64_t>(kMillisecondsPerDay)) days += value < 0 ? -1 : 1;
  CivilFromDays(days - kUnixEpochDay, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
  const std::int64_t ms = MillisecondsOfDay(value) % static_cast<std::int64_t>(kMillisecondsPerDay);
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

TDateTime UnixTimeToDateTime(std::time_t seconds) {
  std::tm local{};
  ::localtime_r(&seconds, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0);
}

TDateTime Now() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  return UnixTimeToDateTime(seconds) + static_cast<double>(ms % 1000) / kMillisecondsPerDay;
}

TDateTime Date() { return std::trunc(Now()); }

}  // namespace lark
