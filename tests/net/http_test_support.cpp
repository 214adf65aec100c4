#include "tests/net/http_test_support.h"

namespace lark::test {

HttpFixtureServer::HttpFixtureServer() : port_(FreePort()) {
  process_ = std::make_unique<PeerProcess>(
      std::vector<std::string>{"/usr/bin/python3", FixturePath("http_fixture.py"), std::to_string(port_)}, "python3",
      port_, dir_.Path());
}

}  // namespace lark::test
