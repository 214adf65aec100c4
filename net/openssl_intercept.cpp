#include "net/openssl_intercept.h"

#include "net/openssl_x509.h"
#include "net/socket_stack.h"

namespace lark {

// Marks a call that uses the TLS state, so that a Disconnect meanwhile (from
// another thread, or from a message run during a wait) defers the release
// until the last such call returns.
class TNetConnectionInterceptOpenSSL::InUse {
 public:
  explicit InUse(TNetConnectionInterceptOpenSSL& owner) : owner_(owner) {
    std::lock_guard lock(owner_.mutex_);
    socket = owner_.sslSocket_.get();
    if (socket != nullptr && !owner_.releaseWhenUnused_) {
      ++owner_.users_;
    } else {
      socket = nullptr;
    }
  }
  ~InUse() {
    if (socket == nullptr) return;
    std::unique_ptr<TNetSSLSocket> released;
    {
      std::lock_guard lock(owner_.mutex_);
      if (--owner_.users_ == 0 && owner_.releaseWhenUnused_) {
        released = std::move(owner_.sslSocket_);
        owner_.releaseWhenUnused_ = false;
      }
    }
  }
  InUse(const InUse&) = delete;
  InUse& operator=(const InUse&) = delete;

  TNetSSLSocket* socket;

 private:
  TNetConnectionInterceptOpenSSL& owner_;
};

TNetConnectionInterceptOpenSSL::~TNetConnectionInterceptOpenSSL() { ReplaceSocket(nullptr); }

void TNetConnectionInterceptOpenSSL::ReplaceSocket(std::unique_ptr<TNetSSLSocket> socket, Goodbye goodbye) {
  std::unique_ptr<TNetSSLSocket> old;
  {
    std::lock_guard lock(mutex_);
    if (users_ > 0) {
      // Only a Disconnect can come here while a call runs; the call frees it.
      releaseWhenUnused_ = true;
      return;
    }
    old = std::move(sslSocket_);
    sslSocket_ = std::move(socket);
  }
  // No other call uses it now: the goodbye cannot cross a running read.
  if (old && goodbye == Goodbye::Send) old->SendGoodbye();
}

void TNetConnectionInterceptOpenSSL::Connect(TNetSocketHandle* socket) {
  ReplaceSocket(nullptr);
  TNetSSLConnectionIntercept::Connect(socket);
  // Contexts are shared per set of options, so a fresh one per connect is cheap
  // and follows any change of SSLOptions.
  context_ = std::make_unique<TNetSSLContext>(SSLOptions, TNetSSLMode::sslmClient,
                                              [this](std::string& password) { DoGetPassword(password); });
  auto tls = std::make_unique<TNetSSLSocket>(*this, *context_, *socket);
  // The connection sets ReceiveTimeout to its ReadTimeout before connecting.
  tls->Connect(HostName, ReceiveTimeout);
  ReplaceSocket(std::move(tls));
}

void TNetConnectionInterceptOpenSSL::Disconnect() {
  ReplaceSocket(nullptr, Goodbye::Send);
  TNetSSLConnectionIntercept::Disconnect();
}

int TNetConnectionInterceptOpenSSL::Receive(char* buffer, int length) {
  InUse use(*this);
  return use.socket != nullptr ? use.socket->Receive(buffer, length, ReceiveTimeout) : 0;
}

int TNetConnectionInterceptOpenSSL::Send(const char* buffer, int length) {
  InUse use(*this);
  if (use.socket == nullptr) return 0;
  int sent = use.socket->Send(buffer, length, SendTimeout);
  CallNetWaitHook(false);
  return sent;
}

bool TNetConnectionInterceptOpenSSL::HasPendingData() {
  InUse use(*this);
  return use.socket != nullptr && use.socket->HasPendingData();
}

std::string TNetConnectionInterceptOpenSSL::Version() {
  InUse use(*this);
  return use.socket != nullptr ? use.socket->Version() : std::string();
}

std::string TNetConnectionInterceptOpenSSL::CipherName() {
  InUse use(*this);
  return use.socket != nullptr ? use.socket->CipherName() : std::string();
}

void TNetConnectionInterceptOpenSSL::DoStatusInfo(const std::string& msg) {
  const TCallbackEvent& event = server_ != nullptr ? server_->OnStatusInfo : OnStatusInfo;
  if (event) event(msg);
}

bool TNetConnectionInterceptOpenSSL::WantsStatusInfo() const {
  return static_cast<bool>(server_ != nullptr ? server_->OnStatusInfo : OnStatusInfo);
}

bool TNetConnectionInterceptOpenSSL::DoVerifyPeer(TNetX509& certificate, bool opensslAccepted) {
  const TVerifyPeerEvent& event = server_ != nullptr ? server_->OnVerifyPeer : OnVerifyPeer;
  // The event may refuse what OpenSSL accepted, never accept what it refused.
  bool eventAccepted = event ? event(certificate) : true;
  return opensslAccepted && eventAccepted;
}

void TNetConnectionInterceptOpenSSL::DoGetPassword(std::string& password) {
  const TPasswordEvent& event = server_ != nullptr ? server_->OnGetPassword : OnGetPassword;
  if (event) event(password);
}

std::unique_ptr<TNetConnectionInterceptOpenSSL> TNetServerInterceptOpenSSL::Accept(TNetSocketHandle* socket,
                                                                                   int timeoutMs) {
  if (!context_) {
    context_ = std::make_unique<TNetSSLContext>(SSLOptions, TNetSSLMode::sslmServer, [this](std::string& password) {
      if (OnGetPassword) OnGetPassword(password);
    });
  }
  auto intercept = std::make_unique<TNetConnectionInterceptOpenSSL>();
  intercept->server_ = this;
  intercept->SSLOptions = SSLOptions;
  intercept->TNetSSLConnectionIntercept::Connect(socket);
  auto tls = std::make_unique<TNetSSLSocket>(*intercept, *context_, *socket);
  tls->Accept(timeoutMs);
  intercept->ReplaceSocket(std::move(tls));
  return intercept;
}

}  // namespace lark
