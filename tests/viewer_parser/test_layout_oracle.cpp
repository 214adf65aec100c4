// Layout against a real browser: case pages are parsed and laid out here at
// 1024 and 800 pixels, and loaded by headless Chromium (each case in an
// iframe of that width on one index page, served by Python's http.server),
// whose getBoundingClientRect boxes a script on the index page prints into
// the dumped DOM. The boxes of every element with an ID must agree.
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

namespace lark {
namespace {

struct OracleCase {
  const char* Name;
  int Tolerance;  // 1 where pixel and percentage values fix the boxes, 3 where text width does
  const char* Body;
};

// Fonts, sizes, line heights and margins are pinned, and every page is in
// standards mode.
constexpr const char* kHead =
    "<!DOCTYPE html><html><head><style>body { margin: 0; font-family: 'Liberation Sans'; font-size: 16px;"
    " line-height: 20px } p { margin: 0 }</style></head><body>";

const OracleCase kCases[] = {
    {"margins", 1,
     "<div id=a style='margin:10px 0 20px;height:30px'>x</div>"
     "<div id=b style='margin-top:15px;height:40px;border:5px solid black;padding:5px'>x</div>"
     "<div id=c style='margin:-5px 30px 0;height:10px'>x</div>"},
    {"widths", 1,
     "<div id=p style='width:50%;height:20px'>x</div>"
     "<div id=f style='width:300px;height:20px;margin-left:auto;margin-right:auto'>x</div>"
     "<div id=r style='width:25%;margin-left:100px;padding:0 10px;height:20px'>x</div>"},
    {"floats", 3,
     "<div id=l style='float:left;width:100px;height:50px'>x</div>"
     "<div id=r style='float:right;width:150px;height:80px'>y</div>"
     "<div id=t>A short line of text beside the floats</div>"
     "<div id=c style='clear:both;height:10px'>z</div>"},
    {"clear", 1,
     "<div id=l style='float:left;width:200px;height:60px'>x</div>"
     "<div id=c style='clear:left;margin-top:5px;height:20px'>y</div>"},
    {"nested", 1,
     "<div id=o style='margin:20px;padding:10px;border:1px solid black'>"
     "<div id=i style='width:50%;margin:5px auto;height:30px'>x</div>"
     "<div id=j style='margin:0 10% 0 20%;height:25px'>y</div></div>"},
    {"wrapped", 3,
     "<div id=w style='width:200px;padding:4px'>Several words of running text that wrap onto more than one"
     " line in a box two hundred pixels wide</div><div id=after style='height:20px'>x</div>"},
    {"around", 3,
     "<div id=box style='width:320px'><div id=f style='float:left;width:100px;height:45px;margin-right:8px'>x"
     "</div>Text that flows around the float on its right and then below it once the float ends, over"
     " several lines of a narrow box</div><div id=next style='height:20px'>y</div>"},
    {"collapse", 1,
     "<div id=o style='margin-top:20px;margin-bottom:10px'><div id=i style='margin-top:30px;height:20px'>x"
     "</div></div><div id=n style='margin-top:25px;height:20px'>y</div>"},
    {"lists", 3,
     "<ul id=u style='margin:10px 0;padding-left:40px'><li id=i1 style='height:20px'>one</li>"
     "<li id=i2 style='height:20px'>two</li></ul>"},
};
constexpr int kWidths[] = {1024, 800};

// Where the document model knowingly lays out otherwise, by case and ID.
const std::map<std::string, const char*> kKnownDifferences = {
    {"margins c", "a block's height is its least height: a line taller than height:10px grows the box, where "
                  "CSS lets the line overflow"},
    {"floats c", "the same least-height rule"},
    {"clear c", "the model puts the top margin below the float it clears; CSS clearance takes the margin in"},
    {"collapse o", "a first child's top margin stays inside its parent's box; CSS collapses it through a parent "
                   "without border or padding (the parent moves down, its child with it)"},
    {"collapse i", "the same parent-child rule"},
    {"collapse n", "the same parent-child rule, which also keeps the parent taller"},
};

std::string PageOf(const OracleCase& c) { return std::string(kHead) + c.Body + "</body></html>"; }

// The index page: each case in an iframe of each width, and a script that
// prints every ID'd element's box as "case width id left top width height".
std::string IndexPage() {
  std::string page = "<!DOCTYPE html><html><body style='margin:0'>";
  for (const OracleCase& c : kCases)
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

TEST(LayoutOracle, BoxesAgreeWithChromium) {
  if (std::system("command -v chromium > /dev/null") != 0) GTEST_SKIP() << "chromium is not installed";
  const test::TempDir site, profile;
  for (const OracleCase& c : kCases) site.Write(std::string(c.Name) + ".html", PageOf(c));
  site.Write("index.html", IndexPage());
  const FolderServer server(site.Path());
  const std::map<BoxKey, TRect> chromium =
      ParseBoxes(ChromiumDom("http://127.0.0.1:" + std::to_string(server.Port()) + "/index.html", profile.Path()));
  ASSERT_FALSE(chromium.empty()) << "Chromium printed no boxes";

  std::size_t compared = 0;
  for (const OracleCase& c : kCases) {
    for (const int width : kWidths) {
      testing::ParsedPage page(PageOf(c));
      page.LayoutAndPaint(width);
      for (const TBoxEntry& box : DumpBoxes(page.List)) {
        if (kKnownDifferences.count(std::string(c.Name) + " " + box.ID)) continue;
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
  EXPECT_EQ(compared, 2 * (chromium.size() / 2 - kKnownDifferences.size()));
}

}  // namespace
}  // namespace lark
