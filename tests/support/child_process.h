#pragma once

#include <string>
#include <vector>

namespace lark::test {

// A program started in a process group of its own with exactly the
// environment given, its output to a file; the whole group is killed when
// the object goes (so what it started, too).
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // extraFd, when not -1, is kept open in the child under the same number.
  bool Start(const std::vector<std::string>& command, const std::vector<std::string>& environment,
             const std::string& outputFile, int extraFd = -1);
  [[nodiscard]] int Pid() const { return pid_; }
  [[nodiscard]] bool Running();
  // Waits for the program to end; false when it still runs at the deadline.
  // The exit code, or 128 + the signal that ended it.
  bool WaitForExit(int timeoutMs, int& exitCode);
  // SIGTERM to the group, then SIGKILL to what is left after a short grace.
  void Stop();
  [[nodiscard]] const std::string& Error() const { return error_; }

 private:
  int pid_ = -1;
  bool reaped_ = false;
  int exit_code_ = -1;
  std::string error_;
};

// The environment entries worth passing on to a program under test: PATH
// and the sanitizers' options.
[[nodiscard]] std::vector<std::string> InheritedEnvironment();

}  // namespace lark::test
