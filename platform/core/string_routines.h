#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lark {

// Byte-string routines of the run-time library. Case folding is ASCII only,
// as the class library's plain (non-"Ansi") routines do, so results never
// depend on the process locale. Positions are 0-based.

// Removes every character up to and including the blank (codes 0..32).
[[nodiscard]] std::string Trim(std::string_view s);
[[nodiscard]] std::string TrimLeft(std::string_view s);
[[nodiscard]] std::string TrimRight(std::string_view s);

[[nodiscard]] std::string UpperCase(std::string_view s);
[[nodiscard]] std::string LowerCase(std::string_view s);

// Three-way comparisons: negative, zero or positive. CompareText folds
// a..z to upper case first; CompareStr compares bytes as unsigned.
[[nodiscard]] int CompareText(std::string_view a, std::string_view b);
[[nodiscard]] int CompareStr(std::string_view a, std::string_view b);
[[nodiscard]] bool SameText(std::string_view a, std::string_view b);

// Position of the first occurrence of sub in s at or after from, or
// std::string::npos. An empty sub is never found, as in the class library.
[[nodiscard]] std::size_t Pos(std::string_view sub, std::string_view s, std::size_t from = 0);
// Pos without regard to ASCII case.
[[nodiscard]] std::size_t PosText(std::string_view sub, std::string_view s, std::size_t from = 0);
// True when s begins with sub, without regard to ASCII case.
[[nodiscard]] bool StartsText(std::string_view sub, std::string_view s);

[[nodiscard]] std::string IntToStr(std::int64_t value);
// Upper-case hexadecimal, zero-padded to at least digits. Negative values
// show their 64-bit two's complement.
[[nodiscard]] std::string IntToHex(std::int64_t value, int digits);

// Decimal with an optional sign, or hexadecimal after "$" or "0x"; leading
// blanks are allowed, anything after the digits is not. Raise EConvertError
// "'<text>' is not a valid integer value" on bad text or overflow.
[[nodiscard]] int StrToInt(std::string_view s);
[[nodiscard]] std::int64_t StrToInt64(std::string_view s);
[[nodiscard]] int StrToIntDef(std::string_view s, int fallback);
[[nodiscard]] bool TryStrToInt(std::string_view s, int& value);
[[nodiscard]] bool TryStrToInt64(std::string_view s, std::int64_t& value);

// "." is the decimal separator whatever the locale; surrounding blanks are
// allowed. StrToFloat raises EConvertError "'<text>' is not a valid floating
// point value".
[[nodiscard]] double StrToFloat(std::string_view s);
[[nodiscard]] bool TryStrToFloat(std::string_view s, double& value);

enum class ReplaceAll { No, Yes };
enum class IgnoreCase { No, Yes };
[[nodiscard]] std::string StringReplace(std::string_view s, std::string_view from, std::string_view to,
                                        ReplaceAll all, IgnoreCase ignore_case = IgnoreCase::No);

// s in single quotes, each quote inside doubled.
[[nodiscard]] std::string QuotedStr(std::string_view s);

// The value of a hexadecimal digit in either case, or -1.
[[nodiscard]] int HexDigitValue(char c);

}  // namespace lark
