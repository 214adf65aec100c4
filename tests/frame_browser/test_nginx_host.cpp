#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/http_connection.h"
#include "html/form_controls_simple.h"
#include "html/section_list.h"
#include "platform/core/clock.h"
#include "platform/windows/button.h"
#include "platform/windows/test_driver.h"
#include "tests/net/nginx_peer.h"
#include "tests/platform_windows/window_fixture.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

// The application's side as the program has it: each document fetched with
// the HTTP connection into one reused stream, a redirect's target as NewURL.
class THttpHost {
 public:
  void Attach(TFrameBrowser& browser) {
    browser.OnGetPostRequestEx = [this](TObject*, bool isGet, const std::string& url, const std::string& query,
                                        const std::string& encType, const std::string& referer, bool,
                                        std::string& newURL, ThtmlFileType& docType, TMemoryStream*& stream) {
      THTTPConnection connection;
      answer_.Clear();
      connection.SetInputStream(&answer_);
      connection.Referer = referer;
      connection.OnRedirect = [&newURL](TObject*, std::string& dest, int&, bool&) { newURL = dest; };
      TMemoryStream body;
      if (isGet) {
        connection.Get(query.empty() ? url : url + "?" + query);
      } else {
        body.Write(query.data(), static_cast<std::int64_t>(query.size()));
        body.SetPosition(0);
        connection.PostData = &body;
        connection.PostContentType = encType.empty() ? "application/x-www-form-urlencoded" : encType;
        connection.Post(url);
      }
      answer_.SetPosition(0);
      docType = static_cast<ThtmlFileType>(connection.GetDocType());
      stream = &answer_;
    };
  }

 private:
  TMemoryStream answer_;
};

class NginxBrowserTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    peer.HttpConfig =
        "  types { text/html html; }\n"
        "  log_format lark '$request_method $uri \"$args\" \"$request_body\" \"$http_referer\"';\n";
    // The POST target reads the body (so the log has it) by passing the
    // request on to a static page.
    peer.ServerConfig = "    access_log " + log.File("access.log") + " lark;\n" +
                        "    location = /old.html { return 302 /new.html; }\n" +
                        "    location = /post.html { proxy_method GET; proxy_pass " + peer.Url("/result.html") +
                        "; }\n";
    peer.WriteFile("form.html",
                   "<title>Form</title><form action=get.html><input name=q value=\"a b\"><input type=submit></form>"
                   "<form action=post.html method=post><input name=p value=\"x&amp;y\"><input type=submit></form>");
    peer.WriteFile("get.html", "<title>Got</title>got");
    peer.WriteFile("result.html", "<title>Posted</title>posted");
    peer.WriteFile("new.html", "<title>New</title><a href=get.html>again</a>");
    peer.Start();
    ASSERT_TRUE(peer.Started()) << peer.Error();
    form = std::make_unique<TForm>(nullptr);
    form->SetClientSize(500, 300);
    browser = new TFrameBrowser(form.get());
    browser->SetParent(form.get());
    browser->SetBounds(0, 0, 500, 300);
    host.Attach(*browser);
    form->Show();
    Drain();
  }
  void TearDown() override {
    form.reset();
    Drain();
    WindowTest::TearDown();
  }

  // Clicks the nth submit button of the page shown (controls in page order).
  void Submit(std::size_t control) {
    const TSectionList& list = browser->Viewers(0)->SectionList();
    ASSERT_GT(list.FormControlList.size(), control);
    test_driver::Click(&static_cast<TButtonFormControlObj*>(list.FormControlList[control])->Button(), 5, 5);
    Drain();
  }
  // The access log's lines once it holds `count` (nginx writes each after
  // its answer has gone).
  std::vector<std::string> Logged(std::size_t count) {
    std::vector<std::string> lines;
    for (const std::uint32_t start = timeGetTime(); timeGetTime() - start < 3000; Sleep(10)) {
      lines.clear();
      std::ifstream in(log.File("access.log"));
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      if (lines.size() >= count) break;
    }
    return lines;
  }

  test::TempDir log;
  test::NginxPeer peer;
  std::unique_ptr<TForm> form;
  TFrameBrowser* browser = nullptr;  // owned by the form
  THttpHost host;
};

TEST_F(NginxBrowserTest, FormsRedirectsAndReloadReachTheServer) {
  browser->SetHistoryMaxCount(10);
  const std::string page = peer.Url("/form.html");
  browser->LoadURL(page);
  EXPECT_EQ(browser->DocumentTitle(), "Form");
  Submit(1);  // GET: the values are the query
  EXPECT_EQ(browser->DocumentTitle(), "Got");
  browser->GoBack();
  Submit(3);  // POST: the values are the body
  EXPECT_EQ(browser->DocumentTitle(), "Posted");
  browser->LoadURL(peer.Url("/old.html"));  // a 302: the page's address is the new one
  EXPECT_EQ(browser->DocumentTitle(), "New");
  EXPECT_EQ(browser->CurrentFile(), peer.Url("/new.html"));
  bool handled = false;
  THTMLViewer* viewer = browser->Viewers(0);
  viewer->OnHotSpotClick(viewer, "get.html", handled);  // resolves against the new address
  browser->Reload();
  EXPECT_EQ(browser->DocumentTitle(), "Got");
  const std::vector<std::string> lines = Logged(9);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "GET /form.html \"-\" \"-\" \"-\"",
                       "GET /get.html \"q=a+b\" \"-\" \"" + page + "\"",
                       "GET /form.html \"-\" \"-\" \"-\"",  // back: the frame asks again
                       "GET /result.html \"-\" \"-\" \"" + page + "\"",  // the proxied request
                       "POST /post.html \"-\" \"p=x%26y\" \"" + page + "\"",
                       "GET /old.html \"-\" \"-\" \"-\"",
                       "GET /new.html \"-\" \"-\" \"-\"",
                       "GET /get.html \"-\" \"-\" \"" + peer.Url("/new.html") + "\"",
                       "GET /get.html \"-\" \"-\" \"-\"",  // Reload names no referer
                   }));
}

}  // namespace
}  // namespace lark
