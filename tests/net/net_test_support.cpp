#include "tests/net/net_test_support.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lark::test {
namespace {

int ListenOn(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::listen(fd, 16);
  return fd;
}

int LocalPort(int fd) {
  sockaddr_in a{};
  socklen_t length = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
  return ntohs(a.sin_port);
}

}  // namespace

ScriptedPeer::ScriptedPeer(std::function<void(int fd)> script, int connections) {
  listener_ = ListenOn(0);
  port_ = LocalPort(listener_);
  acceptor_ = std::thread([this, script, connections] {
    std::vector<std::thread> sessions;
    for (int i = 0; i < connections; ++i) {
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) break;
      sessions.emplace_back([fd, script] {
        script(fd);
        ::close(fd);
      });
    }
    for (auto& s : sessions) s.join();
  });
}

ScriptedPeer::~ScriptedPeer() {
  ::shutdown(listener_, SHUT_RDWR);
  acceptor_.join();
  ::close(listener_);
}

void ScriptedPeer::SendAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::string ScriptedPeer::ReadExactly(int fd, size_t n) {
  std::string result;
  char buffer[4096];
  while (result.size() < n) {
    ssize_t got = ::recv(fd, buffer, std::min(sizeof buffer, n - result.size()), 0);
    if (got <= 0) break;
    result.append(buffer, static_cast<size_t>(got));
  }
  return result;
}

std::string ScriptedPeer::ReadHead(int fd) {
  std::string head;
  char c;
  while (head.find("\r\n\r\n") == std::string::npos && ::recv(fd, &c, 1, 0) == 1) head += c;
  return head;
}

std::string FixturePath(const std::string& name) { return std::string(LARK_NET_FIXTURES) + "/" + name; }

}  // namespace lark::test
