#pragma once

#include <memory>
#include <string>

namespace lark {

// The end-to-end tests' way into the running program: a Unix socket on
// which a test sends one command per line and reads one reply per line
// ("ok ..." or "error <why>"). Commands act through the window layer's
// test driver, as a user would; the commands are listed in
// docs/architecture.md ("Test control").
//
// Only builds made with the LARK_TEST_CONTROL option have it; elsewhere
// starting it does nothing.
class TTestControl {
 public:
  virtual ~TTestControl() = default;
  // Where the socket lies: the name asked for, or while another instance
  // of the program listens there (a window it opened), that name followed
  // by "-<pid>".
  [[nodiscard]] virtual const std::string& SocketPath() const = 0;
};

// With LARK_TEST_CONTROL set to a socket name (or to a path inside the
// private temporary folder), listens there until the object goes; made on
// the GUI thread, before or after the main form. Null when the variable is
// absent, the build has no test control, or the socket cannot be made (a
// line on standard error says why).
[[nodiscard]] std::unique_ptr<TTestControl> StartTestControlFromEnvironment();

// The same for a given socket name or path (tests of the control itself).
[[nodiscard]] std::unique_ptr<TTestControl> StartTestControl(const std::string& socketName);

// Whether this build has the test control.
[[nodiscard]] bool TestControlBuilt();

}  // namespace lark
