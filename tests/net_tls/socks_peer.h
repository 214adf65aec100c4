#pragma once

// dante as a SOCKS 4/5 server without authentication on a loopback port.

#include <memory>
#include <string>

#include "tests/net/net_test_support.h"

namespace lark::test {

class DantePeer {
 public:
  DantePeer();
  [[nodiscard]] bool Started() const { return process_->Started(); }
  [[nodiscard]] const std::string& Error() const { return process_->Error(); }
  [[nodiscard]] int Port() const { return port_; }

 private:
  TempDir dir_;
  int port_;
  std::unique_ptr<PeerProcess> process_;
};

}  // namespace lark::test
