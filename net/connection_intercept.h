#pragma once

// A hook through which a connection's bytes may be routed (TLS is one). The
// intercept is not owned by the connection: whoever owns it detaches it from
// the connection before freeing it.

#include <functional>
#include <string>

#include "platform/core/object.h"

namespace lark {

class TNetSocketHandle;

class TNetConnectionIntercept : public TObject {
 public:
  // Binds the intercept to a connected socket and fires OnConnect, where a
  // proxy tunnel is opened before any bytes of the intercept's own.
  virtual void Connect(TNetSocketHandle* socket);
  virtual void DataReceived(const char* buffer, int count);
  virtual void DataSent(const char* buffer, int count);
  virtual void Disconnect();
  // Answers the count received, 0 at the end of the stream, or -1 with the
  // socket's error; -1 with WSAEWOULDBLOCK means "nothing yet" when the wait
  // allowed by ReceiveTimeout passed.
  virtual int Receive(char* buffer, int length);
  virtual int Send(const char* buffer, int length);
  // Whether the intercept already holds received bytes that a wait on the
  // socket would not see (TLS decrypts a whole record at a time).
  [[nodiscard]] virtual bool HasPendingData() { return false; }

  [[nodiscard]] TNetSocketHandle* Socket() const { return socket_; }
  [[nodiscard]] bool ReceiveHandled() const { return receiveHandled_; }
  [[nodiscard]] bool SendHandled() const { return sendHandled_; }

  std::function<void(TObject* Sender)> OnConnect;
  // How long Receive may wait for the rest of what it needs (ms,
  // kNoTimeLimit: none); 0 is a look for what has arrived, such as a close
  // after a complete answer. The connection sets it before each Receive.
  int ReceiveTimeout = 60000;
  // How long Send may wait for room without progress; the connection sets
  // it before each Send. A time-out answers -1 with WSAEWOULDBLOCK.
  int SendTimeout = 60000;

 protected:
  bool receiveHandled_ = false;
  bool sendHandled_ = false;

 private:
  TNetSocketHandle* socket_ = nullptr;
};

// The base of TLS intercepts: it carries every byte itself.
class TNetSSLConnectionIntercept : public TNetConnectionIntercept {
 public:
  TNetSSLConnectionIntercept() {
    receiveHandled_ = true;
    sendHandled_ = true;
  }

  // The server's name as the user gave it (a host name or an IP address):
  // the certificate must be issued for it. Set before each connect.
  std::string HostName;
};

}  // namespace lark
