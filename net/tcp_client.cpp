#include "net/tcp_client.h"

#include <chrono>

#include "net/connection_intercept.h"
#include "net/net_exception.h"
#include "net/net_messages.h"
#include "platform/core/format.h"

namespace lark {

using namespace net_messages;

namespace {

// SOCKS length fields are one byte.
void CheckSocksField(const std::string& field) {
  if (field.size() > 255) throw ENetSocksFieldTooLong(RSSocksFieldTooLong);
}

void AppendPort(std::string& message, int port) {
  message += static_cast<char>((port >> 8) & 0xFF);
  message += static_cast<char>(port & 0xFF);
}

void AppendField(std::string& message, const std::string& field) {
  CheckSocksField(field);
  message += static_cast<char>(field.size());
  message += field;
}

}  // namespace

void TNetTCPClient::DoOnConnected() {
  if (OnConnected) OnConnected(this);
}

void TNetTCPClient::Connect() {
  if (socket_.HandleAllocated()) throw ENetAlreadyConnected(RSAlreadyConnected);
  try {
    const auto start = std::chrono::steady_clock::now();
    ConnectSocket();
    // The SOCKS exchange is plain bytes to the SOCKS server; the intercept
    // (TLS) starts only once the tunnel to the target stands.
    bool enabled = InterceptEnabled();
    SetInterceptEnabled(false);
    NegotiateSocks(start);
    SetInterceptEnabled(enabled);
    if (enabled) {
      // The handshake has ReadTimeout as a whole.
      Intercept()->ReceiveTimeout = ReadTimeout;
      Intercept()->Connect(&socket_);
    }
  } catch (...) {
    socket_.CloseSocket();
    throw;
  }
  DoStatus(TNetStatus::hsConnected, socket_.PeerIP);
  DoOnConnected();
}

void TNetTCPClient::ConnectSocket() {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  ResetConnection();
  socket_.Allocate(winsock::SockStream, 0);
  // A Disconnect from another thread before there was a socket found
  // nothing to wake: it still ends the call.
  if (DisconnectRequested()) socket_.Interrupt();
  socket_.IP = BoundIP;
  socket_.Bind();
  bool direct = SocksInfo.Version == TSocksVersion::svNoSocks;
  const std::string host = direct ? Host : SocksInfo.Host;
  const int port = direct ? Port : SocksInfo.Port;
  if (!TNetStack::IsDottedAddress(host)) DoStatus(TNetStatus::hsResolving, host);
  std::string ip = GSocketStack->ResolveHost(host, ConnectTimeout, [this] { return !socket_.HandleAllocated() || socket_.Interrupted(); });
  socket_.SetPeer(ip, port);
  if (!UseNagle) {
    int on = 1;
    socket_.SetSockOpt(winsock::IpProtoTcp, winsock::TcpNoDelay, &on, sizeof on);
  }
  DoStatus(TNetStatus::hsConnecting, ip);
  int left = ConnectTimeout;
  if (ConnectTimeout != kNoTimeLimit) {
    auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    left = static_cast<int>(std::max<long long>(1, ConnectTimeout - spent));
  }
  socket_.Connect(winsock::AfInet, left);
}

void TNetTCPClient::NegotiateSocks(std::chrono::steady_clock::time_point start) {
  if (SocksInfo.Version == TSocksVersion::svNoSocks) return;
  // A SOCKS server that stalls must not stretch the connect past its deadline.
  if (ConnectTimeout != kNoTimeLimit) SetReadDeadline(start + std::chrono::milliseconds(ConnectTimeout));
  try {
    if (SocksInfo.Version == TSocksVersion::svSocks4 || SocksInfo.Version == TSocksVersion::svSocks4A) {
      NegotiateSocks4(SocksInfo.Version == TSocksVersion::svSocks4A);
    } else if (SocksInfo.Version == TSocksVersion::svSocks5) {
      NegotiateSocks5();
    }
  } catch (const ENetReadTimeout&) {
    ClearReadDeadline();
    throw ENetConnectTimeout(Format(RSConnectTimeout, Host + ":" + std::to_string(Port)));
  } catch (...) {
    ClearReadDeadline();
    throw;
  }
  ClearReadDeadline();
}

void TNetTCPClient::NegotiateSocks4(bool withHostName) {
  CheckSocksField(SocksInfo.UserID);
  std::string request = {4, 1};
  AppendPort(request, Port);
  if (withHostName) {
    request += std::string("\0\0\0\1", 4);
  } else {
    uint32_t address = TNetStack::TextToAddress(GSocketStack->ResolveHost(Host, ConnectTimeout));
    request.append(reinterpret_cast<const char*>(&address), 4);
  }
  request += SocksInfo.UserID;
  request += '\0';
  if (withHostName) {
    CheckSocksField(Host);
    request += Host;
    request += '\0';
  }
  WriteBuffer(request.data(), static_cast<std::int64_t>(request.size()));
  unsigned char reply[8];
  ReadBuffer(reply, sizeof reply);
  switch (reply[1]) {
    case 90: return;
    case 91: throw ENetSocksRequestFailed(RSSocksRequestFailed);
    case 92: throw ENetSocksRequestServerFailed(RSSocksRequestServerFailed);
    case 93: throw ENetSocksRequestIdentFailed(RSSocksRequestIdentFailed);
    default: throw ENetSocksUnknownError(RSSocksUnknownError);
  }
}

void TNetTCPClient::ReadSocks5Answer(void* destination, int count) {
  try {
    ReadBuffer(destination, count);
  } catch (const ENetException&) {
    throw ENetSocksServerRespondError(RSSocksServerRespondError);
  }
}

void TNetTCPClient::NegotiateSocks5() {
  const bool withPassword = SocksInfo.Authentication == TSocksAuthentication::saUsernamePassword;
  CheckSocksField(Host);
  const char method = withPassword ? 2 : 0;
  const char selection[] = {5, 1, method};
  WriteBuffer(selection, sizeof selection);
  unsigned char answer[2];
  ReadSocks5Answer(answer, 2);
  if (answer[1] != static_cast<unsigned char>(method)) throw ENetSocksAuthMethodError(RSSocksAuthMethodError);
  if (withPassword) {
    std::string login(1, 1);
    AppendField(login, SocksInfo.UserID);
    AppendField(login, SocksInfo.Password);
    WriteBuffer(login.data(), static_cast<std::int64_t>(login.size()));
    ReadSocks5Answer(answer, 2);
    if (answer[1] != 0) throw ENetSocksAuthError(RSSocksAuthError);
  }
  std::string request = {5, 1, 0, 3};
  AppendField(request, Host);
  AppendPort(request, Port);
  WriteBuffer(request.data(), static_cast<std::int64_t>(request.size()));
  unsigned char reply[5];
  ReadSocks5Answer(reply, 5);
  switch (reply[1]) {
    case 0: break;
    case 1: throw ENetSocksServerGeneralError(RSSocksServerGeneralError);
    case 2: throw ENetSocksServerPermissionError(RSSocksServerPermissionError);
    case 3: throw ENetSocksServerNetUnreachableError(RSSocksServerNetUnreachableError);
    case 4: throw ENetSocksServerHostUnreachableError(RSSocksServerHostUnreachableError);
    case 5: throw ENetSocksServerConnectionRefusedError(RSSocksServerConnectionRefusedError);
    case 6: throw ENetSocksServerTTLExpiredError(RSSocksServerTTLExpiredError);
    case 7: throw ENetSocksServerCommandError(RSSocksServerCommandError);
    case 8: throw ENetSocksServerAddressError(RSSocksServerAddressError);
    default: throw ENetSocksUnknownError(RSSocksUnknownError);
  }
  // The bound address and port follow; the fifth byte was their first.
  int rest = 0;
  switch (reply[3]) {
    case 1: rest = 4 + 2 - 1; break;
    case 3: rest = reply[4] + 2; break;
    case 4: rest = 16 + 2 - 1; break;
    default: throw ENetSocksAddressTypeError(RSSocksAddressTypeError);
  }
  unsigned char bound[257];
  ReadSocks5Answer(bound, rest);
}

std::string TNetTCPClient::ConnectAndReadAll() {
  Connect();
  std::string result = ReadUntilClose();
  Disconnect();
  return result;
}

}  // namespace lark
