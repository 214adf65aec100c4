// The whole answer of a server (status line, headers, body) comes from the
// fuzzer; the first byte chooses GET or HEAD.

#include "tests/net/fuzz_http_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static lark::fuzz::AnsweringServer server;
  if (size == 0) return 0;
  auto method = (data[0] & 1) != 0 ? lark::TNetHTTPMethod::hmHead : lark::TNetHTTPMethod::hmGet;
  server.Fetch(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), method);
  return 0;
}
