#pragma once

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/test_control_client.h"
#include "tests/support/test_files.h"

namespace lark::test {

// The real program, end to end: a copy of the built executable in a
// temporary program folder with the files the build puts beside it
// (resources and forms/), run with a fresh HOME and temporary folder, in a
// process group of its own that is killed at the end, driven through its
// test control.
class ProgramUnderTest {
 public:
  // Copies the program; Error() is set when that fails.
  explicit ProgramUnderTest(const std::string& builtExecutable);

  [[nodiscard]] std::string ProgramDir() const { return folder_.Path() + "/program/"; }
  [[nodiscard]] std::string ExecutablePath() const { return ProgramDir() + name_; }
  [[nodiscard]] std::string Home() const { return folder_.Path() + "/home"; }
  // Where the program's private temporary folder lies.
  [[nodiscard]] std::string PrivateTempDir() const;
  // Writes a file into the program folder (settings, lists, pages).
  void WriteProgramFile(const std::string& name, const std::string& bytes) const;

  // Starts the program on `display` (none when empty) with the arguments
  // and extra "NAME=value" entries; with the test control on, waits until
  // it accepts commands. False, with Error() set, when it does not start.
  bool Start(const std::vector<std::string>& arguments, const std::string& display,
             const std::vector<std::string>& environment = {}, bool testControl = true);
  // The sockets of the test controls of other instances the program
  // started (new windows), which listen beside its own: connect a
  // TestControlClient to one to drive that window.
  [[nodiscard]] std::vector<std::string> OtherInstanceSockets() const;
  // A command to the test control (see TestControlClient::Command).
  ControlReply Command(const std::string& line, int timeoutMs = 10000);
  // Waits for the program to end by itself; false when it still runs.
  bool WaitForExit(int timeoutMs, int& exitCode) { return process_.WaitForExit(timeoutMs, exitCode); }
  [[nodiscard]] bool Running() { return process_.Running(); }
  // Ends the program and whatever it started.
  void Stop();
  // Kills the program at once (SIGKILL to its group), as a power cut would.
  void Kill();
  // What the program wrote to its standard output and error so far.
  [[nodiscard]] std::string Output() const;
  // Runs xdotool on the program's display (real input through the X
  // server), for at most 30 s; its standard output.
  std::string Xdotool(const std::string& arguments) const;
  [[nodiscard]] const std::string& Error() const { return error_; }

 private:
  TempDir folder_;
  std::string name_;
  std::string display_;
  ChildProcess process_;
  TestControlClient control_;
  std::string error_;
};

}  // namespace lark::test
