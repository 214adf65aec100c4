#include "net/openssl_context.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "net/net_exception.h"
#include "net/net_messages.h"
#include "net/openssl_binding.h"

namespace lark {

using namespace net_messages;
using openssl::Api;

class TNetSSLContext::Shared {
 public:
  explicit Shared(SSL_CTX* handle) : handle_(handle) {}
  ~Shared() { Api().SSL_CTX_free(handle_); }
  Shared(const Shared&) = delete;
  Shared& operator=(const Shared&) = delete;
  [[nodiscard]] SSL_CTX* Handle() const { return handle_; }

 private:
  SSL_CTX* handle_;
};

namespace {

int PasswordCallback(char* buffer, int size, int /*writing*/, void* userData) {
  auto* query = static_cast<TNetPasswordQuery*>(userData);
  std::string password;
  if (query != nullptr && *query) (*query)(password);
  int length = std::min(size, static_cast<int>(password.size()));
  std::memcpy(buffer, password.data(), static_cast<size_t>(std::max(length, 0)));
  return length;
}

const SSL_METHOD* MethodFor(TNetSSLMode mode) {
  const auto& api = Api();
  switch (mode) {
    case TNetSSLMode::sslmClient: return api.TLS_client_method();
    case TNetSSLMode::sslmServer: return api.TLS_server_method();
    case TNetSSLMode::sslmBoth: return api.TLS_method();
    case TNetSSLMode::sslmUnassigned: break;
  }
  throw ENetOSSLModeNotSet(RSOSSLModeNotSet);
}

void LoadFiles(SSL_CTX* ctx, const TNetSSLOptions& options, TNetSSLMode mode, TNetPasswordQuery& password) {
  const auto& api = Api();
  // A client trusts the system's authorities; a root file adds to them.
  if (mode != TNetSSLMode::sslmServer) api.SSL_CTX_set_default_verify_paths(ctx);
  if (!options.RootCertFile.empty() &&
      api.SSL_CTX_load_verify_locations(ctx, options.RootCertFile.c_str(), nullptr) <= 0) {
    throw ENetOSSLLoadingRootCertError(RSOSSLLoadingRootCertError);
  }
  if (!options.CertFile.empty() && api.SSL_CTX_use_certificate_chain_file(ctx, options.CertFile.c_str()) <= 0) {
    throw ENetOSSLLoadingCertError(RSOSSLLoadingCertError);
  }
  if (!options.KeyFile.empty()) {
    api.SSL_CTX_set_default_passwd_cb(ctx, PasswordCallback);
    api.SSL_CTX_set_default_passwd_cb_userdata(ctx, &password);
    bool loaded = api.SSL_CTX_use_PrivateKey_file(ctx, options.KeyFile.c_str(), SSL_FILETYPE_PEM) > 0 &&
                  api.SSL_CTX_check_private_key(ctx) > 0;
    // The query belongs to the caller and is gone after this constructor.
    api.SSL_CTX_set_default_passwd_cb_userdata(ctx, nullptr);
    if (!loaded) throw ENetOSSLLoadingKeyError(RSOSSLLoadingKeyError);
  }
}

std::shared_ptr<TNetSSLContext::Shared> MakeShared(const TNetSSLOptions& options, TNetSSLMode mode,
                                                   TNetPasswordQuery& password) {
  const auto& api = Api();
  const SSL_METHOD* method = MethodFor(mode);
  SSL_CTX* ctx = api.SSL_CTX_new(method);
  if (ctx == nullptr) throw ENetOSSLCreatingContextError(RSOSSLCreatingContextError);
  auto shared = std::make_shared<TNetSSLContext::Shared>(ctx);
  api.SSL_CTX_ctrl(ctx, SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
  LoadFiles(ctx, options, mode, password);
  api.ERR_clear_error();  // nothing of the loading stays queued for a later connection
  return shared;
}

}  // namespace

bool OpenSSLAvailable() { return openssl::LoadOpenSSL(); }

int VerifyModeFlags(const TNetSSLVerifyModeSet& modes) {
  int flags = 0;
  if (modes.count(TNetSSLVerifyMode::sslvrfPeer) != 0) flags |= SSL_VERIFY_PEER;
  if (modes.count(TNetSSLVerifyMode::sslvrfFailIfNoPeerCert) != 0) flags |= SSL_VERIFY_FAIL_IF_NO_PEER_CERT;
  if (modes.count(TNetSSLVerifyMode::sslvrfClientOnce) != 0) flags |= SSL_VERIFY_CLIENT_ONCE;
  return flags;
}

TNetSSLContext::TNetSSLContext(const TNetSSLOptions& options, TNetSSLMode mode, TNetPasswordQuery password)
    : mode_(mode),
      // A client always verifies the server; a server asks for what it was told.
      verifyFlags_(mode == TNetSSLMode::sslmServer ? VerifyModeFlags(options.VerifyMode) : SSL_VERIFY_PEER) {
  if (!openssl::LoadOpenSSL()) throw ENetOSSLCouldNotLoadSSLLibrary(RSOSSLCouldNotLoadSSLLibrary);
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<Shared>> contexts;
  const std::string key = std::to_string(openssl::BindingGeneration()) + '\n' +
                          std::to_string(static_cast<int>(mode)) + '\n' + options.RootCertFile + '\n' +
                          options.CertFile + '\n' + options.KeyFile;
  std::lock_guard lock(mutex);
  auto& slot = contexts[key];
  if (!slot) slot = MakeShared(options, mode, password);
  shared_ = slot;
}

ssl_ctx_st* TNetSSLContext::Handle() const { return shared_->Handle(); }

}  // namespace lark
