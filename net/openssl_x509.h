#pragma once

// One certificate of the chain being verified, valid for the duration of the
// verify event only (OpenSSL owns it).

#include <string>

#include "platform/core/date_time.h"

struct x509_st;

namespace lark {

class TNetX509 {
 public:
  TNetX509(x509_st* certificate, int depth, int error) : certificate_(certificate), depth_(depth), error_(error) {}

  // "/C=../O=../CN=.." as OpenSSL writes names.
  [[nodiscard]] std::string Subject() const;
  [[nodiscard]] std::string Issuer() const;
  // Validity in UTC; 0 when OpenSSL cannot read the time.
  [[nodiscard]] TDateTime NotBefore() const;
  [[nodiscard]] TDateTime NotAfter() const;
  // MD5 of the certificate as "AB:CD:...".
  [[nodiscard]] std::string FingerprintAsString() const;
  // Place in the chain: 0 is the server's own certificate.
  [[nodiscard]] int Depth() const { return depth_; }
  // OpenSSL's verdict on it so far (0: passed) and its text.
  [[nodiscard]] int VerifyError() const { return error_; }
  [[nodiscard]] std::string VerifyErrorText() const;

 private:
  x509_st* certificate_;
  int depth_;
  int error_;
};

}  // namespace lark
