#include "net/connection_intercept.h"

namespace lark {

void TNetConnectionIntercept::Connect(TNetSocketHandle* socket) {
  socket_ = socket;
  if (OnConnect) OnConnect(this);
}

void TNetConnectionIntercept::DataReceived(const char*, int) {}
void TNetConnectionIntercept::DataSent(const char*, int) {}
void TNetConnectionIntercept::Disconnect() { socket_ = nullptr; }
int TNetConnectionIntercept::Receive(char*, int) { return 0; }
int TNetConnectionIntercept::Send(const char*, int) { return 0; }

}  // namespace lark
