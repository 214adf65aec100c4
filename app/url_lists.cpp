#include "app/url_lists.h"

#include <cstdint>
#include <optional>

#include "html/url_helpers.h"
#include "net/uri.h"
#include "platform/core/exception.h"
#include "platform/core/file_stream.h"
#include "platform/core/string_list.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

// "%41" becomes "A"; "%2f" stays an escape, as "%2F"; a lone "%", a blank
// or a control byte becomes an escape.
std::string DecodeUnreserved(std::string_view text) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexDigitValue(text[i + 2]) : -1;
    if (low < 0) {
      const auto c = static_cast<unsigned char>(text[i]);
      // A "%" that starts no escape is written as one, so that decoding
      // what follows it cannot make a new escape for a second pass; blanks
      // and control bytes too, so that no trimming can change the form.
      if (c == '%' || c <= ' ' || c == 0x7F) {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 15];
      } else {
        out += text[i];
      }
      continue;
    }
    const auto c = static_cast<unsigned char>(high * 16 + low);
    if (Unreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[high];
      out += kHex[low];
    }
    i += 2;
  }
  return out;
}

// One part of a numeric IPv4 host as the system's resolver reads it:
// "0x" hexadecimal, a leading "0" octal, else decimal.
std::optional<std::uint64_t> NumberPart(std::string_view part) {
  int base = 10;
  if (part.size() > 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
    base = 16;
    part.remove_prefix(2);
  } else if (part.size() > 1 && part[0] == '0') {
    base = 8;
    part.remove_prefix(1);
  }
  if (part.empty() || part.size() > 12) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : part) {
    const int digit = HexDigitValue(c);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

// 2130706433, 0x7f.1 and 0177.0.0.1 all name 127.0.0.1; the last of one to
// four parts fills the bytes that remain.
std::optional<std::string> DottedIPv4(const std::string& host) {
  std::vector<std::uint64_t> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = host.find('.', start);
    const auto part = NumberPart(std::string_view(host).substr(start, dot - start));
    if (!part || parts.size() == 4) return std::nullopt;
    parts.push_back(*part);
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  std::uint64_t address = 0;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    if (parts[i] > 255) return std::nullopt;
    address |= parts[i] << (8 * (3 - i));
  }
  const std::uint64_t rest_bits = 8 * (5 - parts.size());
  if (parts.back() >= (std::uint64_t{1} << rest_bits)) return std::nullopt;
  address |= parts.back();
  return IntToStr(address >> 24) + "." + IntToStr((address >> 16) & 255) + "." + IntToStr((address >> 8) & 255) +
         "." + IntToStr(address & 255);
}

std::string CanonicalHost(std::string_view written) {
  std::string host = LowerCase(DecodeUnreserved(written));
  while (!host.empty() && host.back() == '.') host.pop_back();
  if (auto dotted = DottedIPv4(host)) return *dotted;
  return host;
}

std::string CanonicalPort(const std::string& protocol, const std::string& port) {
  int number = 0;
  if (port.empty()) return {};
  if (!TryStrToInt(port, number) || port.find_first_not_of("0123456789") != std::string::npos) {
    return ":" + LowerCase(port);
  }
  if ((protocol == "http" && number == 80) || (protocol == "https" && number == 443) ||
      (protocol == "ftp" && number == 21)) {
    return {};
  }
  return ":" + IntToStr(number);
}

// "/a/./b/../c" becomes "/a/c"; ".." never climbs above the root.
std::string ResolveDotSegments(std::string_view path) {
  std::vector<std::string_view> kept;
  std::size_t start = 1;  // the path starts with "/"
  bool ends_in_folder = false;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    const std::string_view segment = path.substr(start, slash - start);
    const bool last = slash == path.size();
    ends_in_folder = last && (segment.empty() || segment == "." || segment == "..");
    if (segment == "..") {
      if (!kept.empty()) kept.pop_back();
    } else if (segment != "." && !(segment.empty() && !last)) {
      if (!segment.empty()) kept.push_back(segment);
    }
    start = slash + 1;
  }
  std::string out;
  for (std::string_view segment : kept) out.append("/").append(segment);
  if (out.empty() || ends_in_folder) out += '/';
  return out;
}

}  // namespace

namespace {
std::string CanonicalStep(std::string_view url) {
  std::string text(url);
  ReplaceChar('\\', '/', text);
  text = Normalize(text);
  if (text.find("://") == std::string::npos) return text;
  std::string protocol, host, path, document, port, bookmark;
  TNetURI::ParseURI(text, protocol, host, path, document, port, bookmark);
  protocol = LowerCase(protocol);
  std::string rest = DecodeUnreserved(path + document);
  const std::size_t query = rest.find('?');
  std::string resolved = ResolveDotSegments(std::string_view(rest).substr(0, query));
  if (query != std::string::npos) resolved += rest.substr(query);
  return protocol + "://" + CanonicalHost(host) + CanonicalPort(protocol, port) + resolved;
}
}  // namespace

// One step can uncover work for another (a removed "#" joins "/." and "/"),
// and the lists compare canonical forms, so steps repeat until nothing
// changes; a form that has not settled after that many steps is kept.
std::string CanonicalURL(std::string_view url) {
  constexpr int kMaxSteps = 64;
  std::string form = CanonicalStep(url);
  for (int step = 1; step < kMaxSteps; ++step) {
    std::string next = CanonicalStep(form);
    if (next == form) break;
    form = std::move(next);
  }
  return form;
}

void TURLList::LoadFromFile(const std::string& file_name) {
  lines_.clear();
  TStringList lines;
  lines.SetText(TFileStream::ReadIfPresent(file_name));
  for (int i = 0; i < lines.Count() && Count() < kMaxURLListLines; ++i) AddLine(lines.At(i));
}

void TURLList::AddLine(std::string_view line) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty()) return;
  if (trimmed.find('*') != std::string::npos) {
    lines_.push_back({StringReplace(trimmed, "*", "", ReplaceAll::Yes), true});
  } else {
    lines_.push_back({CanonicalURL(trimmed), false});
  }
}

bool TURLList::Matches(std::string_view url) const { return MatchesBase(GetBase(CanonicalURL(url))); }

bool TURLList::MatchesBase(const std::string& base) const {
  for (const Line& line : lines_) {
    if (line.pattern ? !line.text.empty() && PosText(line.text, base) != std::string::npos : line.text == base) {
      return true;
    }
  }
  return false;
}

bool URLAllowed(const TURLList& allow, std::string_view url) { return allow.Empty() || allow.Matches(url); }

bool URLDenied(const TURLList& deny, std::string_view url) { return deny.Matches(url); }

}  // namespace lark
