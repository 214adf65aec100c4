#pragma once

#include "tests/support/loopback_port.h"

// Loopback peers for the network tests: a scripted peer inside the test
// process, and real servers started as child processes and stopped by pid.

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_files.h"

namespace lark::test {

// Deadline tests stretch their times by this factor under the sanitizers,
// which slow every step of a transfer several times over (ThreadSanitizer
// most); the order of events they check (an abort before a time-out) stays
// the same.
#if defined(__SANITIZE_THREAD__)
constexpr int kTimeScale = 6;
#elif defined(__SANITIZE_ADDRESS__)
constexpr int kTimeScale = 3;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr int kTimeScale = 6;
#elif __has_feature(address_sanitizer)
constexpr int kTimeScale = 3;
#else
constexpr int kTimeScale = 1;
#endif
#else
constexpr int kTimeScale = 1;
#endif


// Accepts connections on an ephemeral loopback port and runs the script for
// each on a thread of its own; the script gets the connected descriptor.
class ScriptedPeer {
 public:
  explicit ScriptedPeer(std::function<void(int fd)> script, int connections = 1);
  ~ScriptedPeer();
  ScriptedPeer(const ScriptedPeer&) = delete;
  ScriptedPeer& operator=(const ScriptedPeer&) = delete;

  [[nodiscard]] int Port() const { return port_; }

  // Helpers for scripts.
  static void SendAll(int fd, const std::string& bytes);
  // Reads exactly n bytes (fewer when the client closes).
  static std::string ReadExactly(int fd, size_t n);
  // Reads up to and including the blank line that ends a request head.
  static std::string ReadHead(int fd);

 private:
  int listener_ = -1;
  int port_ = 0;
  std::thread acceptor_;
};

// A server started as a child process and stopped by its pid. The program
// must be installed (scripts/install-deps.sh); a missing one fails the test
// that needs it with a message naming the package.
class PeerProcess {
 public:
  PeerProcess(const std::vector<std::string>& command, const std::string& package, int port,
              const std::string& directory = {});
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  [[nodiscard]] bool Started() const { return started_; }
  [[nodiscard]] const std::string& Error() const { return error_; }

 private:
  int pid_ = -1;
  bool started_ = false;
  std::string error_;
};

// The Python fixture servers live beside this file.
std::string FixturePath(const std::string& name);

}  // namespace lark::test
