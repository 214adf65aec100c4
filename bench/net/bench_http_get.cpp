// Timing side of the HTTP benchmark (run_http_bench.sh starts nginx and curl).
// Bodies go to /dev/null, as curl's do.
//   bench_http_get download URL BYTES   one GET; prints seconds and bytes, and
//                                       fails unless BYTES arrived
//   bench_http_get many URL N           N sequential GETs, each on a new
//                                       connection; prints each one's seconds
//   bench_http_get memory URL           one GET into a memory stream, as the
//                                       browser keeps a page; prints bytes and
//                                       seconds (run it under /usr/bin/time -v
//                                       for the peak)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/common/null_sink.h"
#include "net/http_client.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

int Download(const std::string& url, long long expected) {
  lark::TNetHTTP http;
  http.SetRecvBufferSize(256 * 1024);
  lark::bench::TNullSink sink(http);
  auto start = Clock::now();
  http.Get(url, &sink.Stream());
  std::printf("%.6f %lld\n", Seconds(Clock::now() - start), static_cast<long long>(sink.Bytes()));
  if (sink.Bytes() == expected) return 0;
  std::fprintf(stderr, "fetched %lld bytes of %lld\n", static_cast<long long>(sink.Bytes()), expected);
  return 1;
}

int IntoMemory(const std::string& url) {
  lark::TNetHTTP http;
  lark::TMemoryStream body;
  auto start = Clock::now();
  http.Get(url, &body);
  std::printf("%lld %.6f\n", static_cast<long long>(body.Size()), Seconds(Clock::now() - start));
  return 0;
}

int Many(const std::string& url, int count) {
  for (int i = 0; i < count; ++i) {
    auto start = Clock::now();
    lark::TNetHTTP http;
    lark::bench::TNullSink sink(http);
    http.Get(url, &sink.Stream());
    http.Disconnect();
    std::printf("%.6f\n", Seconds(Clock::now() - start));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "download" && argc == 4) return Download(argv[2], std::atoll(argv[3]));
  if (mode == "memory" && argc == 3) return IntoMemory(argv[2]);
  if (mode == "many" && argc == 4) return Many(argv[2], std::atoi(argv[3]));
  std::fprintf(stderr, "usage: bench_http_get download URL BYTES | memory URL | many URL COUNT\n");
  return 2;
}
