#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace lark::test {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

std::vector<std::string> InheritedEnvironment() {
  std::vector<std::string> environment;
  for (const char* name : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"})
    if (const char* value = std::getenv(name)) environment.push_back(std::string(name) + "=" + value);
  return environment;
}

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::Start(const std::vector<std::string>& command, const std::vector<std::string>& environment,
                         const std::string& outputFile, int extraFd) {
  std::vector<char*> argv = Pointers(command);
  std::vector<char*> envp = Pointers(environment);
  const int output = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (output < 0) {
    error_ = outputFile + ": " + std::strerror(errno);
    return false;
  }
  // Reports a failed exec through a pipe that the exec closes.
  int failure[2];
  if (::pipe2(failure, O_CLOEXEC) != 0) {
    ::close(output);
    error_ = "pipe failed";
    return false;
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    ::setpgid(0, 0);
    ::dup2(output, 1);
    ::dup2(output, 2);
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, 0);
    if (extraFd >= 0) ::fcntl(extraFd, F_SETFD, 0);
    ::execve(argv[0], argv.data(), envp.data());
    const int code = errno;
    (void)::write(failure[1], &code, sizeof code);
    ::_exit(127);
  }
  ::close(output);
  ::close(failure[1]);
  int code = 0;
  const bool execFailed = pid_ > 0 && ::read(failure[0], &code, sizeof code) == static_cast<ssize_t>(sizeof code);
  ::close(failure[0]);
  if (pid_ < 0 || execFailed) {
    error_ = command[0] + ": " + std::strerror(pid_ < 0 ? errno : code);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return false;
  }
  // Set on both sides, so that a Stop right after the fork finds the group.
  ::setpgid(pid_, pid_);
  reaped_ = false;
  return true;
}

bool ChildProcess::Running() {
  if (pid_ < 0 || reaped_) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) != pid_) return true;
  reaped_ = true;
  exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return false;
}

bool ChildProcess::WaitForExit(int timeoutMs, int& exitCode) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Running()) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  exitCode = exit_code_;
  return pid_ >= 0;
}

void ChildProcess::Stop() {
  if (pid_ < 0) return;
  // The group may outlive its leader (a helper the program started).
  ::kill(-pid_, SIGTERM);
  int code = 0;
  if (!WaitForExit(2000, code)) ::kill(-pid_, SIGKILL);
  ::kill(-pid_, SIGKILL);
  while (Running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  pid_ = -1;
}

}  // namespace lark::test
