#pragma once

// The one exception family of the network library. Every class carries its
// message text (net_messages.h); two of them also carry a code.

#include <string>

#include "platform/core/exception.h"

namespace lark {

class ENetException : public Exception {
 public:
  using Exception::Exception;
};

#define LARK_NET_EXCEPTION(Name, Base) \
  class Name : public Base {           \
   public:                             \
    using Base::Base;                  \
  }

LARK_NET_EXCEPTION(ENetAlreadyConnected, ENetException);
LARK_NET_EXCEPTION(ENetSilentException, ENetException);
LARK_NET_EXCEPTION(ENetConnClosedGracefully, ENetSilentException);
LARK_NET_EXCEPTION(ENetInvalidServiceName, ENetException);

// A reply code from a peer that the caller did not accept.
class ENetProtocolReplyError : public ENetException {
 public:
  ENetProtocolReplyError(int code, std::string message) : ENetException(std::move(message)), ReplyCode(code) {}
  int ReplyCode;
};

LARK_NET_EXCEPTION(ENetInvalidSocket, ENetException);

// A failed socket call with its Winsock error number.
class ENetSocketError : public ENetException {
 public:
  ENetSocketError(int code, std::string message) : ENetException(std::move(message)), ErrorCode(code) {}
  int ErrorCode;
};

LARK_NET_EXCEPTION(ENetFailedToRetreiveTimeZoneInfo, ENetException);
LARK_NET_EXCEPTION(ENetStackCanNotLoadWinsock, ENetException);
LARK_NET_EXCEPTION(ENetStackError, ENetException);
LARK_NET_EXCEPTION(ENetStackInitializationFailed, ENetStackError);
LARK_NET_EXCEPTION(ENetStackSetSizeExceeded, ENetStackError);
LARK_NET_EXCEPTION(ENetMoreThanOneTIdAntiFreeze, ENetException);
LARK_NET_EXCEPTION(ENetSocketHandleError, ENetException);
LARK_NET_EXCEPTION(ENetCouldNotBindSocket, ENetSocketHandleError);
LARK_NET_EXCEPTION(ENetTCPConnectionError, ENetException);
LARK_NET_EXCEPTION(ENetObjectTypeNotSupported, ENetTCPConnectionError);
LARK_NET_EXCEPTION(ENetNotEnoughDataInBuffer, ENetTCPConnectionError);
LARK_NET_EXCEPTION(ENetInterceptPropIsNil, ENetTCPConnectionError);
LARK_NET_EXCEPTION(ENetInterceptPropInvalid, ENetTCPConnectionError);
LARK_NET_EXCEPTION(ENetNoDataToRead, ENetTCPConnectionError);
LARK_NET_EXCEPTION(ENetSocksError, ENetException);
LARK_NET_EXCEPTION(ENetSocksRequestFailed, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksRequestServerFailed, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksRequestIdentFailed, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksUnknownError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerRespondError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksAuthMethodError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksAuthError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerGeneralError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerPermissionError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerNetUnreachableError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerHostUnreachableError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerConnectionRefusedError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerTTLExpiredError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerCommandError, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksServerAddressError, ENetSocksError);
LARK_NET_EXCEPTION(ENetTableNotFound, ENetException);
LARK_NET_EXCEPTION(ENetOpenSSLError, ENetException);
LARK_NET_EXCEPTION(ENetOpenSSLLoadError, ENetOpenSSLError);
LARK_NET_EXCEPTION(ENetOSSLCouldNotLoadSSLLibrary, ENetOpenSSLLoadError);
LARK_NET_EXCEPTION(ENetOSSLLoadingRootCertError, ENetOpenSSLLoadError);
LARK_NET_EXCEPTION(ENetOSSLLoadingCertError, ENetOpenSSLLoadError);
LARK_NET_EXCEPTION(ENetOSSLLoadingKeyError, ENetOpenSSLLoadError);
LARK_NET_EXCEPTION(ENetOSSLModeNotSet, ENetOpenSSLError);
LARK_NET_EXCEPTION(ENetOSSLGetMethodError, ENetOpenSSLError);
LARK_NET_EXCEPTION(ENetOSSLCreatingContextError, ENetOpenSSLError);
LARK_NET_EXCEPTION(ENetOSSLSettingCipherError, ENetOpenSSLError);
LARK_NET_EXCEPTION(ENetOSSLDataBindingError, ENetOpenSSLError);
LARK_NET_EXCEPTION(ENetOSSLAcceptError, ENetOpenSSLError);
LARK_NET_EXCEPTION(ENetOSSLConnectError, ENetOpenSSLError);

// Failures that come from not trusting a peer or a caller; each has its own
// text in net_messages.h.
LARK_NET_EXCEPTION(ENetTimeout, ENetException);
LARK_NET_EXCEPTION(ENetConnectTimeout, ENetTimeout);
LARK_NET_EXCEPTION(ENetReadTimeout, ENetTimeout);
LARK_NET_EXCEPTION(ENetWriteTimeout, ENetTimeout);
LARK_NET_EXCEPTION(ENetLimitExceeded, ENetException);
LARK_NET_EXCEPTION(ENetLineTooLong, ENetLimitExceeded);
LARK_NET_EXCEPTION(ENetHeaderTooLarge, ENetLimitExceeded);
LARK_NET_EXCEPTION(ENetHTTPProtocolError, ENetException);
LARK_NET_EXCEPTION(ENetSocksFieldTooLong, ENetSocksError);
LARK_NET_EXCEPTION(ENetSocksAddressTypeError, ENetSocksError);
LARK_NET_EXCEPTION(ENetLineBreakInHeader, ENetException);

#undef LARK_NET_EXCEPTION

}  // namespace lark
