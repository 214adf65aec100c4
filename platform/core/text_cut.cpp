#include "platform/core/text_cut.h"

namespace lark {

std::string CutToCharacters(std::string_view s, std::size_t characters) {
  std::size_t counted = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    if (counted++ == characters) return std::string(s.substr(0, i)) + "...";
  }
  return std::string(s);
}

}  // namespace lark
