#pragma once

// TLS peers for the tests: certificates made with the openssl tool at test
// time, openssl s_server and nginx with ssl as child processes, and a
// scripted TLS server of our own (the server-side intercept) for odd cases.

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/openssl_intercept.h"
#include "net/socket_stack.h"
#include "tests/net/net_test_support.h"
#include "tests/net/nginx_peer.h"

namespace lark::test {

// A test CA and leaf certificates signed by it, each with its key file.
struct TestCertificates {
  std::string caFile;
  // For "localhost" and 127.0.0.1.
  std::string goodCert, goodKey;
  // Valid on 1 and 2 January 2020 only.
  std::string expiredCert, expiredKey;
  // For "wrong.example" only.
  std::string wrongHostCert, wrongHostKey;
  // For "localhost" and 127.0.0.1, but signed by itself.
  std::string selfSignedCert, selfSignedKey;
};

// Made once per test process; fails the calling test when openssl is missing.
const TestCertificates& Certificates();

class SServerPeer {
 public:
  // extra: more s_server options (a second certificate for SNI, say).
  SServerPeer(const std::string& cert, const std::string& key, const std::vector<std::string>& extra = {});
  [[nodiscard]] bool Started() const { return process_->Started(); }
  [[nodiscard]] const std::string& Error() const { return process_->Error(); }
  [[nodiscard]] int Port() const { return port_; }

 private:
  TempDir dir_;
  int port_;
  std::unique_ptr<PeerProcess> process_;
};

// A TLS server of our own on an ephemeral loopback port: accepts the given
// number of connections, runs the handshake through TNetServerInterceptOpenSSL
// and hands the script the connection's intercept.
class TlsScriptedPeer {
 public:
  using Script = std::function<void(TNetConnectionInterceptOpenSSL& tls)>;
  TlsScriptedPeer(const std::string& cert, const std::string& key, Script script, int connections = 1);
  ~TlsScriptedPeer();
  [[nodiscard]] int Port() const { return port_; }

  static void SendAll(TNetConnectionInterceptOpenSSL& tls, const std::string& bytes);
  static std::string ReadHead(TNetConnectionInterceptOpenSSL& tls);

  TNetServerInterceptOpenSSL server;

 private:
  TNetSocketHandle listener_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace lark::test
