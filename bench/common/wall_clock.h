#pragma once

// Wall-clock timing shared by the benches that set our work beside another
// program's: both sides are timed the same way, as whole processes where the
// peer is one.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace lark::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Runs command (argv style, null-terminated), prints its wall time in
// seconds and answers its exit status.
inline int RunAndPrintWallSeconds(char** command) {
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(command[0], command);
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  std::printf("%.6f\n", Seconds(Clock::now() - start));
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace lark::bench
