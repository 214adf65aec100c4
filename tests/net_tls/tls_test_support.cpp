#include "tests/net_tls/tls_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lark::test {
namespace {

// Runs a shell command in dir; false when it fails.
bool Run(const std::string& dir, const std::string& command) {
  std::string line = "cd '" + dir + "' && (" + command + ") >>openssl.log 2>&1";
  return std::system(line.c_str()) == 0;
}

// An EC key and a request for subject CN, written as name.key and name.csr.
std::string NewRequest(const std::string& name, const std::string& cn) {
  return "openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " + name +
         ".key -out " + name + ".csr -subj /CN=" + cn;
}

TestCertificates MakeCertificates() {
  static TempDir dir;
  const std::string& d = dir.Path();
  chmod(d.c_str(), 0755);  // nginx workers run as nobody
  std::ofstream(d + "/good.ext") << "subjectAltName=DNS:localhost,IP:127.0.0.1\n";
  std::ofstream(d + "/wrong.ext") << "subjectAltName=DNS:wrong.example\n";
  std::ofstream(d + "/ca.cnf") << "[ca]\ndefault_ca=lark\n[lark]\ndatabase=index.txt\nnew_certs_dir=.\n"
                                  "serial=serial\ndefault_md=sha256\npolicy=any\n[any]\ncommonName=supplied\n";
  std::ofstream(d + "/index.txt");
  std::ofstream(d + "/serial") << "1000\n";
  const std::string sign = "openssl x509 -req -days 30 -CA ca.pem -CAkey ca.key -CAcreateserial -in ";
  bool ok = Run(d, "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30 "
                   "-keyout ca.key -out ca.pem -subj '/CN=Larkspan Test CA'") &&
            Run(d, NewRequest("good", "localhost")) && Run(d, sign + "good.csr -out good.pem -extfile good.ext") &&
            Run(d, NewRequest("wrong", "wrong.example")) &&
            Run(d, sign + "wrong.csr -out wrong.pem -extfile wrong.ext") &&
            Run(d, NewRequest("expired", "localhost")) &&
            Run(d, "openssl ca -batch -notext -config ca.cnf -cert ca.pem -keyfile ca.key -in expired.csr "
                   "-out expired.pem -startdate 20200101000000Z -enddate 20200102000000Z -extfile good.ext") &&
            Run(d, "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30 "
                   "-keyout self.key -out self.pem -subj /CN=localhost "
                   "-addext subjectAltName=DNS:localhost,IP:127.0.0.1");
  if (!ok) ADD_FAILURE() << "openssl could not make the test certificates (see " << d << "/openssl.log)";
  for (const char* name : {"ca.pem", "good.key", "wrong.key", "expired.key", "self.key"}) {
    chmod((d + "/" + name).c_str(), 0644);
  }
  return {d + "/ca.pem",      d + "/good.pem",  d + "/good.key",  d + "/expired.pem", d + "/expired.key",
          d + "/wrong.pem",   d + "/wrong.key", d + "/self.pem",  d + "/self.key"};
}

}  // namespace

const TestCertificates& Certificates() {
  static const TestCertificates certificates = MakeCertificates();
  return certificates;
}


SServerPeer::SServerPeer(const std::string& cert, const std::string& key, const std::vector<std::string>& extra)
    : port_(FreePort()) {
  std::vector<std::string> command{"openssl", "s_server", "-accept", "127.0.0.1:" + std::to_string(port_), "-www",
                                   "-cert",   cert,       "-key",    key,  "-naccept", "100"};
  command.insert(command.end(), extra.begin(), extra.end());
  process_ = std::make_unique<PeerProcess>(command, "openssl", port_, dir_.Path());
}

TlsScriptedPeer::TlsScriptedPeer(const std::string& cert, const std::string& key, Script script, int connections) {
  AcquireSocketStack();
  server.SSLOptions.CertFile = cert;
  server.SSLOptions.KeyFile = key;
  listener_.Allocate();
  listener_.IP = "127.0.0.1";
  listener_.Bind();
  listener_.Listen(connections);
  std::string ip;
  GSocketStack->SocketName(listener_.Handle(), ip, port_);
  thread_ = std::thread([this, script, connections] {
    for (int i = 0; i < connections; ++i) {
      TNetSocketHandle connection;
      try {
        connection.Accept(listener_.Handle());
        auto tls = server.Accept(&connection, 10000);
        script(*tls);
        tls->Disconnect();
      } catch (const std::exception&) {
        // A client that gives up (a refused certificate) ends its connection.
      }
    }
  });
}

TlsScriptedPeer::~TlsScriptedPeer() {
  GSocketStack->Shutdown(listener_.Handle(), winsock::SdBoth);
  thread_.join();
  listener_.CloseSocket();
  ReleaseSocketStack();
}

void TlsScriptedPeer::SendAll(TNetConnectionInterceptOpenSSL& tls, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    int sent = tls.Send(bytes.data() + done, static_cast<int>(bytes.size() - done));
    if (sent <= 0) return;
    done += static_cast<size_t>(sent);
  }
}

std::string TlsScriptedPeer::ReadHead(TNetConnectionInterceptOpenSSL& tls) {
  std::string head;
  char c;
  while (head.find("\r\n\r\n") == std::string::npos && tls.Receive(&c, 1) == 1) head += c;
  return head;
}

}  // namespace lark::test
