// The real program started end to end. Built with the program: in a build
// without it these tests are skipped.
#include "tests/app_e2e/larkspan_fixture.h"

namespace lark::test {
namespace {

using LarkspanStart = LarkspanTest;

TEST_F(LarkspanStart, HomeSwitchOpensALocalPage) {
  Start({"/home=" + Page()});
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
