#pragma once

#include <cstdint>
#include <ctime>

namespace lark {

// The class library's date-time: days since 30 December 1899 as the integral
// part, the time of day as the fraction. Values are local time.
using TDateTime = double;

[[nodiscard]] TDateTime Now();
// Today at midnight.
[[nodiscard]] TDateTime Date();

// Raise EConvertError "Invalid argument to date encode" / "... time encode"
// for a day or time that does not exist.
[[nodiscard]] TDateTime EncodeDate(int year, int month, int day);
[[nodiscard]] TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);

// A moment of the system clock (seconds since 1970 UTC) as local date-time.
[[nodiscard]] TDateTime UnixTimeToDateTime(std::time_t seconds);

}  // namespace lark
