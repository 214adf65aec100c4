#include "platform/core/format.h"

#include <array>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/core/exception.h"
#include "platform/core/string_routines.h"

namespace lark {

FormatArg::FormatArg(char value) : kind_(Kind::String) {
  // Every byte value as a one-character string that outlives any argument.
  static const auto kBytes = [] {
    std::array<char, 256> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i);
    return bytes;
  }();
  string_ = std::string_view(&kBytes[static_cast<unsigned char>(value)], 1);
}

std::uint64_t FormatArg::AsBits() const {
  const auto bits = kind_ == Kind::Signed ? static_cast<std::uint64_t>(signed_) : unsigned_;
  return narrow_ ? bits & 0xFFFFFFFFu : bits;
}

namespace {

struct Spec {
  bool left = false;
  int width = -1;
  int precision = -1;
  char type = 0;
};

[[noreturn]] void RaiseInvalid(std::string_view format) {
  throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

int ReadNumber(std::string_view format, std::size_t& i) {
  int n = 0;
  while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
    n = n * 10 + (format[i] - '0');
    if (n > 100000) RaiseInvalid(format);  // no field is that wide
    ++i;
  }
  return n;
}

// Reads the conversion after a "%" at i; leaves i after the type character.
Spec ReadSpec(std::string_view format, std::size_t& i) {
  Spec spec;
  if (i < format.size() && format[i] == '-') {
    spec.left = true;
    ++i;
  }
  if (i < format.size() && format[i] >= '0' && format[i] <= '9') spec.width = ReadNumber(format, i);
  if (i < format.size() && format[i] == '.') {
    ++i;
    spec.precision = ReadNumber(format, i);
  }
  if (i >= format.size()) RaiseInvalid(format);
  spec.type = LowerCase(format.substr(i, 1))[0];
  ++i;
  return spec;
}

std::string PadDigits(std::string digits, int precision) {
  if (precision > static_cast<int>(digits.size())) digits.insert(0, precision - digits.size(), '0');
  return digits;
}

// Fixed notation rounded half away from zero, as the class library rounds.
// The rounding works on the shortest decimal text that reads back as the same
// double, so 2.5 gives 3 and 0.125 gives 0.13 (to_chars alone would round
// such ties to even).
std::string Fixed(double value, int decimals) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
  char buffer[400];  // the longest shortest text, 5e-324, takes 327 characters
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
  if (error != std::errc()) return "?";
  const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  const std::size_t point = std::min(text.find('.'), text.size());
  std::string digits = std::string(text.substr(0, point));  // integral digits, then the kept decimals
  const std::string_view fraction = point < text.size() ? text.substr(point + 1) : std::string_view();
  digits.append(fraction.substr(0, std::min<std::size_t>(decimals, fraction.size())));
  digits.append(decimals - std::min<std::size_t>(decimals, fraction.size()), '0');
  if (static_cast<std::size_t>(decimals) < fraction.size() && fraction[decimals] >= '5') {
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) {
      digits.insert(0, 1, '1');
    } else {
      ++digits[i - 1];
    }
  }
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  std::string result = value < 0 && !zero ? "-" : "";
  result.append(digits, 0, digits.size() - decimals);
  if (decimals > 0) result.append(".").append(digits, digits.size() - decimals, std::string::npos);
  return result;
}

std::string WithThousands(const std::string& fixed) {
  const std::size_t sign = !fixed.empty() && fixed[0] == '-' ? 1 : 0;
  std::size_t int_end = fixed.find('.');
  if (int_end == std::string::npos) int_end = fixed.size();
  std::string r = fixed.substr(0, sign);
  for (std::size_t i = sign; i < int_end; ++i) {
    if (i > sign && (int_end - i) % 3 == 0) r += ',';
    r += fixed[i];
  }
  return r + fixed.substr(int_end);
}

std::string Convert(const Spec& spec, const FormatArg& arg, std::string_view format) {
  const bool is_integer = arg.kind() == FormatArg::Kind::Signed || arg.kind() == FormatArg::Kind::Unsigned;
  switch (spec.type) {
    case 'd': {
      if (!is_integer) RaiseInvalid(format);
      const std::int64_t v = arg.AsSigned();
      std::string digits = PadDigits(std::to_string(v < 0 ? -static_cast<std::uint64_t>(v) : v), spec.precision);
      return v < 0 ? "-" + digits : digits;
    }
    case 'u':
      if (!is_integer) RaiseInvalid(format);
      return PadDigits(std::to_string(arg.AsBits()), spec.precision);
    case 'x':
      if (!is_integer) RaiseInvalid(format);
      return IntToHex(static_cast<std::int64_t>(arg.AsBits()), spec.precision);
    case 's':
      if (arg.kind() != FormatArg::Kind::String) RaiseInvalid(format);
      return std::string(spec.precision >= 0 ? arg.AsString().substr(0, spec.precision) : arg.AsString());
    case 'f':
    case 'n': {
      if (arg.kind() != FormatArg::Kind::Float) RaiseInvalid(format);
      const std::string fixed = Fixed(arg.AsFloat(), spec.precision >= 0 ? spec.precision : 2);
      return spec.type == 'n' ? WithThousands(fixed) : fixed;
    }
    default:
      RaiseInvalid(format);
  }
}

}  // namespace

std::string FormatList(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size();) {
    const char c = format[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < format.size() && format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    const Spec spec = ReadSpec(format, i);
    if (next == args.end()) throw EConvertError("No argument for format '" + std::string(format) + "'");
    std::string text = Convert(spec, *next++, format);
    if (spec.width > static_cast<int>(text.size())) {
      const std::string pad(spec.width - text.size(), ' ');
      text = spec.left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}

}  // namespace lark
