#include "platform/core/atomic_file.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>

#include "platform/core/exception.h"
#include "platform/core/ini_file.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Runs work in a child process; its exit status is 0 when work returned
// true, 1 when it returned false or raised.
pid_t StartChild(const std::function<bool()>& work) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    bool ok = false;
    try {
      ok = work();
    } catch (...) {
    }
    ::_exit(ok ? 0 : 1);
  }
  return pid;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

mode_t ModeOf(const std::string& name) {
  struct stat info {};
  ::stat(name.c_str(), &info);
  return info.st_mode & 07777;
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(AtomicWriteFile, KeepsTheModeAndALinkAndLeavesNothingBesideOnFailure) {
  TempDir dir;
  const std::string name = dir.Write("settings.ini", "old");
  ::chmod(name.c_str(), 0640);
  std::filesystem::create_symlink(name, dir.File("link.ini"));
  AtomicWriteFile(dir.File("link.ini"), "new");
  EXPECT_EQ(ReadFile(name), "new");
  EXPECT_EQ(ModeOf(name), 0640u);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));

  EXPECT_THROW(AtomicWriteFile(dir.File("no-such-dir/x.ini"), "x"), EFCreateError);
  std::filesystem::create_directory(dir.File("a-directory"));
  EXPECT_THROW(AtomicWriteFile(dir.File("a-directory"), "x"), EFCreateError);
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"a-directory", "link.ini", "settings.ini"}));

  // A device at the name (a copy of /dev/full, where the system lets us make
  // one) is refused, never replaced by a file.
  const std::string device = dir.File("full");
  if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0) {
    EXPECT_THROW(AtomicWriteFile(device, "x"), EFCreateError);
    struct stat info {};
    ASSERT_EQ(::stat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
  }
}

// A child rewriting the settings file over and over is killed at random
// moments: the file is always one whole version, with its mode.
TEST(AtomicWriteFile, AKillAtAnyMomentLeavesTheOldOrTheNewFile) {
  TempDir dir;
  const std::string name = dir.File("settings.ini");
  const std::string old_value(200000, 'o');
  const std::string new_value(200000, 'n');
  WriteFile(name, "[S]\nK=" + old_value + "\n");
  ::chmod(name.c_str(), 0604);
  const std::string old_file = ReadFile(name);
  const std::string new_file = "[S]\nK=" + new_value + "\n";
  std::mt19937 random(25);
  for (int round = 0; round < 50; ++round) {
    const pid_t child = StartChild([&] {
      TMemIniFile ini(name);
      for (int i = 0;; ++i) {
        ini.WriteString("S", "K", i % 2 == 0 ? new_value : old_value);
        ini.UpdateFile();
      }
      return true;
    });
    ::usleep(std::uniform_int_distribution<int>(0, 4000)(random));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = ReadFile(name);
    ASSERT_TRUE(now == old_file || now == new_file) << "round " << round << ": " << now.size() << " bytes";
    ASSERT_EQ(ModeOf(name), 0604u);
  }
}

// Root may write anything, so the write runs as the unprivileged user
// (uid 65534) in a folder that user owns.
TEST(AtomicWriteFile, AReadOnlyFileStaysUnwrittenAndTheWriteFails) {
  TempDir dir;
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::chown(dir.Path().c_str(), kNobody, kNobody), geteuid() == 0 ? 0 : -1);
  const std::string name = dir.Write("settings.ini", "[Kiosk]\nLocked=1\n");
  ::chmod(name.c_str(), 0444);
  std::string message;
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  const pid_t child = StartChild([&] {
    if (geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                           ::setresuid(kNobody, kNobody, kNobody) != 0)) {
      return false;
    }
    try {
      TIniFile(name).WriteString("Kiosk", "Locked", "0");
    } catch (const EFCreateError& e) {
      [[maybe_unused]] auto ignored = ::write(pipe_ends[1], e.Message.data(), e.Message.size());
      return true;
    }
    return false;
  });
  ::close(pipe_ends[1]);
  char buffer[512];
  const ssize_t got = ::read(pipe_ends[0], buffer, sizeof buffer);
  ::close(pipe_ends[0]);
  ASSERT_EQ(ExitStatus(child), 0);
  message.assign(buffer, got > 0 ? got : 0);
  EXPECT_EQ(message, "Cannot create file \"" + name + "\". Permission denied");
  EXPECT_EQ(ReadFile(name), "[Kiosk]\nLocked=1\n");
  EXPECT_EQ(ModeOf(name), 0444u);
}

TEST(IniFile, TwoProcessesWritingDifferentKeysAtOnceBothKeepTheirs) {
  TempDir dir;
  const std::string name = dir.File("shared.ini");
  constexpr int kKeys = 100;
  auto writer = [&](const std::string& prefix) {
    return StartChild([&, prefix] {
      TIniFile ini(name);
      for (int i = 0; i < kKeys; ++i) ini.WriteInteger("Shared", prefix + std::to_string(i), i);
      return true;
    });
  };
  const pid_t first = writer("A");
  const pid_t second = writer("B");
  ASSERT_EQ(ExitStatus(first), 0);
  ASSERT_EQ(ExitStatus(second), 0);
  TIniFile ini(name);
  for (int i = 0; i < kKeys; ++i) {
    EXPECT_EQ(ini.ReadInteger("Shared", "A" + std::to_string(i), -1), i);
    EXPECT_EQ(ini.ReadInteger("Shared", "B" + std::to_string(i), -1), i);
  }
}

}  // namespace
}  // namespace lark
