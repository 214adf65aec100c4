#pragma once

#include <memory>
#include <string>

#include "tests/support/peer_process.h"
#include "tests/support/test_files.h"

namespace lark::test {

// A private CUPS server for print tests: cupsd in the foreground on a free
// loopback port, with its configuration, spool and logs in a temporary
// directory of its own, and one raw queue "lark" that prints to /dev/null.
// Qt's print plugin reads the server's address once per process, so the
// printing half of a test runs in a child process of the test binary
// (RunInChild), which sees the server as its only one.
class CupsServer {
 public:
  // Starts the server and adds the queue; with preserveJobFiles the spooled
  // documents stay in SpoolDir() as d<job>-001.
  explicit CupsServer(bool preserveJobFiles = false);
  ~CupsServer();  // stops the server before its directory goes
  CupsServer(const CupsServer&) = delete;
  CupsServer& operator=(const CupsServer&) = delete;

  [[nodiscard]] bool Started() const { return error_.empty(); }
  [[nodiscard]] const std::string& Error() const { return error_; }
  [[nodiscard]] std::string SpoolDir() const { return dir_.File("spool"); }
  // Waits up to ten seconds for `text` to appear in the page log (one line
  // per page printed, naming the queue, the user and the job's title) and
  // returns the log as it then is.
  [[nodiscard]] std::string WaitForPageLog(const std::string& text) const;

  // True in the child process that RunInChild starts.
  [[nodiscard]] static bool InChild();
  // Runs the test `testName` ("Suite.Name") of this binary in a child
  // process that prints to this server; returns the child's output.
  [[nodiscard]] std::string RunInChild(const std::string& testName) const;
  // Whether a child's output says its one test passed.
  [[nodiscard]] static bool ChildPassed(const std::string& output);

 private:
  TempDir dir_;
  int port_ = 0;
  std::unique_ptr<PeerProcess> cupsd_;
  std::string error_;
};

}  // namespace lark::test
