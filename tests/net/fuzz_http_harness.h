#pragma once

// Feeds fuzz input to the real HTTP client as the answer of a loopback server,
// so that the response reader runs exactly as it does against a network peer.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "net/http_client.h"
#include "net/net_exception.h"
#include "platform/core/stream.h"

namespace lark::fuzz {

class AnsweringServer {
 public:
  AnsweringServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener_, 4);
    socklen_t length = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length);
    port_ = ntohs(a.sin_port);
    std::thread([this] { Serve(); }).detach();
  }

  // Fetches from the server, which answers with the given bytes.
  void Fetch(const std::string& answer, TNetHTTPMethod method) {
    {
      std::lock_guard lock(mutex_);
      answer_ = answer;
    }
    TNetHTTP http;
    http.ReadTimeout = 2000;
    TMemoryStream body;
    std::string url = "http://127.0.0.1:" + std::to_string(port_) + "/";
    try {
      if (method == TNetHTTPMethod::hmHead) {
        http.Head(url);
      } else {
        http.Get(url, &body);
      }
    } catch (const ENetException&) {
      // Refusing bad input is the expected outcome; anything else is a finding.
    }
  }

 private:
  void Serve() {
    for (;;) {
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::string head;
      char c;
      while (head.find("\r\n\r\n") == std::string::npos && ::recv(fd, &c, 1, 0) == 1) head += c;
      std::string answer;
      {
        std::lock_guard lock(mutex_);
        answer = answer_;
      }
      ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
      ::shutdown(fd, SHUT_WR);
      char sink[4096];
      while (::recv(fd, sink, sizeof sink, 0) > 0) {
      }
      ::close(fd);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::string answer_;
};

}  // namespace lark::fuzz
