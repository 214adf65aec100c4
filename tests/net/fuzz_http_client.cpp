// The HTTP client end to end: a loopback server plays the fuzzer's answers,
// one per request, across connections, to a real TNetHTTP that follows
// redirects and keeps its connection for a second request.
//
// Input: a flags byte (bit 0: follow redirects, bit 1: the first request is a
// HEAD, bit 2: HTTP/1.0), then the answers, separated by "\r\n--\r\n".

#include <poll.h>

#include <deque>
#include <vector>

#include "tests/net/fuzz_http_harness.h"

namespace {

const std::string kSeparator = "\r\n--\r\n";

class PlayingServer {
 public:
  PlayingServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener_, 16);
    socklen_t length = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length);
    port_ = ntohs(a.sin_port);
    std::thread([this] { Serve(); }).detach();
  }

  void Load(std::deque<std::string> answers) {
    std::lock_guard lock(mutex_);
    answers_ = std::move(answers);
  }
  [[nodiscard]] std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  // A request head within the wait, or false (the client went or is waiting
  // for a close that frames its body).
  static bool ReadRequestHead(int fd, int waitMs) {
    std::string head;
    char c;
    pollfd ready{fd, POLLIN, 0};
    while (head.find("\r\n\r\n") == std::string::npos) {
      if (::poll(&ready, 1, waitMs) != 1 || ::recv(fd, &c, 1, 0) != 1) return false;
      head += c;
    }
    return true;
  }

  bool NextAnswer(std::string& answer) {
    std::lock_guard lock(mutex_);
    if (answers_.empty()) return false;
    answer = std::move(answers_.front());
    answers_.pop_front();
    return true;
  }

  void Serve() {
    for (;;) {
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      // The first request may take the client a while; later ones on a kept
      // connection come at once or not at all.
      for (int waitMs = 1000; ReadRequestHead(fd, waitMs); waitMs = 20) {
        std::string answer;
        if (!NextAnswer(answer)) break;
        ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
      }
      ::shutdown(fd, SHUT_WR);
      ::close(fd);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::deque<std::string> answers_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static PlayingServer server;
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::deque<std::string> answers;
  for (size_t start = 0;;) {
    size_t end = input.find(kSeparator, start);
    answers.push_back(input.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + kSeparator.size();
  }
  server.Load(std::move(answers));

  lark::TNetHTTP http;
  http.ReadTimeout = 300;
  http.HandleRedirects = (data[0] & 1) != 0;
  if ((data[0] & 4) != 0) http.ProtocolVersion = lark::TNetHTTPProtocolVersion::pv1_0;
  for (int request = 0; request < 2; ++request) {
    lark::TMemoryStream body;
    try {
      if (request == 0 && (data[0] & 2) != 0) {
        http.Head(server.Url("/first"));
      } else {
        http.Get(server.Url(request == 0 ? "/first" : "/second"), &body);
      }
    } catch (const lark::ENetException&) {
      // Refusing bad answers is expected; a crash, a leak or a hang is a finding.
    }
  }
  return 0;
}
