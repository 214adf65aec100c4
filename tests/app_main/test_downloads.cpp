// Downloads and saved pages against real servers: whole files byte for
// byte, and every failure leaving no file behind.
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/download_form.h"
#include "app/main_window.h"
#include "app/save_html_form.h"
#include "platform/core/file_routines.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/net/http_test_support.h"
#include "tests/net/nginx_peer.h"
#include "tests/net_ftp/ftp_test_support.h"
#include "tests/net_tls/tls_test_support.h"

namespace lark {
namespace {

using test::NginxPeer;
using test::PatternByte;

// Megabytes of the byte-for-byte downloads; LARK_BIG_DOWNLOADS=1 adds the
// 256 MB and 2.2 GiB runs (minutes, not part of the default suite).
std::int64_t DownloadBytes() { return 32LL << 20; }
bool BigDownloads() { return std::getenv("LARK_BIG_DOWNLOADS") != nullptr; }

const char kPage[] = "<html><head><title>A ../../page</title></head><body>served</body></html>";

void WritePattern(const std::string& path, std::int64_t size) {
  std::ofstream out(path, std::ios::binary);
  std::string block(1 << 20, '\0');
  for (std::int64_t at = 0; at < size; at += static_cast<std::int64_t>(block.size())) {
    const std::int64_t n = std::min<std::int64_t>(size - at, static_cast<std::int64_t>(block.size()));
    for (std::int64_t i = 0; i < n; ++i) block[static_cast<std::size_t>(i)] = PatternByte(at + i);
    out.write(block.data(), n);
  }
  out.close();
  chmod(path.c_str(), 0644);
}

// Whether the file is exactly `size` pattern bytes (a sparse source reads as
// zeros, which `zeros` expects instead).
bool HoldsPattern(const std::string& path, std::int64_t size, bool zeros = false) {
  std::ifstream in(path, std::ios::binary);
  std::string block(1 << 20, '\0');
  std::int64_t at = 0;
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i, ++at)
      if (block[static_cast<std::size_t>(i)] != (zeros ? '\0' : PatternByte(at))) return false;
  }
  return at == size;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// nginx over http and https (the test CA trusted as a system's would be),
// the real main window, and a folder the files are saved to.
class Downloads : public MainWindowTest {
 protected:
  static void SetUpTestSuite() {
    setenv("SSL_CERT_FILE", test::Certificates().caFile.c_str(), 1);
    https_ = new NginxPeer(test::Certificates().goodCert, test::Certificates().goodKey);
    http_ = new NginxPeer;
    // Large files are written by the tests that need them.
    for (NginxPeer* peer : {http_, https_}) {
      peer->WriteFile("page.html", kPage);
      peer->WriteFile("cached.html", kPage);
    }
    http_->WriteFile("slow.html", std::string(4 << 20, 's'));
    http_->ServerConfig =
        "    location = /slow.zip { limit_rate 6m; }\n"
        "    location = /slow.html { limit_rate 2m; }\n"
        "    location = /fail.zip { return 500; }\n"
        "    location = /named.zip { add_header Content-Disposition 'attachment; filename=\"../../x\"'; }\n";
    http_->WriteFile("named.zip", "named");
    http_->Start();
    https_->Start();
  }
  static void TearDownTestSuite() {
    delete http_;
    delete https_;
  }
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(http_->Started()) << http_->Error();
    ASSERT_TRUE(https_->Started()) << https_->Error();
    Open({"/home=" + StartPage()});
    test_driver::AnswerDialogs([this](TCommonDialog* dialog) {
      auto* save = dynamic_cast<TSaveDialog*>(dialog);
      if (save == nullptr) return false;
      proposed_ = save->FileName;
      save->FileName = target_;
      return !target_.empty();
    });
    test_driver::AnswerMessageBoxes([this](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
      boxes_.push_back(text);
      return static_cast<int>(text.find("replace") != std::string::npos ? replace_ : mrOk);
    });
  }
  // Downloads url to the file `name` of the folder, as the user would.
  void Download(const std::string& url, const std::string& name) {
    target_ = name.empty() ? "" : folder_.File(name);
    window_->DownloadURL = url;
    window_->WMDownload();
  }
  // Runs `step` on the dialog every few milliseconds while it shows.
  void WhileShown(std::function<void(TCustomForm*)> step) {
    test_driver::OnModalShown([this, step](TCustomForm* form) {
      timer_ = std::make_unique<TTimer>(nullptr);
      timer_->SetInterval(5);
      // Only while the form lives: the timer outlasts it.
      timer_->OnTimer = [form, step](TObject*) {
        for (int i = 0; i < Screen()->FormCount(); ++i)
          if (Screen()->Forms(i) == form) step(form);
      };
      timer_->SetEnabled(true);
    });
  }
  void TearDown() override {
    timer_.reset();
    MainWindowTest::TearDown();
  }

