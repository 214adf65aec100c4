#pragma once

// The OpenSSL 3 entry points the TLS code calls, bound by name at run time
// from libssl.so.3 and libcrypto.so.3; the program never links OpenSSL, so a
// machine without it still runs (https then fails with "Could not load SSL
// library."). Only the openssl_*.cpp files include this header: the headers
// give the exact signatures, the pointers are filled by dlsym.

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <string>

namespace lark::openssl {

#define LARK_OPENSSL_SSL_ENTRIES(X)                                                                   \
  X(OPENSSL_init_ssl)                                                                                 \
  X(TLS_client_method) X(TLS_server_method) X(TLS_method) X(SSL_CTX_new) X(SSL_CTX_free) X(SSL_CTX_ctrl) \
  X(SSL_CTX_set_default_verify_paths) X(SSL_CTX_load_verify_locations) X(SSL_CTX_use_certificate_chain_file) \
  X(SSL_CTX_use_PrivateKey_file) X(SSL_CTX_check_private_key) X(SSL_CTX_set_default_passwd_cb)         \
  X(SSL_CTX_set_default_passwd_cb_userdata) X(SSL_new) X(SSL_free) X(SSL_set_bio) X(SSL_set_connect_state) \
  X(SSL_set_accept_state) X(SSL_do_handshake) X(SSL_read) X(SSL_write) X(SSL_pending) X(SSL_get_error)  \
  X(SSL_shutdown) X(SSL_set_shutdown) X(SSL_set1_host) X(SSL_ctrl) X(SSL_get0_param) X(SSL_set_verify)  \
  X(SSL_set_info_callback) X(SSL_state_string_long) X(SSL_get_verify_result) X(SSL_set_ex_data)         \
  X(SSL_get_ex_data) X(SSL_get_ex_data_X509_STORE_CTX_idx) X(SSL_get1_peer_certificate) X(SSL_get_version) \
  X(SSL_get_current_cipher) X(SSL_CIPHER_get_name)

#define LARK_OPENSSL_CRYPTO_ENTRIES(X)                                                                 \
  X(BIO_new) X(BIO_free) X(BIO_s_mem) X(BIO_read) X(BIO_write) X(BIO_ctrl) X(BIO_ctrl_pending) X(ERR_get_error)   \
  X(ERR_clear_error) X(ERR_error_string_n) X(X509_verify_cert_error_string) X(X509_STORE_CTX_get_error) \
  X(X509_STORE_CTX_set_error) X(X509_STORE_CTX_get_error_depth) X(X509_STORE_CTX_get_current_cert)   \
  X(X509_STORE_CTX_get_ex_data) X(X509_NAME_oneline) X(X509_get_subject_name) X(X509_get_issuer_name) \
  X(X509_digest) X(EVP_md5) X(X509_get0_notBefore) X(X509_get0_notAfter) X(ASN1_TIME_to_tm) X(X509_free) \
  X(X509_VERIFY_PARAM_set1_ip_asc)

struct TOpenSSLApi {
#define LARK_OPENSSL_SLOT(name) decltype(&::name) name = nullptr;
  LARK_OPENSSL_SSL_ENTRIES(LARK_OPENSSL_SLOT)
  LARK_OPENSSL_CRYPTO_ENTRIES(LARK_OPENSSL_SLOT)
#undef LARK_OPENSSL_SLOT
};

// Loads both libraries and binds every entry point, once per process
// (thread-safe). False when a library or a name is missing; then nothing is
// bound and a later call tries again.
[[nodiscard]] bool LoadOpenSSL();
// The bound entry points; only after LoadOpenSSL answered true.
[[nodiscard]] const TOpenSSLApi& Api();

// Points the loader at other library files (the tests use a missing name to
// exercise the path without OpenSSL). Forgets the current binding, so it may
// be called only while no TLS connection exists.
void SetOpenSSLLibraryNames(const std::string& sslLibrary, const std::string& cryptoLibrary);
// Counts bindings made; shared contexts made under an older binding are stale.
[[nodiscard]] int BindingGeneration();

// OpenSSL's reason for the last failure on this thread, "" when it queued none.
[[nodiscard]] std::string LastErrorReason();

}  // namespace lark::openssl
