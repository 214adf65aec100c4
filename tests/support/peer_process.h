#pragma once

#include <string>
#include <vector>

namespace lark::test {

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

}  // namespace lark::test
