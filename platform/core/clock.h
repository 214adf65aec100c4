#pragma once

#include <cstdint>

namespace lark {

// Milliseconds of a monotonic clock, wrapping at 2^32 like the multimedia
// timer: differences taken in 32-bit unsigned arithmetic stay right across
// the wrap.
[[nodiscard]] std::uint32_t timeGetTime();

// Blocks the calling thread for at least the given milliseconds.
void Sleep(std::uint32_t milliseconds);

}  // namespace lark