  static NginxPeer* http_;
  static NginxPeer* https_;
  test::TempDir folder_;
  std::string target_;
  std::string proposed_;
  int replace_ = mrYes;
  std::unique_ptr<TTimer> timer_;
};
NginxPeer* Downloads::http_ = nullptr;
NginxPeer* Downloads::https_ = nullptr;

TEST_F(Downloads, HttpHttpsAndFtpArriveByteForByte) {
  test::VsftpdPeer ftp;
  WritePattern(http_->Root() + "/file.zip", DownloadBytes());
  for (const std::string& root : {https_->Root(), ftp.Root()})
    std::filesystem::create_hard_link(http_->Root() + "/file.zip", root + "/file.zip");
  ftp.Start();
  ASSERT_TRUE(ftp.Started()) << ftp.Error();
  const std::string sources[] = {http_->Url("/file.zip"), https_->Url("/file.zip"),
                                 "ftp://127.0.0.1:" + std::to_string(ftp.Port()) + "/file.zip"};
  for (const std::string& url : sources) {
    Download(url, "file.zip");
    EXPECT_EQ(proposed_, "file.zip");
    EXPECT_TRUE(HoldsPattern(folder_.File("file.zip"), DownloadBytes())) << url;
    EXPECT_EQ(FilesIn(folder_.Path()), std::vector<std::string>{"file.zip"}) << url;
  }
  // The second and third replaced the first after the question.
  EXPECT_EQ(boxes_.size(), 2u);
}

// A cut, an error answer, a 426 and a failed write: the old target stays,
// nothing else appears, and a message says what failed.
TEST_F(Downloads, FailuresLeaveTheTargetAsItWasAndSaySo) {
  test::HttpFixtureServer fixture;
  test::OddFtpPeer odd;
  odd.WriteFile("cut.bin", "");
  odd.Start();
  ASSERT_TRUE(fixture.Started()) << fixture.Error();
  ASSERT_TRUE(odd.Started()) << odd.Error();
  const std::string sources[] = {fixture.Url("/cut-at-half"), http_->Url("/missing.zip"), http_->Url("/fail.zip"),
                                 "ftp://plain:pw@127.0.0.1:" + std::to_string(odd.Port()) + "/cut.bin"};
  for (const std::string& url : sources) {
    test::WriteFile(folder_.File("old.zip"), "old");
    boxes_.clear();
    Download(url, "old.zip");
    EXPECT_EQ(test::ReadFile(folder_.File("old.zip")), "old") << url;
    EXPECT_EQ(FilesIn(folder_.Path()), std::vector<std::string>{"old.zip"}) << url;
    ASSERT_EQ(boxes_.size(), 2u) << url;  // the replace question, then the failure
    EXPECT_NE(boxes_[1].find("failed"), std::string::npos) << boxes_[1];
    EXPECT_NE(boxes_[1].find("was left as it was"), std::string::npos) << boxes_[1];
  }
  // Past the process's file-size limit the write fails (the program ignores
  // SIGXFSZ, or this test would end here); a new target is not made.
  WritePattern(http_->Root() + "/two.zip", 2 << 20);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 1 << 20;
  setrlimit(RLIMIT_FSIZE, &small);
  boxes_.clear();
  Download(http_->Url("/two.zip"), "new.zip");
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(FilesIn(folder_.Path()), std::vector<std::string>{"old.zip"});
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("was not written"), std::string::npos) << boxes_[0];
}

