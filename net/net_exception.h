#pragma once

// The one exception family of the network library. Every class carries its
// message text (net_messages.h); two of them also carry a code.

#include <string>

#include "platform/core/exception.h"

namespace lark {

LARK_EXCEPTION_CLASS(ENetException, Exception);

LARK_EXCEPTION_CLASS(ENetAlreadyConnected, ENetException);
LARK_EXCEPTION_CLASS(ENetSilentException, ENetException);
LARK_EXCEPTION_CLASS(ENetConnClosedGracefully, ENetSilentException);
// The caller stopped the call (Disconnect, Abort): silent, like a close.
LARK_EXCEPTION_CLASS(ENetTransferAborted, ENetConnClosedGracefully);
LARK_EXCEPTION_CLASS(ENetInvalidServiceName, ENetException);

// A reply code from a peer that the caller did not accept.
class ENetProtocolReplyError : public ENetException {
 public:
  ENetProtocolReplyError(int code, std::string message) : ENetException(std::move(message)), ReplyCode(code) {}
  int ReplyCode;
};

LARK_EXCEPTION_CLASS(ENetInvalidSocket, ENetException);

// A failed socket call with its Winsock error number.
class ENetSocketError : public ENetException {
 public:
  ENetSocketError(int code, std::string message) : ENetException(std::move(message)), ErrorCode(code) {}
  int ErrorCode;
};

LARK_EXCEPTION_CLASS(ENetFailedToRetreiveTimeZoneInfo, ENetException);
LARK_EXCEPTION_CLASS(ENetStackCanNotLoadWinsock, ENetException);
LARK_EXCEPTION_CLASS(ENetStackError, ENetException);
LARK_EXCEPTION_CLASS(ENetStackInitializationFailed, ENetStackError);
LARK_EXCEPTION_CLASS(ENetStackSetSizeExceeded, ENetStackError);
LARK_EXCEPTION_CLASS(ENetMoreThanOneTIdAntiFreeze, ENetException);
LARK_EXCEPTION_CLASS(ENetSocketHandleError, ENetException);
LARK_EXCEPTION_CLASS(ENetCouldNotBindSocket, ENetSocketHandleError);
LARK_EXCEPTION_CLASS(ENetTCPConnectionError, ENetException);
LARK_EXCEPTION_CLASS(ENetObjectTypeNotSupported, ENetTCPConnectionError);
LARK_EXCEPTION_CLASS(ENetNotEnoughDataInBuffer, ENetTCPConnectionError);
LARK_EXCEPTION_CLASS(ENetInterceptPropIsNil, ENetTCPConnectionError);
LARK_EXCEPTION_CLASS(ENetInterceptPropInvalid, ENetTCPConnectionError);
LARK_EXCEPTION_CLASS(ENetNoDataToRead, ENetTCPConnectionError);
LARK_EXCEPTION_CLASS(ENetSocksError, ENetException);
LARK_EXCEPTION_CLASS(ENetSocksRequestFailed, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksRequestServerFailed, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksRequestIdentFailed, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksUnknownError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerRespondError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksAuthMethodError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksAuthError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerGeneralError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerPermissionError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerNetUnreachableError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerHostUnreachableError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerConnectionRefusedError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerTTLExpiredError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerCommandError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksServerAddressError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetTableNotFound, ENetException);
LARK_EXCEPTION_CLASS(ENetOpenSSLError, ENetException);
LARK_EXCEPTION_CLASS(ENetOpenSSLLoadError, ENetOpenSSLError);
LARK_EXCEPTION_CLASS(ENetOSSLCouldNotLoadSSLLibrary, ENetOpenSSLLoadError);
LARK_EXCEPTION_CLASS(ENetOSSLLoadingRootCertError, ENetOpenSSLLoadError);
LARK_EXCEPTION_CLASS(ENetOSSLLoadingCertError, ENetOpenSSLLoadError);
LARK_EXCEPTION_CLASS(ENetOSSLLoadingKeyError, ENetOpenSSLLoadError);
LARK_EXCEPTION_CLASS(ENetOSSLModeNotSet, ENetOpenSSLError);
LARK_EXCEPTION_CLASS(ENetOSSLGetMethodError, ENetOpenSSLError);
LARK_EXCEPTION_CLASS(ENetOSSLCreatingContextError, ENetOpenSSLError);
LARK_EXCEPTION_CLASS(ENetOSSLSettingCipherError, ENetOpenSSLError);
LARK_EXCEPTION_CLASS(ENetOSSLDataBindingError, ENetOpenSSLError);
LARK_EXCEPTION_CLASS(ENetOSSLAcceptError, ENetOpenSSLError);
LARK_EXCEPTION_CLASS(ENetOSSLConnectError, ENetOpenSSLError);

// Failures that come from not trusting a peer or a caller; each has its own
// text in net_messages.h.
LARK_EXCEPTION_CLASS(ENetTimeout, ENetException);
LARK_EXCEPTION_CLASS(ENetConnectTimeout, ENetTimeout);
LARK_EXCEPTION_CLASS(ENetReadTimeout, ENetTimeout);
LARK_EXCEPTION_CLASS(ENetWriteTimeout, ENetTimeout);
LARK_EXCEPTION_CLASS(ENetLimitExceeded, ENetException);
LARK_EXCEPTION_CLASS(ENetLineTooLong, ENetLimitExceeded);
LARK_EXCEPTION_CLASS(ENetHeaderTooLarge, ENetLimitExceeded);
LARK_EXCEPTION_CLASS(ENetHTTPProtocolError, ENetException);
// The server closed the connection before the body its framing announced.
LARK_EXCEPTION_CLASS(ENetHTTPBodyCut, ENetHTTPProtocolError);
LARK_EXCEPTION_CLASS(ENetInvalidPort, ENetException);
LARK_EXCEPTION_CLASS(ENetSocksFieldTooLong, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetSocksAddressTypeError, ENetSocksError);
LARK_EXCEPTION_CLASS(ENetLineBreakInHeader, ENetException);

}  // namespace lark
