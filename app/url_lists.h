#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lark {

// A URL in the one spelling that the allow and deny lists compare: the parts
// the network layer connects to, with lower-case scheme and host, no user
// information, default port or trailing dot on the host, a numeric IPv4 host
// (2130706433, 0x7f.1, 0177.0.0.1) in dotted decimal, "\" as "/", escapes of
// unreserved characters decoded (the others with upper-case digits), blanks
// and control bytes escaped, dot segments resolved and no fragment; an
// address without a scheme is taken as http, as the address box does.
// Applying it twice changes nothing more.
[[nodiscard]] std::string CanonicalURL(std::string_view url);

// Lists past this many lines are cut: every test walks the whole list.
inline constexpr int kMaxURLListLines = 10000;

// One URL list ("Allow.lst" or "Deny.lst" beside the program). A line with a
// "*" is a pattern: its "*" removed, it matches a canonical URL that contains
// it without regard to ASCII case (an empty pattern matches nothing). Any
// other line is exact and matches the canonical URL it spells. Lines are
// trimmed; empty lines are skipped.
class TURLList {
 public:
  // A missing or unreadable file gives an empty list.
  void LoadFromFile(const std::string& file_name);
  void AddLine(std::string_view line);

  [[nodiscard]] bool Empty() const { return lines_.empty(); }
  [[nodiscard]] int Count() const { return static_cast<int>(lines_.size()); }
  // Tests the folder of the URL (GetBase of its canonical form).
  [[nodiscard]] bool Matches(std::string_view url) const;

 private:
  struct Line {
    std::string text;
    bool pattern = false;
  };
  [[nodiscard]] bool MatchesBase(const std::string& base) const;

  std::vector<Line> lines_;
};

// An empty allow list allows everything; otherwise a URL must match it.
[[nodiscard]] bool URLAllowed(const TURLList& allow, std::string_view url);
[[nodiscard]] bool URLDenied(const TURLList& deny, std::string_view url);

}  // namespace lark
