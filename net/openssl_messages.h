#pragma once

// The TLS texts that go beyond the library's classic table. Texts with
// placeholders are printf formats.

namespace lark::net_messages {

inline constexpr const char* RSOSSLStatusString = "SSL status: \"%s\"";
inline constexpr const char* RSOSSLConnectionLost = "The connection closed during the TLS exchange.";
inline constexpr const char* RSOSSLNoReason = "OpenSSL gave no reason.";
inline constexpr const char* RSOSSLReadError = "Error reading with SSL: %s";
inline constexpr const char* RSOSSLWriteError = "Error writing with SSL: %s";

}  // namespace lark::net_messages
