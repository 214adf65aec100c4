#include "tests/support/loopback_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>

namespace lark::test {
namespace {

// Whether a listener could bind the port now.
bool Bindable(int port) {
  const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  const bool free = bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(probe);
  return free;
}

// The lowest port the system hands out to outgoing connections.
int EphemeralLow() {
  int low = 32768;
  std::ifstream("/proc/sys/net/ipv4/ip_local_port_range") >> low;
  return low;
}

}  // namespace

// Below the ephemeral range: a port the system gave us there could be taken
// by any test's outgoing connection before our server binds it, and with
// hundreds of tests running side by side that happens.
int FreePort() {
  static std::mt19937 random(static_cast<unsigned>(getpid()) ^
                             static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  const int high = EphemeralLow() - 1;
  std::uniform_int_distribution<int> pick(10000, high > 10000 ? high : 10001);
  for (int attempt = 0; attempt < 200; ++attempt) {
    const int port = pick(random);
    if (Bindable(port)) return port;
  }
  return 0;  // the peer fails to start and says so
}

}  // namespace lark::test
