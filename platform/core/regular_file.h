#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lark {

// The whole of a regular file (a symbolic link counts as what it names);
// nullopt when the name is missing, is a folder, a FIFO, a device or a
// socket, cannot be read, or holds more than maxBytes. Opening never waits
// on what the name turns out to be, so a FIFO without a writer or a device
// that never ends cannot hang the caller.
[[nodiscard]] std::optional<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes);

// True when the name is a regular file (without reading it).
[[nodiscard]] bool IsRegularFile(const std::string& path);

}  // namespace lark
