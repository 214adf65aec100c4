#pragma once

// TLS settings and the OpenSSL context they make. Contexts are shared: one
// per distinct set of settings, made on first use and kept for the life of
// the process, so each connection only makes its own connection object.

#include <functional>
#include <memory>
#include <set>
#include <string>

struct ssl_ctx_st;

namespace lark {

// Every value means "TLS 1.2 or later": the older protocols are broken, and
// OpenSSL 3 negotiates the best version both sides have.
enum class TNetSSLVersion { sslvSSLv2, sslvSSLv23, sslvSSLv3, sslvTLSv1 };
enum class TNetSSLMode { sslmUnassigned, sslmClient, sslmServer, sslmBoth };
enum class TNetSSLVerifyMode { sslvrfPeer, sslvrfFailIfNoPeerCert, sslvrfClientOnce };
using TNetSSLVerifyModeSet = std::set<TNetSSLVerifyMode>;

class TNetSSLOptions {
 public:
  std::string RootCertFile;
  std::string CertFile;
  std::string KeyFile;
  TNetSSLVersion Method = TNetSSLVersion::sslvSSLv2;
  TNetSSLMode Mode = TNetSSLMode::sslmUnassigned;
  int VerifyDepth = 0;
  // Which client certificates a server asks for. A client always verifies
  // the server, whatever is set here.
  TNetSSLVerifyModeSet VerifyMode;
};

// Loads OpenSSL if it is not loaded yet and answers whether it is there: the
// application offers https only when it is.
[[nodiscard]] bool OpenSSLAvailable();

// OpenSSL's flag value of a verify-mode set.
[[nodiscard]] int VerifyModeFlags(const TNetSSLVerifyModeSet& modes);

// Asks for the password of an encrypted key file while the context loads it.
using TNetPasswordQuery = std::function<void(std::string& Password)>;

class TNetSSLContext {
 public:
  // Loads OpenSSL on first use (ENetOSSLCouldNotLoadSSLLibrary without it).
  TNetSSLContext(const TNetSSLOptions& options, TNetSSLMode mode, TNetPasswordQuery password = {});

  [[nodiscard]] ssl_ctx_st* Handle() const;
  [[nodiscard]] TNetSSLMode Mode() const { return mode_; }
  [[nodiscard]] int VerifyFlags() const { return verifyFlags_; }

  class Shared;

 private:
  TNetSSLMode mode_;
  int verifyFlags_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace lark
