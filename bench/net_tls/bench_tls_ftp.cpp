// Timing side of the TLS and FTP benchmark (run_tls_ftp_bench.sh starts the
// servers and curl). Bodies go to /dev/null, as curl's do.
//   bench_tls_ftp https URL CAFILE      one GET; prints bytes, seconds, cipher
//   bench_tls_ftp ftp HOST PORT FILE    one passive RETR; prints bytes, seconds
//   bench_tls_ftp accept-wait MS        waits MS for an active-mode data
//                                       connection that never comes; prints
//                                       wall and CPU seconds of the wait

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/ftp_client.h"
#include "net/http_client.h"
#include "net/openssl_intercept.h"
#include "platform/core/file_stream.h"

namespace {

using Clock = std::chrono::steady_clock;

// /dev/null keeps no position: the bytes are counted through the work event.
void CountBytes(lark::TNetComponent& component, std::int64_t& bytes) {
  component.OnWork = [&bytes](lark::TObject*, lark::TWorkMode mode, std::int64_t count) {
    if (mode == lark::TWorkMode::wmRead) bytes = count;
  };
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int Https(const std::string& url, const std::string& caFile) {
  lark::TNetHTTP http;
  lark::TNetConnectionInterceptOpenSSL tls;
  tls.SSLOptions.RootCertFile = caFile;
  http.SetIntercept(&tls);
  http.SetRecvBufferSize(256 * 1024);
  lark::TFileStream sink("/dev/null", lark::fmCreate);
  std::int64_t bytes = 0;
  CountBytes(http, bytes);
  auto start = Clock::now();
  http.Get(url, &sink);
  std::printf("%lld %.6f %s\n", static_cast<long long>(bytes), Seconds(Clock::now() - start),
              tls.CipherName().c_str());
  http.Disconnect();
  http.SetIntercept(nullptr);
  return 0;
}

int Ftp(const std::string& host, int port, const std::string& file) {
  lark::TNetFTP ftp;
  ftp.Host = host;
  ftp.Port = port;
  ftp.User = "anonymous";
  ftp.Password = "bench@example.test";
  ftp.Passive = true;
  ftp.SetRecvBufferSize(256 * 1024);
  lark::TFileStream sink("/dev/null", lark::fmCreate);
  std::int64_t bytes = 0;
  CountBytes(ftp, bytes);
  auto start = Clock::now();
  ftp.Connect();
  ftp.Get(file, sink);
  std::printf("%lld %.6f\n", static_cast<long long>(bytes), Seconds(Clock::now() - start));
  return 0;
}

int AcceptWait(int milliseconds) {
  lark::TNetSimpleServer listener;
  listener.BoundIP = "127.0.0.1";
  listener.AcceptTimeout = milliseconds;
  listener.BeginListen();
  double cpu = CpuSeconds();
  auto start = Clock::now();
  bool accepted = listener.Listen();
  std::printf("%s %.3f %.6f\n", accepted ? "accepted" : "none", Seconds(Clock::now() - start), CpuSeconds() - cpu);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "https" && argc == 4) return Https(argv[2], argv[3]);
  if (mode == "ftp" && argc == 5) return Ftp(argv[2], std::atoi(argv[3]), argv[4]);
  if (mode == "accept-wait" && argc == 3) return AcceptWait(std::atoi(argv[2]));
  std::fprintf(stderr, "usage: bench_tls_ftp https URL CAFILE | ftp HOST PORT FILE | accept-wait MS\n");
  return 2;
}
