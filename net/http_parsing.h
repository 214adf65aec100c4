#pragma once

// Strict readers of the numbers and lines an HTTP server sends. Each answers
// false for anything malformed, so that the caller raises a protocol error
// rather than guessing.

#include <cstdint>
#include <string>

namespace lark {

// "HTTP/1.1 200 OK": version "1.1", code 200 (100..599) and the text after
// the first blank ("200 OK").
[[nodiscard]] bool ParseStatusLine(const std::string& line, std::string& version, int& code, std::string& text);
// Decimal digits only, within a signed 64-bit number; blanks around are allowed.
[[nodiscard]] bool ParseContentLength(const std::string& text, std::int64_t& length);
// "bytes 0-99/1000" or "bytes */1000" (start and end stay 0).
[[nodiscard]] bool ParseContentRange(const std::string& text, std::int64_t& start, std::int64_t& end);
// Hexadecimal size before any ";extension", blanks around allowed.
[[nodiscard]] bool ParseChunkSize(const std::string& line, std::int64_t& size);

}  // namespace lark