// Cancel at 40%: by then the part file holds what arrived; afterwards
// nothing is left and no message shows.
TEST_F(Downloads, CancelLeavesNothingAndNoMessage) {
  WritePattern(http_->Root() + "/slow.zip", 8 << 20);
  std::int64_t partSize = -1, receivedThen = 0;
  WhileShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TDownLoadForm*>(form);
    if (dialog == nullptr || dialog->Cancelled || dialog->Received() * 10 < dialog->Total() * 4) return;
    receivedThen = dialog->Received();
    std::error_code error;
    partSize = static_cast<std::int64_t>(std::filesystem::file_size(folder_.File("slow.zip.part"), error));
    dialog->CancelButton->Click();
  });
  Download(http_->Url("/slow.zip"), "slow.zip");
  EXPECT_GE(partSize, receivedThen);
  EXPECT_GT(receivedThen, 0);
  EXPECT_TRUE(FilesIn(folder_.Path()).empty());
  EXPECT_TRUE(boxes_.empty());
}

// Names from the address are one component of the chosen folder, and the
// program's own files and the cache folder are never written.
TEST_F(Downloads, ProposedNamesAndRefusedTargets) {
  const std::pair<std::string, std::string> names[] = {{"/d/%2F..%2Fx", "_.._x"},
                                                       {"/d/..", "download"},
                                                       {"/d/a%00b", "a_b"},
                                                       {"/named.zip", "named.zip"},  // Content-Disposition unread
                                                       {"/d/" + std::string(600, 'n'), std::string(255, 'n')}};
  for (const auto& [path, name] : names) {
    Download(http_->Url(path), "");
    EXPECT_EQ(proposed_, name) << path;
  }
  // A name of the longest length still downloads (its part file is shorter).
  Download(http_->Url("/named.zip"), std::string(255, 'n'));
  EXPECT_EQ(test::ReadFile(folder_.File(std::string(255, 'n'))), "named");
  EXPECT_EQ(FilesIn(folder_.Path()).size(), 1u);
  Write("Allow.lst", "kept");
  for (const std::string& refused : {Path("Allow.lst"), Path("larkspan.ini"), window_->CacheDir + "x.zip"}) {
    boxes_.clear();
    target_ = refused;
    window_->DownloadURL = http_->Url("/named.zip");
    window_->WMDownload();
    ASSERT_EQ(boxes_.size(), 1u) << refused;
    EXPECT_NE(boxes_[0].find("cannot"), std::string::npos) << boxes_[0];
  }
  EXPECT_EQ(test::ReadFile(Path("Allow.lst")), "kept");
  EXPECT_FALSE(FileExists(Path("larkspan.ini.part")));
  EXPECT_FALSE(FileExists(window_->CacheDir + "x.zip"));
}

// The Save command: the page's bytes, from the cache when it has them, else
// fetched; the title proposes the name; ".html" is added only when missing.
TEST_F(Downloads, SavePageFromTheCacheOrFetched) {
  Navigate(http_->Url("/cached.html"));
  ASSERT_TRUE(window_->actionFileSave->Enabled());
  http_->WriteFile("cached.html", "changed on the server");
  target_ = folder_.File("x.html");
  window_->actionFileSave->Execute();
  EXPECT_EQ(proposed_, "A .._.._page");
  EXPECT_EQ(test::ReadFile(folder_.File("x.html")), kPage);
  // https is never cached: fetched.
  Navigate(https_->Url("/page.html"));
  target_ = folder_.File("secure");
  window_->actionFileSave->Execute();
  EXPECT_EQ(test::ReadFile(folder_.File("secure.html")), kPage);
  EXPECT_EQ(FilesIn(folder_.Path()), (std::vector<std::string>{"secure.html", "x.html"}));
  EXPECT_TRUE(boxes_.empty());
  http_->WriteFile("cached.html", kPage);
}

