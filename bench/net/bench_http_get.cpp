// Timing side of the HTTP benchmark (run_http_bench.sh starts nginx and curl).
//   bench_http_get download URL   one GET into a stream that keeps nothing;
//                                 prints bytes and seconds
//   bench_http_get many URL N     N sequential GETs, each on a new connection;
//                                 prints each request's seconds, one a line
//   bench_http_get memory URL     one GET into a memory stream, as the browser
//                                 keeps a page; prints bytes and seconds (run
//                                 it under /usr/bin/time -v for the peak)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/http_client.h"
#include "platform/core/stream.h"

namespace {

using Clock = std::chrono::steady_clock;

// Counts what it is given; the benchmark measures transfer, not storage.
class CountingStream : public lark::TStream {
 public:
  std::int64_t Read(void*, std::int64_t) override { return 0; }
  std::int64_t Write(const void*, std::int64_t count) override {
    position_ += count;
    return count;
  }
  std::int64_t Seek(std::int64_t offset, lark::TSeekOrigin origin) override {
    if (origin == lark::TSeekOrigin::soBeginning) position_ = offset;
    return position_;
  }
  void SetSize(std::int64_t) override {}
  std::int64_t Size() override { return position_; }

 private:
  std::int64_t position_ = 0;
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

int Download(const std::string& url) {
  lark::TNetHTTP http;
  http.SetRecvBufferSize(256 * 1024);
  CountingStream sink;
  auto start = Clock::now();
  http.Get(url, &sink);
  std::printf("%lld %.6f\n", static_cast<long long>(sink.Size()), Seconds(Clock::now() - start));
  return 0;
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
    CountingStream sink;
    http.Get(url, &sink);
    http.Disconnect();
    std::printf("%.6f\n", Seconds(Clock::now() - start));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "download" && argc == 3) return Download(argv[2]);
  if (mode == "memory" && argc == 3) return IntoMemory(argv[2]);
  if (mode == "many" && argc == 4) return Many(argv[2], std::atoi(argv[3]));
  std::fprintf(stderr, "usage: bench_http_get download URL | memory URL | many URL COUNT\n");
  return 2;
}
