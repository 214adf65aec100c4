#include "controls/word_routines.h"

namespace lark {

std::size_t WordPosition(int n, std::string_view text, std::string_view delimiters) {
  std::size_t at = 0;
  for (int word = 1; word <= n; ++word) {
    at = text.find_first_not_of(delimiters, at);
    if (at == std::string_view::npos) return at;
    if (word == n) return at;
    at = text.find_first_of(delimiters, at);
    if (at == std::string_view::npos) return at;
  }
  return std::string_view::npos;  // n below 1 names no word
}

std::string ExtractWord(int n, std::string_view text, std::string_view delimiters) {
  const std::size_t start = WordPosition(n, text, delimiters);
  if (start == std::string_view::npos) return {};
  const std::size_t end = text.find_first_of(delimiters, start);
  return std::string(text.substr(start, end == std::string_view::npos ? text.size() - start : end - start));
}

}  // namespace lark
