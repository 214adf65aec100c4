#pragma once

// The connecting side of a TCP connection, directly or through SOCKS 4, 4A or 5.

#include <chrono>
#include <string>

#include "net/tcp_connection.h"

namespace lark {

enum class TSocksAuthentication { saNoAuthentication, saUsernamePassword };
enum class TSocksVersion { svNoSocks, svSocks4, svSocks4A, svSocks5 };

struct TSocksInfo {
  TSocksAuthentication Authentication = TSocksAuthentication::saNoAuthentication;
  std::string Host;
  std::string Password;
  int Port = 0;
  std::string UserID;
  TSocksVersion Version = TSocksVersion::svNoSocks;

  void Assign(const TSocksInfo& source) { *this = source; }
};

class TNetTCPClient : public TNetTCPConnection {
 public:
  virtual void DoOnConnected();
  // Resolves, binds, connects and negotiates SOCKS within ConnectTimeout,
  // and only then connects the intercept (within ReadTimeout), so that a TLS
  // handshake runs inside the tunnel. A failed attempt closes the socket again.
  virtual void Connect();
  virtual std::string ConnectAndReadAll();

  std::string BoundIP;
  std::string Host;
  TNotifyEvent OnConnected;
  int Port = 0;
  TSocksInfo SocksInfo;
  bool UseNagle = true;
  // Deadline of name resolution and connect together, in ms.
  int ConnectTimeout = 30000;

 private:
  void ConnectSocket();
  // Within what is left of ConnectTimeout since start.
  void NegotiateSocks(std::chrono::steady_clock::time_point start);
  void NegotiateSocks4(bool withHostName);
  void NegotiateSocks5();
  void ReadSocks5Answer(void* destination, int count);
};

}  // namespace lark
