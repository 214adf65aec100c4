#pragma once

// The texts of the network library, kept in one table so that they can be
// translated without touching code. Texts with placeholders are printf
// formats.

#include <string>

namespace lark::net_messages {

inline constexpr const char* RSAlreadyConnected = "Already connected.";
inline constexpr const char* RSCannotAllocateSocket = "Cannot allocate socket.";
inline constexpr const char* RSConnectionClosedGracefully = "Connection Closed Gracefully.";
inline constexpr const char* RSCouldNotBindSocket = "Could not bind socket. Address and port are already in use.";
inline constexpr const char* RSFailedTimeZoneInfo = "Failed attempting to retrieve time zone information.";
inline constexpr const char* RSNotEnoughDataInBuffer = "Not enough data in buffer.";
inline constexpr const char* RSWinsockInitializationError = "Winsock Initialization Error.";
inline constexpr const char* RSCouldNotLoad = "%s could not be loaded.";
inline constexpr const char* RSSetSizeExceeded = "Set Size Exceeded.";
inline constexpr const char* RSOnlyOneAntiFreeze = "Only one TNetAntiFreeze can exist per application.";
inline constexpr const char* RSInterceptPropIsNil = "InterceptEnabled cannot be set to true when Intercept is nil.";
inline constexpr const char* RSInterceptPropInvalid = "Intercept value is not valid";
inline constexpr const char* RSObjectTypeNotSupported = "Object type not supported.";
inline constexpr const char* RSNoDataToRead = "No data to read.";
inline constexpr const char* RSStatusResolving = "Resolving hostname %s.";
inline constexpr const char* RSStatusConnecting = "Connecting to %s.";
inline constexpr const char* RSStatusConnected = "Connected.";
inline constexpr const char* RSStatusDisconnecting = "Disconnecting from %s.";
inline constexpr const char* RSStatusDisconnected = "Not connected.";
inline constexpr const char* RSStatusText = "%s";
inline constexpr const char* RSTableNotFound = "Coding table entry not found.";
inline constexpr const char* RSChunkStarted = "Chunk Started";
inline constexpr const char* RSFTPUnknownHost = "Unknown";
inline constexpr const char* RSInvalidServiceName = "%s is not a valid service.";
inline constexpr const char* RSStackError = "Socket Error # %d\r\n%s";
inline constexpr const char* RSStackName = "Winsock stack";

inline constexpr const char* RSSocksRequestFailed = "Request rejected or failed.";
inline constexpr const char* RSSocksRequestServerFailed = "Request rejected because SOCKS server cannot connect.";
inline constexpr const char* RSSocksRequestIdentFailed =
    "Request rejected because the client program and identd report different user-ids.";
inline constexpr const char* RSSocksUnknownError = "Unknown socks error.";
inline constexpr const char* RSSocksServerRespondError = "Socks server did not respond.";
inline constexpr const char* RSSocksAuthMethodError = "Invalid socks authentication method.";
inline constexpr const char* RSSocksAuthError = "Authentication error to socks server.";
inline constexpr const char* RSSocksServerGeneralError = "General SOCKS server failure.";
inline constexpr const char* RSSocksServerPermissionError = "Connection not allowed by ruleset.";
inline constexpr const char* RSSocksServerNetUnreachableError = "Network unreachable.";
inline constexpr const char* RSSocksServerHostUnreachableError = "Host unreachable.";
inline constexpr const char* RSSocksServerConnectionRefusedError = "Connection refused.";
inline constexpr const char* RSSocksServerTTLExpiredError = "TTL expired.";
inline constexpr const char* RSSocksServerCommandError = "Command not supported.";
inline constexpr const char* RSSocksServerAddressError = "Address type not supported.";

inline constexpr const char* RSOSSLCouldNotLoadSSLLibrary = "Could not load SSL library.";
inline constexpr const char* RSOSSLModeNotSet = "Mode has not been set.";
inline constexpr const char* RSOSSLGetMethodError = "Error geting SSL method.";
inline constexpr const char* RSOSSLCreatingContextError = "Error creating SSL context.";
inline constexpr const char* RSOSSLLoadingRootCertError = "Could not load root certificate.";
inline constexpr const char* RSOSSLLoadingCertError = "Could not load certificate.";
inline constexpr const char* RSOSSLLoadingKeyError = "Could not load key, check password.";
inline constexpr const char* RSOSSLSettingCipherError = "SetCipher failed.";
inline constexpr const char* RSOSSLDataBindingError = "Error binding data to SSL socket.";
inline constexpr const char* RSOSSLAcceptError = "Error accepting connection with SSL.";
inline constexpr const char* RSOSSLConnectError = "Error connecting with SSL.";

// Texts of the failures that guard against untrusted peers and callers.
inline constexpr const char* RSConnectTimeout = "Could not connect to %s within the time allowed.";
inline constexpr const char* RSReadTimeout = "The server sent nothing within the time allowed.";
inline constexpr const char* RSWriteTimeout = "The server accepted nothing within the time allowed.";
inline constexpr const char* RSReplyTooLong = "The server sent a reply of more lines than the limit.";
inline constexpr const char* RSLineTooLong = "The server sent a line longer than the limit.";
inline constexpr const char* RSHeaderTooLarge = "The server sent more header lines than the limit.";
inline constexpr const char* RSBadStatusLine = "The server sent a malformed status line.";
inline constexpr const char* RSBadContentLength = "The server sent an invalid Content-Length.";
inline constexpr const char* RSBadChunkSize = "The server sent an invalid chunk size.";
inline constexpr const char* RSBadContentRange = "The server sent an invalid Content-Range.";
inline constexpr const char* RSClosedInHeader = "The connection closed before the response header ended.";
inline constexpr const char* RSBodyCut = "The connection closed before the body ended.";
inline constexpr const char* RSTransferAborted = "The transfer was aborted.";
inline constexpr const char* RSInvalidPort = "The port of %s is not a number from 1 to 65535.";
inline constexpr const char* RSSocksFieldTooLong = "A SOCKS field is longer than 255 bytes.";
inline constexpr const char* RSSocksAddressTypeError = "The SOCKS server answered with an unknown address type.";
inline constexpr const char* RSLineBreakInHeader = "A URL, header value or credential contains a line break.";

// The text of a Winsock error number; empty for a number it does not know.
[[nodiscard]] std::string WinsockErrorText(int code);

}  // namespace lark::net_messages
