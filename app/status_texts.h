#pragma once

// The status bar's texts while a page loads.

#include <cstdint>
#include <string>

namespace lark {

// "State: ..." for a connection state (its lower 7 bits); "" for a state
// without a text.
[[nodiscard]] std::string ConnectionStateText(int state);
// "Loading HTML file. Size: N bytes.", or "Loading HTML file." before the
// first byte.
[[nodiscard]] std::string LoadingText(std::int64_t bytesReceived);

}  // namespace lark
