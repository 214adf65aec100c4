#include "tests/support/program_under_test.h"

#include <sys/stat.h>
#include <csignal>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace lark::test {
namespace {

namespace fs = std::filesystem;

// Start-up under a sanitizer on a loaded machine stays well inside this.
constexpr int kConnectTimeoutMs = 30000;
constexpr const char* kControlSocket = "control";
constexpr int kXdotoolTimeoutS = 30;

// The program and what the build put beside it: every file that is not
// itself a program (the tests and benchmarks built there), and forms/.
void CopyProgram(const fs::path& executable, const fs::path& folder) {
  fs::create_directories(folder);
  fs::copy_file(executable, folder / executable.filename());
  for (const fs::directory_entry& entry : fs::directory_iterator(executable.parent_path())) {
    if (entry.is_regular_file() && (entry.status().permissions() & fs::perms::owner_exec) == fs::perms::none)
      fs::copy_file(entry.path(), folder / entry.path().filename());
  }
  const fs::path forms = executable.parent_path() / "forms";
  if (fs::is_directory(forms)) fs::copy(forms, folder / "forms", fs::copy_options::recursive);
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(const std::string& builtExecutable) {
  name_ = fs::path(builtExecutable).filename();
  try {
    CopyProgram(builtExecutable, ProgramDir());
    fs::create_directories(Home());
    fs::create_directories(folder_.Path() + "/tmp");
    fs::create_directories(folder_.Path() + "/runtime");
    fs::permissions(folder_.Path() + "/runtime", fs::perms::owner_all);
  } catch (const std::exception& error) {
    error_ = error.what();
  }
}

std::string ProgramUnderTest::PrivateTempDir() const {
  return folder_.Path() + "/tmp/larkspan-" + std::to_string(::geteuid()) + "/";
}

void ProgramUnderTest::WriteProgramFile(const std::string& name, const std::string& bytes) const {
  WriteFile(ProgramDir() + name, bytes);
}

bool ProgramUnderTest::Start(const std::vector<std::string>& arguments, const std::string& display,
                             const std::vector<std::string>& environment, bool testControl) {
  if (!error_.empty()) return false;
  std::vector<std::string> command{ExecutablePath()};
  command.insert(command.end(), arguments.begin(), arguments.end());
  std::vector<std::string> variables = InheritedEnvironment();
  variables.insert(variables.end(), {"HOME=" + Home(), "TMPDIR=" + folder_.Path() + "/tmp",
                                     "XDG_RUNTIME_DIR=" + folder_.Path() + "/runtime", "LANG=C.UTF-8"});
  if (!display.empty()) variables.push_back("DISPLAY=" + display);
  if (testControl) variables.push_back(std::string("LARK_TEST_CONTROL=") + kControlSocket);
  variables.insert(variables.end(), environment.begin(), environment.end());
  display_ = display;
  if (!process_.Start(command, variables, folder_.Path() + "/output.log")) {
    error_ = process_.Error();
    return false;
  }
  if (!testControl) return true;
  // The socket appears once the program has made it; until then, and while
  // the program runs, connecting is tried again.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
  while (!control_.Connect(PrivateTempDir() + kControlSocket, 100)) {
    if (!process_.Running()) {
      error_ = "the program ended at start: " + Output();
      return false;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      error_ = "no test control within " + std::to_string(kConnectTimeoutMs) + " ms: " + control_.Error();
      return false;
    }
  }
  return true;
}

std::vector<std::string> ProgramUnderTest::OtherInstanceSockets() const {
  std::vector<std::string> sockets;
  const std::string prefix = std::string(kControlSocket) + "-";
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(PrivateTempDir(), error))
    if (entry.is_socket() && entry.path().filename().string().rfind(prefix, 0) == 0) sockets.push_back(entry.path());
  return sockets;
}

ControlReply ProgramUnderTest::Command(const std::string& line, int timeoutMs) {
  return control_.Command(line, timeoutMs);
}

void ProgramUnderTest::Stop() {
  control_.Disconnect();
  process_.Stop();
}

void ProgramUnderTest::Kill() {
  if (process_.Pid() > 0) ::kill(-process_.Pid(), SIGKILL);
  Stop();
}

std::string ProgramUnderTest::Output() const {
  try {
    return ReadFile(folder_.Path() + "/output.log");
  } catch (const std::exception&) {
    return {};
  }
}

std::string ProgramUnderTest::Xdotool(const std::string& arguments) const {
  // Bounded: "search --sync" and "windowfocus --sync" wait for ever for a
  // window that never comes.
  return CommandOutput("DISPLAY=" + display_ + " timeout " + std::to_string(kXdotoolTimeoutS) + " xdotool " +
                       arguments + " 2>&1");
}

}  // namespace lark::test
