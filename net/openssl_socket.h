#pragma once

// One TLS connection over a connected socket. OpenSSL never touches the
// socket: it reads from and writes to memory buffers, and this class moves
// the bytes with the socket layer's own sliced, deadline-bounded waits, so a
// handshake or read never blocks inside OpenSSL, a close from elsewhere
// wakes it, and the anti-freeze gets its turns.

#include <string>

#include "net/net_exception.h"

struct ssl_st;
struct bio_st;

namespace lark {

class TNetSocketHandle;
class TNetSSLContext;
class TNetX509;

class ENetOSSLReadError : public ENetOpenSSLError {
 public:
  using ENetOpenSSLError::ENetOpenSSLError;
};

// The peer closed the TCP connection without the TLS goodbye where more
// data may have been due: what arrived may be cut short.
class ENetOSSLConnectionCut : public ENetOSSLReadError {
 public:
  using ENetOSSLReadError::ENetOSSLReadError;
};

class ENetOSSLWriteError : public ENetOpenSSLError {
 public:
  using ENetOpenSSLError::ENetOpenSSLError;
};

// What a TLS connection asks of the intercept that owns it.
class TNetSSLSocketOwner {
 public:
  virtual ~TNetSSLSocketOwner() = default;
  virtual void DoStatusInfo(const std::string& msg) = 0;
  [[nodiscard]] virtual bool WantsStatusInfo() const = 0;
  // Called for each certificate of the server's chain, with OpenSSL's verdict.
  [[nodiscard]] virtual bool DoVerifyPeer(TNetX509& certificate, bool opensslAccepted) = 0;
};

class TNetSSLSocket {
 public:
  TNetSSLSocket(TNetSSLSocketOwner& owner, const TNetSSLContext& context, TNetSocketHandle& socket);
  ~TNetSSLSocket();
  TNetSSLSocket(const TNetSSLSocket&) = delete;
  TNetSSLSocket& operator=(const TNetSSLSocket&) = delete;

  // The client handshake, within timeoutMs as a whole (ENetReadTimeout
  // after); the certificate must name hostName (a host name, or an IP
  // address matched against the IP SANs). Raises ENetOSSLConnectError with
  // OpenSSL's reason.
  void Connect(const std::string& hostName, int timeoutMs);
  // The server handshake; raises ENetOSSLAcceptError with OpenSSL's reason.
  void Accept(int timeoutMs);
  // As TNetConnectionIntercept::Receive.
  int Receive(char* buffer, int length, int timeoutMs);
  // As TNetConnectionIntercept::Send: waits for room at most timeoutMs.
  int Send(const char* buffer, int length, int timeoutMs);
  [[nodiscard]] bool HasPendingData() const;
  // The TLS goodbye (close_notify), so the peer can tell the end from a
  // cut; only while the socket is still open.
  void SendGoodbye();

  [[nodiscard]] TNetSSLSocketOwner& Owner() const { return owner_; }
  // The negotiated protocol and cipher suite ("TLSv1.3", "TLS_AES_256_GCM_SHA384").
  [[nodiscard]] std::string Version() const;
  [[nodiscard]] std::string CipherName() const;

 private:
  enum class Fill { Data, PeerClosed, Aborted, TimedOut };
  enum class Flush { Done, Closed, TimedOut };
  enum class Handshake { Client, Server };
  void RunHandshake(Handshake kind, int timeoutMs);
  [[nodiscard]] std::string FailureReason(int result) const;
  Fill FillInput(int timeoutMs);
  void MarkEndOfInput();
  [[nodiscard]] Flush FlushOutput(int timeoutMs);

  TNetSSLSocketOwner& owner_;
  TNetSocketHandle& socket_;
  ssl_st* ssl_ = nullptr;
  bio_st* input_ = nullptr;
  bio_st* output_ = nullptr;
  bool peerClosed_ = false;
  // Application data arrived since the last send.
  bool answered_ = false;
};

}  // namespace lark
