#pragma once

// The Python fixture server shared by the HTTP tests of one test binary run.

#include <memory>
#include <string>

#include "tests/net/net_test_support.h"

namespace lark::test {

class HttpFixtureServer {
 public:
  HttpFixtureServer();
  [[nodiscard]] bool Started() const { return process_->Started(); }
  [[nodiscard]] const std::string& Error() const { return process_->Error(); }
  [[nodiscard]] int Port() const { return port_; }
  [[nodiscard]] std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  TempDir dir_;
  int port_;
  std::unique_ptr<PeerProcess> process_;
};

}  // namespace lark::test
