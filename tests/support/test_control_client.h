#pragma once

#include <string>
#include <vector>

namespace lark::test {

// One reply of the program's test control: "ok[ <value>]" or "error <why>".
struct ControlReply {
  bool ok = false;
  // The value as sent (escaped, list items joined by tabs); for an error,
  // the reason; for no reply at all, what went wrong on the way.
  std::string raw;
  // The value unescaped, and a list value's items unescaped.
  [[nodiscard]] std::string Text() const;
  [[nodiscard]] std::vector<std::string> Items() const;
};

// A test's end of the test control's socket: one command line out, one
// reply line back, every wait bounded.
class TestControlClient {
 public:
  TestControlClient() = default;
  ~TestControlClient();
  TestControlClient(const TestControlClient&) = delete;
  TestControlClient& operator=(const TestControlClient&) = delete;

  // Connects, trying again while the socket is not there yet (the program
  // is starting) until the time is up; false then, with Error() set.
  bool Connect(const std::string& socketPath, int timeoutMs);
  [[nodiscard]] bool Connected() const { return fd_ >= 0; }
  // Sends `line` (a line end is added) and waits for the reply line.
  ControlReply Command(const std::string& line, int timeoutMs = 10000);
  // Sends bytes as they are, for tests of the control's own limits.
  bool SendRaw(const std::string& bytes);
  // The next reply line, without sending anything.
  ControlReply ReadReply(int timeoutMs);
  void Disconnect();
  [[nodiscard]] const std::string& Error() const { return error_; }

 private:
  ControlReply Failure(const std::string& why);

  int fd_ = -1;
  std::string pending_;
  std::string error_;
};

}  // namespace lark::test
