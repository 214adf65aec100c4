#pragma once

// Small string routines the protocol code shares.

#include <string>

namespace lark {

// Every "\" becomes "/".
void NormalizePath(std::string& text);
// The text before the first delimiter; with remove, that part and the
// delimiter are cut off the text (all of it when the delimiter is missing).
std::string Fetch(std::string& text, const std::string& delimiter = " ", bool remove = true);
// 0-based position of the last case-insensitive occurrence of part that
// begins at or before start (npos: anywhere); npos when there is none.
[[nodiscard]] size_t RPos(const std::string& part, const std::string& text, size_t start = std::string::npos);
[[nodiscard]] bool InMainThread();
// 1-based index of a day ("SUN".."SAT") or month ("JAN".."DEC") name, any
// case; 0 when it is none.
[[nodiscard]] int DayNameIndex(const std::string& text);
[[nodiscard]] int MonthIndex(const std::string& text);
[[nodiscard]] bool IsNumeric(char c);
// True when the text holds a CR or LF, which would let it end a header line.
[[nodiscard]] bool HasLineBreak(const std::string& text);

}  // namespace lark
