#include <gtest/gtest.h>

#include <string>

#include "net/http_client.h"
#include "net/net_exception.h"
#include "net/openssl_binding.h"
#include "net/openssl_intercept.h"
#include "net/openssl_x509.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "tests/net_tls/tls_test_support.h"

namespace lark {
namespace {

using test::Certificates;

// A GET over https through a fresh client and intercept; answers the body.
std::string HttpsGet(const std::string& url, TNetConnectionInterceptOpenSSL& tls) {
  TNetHTTP http;
  http.SetIntercept(&tls);
  TMemoryStream body;
  http.Get(url, &body);
  http.Disconnect();
  return std::string(body.Bytes());
}

// The message of the failure of a GET that must fail.
std::string HttpsFailure(const std::string& url, TNetConnectionInterceptOpenSSL& tls) {
  try {
    HttpsGet(url, tls);
  } catch (const ENetOpenSSLError& e) {
    return e.Message;
  }
  return "(no failure)";
}

class SServer : public testing::Test {
 protected:
  std::string Url(const test::SServerPeer& peer, const std::string& host) {
    return "https://" + host + ":" + std::to_string(peer.Port()) + "/";
  }
  TNetConnectionInterceptOpenSSL tls_;

  void SetUp() override { tls_.SSLOptions.RootCertFile = Certificates().caFile; }
};

TEST_F(SServer, GoodCertificateByHostNameAndByIPAddress) {
  test::SServerPeer peer(Certificates().goodCert, Certificates().goodKey);
  ASSERT_TRUE(peer.Started()) << peer.Error();
  std::vector<std::string> subjects;
  tls_.OnVerifyPeer = [&](TNetX509& certificate) {
    subjects.push_back(certificate.Subject());
    EXPECT_EQ(certificate.VerifyError(), 0);
    EXPECT_LT(certificate.NotBefore(), certificate.NotAfter());
    EXPECT_EQ(certificate.FingerprintAsString().size(), 47u);
    return true;
  };
  EXPECT_NE(HttpsGet(Url(peer, "localhost"), tls_).find("s_server"), std::string::npos);
  EXPECT_NE(HttpsGet(Url(peer, "127.0.0.1"), tls_).find("s_server"), std::string::npos);
  // The chain is shown root first, then the server's own certificate.
  ASSERT_EQ(subjects.size(), 4u);
  EXPECT_EQ(subjects[0], "/CN=Larkspan Test CA");
  EXPECT_EQ(subjects[1], "/CN=localhost");
}

TEST_F(SServer, EachWrongCertificateFailsWithItsReason) {
  const auto& c = Certificates();
  struct Case {
    std::string cert, key, host, reason;
  } cases[] = {
      {c.expiredCert, c.expiredKey, "localhost", "certificate has expired"},
      {c.wrongHostCert, c.wrongHostKey, "localhost", "hostname mismatch"},
      {c.wrongHostCert, c.wrongHostKey, "127.0.0.1", "IP address mismatch"},
      {c.selfSignedCert, c.selfSignedKey, "localhost", "self-signed certificate"},
  };
  for (const Case& one : cases) {
    test::SServerPeer peer(one.cert, one.key);
    ASSERT_TRUE(peer.Started()) << peer.Error();
    std::string message = HttpsFailure(Url(peer, one.host), tls_);
    EXPECT_EQ(message.rfind("Error connecting with SSL.", 0), 0u) << message;
    EXPECT_NE(LowerCase(message).find(LowerCase(one.reason)), std::string::npos) << message;
  }
}

// The server shows its right certificate only to a client that names it
// (SNI); addresses are never sent as names.
TEST_F(SServer, TheHostNameGoesWithTheHandshake) {
  const auto& c = Certificates();
  test::SServerPeer peer(c.wrongHostCert, c.wrongHostKey,
                         {"-servername", "localhost", "-cert2", c.goodCert, "-key2", c.goodKey});
  ASSERT_TRUE(peer.Started()) << peer.Error();
  EXPECT_NE(HttpsGet(Url(peer, "localhost"), tls_).find("s_server"), std::string::npos);
  EXPECT_NE(HttpsFailure(Url(peer, "127.0.0.1"), tls_).find("IP address mismatch"), std::string::npos);
}

TEST_F(SServer, WithoutTheTestRootTheServerIsUnknown) {
  test::SServerPeer peer(Certificates().goodCert, Certificates().goodKey);
  ASSERT_TRUE(peer.Started()) << peer.Error();
  TNetConnectionInterceptOpenSSL plain;  // system CAs only
  EXPECT_NE(HttpsFailure(Url(peer, "localhost"), plain).find("unable to get local issuer certificate"),
            std::string::npos);
}

TEST_F(SServer, TheVerifyEventCanRefuseButNeverOverrule) {
  test::SServerPeer good(Certificates().goodCert, Certificates().goodKey);
  test::SServerPeer expired(Certificates().expiredCert, Certificates().expiredKey);
  ASSERT_TRUE(good.Started() && expired.Started());
  int calls = 0;
  tls_.OnVerifyPeer = [&](TNetX509&) {
    ++calls;
    return false;
  };
  const std::string refused = HttpsFailure(Url(good, "localhost"), tls_);
  EXPECT_NE(refused.find("application verification failure"), std::string::npos) << refused;
  EXPECT_GT(calls, 0);
  tls_.OnVerifyPeer = [](TNetX509&) { return true; };
  EXPECT_NE(HttpsFailure(Url(expired, "localhost"), tls_).find("certificate has expired"), std::string::npos);
}

TEST_F(SServer, StatusInfoReportsTheHandshake) {
  test::SServerPeer peer(Certificates().goodCert, Certificates().goodKey);
  ASSERT_TRUE(peer.Started()) << peer.Error();
  std::vector<std::string> status;
  tls_.OnStatusInfo = [&](const std::string& msg) { status.push_back(msg); };
  HttpsGet(Url(peer, "localhost"), tls_);
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.front().rfind("SSL status: \"", 0), 0u) << status.front();
}

TEST(TLSHandshake, AServerThatClosesAtOnceFailsTheConnect) {
  test::ScriptedPeer peer([](int) {});
  TNetConnectionInterceptOpenSSL tls;
  std::string message = HttpsFailure("https://127.0.0.1:" + std::to_string(peer.Port()) + "/", tls);
  EXPECT_EQ(message.rfind("Error connecting with SSL.", 0), 0u) << message;
}

TEST(TLSHandshake, APlainHTTPServerIsNoTLSPeer) {
  test::ScriptedPeer peer([](int fd) {
    test::ScriptedPeer::ReadExactly(fd, 5);
    test::ScriptedPeer::SendAll(fd, "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
  });
  TNetConnectionInterceptOpenSSL tls;
  std::string message = HttpsFailure("https://127.0.0.1:" + std::to_string(peer.Port()) + "/", tls);
  EXPECT_NE(message.find("wrong version number"), std::string::npos) << message;
}

}  // namespace
}  // namespace lark
