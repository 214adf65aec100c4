#include "tests/support/test_control_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace lark::test {
namespace {

// A reply larger than this is taken for a broken stream.
constexpr std::size_t kMaxReplyBytes = 16u << 20;

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

std::string Unescape(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      plain += text[i];
      continue;
    }
    const char next = text[++i];
    plain += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
  }
  return plain;
}

}  // namespace

std::string ControlReply::Text() const { return Unescape(raw); }

std::vector<std::string> ControlReply::Items() const {
  std::vector<std::string> items;
  if (raw.empty()) return items;
  std::size_t at = 0;
  for (std::size_t tab; (tab = raw.find('\t', at)) != std::string::npos; at = tab + 1)
    items.push_back(Unescape(raw.substr(at, tab - at)));
  items.push_back(Unescape(raw.substr(at)));
  return items;
}

TestControlClient::~TestControlClient() { Disconnect(); }

void TestControlClient::Disconnect() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  pending_.clear();
}

bool TestControlClient::Connect(const std::string& socketPath, int timeoutMs) {
  Disconnect();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof address.sun_path) {
    error_ = "socket path too long";
    return false;
  }
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return true;
    error_ = socketPath + ": " + std::strerror(errno);
    Disconnect();
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool TestControlClient::SendRaw(const std::string& bytes) {
  for (std::size_t sent = 0; fd_ >= 0 && sent < bytes.size();) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = std::string("send: ") + std::strerror(errno);
      return false;
    }
    sent += static_cast<std::size_t>(n);
  }
  return fd_ >= 0;
}

ControlReply TestControlClient::Command(const std::string& line, int timeoutMs) {
  if (fd_ < 0) return Failure("not connected");
  if (!SendRaw(line + "\n")) return Failure(error_);
  return ReadReply(timeoutMs);
}

ControlReply TestControlClient::ReadReply(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::size_t end;
  while ((end = pending_.find('\n')) == std::string::npos) {
    if (fd_ < 0) return Failure("not connected");
    if (pending_.size() > kMaxReplyBytes) return Failure("reply too long");
    pollfd wait{fd_, POLLIN, 0};
    const int ready = ::poll(&wait, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return Failure("no reply within " + std::to_string(timeoutMs) + " ms");
    char chunk[65536];
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      Disconnect();
      return Failure("the program closed the connection");
    }
    pending_.append(chunk, static_cast<std::size_t>(got));
  }
  std::string line = pending_.substr(0, end);
  pending_.erase(0, end + 1);
  ControlReply reply;
  if (line == "ok" || line.rfind("ok ", 0) == 0) {
    reply.ok = true;
    reply.raw = line.size() > 3 ? line.substr(3) : "";
  } else {
    reply.raw = line.rfind("error ", 0) == 0 ? line.substr(6) : "malformed reply: " + line;
  }
  return reply;
}

ControlReply TestControlClient::Failure(const std::string& why) {
  error_ = why;
  ControlReply reply;
  reply.raw = why;
  return reply;
}

}  // namespace lark::test
