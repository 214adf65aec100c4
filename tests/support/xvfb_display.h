#pragma once

#include <string>

#include "tests/support/child_process.h"

namespace lark::test {

// A private X server (Xvfb) on a display number it picks itself
// (-displayfd), 24-bit, stopped when the object goes.
class XvfbDisplay {
 public:
  explicit XvfbDisplay(int width = 1280, int height = 1024);
  [[nodiscard]] bool Started() const { return !name_.empty(); }
  // ":<number>", or "" when the server did not start (Error() says why).
  [[nodiscard]] const std::string& Name() const { return name_; }
  [[nodiscard]] const std::string& Error() const { return error_; }

 private:
  ChildProcess server_;
  std::string name_;
  std::string error_;
};

}  // namespace lark::test