TEST_F(Downloads, SavePageAbortAndReplace) {
  Navigate(http_->Url("/page.html"));
  test::WriteFile(folder_.File("x.html"), "old");
  target_ = folder_.File("x.html");
  replace_ = mrNo;
  window_->actionFileSave->Execute();
  EXPECT_EQ(test::ReadFile(folder_.File("x.html")), "old");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "The file " + folder_.File("x.html") +
                           " already exists. Do you want to replace the existing file?");
  // Abort part-way through a fetch (the cache is bypassed by asking for a
  // page not shown): nothing is written, nothing said.
  boxes_.clear();
  replace_ = mrYes;
  bool aborted = false;
  WhileShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TfrmSaveHTML*>(form);
    if (dialog == nullptr || aborted || dialog->ProgressBar->Position() < 10) return;
    aborted = true;
    dialog->Button1->Click();
  });
  window_->AddressText = http_->Url("/slow.html");
  window_->actionFileSave->Execute();
  EXPECT_TRUE(aborted);
  EXPECT_EQ(test::ReadFile(folder_.File("x.html")), "old");
  EXPECT_EQ(FilesIn(folder_.Path()), std::vector<std::string>{"x.html"});
  EXPECT_EQ(boxes_.size(), 1u);  // the replace question only
  // An address without a connection saves nothing and says so.
  boxes_.clear();
  window_->AddressText = "gopher://127.0.0.1/x";
  window_->actionFileSave->Execute();
  EXPECT_EQ(test::ReadFile(folder_.File("x.html")), "old");
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_NE(boxes_[1].find("No connection"), std::string::npos) << boxes_[1];
}

TEST_F(Downloads, BigFilesByteForByte) {
  if (!BigDownloads()) GTEST_SKIP() << "set LARK_BIG_DOWNLOADS=1 for the 256 MB and 2.2 GiB downloads";
  test::VsftpdPeer ftp;
  WritePattern(ftp.Root() + "/big256.zip", 256LL << 20);
  ftp.Start();
  ASSERT_TRUE(ftp.Started()) << ftp.Error();
  http_->WritePatternFile("big256.zip", 256LL << 20);
  https_->WritePatternFile("big256.zip", 256LL << 20);
  // Sparse: 2.2 GiB of zeros, past the signed 32-bit limit.
  const std::int64_t huge = 2362232013LL;
  { std::ofstream(http_->Root() + "/huge.zip"); }
  std::filesystem::resize_file(http_->Root() + "/huge.zip", huge);
  for (const std::string& url : {http_->Url("/big256.zip"), https_->Url("/big256.zip"),
                                 "ftp://127.0.0.1:" + std::to_string(ftp.Port()) + "/big256.zip"}) {
    Download(url, "big256.zip");
    EXPECT_TRUE(HoldsPattern(folder_.File("big256.zip"), 256LL << 20)) << url;
  }
  std::string status, timeLeft;
  WhileShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TDownLoadForm*>(form);
    if (dialog != nullptr && dialog->Received() > (1LL << 31) && status.empty()) {
      status = dialog->Status->Caption();
      timeLeft = dialog->TimeLeft->Caption();
    }
  });
  Download(http_->Url("/huge.zip"), "huge.zip");
  EXPECT_TRUE(HoldsPattern(folder_.File("huge.zip"), huge, true));
  EXPECT_NE(status.find(" of 2306867k"), std::string::npos) << status;
  EXPECT_EQ(timeLeft.size(), 8u) << timeLeft;
  EXPECT_EQ(timeLeft.find('-'), std::string::npos) << timeLeft;
}

}  // namespace
}  // namespace lark
