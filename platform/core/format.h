#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace lark {

// One argument of Format: an integer, a floating-point number or a string.
// Built implicitly from the caller's values; it only views a string, so it
// lives no longer than the call it is passed to.
class FormatArg {
 public:
  enum class Kind { Signed, Unsigned, Float, String };

  template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>)
  FormatArg(T value) {  // NOLINT(google-explicit-constructor)
    if constexpr (std::is_signed_v<T>) {
      kind_ = Kind::Signed;
      signed_ = value;
    } else {
      kind_ = Kind::Unsigned;
      unsigned_ = value;
    }
    narrow_ = sizeof(T) <= 4;
  }
  FormatArg(double value) : kind_(Kind::Float), float_(value) {}  // NOLINT
  FormatArg(char value);  // NOLINT: a one-character string
  FormatArg(const char* value) : kind_(Kind::String), string_(value ? value : "") {}  // NOLINT
  FormatArg(std::string_view value) : kind_(Kind::String), string_(value) {}  // NOLINT
  FormatArg(const std::string& value) : kind_(Kind::String), string_(value) {}  // NOLINT
  Kind kind() const { return kind_; }
  std::int64_t AsSigned() const { return kind_ == Kind::Signed ? signed_ : static_cast<std::int64_t>(unsigned_); }
  // The bits of the value as a 32-bit or 64-bit unsigned number, as the
  // argument's own type holds them (so -1 as an int shows as FFFFFFFF).
  std::uint64_t AsBits() const;
  double AsFloat() const { return float_; }
  std::string_view AsString() const { return string_; }

 private:
  Kind kind_;
  bool narrow_ = false;
  std::int64_t signed_ = 0;
  std::uint64_t unsigned_ = 0;
  double float_ = 0;
  std::string_view string_;
};

// The class library's Format: "%" ["-"] [width] ["." precision] type, with
// the types d (decimal), u (unsigned), x (upper-case hexadecimal), s
// (string), f (fixed, 2 decimals by default), n (fixed with thousands
// separators) and "%%" for a percent sign. A precision pads d/u/x with zeros
// and cuts s. A missing or mismatched argument raises EConvertError.
[[nodiscard]] std::string FormatList(std::string_view format, std::initializer_list<FormatArg> args);

template <typename... Args>
[[nodiscard]] std::string Format(std::string_view format, const Args&... args) {
  return FormatList(format, {FormatArg(args)...});
}

}  // namespace lark
