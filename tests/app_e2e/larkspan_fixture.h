#pragma once

// The real program on a private X server, copied into a temporary program
// folder and driven through its test control.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/program_under_test.h"
#include "tests/support/xvfb_display.h"

namespace lark::test {

#ifdef LARK_PROGRAM
inline constexpr const char* kProgram = LARK_PROGRAM;
#else
inline constexpr const char* kProgram = nullptr;
#endif

inline constexpr char kNssWrapper[] = "/usr/lib/x86_64-linux-gnu/libnss_wrapper.so";

// libnss-wrapper opens the C library with RTLD_DEEPBIND, which the address
// sanitizer's runtime refuses: the program would end at start.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LARK_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef LARK_ADDRESS_SANITIZER
inline constexpr bool kHostNamesOfOurOwn = false;
#else
inline constexpr bool kHostNamesOfOurOwn = true;
#endif

// Generous for a loaded machine: start-up, page loads and exits.
inline constexpr int kIdleMs = 30000;
inline constexpr int kExitMs = 30000;

// Polls `condition` every 50 ms until it holds or `timeoutMs` has passed.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// True once `pid` has ended: gone, or a zombie its parent has not reaped.
inline bool ProcessEnded(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const std::size_t state = line.rfind(") ");
  return state != std::string::npos && state + 2 < line.size() && line[state + 2] == 'Z';
}

class LarkspanTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!kProgram) GTEST_SKIP() << "this build has no larkspan program";
    ASSERT_TRUE(display_.Started()) << display_.Error();
    program = std::make_unique<ProgramUnderTest>(kProgram);
    ASSERT_TRUE(program->Error().empty()) << program->Error();
    program->WriteProgramFile("page.html", "<html><head><title>Page</title></head><body>Hello from the page</body></html>");
  }
  [[nodiscard]] std::string Page() const { return program->ProgramDir() + "page.html"; }
  [[nodiscard]] std::string Settings() const { return program->ProgramDir() + "larkspan.ini"; }
  // Starts the program (again, after a stop: the folder stays) and waits
  // until it has settled.
  void Start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {}) {
    ASSERT_TRUE(program->Start(arguments, display_.Name(), environment)) << program->Error();
    ASSERT_TRUE(program->Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok) << program->Output();
  }
  // Closes the window as a user would and waits for the program to end.
  void CloseAndWait() {
    ASSERT_TRUE(program->Command("close").ok) << program->Output();
    int exitCode = -1;
    ASSERT_TRUE(program->WaitForExit(kExitMs, exitCode)) << program->Output();
    EXPECT_EQ(exitCode, 0) << program->Output();
    program->Stop();
  }

  XvfbDisplay display_;
  std::unique_ptr<ProgramUnderTest> program;
};

}  // namespace lark::test
