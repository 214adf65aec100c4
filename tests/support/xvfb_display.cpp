#include "tests/support/xvfb_display.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

#include "tests/support/test_files.h"

namespace lark::test {
namespace {

// Xvfb starts in well under a second; a loaded machine gets this long.
constexpr int kStartTimeoutMs = 20000;

}  // namespace

XvfbDisplay::XvfbDisplay(int width, int height) {
  if (!HaveTool("Xvfb")) {
    error_ = "Xvfb is not installed (Debian package xvfb)";
    return;
  }
  int number[2];
  if (::pipe2(number, O_CLOEXEC) != 0) {
    error_ = "pipe failed";
    return;
  }
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  if (!server_.Start({"/usr/bin/Xvfb", "-displayfd", std::to_string(number[1]), "-screen", "0", screen, "-nolisten",
                      "tcp", "-noreset"},
                     InheritedEnvironment(), "/dev/null", number[1])) {
    error_ = server_.Error();
  }
  ::close(number[1]);
  // The server writes its display number and a line end once it listens.
  std::string digits;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (error_.empty() && digits.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd wait{number[0], POLLIN, 0};
    char chunk[16];
    if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
      error_ = "Xvfb did not report a display";
      break;
    }
    const ssize_t got = ::read(number[0], chunk, sizeof chunk);
    if (got <= 0) error_ = "Xvfb ended at start";
    else digits.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(number[0]);
  if (error_.empty()) name_ = ":" + digits.substr(0, digits.find('\n'));
  else server_.Stop();
}

}  // namespace lark::test
