#pragma once

// nginx serving a directory of static files on a loopback port.

#include <memory>
#include <string>

#include "tests/net/net_test_support.h"

namespace lark::test {

class NginxPeer {
 public:
  NginxPeer();
  [[nodiscard]] bool Started() const { return process_ && process_->Started(); }
  [[nodiscard]] std::string Error() const { return process_ ? process_->Error() : "not started"; }
  // Files are written before Start.
  void WriteFile(const std::string& name, const std::string& content) const;
  void Start();
  [[nodiscard]] std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  [[nodiscard]] const std::string& Root() const { return root_; }

 private:
  TempDir dir_;
  std::string root_;
  int port_;
  std::unique_ptr<PeerProcess> process_;
};

}  // namespace lark::test
