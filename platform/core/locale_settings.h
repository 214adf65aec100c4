#pragma once

#include <string>

#include "platform/core/date_time.h"

namespace lark {

// The user's regional settings as the C library reports them for the
// locale in force (the window system selects the environment's locale when
// it starts; a program without it runs in the "C" locale).

// The short date pattern in the class library's letters: "d"/"dd" day,
// "m"/"mm" month, "yy"/"yyyy" year ("mm/dd/yy" in the "C" locale).
[[nodiscard]] std::string ShortDateFormat();
// The time pattern: "hh" hours, "nn" minutes, "ss" seconds, "ampm".
[[nodiscard]] std::string LongTimeFormat();
// The date in the short pattern, a blank and the time in the long one; the
// time is left out at midnight exactly.
[[nodiscard]] std::string DateTimeToStr(TDateTime value);
// The locale measures in millimetres (the desktop's LOCALE_IMEASURE "0"),
// not in inches.
[[nodiscard]] bool MetricMeasurement();

}  // namespace lark
