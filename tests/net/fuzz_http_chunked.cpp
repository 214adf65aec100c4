// A chunked body whose chunk sizes, extensions, data and trailer come from
// the fuzzer.

#include "tests/net/fuzz_http_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static lark::fuzz::AnsweringServer server;
  server.Fetch("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                   std::string(reinterpret_cast<const char*>(data), size),
               lark::TNetHTTPMethod::hmGet);
  return 0;
}
