#include <gtest/gtest.h>

#include <cstdlib>

#include "net/http_client.h"
#include "net/net_exception.h"
#include "net/openssl_binding.h"
#include "net/openssl_context.h"
#include "net/openssl_intercept.h"
#include "platform/core/stream.h"
#include "tests/net_tls/tls_test_support.h"

namespace lark {
namespace {

// Points the loader at a library that does not exist for one test.
class WithoutOpenSSL : public testing::Test {
 protected:
  void SetUp() override { openssl::SetOpenSSLLibraryNames("libssl-missing.so.3", "libcrypto-missing.so.3"); }
  void TearDown() override { openssl::SetOpenSSLLibraryNames("libssl.so.3", "libcrypto.so.3"); }
};

TEST_F(WithoutOpenSSL, ContextsAndHttpsRequestsFailWithTheLoadMessage) {
  EXPECT_FALSE(OpenSSLAvailable());
  EXPECT_THROW(TNetSSLContext(TNetSSLOptions{}, TNetSSLMode::sslmClient), ENetOSSLCouldNotLoadSSLLibrary);
  test::ScriptedPeer peer([](int) {});
  TNetHTTP http;
  TNetConnectionInterceptOpenSSL tls;
  http.SetIntercept(&tls);
  TMemoryStream body;
  try {
    http.Get("https://127.0.0.1:" + std::to_string(peer.Port()) + "/", &body);
    FAIL();
  } catch (const ENetOSSLCouldNotLoadSSLLibrary& e) {
    EXPECT_EQ(e.Message, "Could not load SSL library.");
  }
  http.SetIntercept(nullptr);
}

TEST(OpenSSLContext, LoadsAndChecksItsFiles) {
  EXPECT_TRUE(OpenSSLAvailable());
  const auto& c = test::Certificates();
  TNetSSLOptions options;
  options.CertFile = c.goodCert;
  options.KeyFile = c.goodKey;
  TNetSSLContext server(options, TNetSSLMode::sslmServer);
  // The same settings share one OpenSSL context.
  EXPECT_EQ(TNetSSLContext(options, TNetSSLMode::sslmServer).Handle(), server.Handle());
  EXPECT_NE(TNetSSLContext(options, TNetSSLMode::sslmClient).Handle(), server.Handle());

  TNetSSLOptions wrongKey = options;
  wrongKey.KeyFile = c.wrongHostKey;
  EXPECT_THROW(TNetSSLContext(wrongKey, TNetSSLMode::sslmServer), ENetOSSLLoadingKeyError);
  TNetSSLOptions missing;
  missing.RootCertFile = "/nonexistent/ca.pem";
  EXPECT_THROW(TNetSSLContext(missing, TNetSSLMode::sslmClient), ENetOSSLLoadingRootCertError);
  missing = options;
  missing.CertFile = c.goodKey;  // a key is no certificate
  EXPECT_THROW(TNetSSLContext(missing, TNetSSLMode::sslmServer), ENetOSSLLoadingCertError);
  EXPECT_THROW(TNetSSLContext(options, TNetSSLMode::sslmUnassigned), ENetOSSLModeNotSet);
}

TEST(OpenSSLContext, EveryMethodMeansTLS12OrLater) {
  test::TlsScriptedPeer peer(test::Certificates().goodCert, test::Certificates().goodKey,
                             [](TNetConnectionInterceptOpenSSL& tls) {
                               test::TlsScriptedPeer::ReadHead(tls);
                               test::TlsScriptedPeer::SendAll(tls, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
                               char c;
                               tls.Receive(&c, 1);  // until the client goes
                             },
                             4);
  for (TNetSSLVersion method : {TNetSSLVersion::sslvSSLv2, TNetSSLVersion::sslvSSLv23, TNetSSLVersion::sslvSSLv3,
                                TNetSSLVersion::sslvTLSv1}) {
    TNetHTTP http;
    TNetConnectionInterceptOpenSSL tls;
    tls.SSLOptions.RootCertFile = test::Certificates().caFile;
    tls.SSLOptions.Method = method;
    http.SetIntercept(&tls);
    TMemoryStream body;
    http.Get("https://localhost:" + std::to_string(peer.Port()) + "/", &body);
    std::string version = tls.Version();
    EXPECT_TRUE(version == "TLSv1.2" || version == "TLSv1.3") << version;
    http.Disconnect();
    http.SetIntercept(nullptr);
  }
}

TEST(OpenSSLContext, AnEncryptedKeyAsksForItsPasswordWhileLoading) {
  test::TempDir dir;
  const std::string key = dir.Path() + "/locked.key";
  std::string command = "openssl pkey -in '" + test::Certificates().goodKey + "' -aes256 -passout pass:s3cret -out '" +
                        key + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  TNetServerInterceptOpenSSL server;
  server.SSLOptions.CertFile = test::Certificates().goodCert;
  server.SSLOptions.KeyFile = key;
  int asked = 0;
  server.OnGetPassword = [&](std::string& password) {
    ++asked;
    password = "wrong";
  };
  TNetSocketHandle unused;
  EXPECT_THROW((void)server.Accept(&unused), ENetOSSLLoadingKeyError);
  EXPECT_GT(asked, 0);
  TNetSSLOptions options = server.SSLOptions;
  TNetSSLContext context(options, TNetSSLMode::sslmServer, [](std::string& password) { password = "s3cret"; });
  EXPECT_NE(context.Handle(), nullptr);
}

// A server that asks for client certificates: the client's own certificate
// and key files go with its handshake.
TEST(OpenSSLContext, AServerCanRequireAClientCertificate) {
  const auto& c = test::Certificates();
  test::TlsScriptedPeer peer(c.goodCert, c.goodKey,
                             [](TNetConnectionInterceptOpenSSL& tls) {
                               test::TlsScriptedPeer::ReadHead(tls);
                               test::TlsScriptedPeer::SendAll(tls, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
                               char ch;
                               tls.Receive(&ch, 1);  // until the client goes
                             },
                             2);
  // Options are read when the server makes its context, at the first accept.
  peer.server.SSLOptions.RootCertFile = c.caFile;
  peer.server.SSLOptions.VerifyMode = {TNetSSLVerifyMode::sslvrfPeer, TNetSSLVerifyMode::sslvrfFailIfNoPeerCert};
  const std::string url = "https://localhost:" + std::to_string(peer.Port()) + "/";
  auto get = [&](bool withCertificate) {
    TNetHTTP http;
    TNetConnectionInterceptOpenSSL tls;
    tls.SSLOptions.RootCertFile = c.caFile;
    if (withCertificate) {
      tls.SSLOptions.CertFile = c.goodCert;
      tls.SSLOptions.KeyFile = c.goodKey;
    }
    http.SetIntercept(&tls);
    TMemoryStream body;
    try {
      http.Get(url, &body);
    } catch (const ENetException&) {
    }
    http.Disconnect();
    http.SetIntercept(nullptr);
    return std::string(body.Bytes());
  };
  EXPECT_EQ(get(false), "");
  EXPECT_EQ(get(true), "ok");
}

}  // namespace
}  // namespace lark
