#include "net/openssl_x509.h"

#include <ctime>

#include "net/openssl_binding.h"
#include "platform/core/date_time.h"

namespace lark {

using openssl::Api;

namespace {

std::string NameText(X509_NAME* name) {
  if (name == nullptr) return {};
  char text[512];
  return Api().X509_NAME_oneline(name, text, sizeof text) != nullptr ? std::string(text) : std::string();
}

TDateTime TimeValue(const ASN1_TIME* time) {
  std::tm parts{};
  if (time == nullptr || Api().ASN1_TIME_to_tm(time, &parts) != 1) return 0;
  return EncodeDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday) +
         EncodeTime(parts.tm_hour, parts.tm_min, parts.tm_sec, 0);
}

}  // namespace

std::string TNetX509::Subject() const { return NameText(Api().X509_get_subject_name(certificate_)); }

std::string TNetX509::Issuer() const { return NameText(Api().X509_get_issuer_name(certificate_)); }

TDateTime TNetX509::NotBefore() const { return TimeValue(Api().X509_get0_notBefore(certificate_)); }

TDateTime TNetX509::NotAfter() const { return TimeValue(Api().X509_get0_notAfter(certificate_)); }

std::string TNetX509::FingerprintAsString() const {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (Api().X509_digest(certificate_, Api().EVP_md5(), digest, &length) != 1) return {};
  static const char hex[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    if (i > 0) text += ':';
    text += hex[digest[i] >> 4];
    text += hex[digest[i] & 15];
  }
  return text;
}

std::string TNetX509::VerifyErrorText() const { return Api().X509_verify_cert_error_string(error_); }

}  // namespace lark
