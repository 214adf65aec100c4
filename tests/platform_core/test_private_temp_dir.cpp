#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/core/private_temp_dir.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

class PrivateTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TMPDIR")) saved_ = old;
    setenv("TMPDIR", tmp_.Path().c_str(), 1);
  }
  void TearDown() override {
    if (saved_.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", saved_.c_str(), 1);
  }
  [[nodiscard]] std::string Expected() const {
    return tmp_.Path() + "/larkspan-" + std::to_string(geteuid());
  }

  test::TempDir tmp_;
  std::string saved_;
};

TEST_F(PrivateTempDir, MadeForThisUserOnlyAndNarrowedWhenWide) {
  EXPECT_EQ(PrivateTempDirectory(), Expected() + "/");
  struct stat info {};
  ASSERT_EQ(stat(Expected().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  chmod(Expected().c_str(), 0777);
  EXPECT_EQ(PrivateTempDirectory(), Expected() + "/");
  ASSERT_EQ(stat(Expected().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(PrivateTempDir, RefusedWhenPlantedByAnotherUserOrALink) {
  ASSERT_EQ(mkdir((tmp_.Path() + "/elsewhere").c_str(), 0700), 0);
  ASSERT_EQ(symlink((tmp_.Path() + "/elsewhere").c_str(), Expected().c_str()), 0);
  EXPECT_EQ(PrivateTempDirectory(), "");
  unlink(Expected().c_str());
  test::WriteFile(Expected(), "a file");
  EXPECT_EQ(PrivateTempDirectory(), "");
  unlink(Expected().c_str());
  ASSERT_EQ(mkdir(Expected().c_str(), 0700), 0);
  ASSERT_EQ(chown(Expected().c_str(), 65534, 65534), 0);
  EXPECT_EQ(PrivateTempDirectory(), "");
}

}  // namespace
}  // namespace lark
