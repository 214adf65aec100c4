#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/bounded_stream.h"
#include "net/http_client.h"
#include "net/openssl_intercept.h"
#include "platform/core/stream.h"
#include "platform/core/thread.h"

namespace lark {

// One HTTP GET on a worker thread of its own, with its own client, TLS
// intercept (always there, so that an http address redirected to https
// still loads) and memory stream. Created suspended; frees itself when it
// ends, after OnTerminate has run on the GUI thread (or has been dropped,
// when its Target is gone).
//
// Every running fetch is known to a process-wide list, so that the program
// can stop them all before it exits instead of leaving threads that outlive
// the objects they use.
class THTTPAsync : public TThread {
 public:
  THTTPAsync();
  ~THTTPAsync() override;

  // Asks the fetch to end now: the terminate flag is set and the client is
  // disconnected at the socket, so that a wait on a silent server ends too.
  // Safe from any thread while the fetch is running.
  void Stop();
  // Whether the GET raised, was cut short or was stopped.
  [[nodiscard]] bool Failed() const { return failed_; }

  // Stops every running fetch and waits until all have ended or timeoutMs
  // passed, running their synchronized calls when on the GUI thread.
  // Answers whether all ended. Runs by itself when the program exits.
  static bool StopAll(int timeoutMs);
  [[nodiscard]] static int Running();

 private:
  // Declared first, so that it goes last: the exit waits until the client
  // and its socket are gone too.
  struct Registration {
    explicit Registration(THTTPAsync* fetch);
    ~Registration();
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
  };
  Registration registration_;

 public:
  std::string URL;
  std::int64_t MemoryLimit = kMaxFetchedImageBytes;
  TNetHTTP Client;
  TMemoryStream Stream;

 protected:
  void Execute() override;

 private:
  TNetConnectionInterceptOpenSSL tls_;
  bool failed_ = false;
};

// How long the program's exit waits for running fetches.
constexpr int kExitFetchWaitMs = 5000;

}  // namespace lark
