#include "platform/core/command_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/core/file_routines.h"
#include "platform/core/string_list.h"
#include "tests/support/test_files.h"

extern char** environ;

namespace lark {
namespace {

using test::TempDir;

constexpr const char* kOutputVariable = "LARK_TEST_PARAMS_OUT";

// The child half of the test below: writes its own parameters, one a line.
TEST(CommandLine, ChildWritesItsParameters) {
  const char* out = std::getenv(kOutputVariable);
  if (out == nullptr) GTEST_SKIP() << "runs only as the child of ParametersComeBackAsGiven";
  TStringList lines;
  for (int i = 0; i <= ParamCount() + 1; ++i) lines.Add("[" + ParamStr(i) + "]");
  lines.SaveToFile(out);
}

TEST(CommandLine, ParametersComeBackAsGiven) {
  TempDir dir;
  const std::string out = dir.File("params.txt");
  const std::string exe = ExecutablePath();
  const std::string variable = std::string(kOutputVariable) + "=" + out;
  std::vector<std::string> args = {"any-name", "--gtest_filter=CommandLine.ChildWritesItsParameters",
                                   "/home=http://a b/", "", "/cdrom"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<char*> env;
  for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
  env.push_back(const_cast<char*>(variable.c_str()));
  env.push_back(nullptr);
  posix_spawn_file_actions_t quiet;  // the child's test report would only clutter ours
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, exe.c_str(), &quiet, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&quiet);
  ASSERT_EQ(spawned, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  TStringList lines;
  lines.LoadFromFile(out);
  ASSERT_EQ(lines.Count(), 6);
  EXPECT_EQ(lines.At(0), "[" + exe + "]");  // the full path, whatever argv[0] said
  EXPECT_EQ(lines.At(1), "[--gtest_filter=CommandLine.ChildWritesItsParameters]");
  EXPECT_EQ(lines.At(2), "[/home=http://a b/]");
  EXPECT_EQ(lines.At(3), "[]");  // an empty parameter still counts
  EXPECT_EQ(lines.At(4), "[/cdrom]");
  EXPECT_EQ(lines.At(5), "[]");  // past the last one
  EXPECT_EQ(ParamStr(-1), "");
}

}  // namespace
}  // namespace lark
