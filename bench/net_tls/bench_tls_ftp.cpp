// Timing side of the TLS and FTP benchmark (run_tls_ftp_bench.sh starts the
// servers and curl). Bodies go to /dev/null, as curl's do; a transfer that
// brings fewer than BYTES fails.
//   bench_tls_ftp https URL CAFILE BYTES     one GET, verifying the server with
//                                            CAFILE; prints seconds, bytes, cipher
//   bench_tls_ftp ftp HOST PORT FILE BYTES   one passive RETR; prints seconds, bytes
//   bench_tls_ftp accept-wait MS             waits MS for an active-mode data
//                                            connection that never comes; prints
//                                            CPU and wall seconds of the wait

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/common/null_sink.h"
#include "net/ftp_client.h"
#include "net/http_client.h"
#include "net/openssl_intercept.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Prints the transfer's seconds and bytes (and `extra`); 1 when it is short.
int Report(Clock::time_point start, const lark::bench::TNullSink& sink, long long expected, const std::string& extra) {
  std::printf("%.6f %lld %s\n", Seconds(Clock::now() - start), static_cast<long long>(sink.Bytes()), extra.c_str());
  if (sink.Bytes() == expected) return 0;
  std::fprintf(stderr, "fetched %lld bytes of %lld\n", static_cast<long long>(sink.Bytes()), expected);
  return 1;
}

int Https(const std::string& url, const std::string& caFile, long long expected) {
  lark::TNetHTTP http;
  lark::TNetConnectionInterceptOpenSSL tls;
  tls.SSLOptions.RootCertFile = caFile;
  http.SetIntercept(&tls);
  http.SetRecvBufferSize(256 * 1024);
  lark::bench::TNullSink sink(http);
  auto start = Clock::now();
  http.Get(url, &sink.Stream());
  const int status = Report(start, sink, expected, tls.CipherName());
  http.Disconnect();
  http.SetIntercept(nullptr);
  return status;
}

int Ftp(const std::string& host, int port, const std::string& file, long long expected) {
  lark::TNetFTP ftp;
  ftp.Host = host;
  ftp.Port = port;
  ftp.User = "anonymous";
  ftp.Password = "bench@example.test";
  ftp.Passive = true;
  ftp.SetRecvBufferSize(256 * 1024);
  lark::bench::TNullSink sink(ftp);
  auto start = Clock::now();
  ftp.Connect();
  ftp.Get(file, sink.Stream());
  return Report(start, sink, expected, "");
}

int AcceptWait(int milliseconds) {
  lark::TNetSimpleServer listener;
  listener.BoundIP = "127.0.0.1";
  listener.AcceptTimeout = milliseconds;
  listener.BeginListen();
  double cpu = CpuSeconds();
  auto start = Clock::now();
  bool accepted = listener.Listen();
  std::printf("%.6f %.3f %s\n", CpuSeconds() - cpu, Seconds(Clock::now() - start), accepted ? "accepted" : "none");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "https" && argc == 5) return Https(argv[2], argv[3], std::atoll(argv[4]));
  if (mode == "ftp" && argc == 6) return Ftp(argv[2], std::atoi(argv[3]), argv[4], std::atoll(argv[5]));
  if (mode == "accept-wait" && argc == 3) return AcceptWait(std::atoi(argv[2]));
  std::fprintf(stderr, "usage: bench_tls_ftp https URL CAFILE BYTES | ftp HOST PORT FILE BYTES | accept-wait MS\n");
  return 2;
}
