#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>


#include "app/cookie_list.h"
#include "app/disk_cache.h"
#include "app/image_requests.h"
#include "platform/core/stream.h"
#include "platform/windows/application.h"
#include "platform/windows/label.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/timer.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/net_ftp/ftp_test_support.h"
#include "tests/support/loopback_port.h"
#include "tests/support/peer_process.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

// The window's page requests against a scripted server that logs every
// request it gets, with its cookies.
class PageRequests : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    server_ = std::make_unique<test::PeerProcess>(
        std::vector<std::string>{"/usr/bin/python3", std::string(LARK_PAGE_FIXTURES) + "/page_fixture.py",
                                 std::to_string(port_), Path("server.log")},
        "python3", port_);
    ASSERT_TRUE(server_->Started()) << server_->Error();
  }
  [[nodiscard]] std::string At(const std::string& path, const std::string& host = "127.0.0.1") const {
    return "http://" + host + ":" + std::to_string(port_) + path;
  }
  // The answer's bytes, or "<none>" when the request gives no stream.
  std::string Request(bool isGet, const std::string& url, const std::string& query = "", bool reload = false,
                      TObject* sender = nullptr) {
    std::string newURL;
    ThtmlFileType docType = ThtmlFileType::ftHTML;
    TMemoryStream* stream = nullptr;
    window_->FrameBrowserGetPostRequestEx(sender, isGet, url, query, "", "", reload, newURL, docType, stream);
    return stream != nullptr ? std::string(stream->Bytes()) : "<none>";
  }
  // Arms `timer` to run the Stop command once, half a second from now, from
  // inside whatever request is then waiting.
  void StopAfterHalfASecond(TTimer& timer) {
    RunAfter(timer, 500, [this] { window_->actionStopExecute(nullptr); });
  }
  static void RunAfter(TTimer& timer, int ms, std::function<void()> action) {
    timer.SetInterval(ms);
    timer.OnTimer = [&timer, action = std::move(action)](TObject*) {
      timer.SetEnabled(false);
      action();
    };
    timer.SetEnabled(true);
  }
  // The server's log lines holding `text`.
  [[nodiscard]] std::vector<std::string> Logged(const std::string& text) const {
    std::ifstream log(Path("server.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
      if (line.find(text) != std::string::npos) lines.push_back(line);
    return lines;
  }

  int port_ = test::FreePort();
  std::unique_ptr<test::PeerProcess> server_;
};

TEST_F(PageRequests, EachSetCookieStaysWithTheHostThatSentItAndRedirectsAreBounded) {
  Write("Deny.lst", At("/secret/", "localhost") + "\n");
  Open({"/home=" + StartPage()});
  Navigate(At("/chain1"));
  EXPECT_EQ(ShownTitle(), "chain end");
  const std::string cookies = window_->CookieList->GetCookies(At("/"));
  EXPECT_NE(cookies.find("one=1"), std::string::npos) << cookies;
  EXPECT_NE(cookies.find("two=2"), std::string::npos) << cookies;
  // A cookie sent along a redirect to another host is the sender's, never
  // the target's, and is not sent there.
  Navigate(At("/evil"));
  EXPECT_EQ(ShownTitle(), "echo");
  EXPECT_EQ(window_->CookieList->GetCookies(At("/", "localhost")).find("planted"), std::string::npos);
  ASSERT_EQ(Logged("GET /echo localhost").size(), 1u);
  EXPECT_EQ(Logged("GET /echo localhost")[0].find("planted"), std::string::npos);
  // A loop ends at the limit; a redirect to a denied host gives the block
  // page and the denied address is never asked.
  Navigate(At("/loop"));
  EXPECT_LE(Logged("GET /loop").size(), 16u);
  EXPECT_GE(Logged("GET /loop").size(), 2u);
  Navigate(At("/to-denied"));
  EXPECT_EQ(ShownURL(), FileURL("block.html"));
  EXPECT_TRUE(Logged("/secret").empty());
  // Another scheme is not followed.
  EXPECT_EQ(Request(true, At("/to-ftp")).find("ftp"), std::string::npos);
}

TEST_F(PageRequests, FormsReachTheServerEachTimeAndOnlyPlainPagesAreCached) {
  Open({"/home=" + StartPage()});
  EXPECT_NE(Request(false, At("/post303"), "a=1").find("GET /echo []"), std::string::npos);
  EXPECT_NE(Request(false, At("/post405"), "a=1").find("GET /post405?a=1"), std::string::npos);
  Request(false, At("/echo"), "twice=1");
  Request(false, At("/echo"), "twice=1");
  EXPECT_EQ(Logged("POST /echo").size(), 2u);
  // A GET with a query is a new search each time.
  EXPECT_NE(Request(true, At("/echo"), "q=1"), Request(true, At("/echo"), "q=1"));
  const std::string first = Request(true, At("/page"));
  EXPECT_EQ(Request(true, At("/page")), first);
  EXPECT_NE(Request(true, At("/page"), "", true), first);
  EXPECT_EQ(Logged("GET /page").size(), 2u);
  // Pages marked no-store and error answers are asked again.
  Request(true, At("/nostore"));
  Request(true, At("/nostore"));
  EXPECT_EQ(Logged("GET /nostore").size(), 2u);
  EXPECT_NE(Request(true, At("/missing")).find("<title>gone</title>"), std::string::npos);
  Request(true, At("/missing"));
  EXPECT_EQ(Logged("GET /missing").size(), 2u);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(PageRequests, FailuresShowAnEscapedPageButAViewersRequestJustGetsNothing) {
  Open({"/home=" + StartPage()});
  const std::string errorPage = Request(true, FileURL("<b>missing.html"));
  EXPECT_EQ(errorPage.find("<b>"), std::string::npos) << errorPage;
  EXPECT_NE(errorPage.find("&lt;b&gt;"), std::string::npos) << errorPage;
  // An HTTP error without a body shows error.html.
  Write("error.html", "<title>own error</title>");
  EXPECT_NE(Request(true, At("/empty404")).find("own error"), std::string::npos);
  // A style sheet's failure leaves the address and the base alone.
  const std::string address = window_->AddressText;
  const std::string base = window_->CurrentBase;
  EXPECT_EQ(Request(true, At("/empty404"), "", false, window_->FrameBrowser->Viewers(0)), "<none>");
  EXPECT_EQ(window_->AddressText, address);
  EXPECT_EQ(window_->CurrentBase, base);
  EXPECT_TRUE(boxes_.empty());
}

// Stop, and a redirect loop, end a request well before its server would.
TEST_F(PageRequests, StopEndsASlowDripAndStatusTextsFollowTheLoad) {
  Open({"/home=" + StartPage()});
  Navigate(At("/page"));
  EXPECT_EQ(window_->lbDocument->Caption().rfind("Loading HTML file. Size: ", 0), 0u) << window_->lbDocument->Caption();
  TTimer stop(nullptr);
  StopAfterHalfASecond(stop);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Request(true, At("/drip")), "<none>");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// The abort message another program may post ends a slow drip, and a
// redirect loop whose every pass is slow, as Stop does.
TEST_F(PageRequests, TheAbortMessageEndsASlowDripAndASlowRedirectLoop) {
  Open({"/home=" + StartPage()});
  for (const char* path : {"/drip", "/slowloop"}) {
    TTimer abort(nullptr);
    RunAfter(abort, 1500, [this] { PostMessage(window_, WM_ABORTLOADING); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Request(true, At(path)), "<none>") << path;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << path;
  }
  EXPECT_LT(Logged("GET /slowloop").size(), 8u);
}

bool QueuesEmpty(const TfrmMain& window) {
  return window.PendingImages.empty() && window.ActiveDownloads.empty() && window.DoneImages.empty();
}

TEST_F(PageRequests, ImagesDownloadTenAtATimeAndStopDropsThem) {
  Open({"/home=" + StartPage()});
  Navigate(At("/gallery"));
  for (int i = 0; i < 300 && !QueuesEmpty(*window_); ++i) {
    Application()->ProcessMessages();
    usleep(20000);
  }
  ASSERT_TRUE(QueuesEmpty(*window_));
  EXPECT_EQ(Logged("GET /img/").size(), 25u);
  const int most = std::stoi(Request(true, At("/most")));
  EXPECT_LE(most, kMaxImageDownloads);
  EXPECT_GE(most, 2);
  // Every image was inserted and cached: a second visit asks for none.
  std::string fileName;
  int docType = 0;
  EXPECT_TRUE(window_->DiskCache->FindInCache(At("/img/24.png"), fileName, docType));
  EXPECT_EQ(docType, 2);
  Navigate(At("/gallery?again"));
  EXPECT_TRUE(QueuesEmpty(*window_));
  // Stop drops what is queued and running, and nothing is inserted later.
  Navigate(At("/gallery2"));
  EXPECT_FALSE(QueuesEmpty(*window_));
  window_->actionStopExecute(nullptr);
  EXPECT_TRUE(QueuesEmpty(*window_));
  for (int i = 0; i < 30; ++i) {
    Application()->ProcessMessages();
    usleep(20000);
  }
  EXPECT_FALSE(window_->DiskCache->FindInCache(At("/img2/0.png"), fileName, docType));
}

// An image's redirect is tested against the lists like the image itself.
TEST_F(PageRequests, ImageRedirectsPassTheLists) {
  Write("Deny.lst", At("/secret/", "localhost") + "\n");
  Open({"/home=" + StartPage()});
  Navigate(At("/jumps"));
  for (int i = 0; i < 300 && !QueuesEmpty(*window_); ++i) {
    Application()->ProcessMessages();
    usleep(20000);
  }
  ASSERT_TRUE(QueuesEmpty(*window_));
  std::string fileName;
  int docType = 0;
  EXPECT_TRUE(window_->DiskCache->FindInCache(At("/jump/allowed.png"), fileName, docType));
  EXPECT_FALSE(window_->DiskCache->FindInCache(At("/jump/denied.png"), fileName, docType));
  EXPECT_EQ(Logged("GET /img/jumped.png").size(), 1u);
  EXPECT_TRUE(Logged("/secret").empty());
}

// A picture fetched directly (here over a slow FTP server) ends at Stop.
TEST_F(PageRequests, StopEndsADirectImageFetch) {
  test::OddFtpPeer ftp;
  ftp.WriteFile("big.png", std::string(8 << 20, 'p'));  // 30 s at the server's rate
  ftp.Start();
  ASSERT_TRUE(ftp.Started()) << ftp.Error();
  Write("pictures.html", "<img src=\"ftp://plain:pw@127.0.0.1:" + std::to_string(ftp.Port()) + "/big.png\">");
  Open({"/home=" + StartPage()});
  TTimer stop(nullptr);
  StopAfterHalfASecond(stop);
  const auto start = std::chrono::steady_clock::now();
  Navigate(Path("pictures.html"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(stop.Enabled());
  EXPECT_EQ(window_->DirectImageConnection, nullptr);
}

// The status bar while a slow page arrives: the connection's states, then
// the size growing to the whole page, in that order.
TEST_F(PageRequests, StatusTextsOfASlowPageComeInOrder) {
  Open({"/home=" + StartPage()});
  std::vector<std::string> seen;
  std::vector<std::function<void(TMessage&)>> previous;
  for (TLabel* label : {window_->lbState, window_->lbDocument}) {
    previous.push_back(label->WindowProc);
    label->WindowProc = [label, chained = previous.back(), &seen](TMessage& message) {
      chained(message);
      if (message.Msg == CM_TEXTCHANGED && (seen.empty() || seen.back() != label->Caption()))
        seen.push_back(label->Caption());
    };
  }
  Request(true, At("/slow"));
  window_->lbState->WindowProc = previous[0];
  window_->lbDocument->WindowProc = previous[1];
  ASSERT_GE(seen.size(), 5u);
  EXPECT_EQ(seen[0], "State: Not Connected.");
  EXPECT_EQ(seen[1], "State: Connected.");
  // Parts may arrive together, but the size only grows, to the whole page.
  const std::string loading = "Loading HTML file. Size: ";
  int last = 0;
  for (std::size_t i = 2; i < seen.size(); ++i) {
    ASSERT_EQ(seen[i].rfind(loading, 0), 0u) << seen[i];
    const int size = std::stoi(seen[i].substr(loading.size()));
    EXPECT_GT(size, last);
    last = size;
  }
  EXPECT_EQ(seen.back(), loading + "2000 bytes.");
}

// An address typed while a slow page is still to answer: whatever that
// page's answer sets, nothing is stored for the typed host.
TEST_F(PageRequests, NoCookieLandsWithTheHostTypedDuringASlowLoad) {
  Open({"/home=" + StartPage()});
  TTimer type(nullptr);
  type.SetInterval(300);
  type.OnTimer = [this, &type](TObject*) {
    type.SetEnabled(false);
    Navigate(At("/page", "localhost"));
  };
  type.SetEnabled(true);
  Request(true, At("/slowcookie"));
  EXPECT_FALSE(type.Enabled());
  EXPECT_EQ(ShownURL(), At("/page", "localhost"));
  EXPECT_EQ(window_->CookieList->GetCookies(At("/page", "localhost")).find("planted"), std::string::npos);
  EXPECT_EQ(Logged("GET /page localhost").size(), 1u);
}

// A wait for the network runs the window's messages, while the request that
// waits still holds its connection and the frame browser its load: an address
// typed there (the browser, busy, lets it pass), pictures arriving for the
// page being read, and Stop. (Under the address sanitizer: nothing is freed
// under them.)
TEST_F(PageRequests, StopATypedAddressAndPicturesDuringASlowFetchLeaveTheWindowWhole) {
  // The pictures of one frame come within a second; the other frame's page
  // would take a minute.
  Write("frames.html", "<frameset cols=\"50%,50%\"><frame src=\"" + At("/gallery5") + "\"><frame src=\"" +
                           At("/drip") + "\"></frameset>");
  Open({"/home=" + StartPage()});
  std::string fileName;
  int docType = 0;
  const auto pictureIn = [&] { return window_->DiskCache->FindInCache(At("/img5/0.png"), fileName, docType); };
  // Stop comes once `stopWhen` holds, or after five seconds.
  const auto slowFetch = [this](const std::string& address, const std::function<bool()>& stopWhen) {
    TTimer type(nullptr);
    RunAfter(type, 200, [this] { Navigate(At("/page?typed")); });
    const auto start = std::chrono::steady_clock::now();
    TTimer stop(nullptr);
    stop.SetInterval(500);
    stop.OnTimer = [&](TObject*) {
      if (!stopWhen() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) return;
      stop.SetEnabled(false);
      window_->actionStopExecute(nullptr);
    };
    stop.SetEnabled(true);
    Navigate(address);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << address;
    EXPECT_FALSE(type.Enabled() || stop.Enabled()) << address;
    EXPECT_TRUE(QueuesEmpty(*window_)) << address;
  };
  slowFetch(At("/drip"), [] { return true; });
  EXPECT_TRUE(Logged("GET /page?typed").empty());
  // Inserted and cached during the wait: Stop clears whatever is left.
  slowFetch(Path("frames.html"), pictureIn);
  EXPECT_TRUE(pictureIn());
  // The load over, the typed address opens.
  Navigate(At("/page?typed"));
  EXPECT_EQ(ShownURL(), At("/page?typed"));
  EXPECT_EQ(ShownTitle(), "page");
}

// A picture that failed is not cached: the page shown again asks for it
// again, and only for it.
TEST_F(PageRequests, FailedImagesAreNotCached) {
  Open({"/home=" + StartPage()});
  const auto settle = [this] {
    for (int i = 0; i < 300 && !QueuesEmpty(*window_); ++i) {
      Application()->ProcessMessages();
      usleep(20000);
    }
    ASSERT_TRUE(QueuesEmpty(*window_));
  };
  Navigate(At("/mixed"));
  settle();
  std::string fileName;
  int docType = 0;
  EXPECT_TRUE(window_->DiskCache->FindInCache(At("/img/m0.png"), fileName, docType));
  EXPECT_FALSE(window_->DiskCache->FindInCache(At("/noimg/x.png"), fileName, docType));
  Navigate(At("/mixed?again"));
  settle();
  EXPECT_EQ(Logged("GET /img/m0.png").size(), 1u);
  EXPECT_EQ(Logged("GET /noimg/x.png").size(), 2u);
}

}  // namespace
}  // namespace lark
