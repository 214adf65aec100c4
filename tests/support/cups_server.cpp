#include "tests/support/cups_server.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/loopback_port.h"

namespace lark::test {

namespace {
constexpr const char* kChildVariable = "LARK_CUPS_CHILD";
}

CupsServer::CupsServer(bool preserveJobFiles) {
  if (InChild()) {
    error_ = "not started in the child";
    return;
  }
  const std::string root = dir_.Path();
  for (const char* sub : {"spool", "tmp", "cache", "state"}) std::filesystem::create_directories(dir_.File(sub));
  ::chmod(root.c_str(), 0777);  // the backend runs as the spooler's user
  port_ = FreePort();
  WriteFile(dir_.File("cupsd.conf"),
            "Listen 127.0.0.1:" + std::to_string(port_) +
                "\nDefaultAuthType None\nWebInterface No\n" +
                (preserveJobFiles ? "PreserveJobFiles Yes\n" : "") +
                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
  WriteFile(dir_.File("cups-files.conf"),
            "ServerRoot " + root + "\nRequestRoot " + root + "/spool\nTempDir " + root + "/tmp\nCacheDir " + root +
                "/cache\nStateDir " + root + "/state\nErrorLog " + root + "/error_log\nAccessLog " + root +
                "/access_log\nPageLog " + root + "/page_log\nFileDevice Yes\nServerBin /usr/lib/cups\n"
                "DataDir /usr/share/cups\n");
  cupsd_ = std::make_unique<PeerProcess>(
      std::vector<std::string>{"cupsd", "-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"},
      "cups-daemon", port_, root);
  if (!cupsd_->Started()) {
    error_ = cupsd_->Error();
    return;
  }
  const std::string add = "CUPS_SERVER=127.0.0.1:" + std::to_string(port_) +
                          " lpadmin -p lark -E -v file:///dev/null -m raw 2>/dev/null";
  error_ = "lpadmin could not add the queue";
  for (int attempt = 0; attempt < 50 && !error_.empty(); ++attempt) {
    if (std::system(add.c_str()) == 0) error_.clear();
    else usleep(100000);
  }
}

CupsServer::~CupsServer() = default;

std::string CupsServer::WaitForPageLog(const std::string& text) const {
  std::string log;
  for (int wait = 0; wait < 100; ++wait) {
    log = CommandOutput("cat '" + dir_.File("page_log") + "' 2>/dev/null");
    if (log.find(text) != std::string::npos) break;
    usleep(100000);
  }
  return log;
}

bool CupsServer::InChild() { return std::getenv(kChildVariable) != nullptr; }

std::string CupsServer::RunInChild(const std::string& testName) const {
  return CommandOutput("CUPS_SERVER=127.0.0.1:" + std::to_string(port_) + " " + kChildVariable + "=1 " +
                       std::filesystem::read_symlink("/proc/self/exe").string() + " --gtest_filter=" + testName +
                       " 2>&1");
}

bool CupsServer::ChildPassed(const std::string& output) {
  return output.find("[  PASSED  ] 1 test") != std::string::npos;
}

}  // namespace lark::test
