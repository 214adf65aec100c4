// The end-to-end harness on a program of its own: the probe window started
// under Xvfb, driven through its test control and through the X server.
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/program_under_test.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb_display.h"

namespace lark::test {
namespace {

class ProbeProgram : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display.Started()) << display.Error();
    ASSERT_TRUE(program.Start({}, display.Name())) << program.Error();
  }

  XvfbDisplay display;
  ProgramUnderTest program{LARK_E2E_PROBE};
};

TEST_F(ProbeProgram, IsDrivenThroughItsControlAndEndsThroughItsMenu) {
  EXPECT_EQ(program.Command("caption").Text(), "Probe");
  EXPECT_EQ(program.Command("shown vwPage").Text(), "Probe page\r\n");
  EXPECT_EQ(program.Command("pixel pnColour 20 20").raw, "ff0000");
  EXPECT_TRUE(program.Command("click edAddress").ok);
  EXPECT_TRUE(program.Command("type driven").ok);
  EXPECT_TRUE(program.Command("idle").ok);
  EXPECT_EQ(program.Command("text edAddress").Text(), "driven");
  EXPECT_TRUE(program.Command("choose File/Exit").ok);
  int exitCode = -1;
  ASSERT_TRUE(program.WaitForExit(20000, exitCode)) << program.Output();
  EXPECT_EQ(exitCode, 0) << program.Output();
  EXPECT_NE(::access((program.PrivateTempDir() + "control").c_str(), F_OK), 0);
}

// Keys typed through the X server's test extension reach the window with
// the keyboard focus, as a user's would.
TEST_F(ProbeProgram, TakesRealInputFromTheXServer) {
  ASSERT_TRUE(HaveTool("xdotool")) << "xdotool is not installed (Debian package xdotool)";
  const std::string window = program.Xdotool("search --sync --limit 1 --name '^Probe$'");
  ASSERT_FALSE(window.empty());
  program.Xdotool("windowfocus --sync " + window);
  ASSERT_TRUE(program.Command("click edAddress").ok);
  ASSERT_TRUE(program.Command("idle").ok);
  program.Xdotool("type --delay 20 'typed 42'");
  program.Xdotool("key --delay 20 BackSpace");
  ASSERT_TRUE(program.Command("idle").ok);
  EXPECT_EQ(program.Command("text edAddress").Text(), "typed 4");
}

}  // namespace
}  // namespace lark::test
