// The real program started end to end. Built with the program: in a build
// without it these tests are skipped.
#include <gtest/gtest.h>

#include "tests/support/program_under_test.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb_display.h"

namespace lark::test {
namespace {

#ifdef LARK_PROGRAM
constexpr const char* kProgram = LARK_PROGRAM;
#else
constexpr const char* kProgram = nullptr;
#endif

class LarkspanStart : public testing::Test {
 protected:
  void SetUp() override {
    if (!kProgram) GTEST_SKIP() << "this build has no larkspan program";
    program = std::make_unique<ProgramUnderTest>(kProgram);
    ASSERT_TRUE(program->Error().empty()) << program->Error();
  }
  std::unique_ptr<ProgramUnderTest> program;
};

TEST_F(LarkspanStart, HomeSwitchOpensALocalPage) {
  XvfbDisplay display;
  ASSERT_TRUE(display.Started()) << display.Error();
  program->WriteProgramFile("page.html", "<html><head><title>Page</title></head><body>Hello from the page</body></html>");
  ASSERT_TRUE(program->Start({"/home=" + program->ProgramDir() + "page.html"}, display.Name())) << program->Error();
  ASSERT_TRUE(program->Command("idle 20000").ok) << program->Output();
  EXPECT_NE(program->Command("shown FrameBrowser").Text().find("Hello from the page"), std::string::npos)
      << program->Output();
}

// Without any display the toolkit would abort with a misleading text.
TEST_F(LarkspanStart, WithoutADisplayItSaysSoInOneLineAndExits1) {
  ASSERT_TRUE(program->Start({}, "", {}, false)) << program->Error();
  int exitCode = -1;
  ASSERT_TRUE(program->WaitForExit(20000, exitCode));
  EXPECT_EQ(exitCode, 1);
  const std::string output = program->Output();
  EXPECT_FALSE(output.empty());
  EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
}

}  // namespace
}  // namespace lark::test
