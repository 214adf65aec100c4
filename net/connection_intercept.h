#pragma once

// A hook through which a connection's bytes may be routed (TLS is one). The
// intercept is not owned by the connection: whoever owns it detaches it from
// the connection before freeing it.

#include <functional>

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
  virtual int Receive(char* buffer, int length);
  virtual int Send(const char* buffer, int length);

  [[nodiscard]] TNetSocketHandle* Socket() const { return socket_; }
  [[nodiscard]] bool ReceiveHandled() const { return receiveHandled_; }
  [[nodiscard]] bool SendHandled() const { return sendHandled_; }

  std::function<void(TObject* Sender)> OnConnect;

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
};

}  // namespace lark
