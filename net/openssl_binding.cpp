#include "net/openssl_binding.h"

#include <dlfcn.h>

#include <mutex>

namespace lark::openssl {
namespace {

struct Binding {
  std::mutex mutex;
  std::string sslName = "libssl.so.3";
  std::string cryptoName = "libcrypto.so.3";
  bool loaded = false;
  int generation = 0;
  TOpenSSLApi api;
};

Binding& TheBinding() {
  static Binding binding;
  return binding;
}

template <typename T>
bool BindEntry(void* library, const char* name, T& slot) {
  slot = reinterpret_cast<T>(dlsym(library, name));
  return slot != nullptr;
}

bool BindAll(void* ssl, void* crypto, TOpenSSLApi& api) {
  bool ok = true;
#define LARK_BIND_SSL(name) ok = BindEntry(ssl, #name, api.name) && ok;
#define LARK_BIND_CRYPTO(name) ok = BindEntry(crypto, #name, api.name) && ok;
  LARK_OPENSSL_SSL_ENTRIES(LARK_BIND_SSL)
  LARK_OPENSSL_CRYPTO_ENTRIES(LARK_BIND_CRYPTO)
#undef LARK_BIND_SSL
#undef LARK_BIND_CRYPTO
  return ok;
}

}  // namespace

bool LoadOpenSSL() {
  Binding& b = TheBinding();
  std::lock_guard lock(b.mutex);
  if (b.loaded) return true;
  // The libraries stay loaded for the life of the process: contexts and
  // callbacks may point into them until the very end.
  void* crypto = dlopen(b.cryptoName.c_str(), RTLD_NOW | RTLD_LOCAL);
  void* ssl = crypto != nullptr ? dlopen(b.sslName.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
  if (ssl == nullptr) return false;
  TOpenSSLApi api;
  if (!BindAll(ssl, crypto, api)) return false;
  if (api.OPENSSL_init_ssl(0, nullptr) != 1) return false;
  b.api = api;
  b.loaded = true;
  ++b.generation;
  return true;
}

const TOpenSSLApi& Api() { return TheBinding().api; }

void SetOpenSSLLibraryNames(const std::string& sslLibrary, const std::string& cryptoLibrary) {
  Binding& b = TheBinding();
  std::lock_guard lock(b.mutex);
  b.sslName = sslLibrary;
  b.cryptoName = cryptoLibrary;
  b.loaded = false;
  b.api = TOpenSSLApi{};
}

int BindingGeneration() {
  Binding& b = TheBinding();
  std::lock_guard lock(b.mutex);
  return b.generation;
}

std::string LastErrorReason() {
  const TOpenSSLApi& api = Api();
  unsigned long code = 0;
  unsigned long last = 0;
  // The first error queued is the cause; later ones are its consequences.
  while ((code = api.ERR_get_error()) != 0) {
    if (last == 0) last = code;
  }
  if (last == 0) return {};
  char text[256];
  api.ERR_error_string_n(last, text, sizeof text);
  // "error:0A000086:SSL routines::certificate verify failed": keep the reason.
  std::string reason = text;
  size_t colon = reason.rfind(':');
  return colon == std::string::npos ? reason : reason.substr(colon + 1);
}

}  // namespace lark::openssl
