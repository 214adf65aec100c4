#pragma once

// TLS for a TCP connection through OpenSSL: the client intercept the HTTP
// client uses for https, and the server side, which makes the intercept of
// each accepted connection.

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "net/connection_intercept.h"
#include "net/openssl_context.h"
#include "net/openssl_socket.h"

namespace lark {

class TNetServerInterceptOpenSSL;
class TNetX509;

using TCallbackEvent = std::function<void(const std::string& Msg)>;
using TPasswordEvent = std::function<void(std::string& Password)>;
// Asked for each certificate of the chain; a certificate passes only when
// OpenSSL's own check passed too.
using TVerifyPeerEvent = std::function<bool(TNetX509& Certificate)>;

class TNetConnectionInterceptOpenSSL : public TNetSSLConnectionIntercept, public TNetSSLSocketOwner {
 public:
  TNetConnectionInterceptOpenSSL() = default;
  ~TNetConnectionInterceptOpenSSL() override;

  // Fires OnConnect (where a proxy tunnel opens), then the TLS handshake
  // with the server named by HostName.
  void Connect(TNetSocketHandle* socket) override;
  // May come from another thread, or from a message handled during a wait
  // of this intercept: the TLS state is then freed when that call returns.
  void Disconnect() override;
  int Receive(char* buffer, int length) override;
  int Send(const char* buffer, int length) override;
  [[nodiscard]] bool HasPendingData() override;

  // Of the live connection, "" when none.
  [[nodiscard]] std::string Version();
  [[nodiscard]] std::string CipherName();

  TNetSSLOptions SSLOptions;
  TCallbackEvent OnStatusInfo;
  TPasswordEvent OnGetPassword;
  TVerifyPeerEvent OnVerifyPeer;

 private:
  friend class TNetServerInterceptOpenSSL;
  class InUse;

  void DoStatusInfo(const std::string& msg) override;
  [[nodiscard]] bool WantsStatusInfo() const override;
  [[nodiscard]] bool DoVerifyPeer(TNetX509& certificate, bool opensslAccepted) override;
  void DoGetPassword(std::string& password);
  enum class Goodbye { Skip, Send };
  // A client's socket is closed before its intercept hears of it; a server
  // ending its side (or a caller disconnecting only the intercept) says goodbye.
  void ReplaceSocket(std::unique_ptr<TNetSSLSocket> socket, Goodbye goodbye = Goodbye::Skip);

  std::unique_ptr<TNetSSLContext> context_;
  // Set when made for a connection a server accepted: its events and
  // context belong to that server.
  TNetServerInterceptOpenSSL* server_ = nullptr;
  std::mutex mutex_;
  std::unique_ptr<TNetSSLSocket> sslSocket_;
  int users_ = 0;
  bool releaseWhenUnused_ = false;
};

class TNetServerInterceptOpenSSL {
 public:
  // Runs the server handshake on an accepted socket and answers the
  // intercept that carries the connection's bytes from then on. The server
  // context is made on first use from SSLOptions (CertFile and KeyFile).
  [[nodiscard]] std::unique_ptr<TNetConnectionInterceptOpenSSL> Accept(TNetSocketHandle* socket,
                                                                      int timeoutMs = 60000);

  TNetSSLOptions SSLOptions;
  TCallbackEvent OnStatusInfo;
  TPasswordEvent OnGetPassword;
  TVerifyPeerEvent OnVerifyPeer;

 private:
  std::unique_ptr<TNetSSLContext> context_;
};

}  // namespace lark
