#include "app/status_texts.h"

#include <array>

namespace lark {

std::string ConnectionStateText(int state) {
  static constexpr std::array<const char*, 8> kTexts = {
      "State: Ready.",      "State: Not Connected.",   "State: Connected.",      "State: Dns Lookup.",
      "State: Dns Lookup Done.", "State: Waiting Header.", "State: Waiting Body.", "State: Aborting."};
  const int index = state & 0x7F;
  return index < static_cast<int>(kTexts.size()) ? kTexts[index] : "";
}

std::string LoadingText(std::int64_t bytesReceived) {
  if (bytesReceived == 0) return "Loading HTML file.";
  return "Loading HTML file. Size: " + std::to_string(bytesReceived) + " bytes.";
}

}  // namespace lark
