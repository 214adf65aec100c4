#include "tests/net_tls/socks_peer.h"

#include <sys/stat.h>

namespace lark::test {

DantePeer::DantePeer() : port_(FreePort()) {
  chmod(dir_.Path().c_str(), 0777);
  dir_.Write("danted.conf", "internal: 127.0.0.1 port = " + std::to_string(port_) +
                                "\nexternal: 127.0.0.1\nsocksmethod: none\nclientmethod: none\n"
                                "user.privileged: root\nuser.unprivileged: nobody\n"
                                "client pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
                                "socks pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n  command: connect\n}\n");
  process_ = std::make_unique<PeerProcess>(
      std::vector<std::string>{"danted", "-f", dir_.Path() + "/danted.conf", "-p", dir_.Path() + "/danted.pid"},
      "dante-server", port_, dir_.Path());
}

}  // namespace lark::test
