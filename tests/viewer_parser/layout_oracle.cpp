#include "layout_oracle.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <map>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "parsed_page.h"
#include "tests/support/headless_chromium.h"
#include "tests/support/loopback_port.h"
#include "tests/support/test_files.h"
#include "viewer/box_dump.h"

extern char** environ;

namespace lark::testing {
namespace {

constexpr int kWidths[] = {1024, 800};

std::string PageOf(const OracleCase& c) { return std::string(kOracleHead) + c.Body + "</body></html>"; }

// The index page: each case in an iframe of each width, and a script that
// prints every ID'd element's box as "case width id left top width height".
std::string IndexPage(const std::vector<OracleCase>& cases) {
  std::string page = "<!DOCTYPE html><html><body style='margin:0'>";
  for (const OracleCase& c : cases)
    for (const int width : kWidths)
      page += "<iframe src='" + std::string(c.Name) + ".html' width=" + std::to_string(width) +
              " height=600 style='border:0;display:block' data-case='" + c.Name + "'></iframe>";
  page += "<pre id=out></pre><script>window.onload = () => { const lines = [];"
          " for (const f of document.querySelectorAll('iframe')) for (const e of"
          " f.contentDocument.querySelectorAll('[id]')) { const r = e.getBoundingClientRect();"
          " lines.push([f.dataset.case, f.width, e.id, r.left, r.top, r.width, r.height].join(' ')); }"
          " document.getElementById('out').textContent = 'BOXES\\n' + lines.join('\\n') + '\\nEND'; };"
          "</script></body></html>";
  return page;
}

bool Accepts(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(s);
  return ok;
}

// Python's http.server over a folder, stopped by its process id.
class FolderServer {
 public:
  explicit FolderServer(const std::string& folder) : port_(test::FreePort()) {
    const std::string port = std::to_string(port_);
    const char* argv[] = {"/usr/bin/python3", "-m", "http.server", port.c_str(), "--bind", "127.0.0.1",
                          "--directory", folder.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; pid_ && i < 100 && !Accepts(port_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~FolderServer() {
    if (!pid_) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  FolderServer(const FolderServer&) = delete;
  FolderServer& operator=(const FolderServer&) = delete;
  [[nodiscard]] int Port() const { return port_; }

 private:
  int port_;
  pid_t pid_ = 0;
};

std::string ChromiumDom(const std::string& url, const std::string& profile) {
  return test::HeadlessChromiumDom(url, profile, "--hide-scrollbars --window-size=1024,768 --virtual-time-budget=5000",
                                   90);
}

using BoxKey = std::string;  // "case width id"

std::map<BoxKey, TRect> ParseBoxes(const std::string& dom) {
  std::map<BoxKey, TRect> boxes;
  const std::size_t begin = dom.find("BOXES\n"), end = dom.find("\nEND");
  if (begin == std::string::npos || end == std::string::npos) return boxes;
  std::istringstream lines(dom.substr(begin + 6, end - begin - 6));
  std::string name, id;
  int width = 0;
  double left = 0, top = 0, w = 0, h = 0;
  while (lines >> name >> width >> id >> left >> top >> w >> h) {
    const int l = static_cast<int>(std::lround(left)), t = static_cast<int>(std::lround(top));
    boxes[name + " " + std::to_string(width) + " " + id] =
        TRect{l, t, l + static_cast<int>(std::lround(w)), t + static_cast<int>(std::lround(h))};
  }
  return boxes;
}

}  // namespace

bool ChromiumInstalled() { return std::system("command -v chromium > /dev/null") == 0; }

void ExpectBoxesAgreeWithChromium(const std::vector<OracleCase>& cases, const KnownDifferences& known) {
  const test::TempDir site, profile;
  for (const OracleCase& c : cases) site.Write(std::string(c.Name) + ".html", PageOf(c));
  site.Write("index.html", IndexPage(cases));
  const FolderServer server(site.Path());
  const std::map<BoxKey, TRect> chromium =
      ParseBoxes(ChromiumDom("http://127.0.0.1:" + std::to_string(server.Port()) + "/index.html", profile.Path()));
  ASSERT_FALSE(chromium.empty()) << "Chromium printed no boxes";

  std::size_t compared = 0, expected = 0;
  for (const auto& [key, box] : chromium) {
    const std::size_t firstSpace = key.find(' '), secondSpace = key.find(' ', firstSpace + 1);
    if (!known.count(key.substr(0, firstSpace) + key.substr(secondSpace))) ++expected;
  }
  for (const OracleCase& c : cases) {
    for (const int width : kWidths) {
      ParsedPage page(PageOf(c));
      page.LayoutAndPaint(width);
      for (const TBoxEntry& box : DumpBoxes(page.List)) {
        if (known.count(std::string(c.Name) + " " + box.ID)) continue;
        const std::string key = std::string(c.Name) + " " + std::to_string(width) + " " + box.ID;
        const auto found = chromium.find(key);
        ASSERT_NE(found, chromium.end()) << key;
        const TRect& peer = found->second;
        EXPECT_NEAR(box.Box.Left, peer.Left, c.Tolerance) << key;
        EXPECT_NEAR(box.Box.Top, peer.Top, c.Tolerance) << key;
        EXPECT_NEAR(box.Box.Right - box.Box.Left, peer.Right - peer.Left, c.Tolerance) << key;
        EXPECT_NEAR(box.Box.Bottom - box.Box.Top, peer.Bottom - peer.Top, c.Tolerance) << key;
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, expected);
}

}  // namespace lark::testing
