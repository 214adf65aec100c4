#pragma once

// Internet dates (HTTP and cookie headers) to and from local time.

#include <string>

namespace lark {

// Days since 30 December 1899, the fraction being the time of day.
using TDateTime = double;

// Reads the RFC 1123 ("Sun, 06 Nov 1994 08:49:37 GMT"), RFC 850
// ("Sunday, 06-Nov-94 08:49:37 GMT") and asctime ("Sun Nov  6 08:49:37 1994")
// forms, with GMT, UTC, UT, Z or a +hhmm/-hhmm zone, and answers local time.
// Anything unreadable ("0", "-1", an impossible date) answers 0, "no date":
// a server's bad date must never fail a request.
[[nodiscard]] TDateTime GMTToLocalDateTime(const std::string& text);
// The RFC 1123 form of a local time.
[[nodiscard]] std::string LocalDateTimeToGMT(TDateTime local);

}  // namespace lark
