#include <gtest/gtest.h>

#include "html/form_controls_simple.h"
#include "html/section_list.h"
#include "platform/windows/button.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"
#include "tests/frame_browser/browser_fixture.h"
#include "viewer/paint_panel.h"

namespace lark {
namespace {

class NavigationTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    browser->SetHistoryMaxCount(10);
    host.Pages["http://h/top.html"] = {
        "<frameset cols=\"*,*\"><frame src=one.html name=One><frame src=two.html name=two></frameset>"};
    for (const char* name : {"one", "two", "three", "four"})
      host.Pages[std::string("http://h/") + name + ".html"] = {
          std::string("<body>") + name + " <a href=three.html>3</a> <a href=four.html target=ONE>4</a>"};
    host.Pages["http://h/a.html"] = {"<title>A</title><a href=b.html>b</a> <a href=#end>end</a>"};
    host.Pages["http://h/b.html"] = {"<title>B</title>b"};
  }
  // The viewer's own link click, as its mouse-up makes it.
  bool ClickLink(THTMLViewer* viewer, const std::string& link) {
    bool handled = false;
    viewer->OnHotSpotClick(viewer, link, handled);
    return handled;
  }
  [[nodiscard]] TbrFrame* Frame(int index) const { return browser->CurFrameSet()->Frames.at(index); }
  [[nodiscard]] const TRecordedRequest& Last() const { return host.Requests.back(); }
};

TEST_F(NavigationTest, FrameLinksAndTheirHistory) {
  browser->LoadURL("http://h/top.html");
  EXPECT_FALSE(browser->BackButtonEnabled());
  THTMLViewer* one = Frame(0)->Viewer();
  EXPECT_TRUE(ClickLink(one, "three.html"));
  EXPECT_EQ(Last().URL, "http://h/three.html");
  EXPECT_EQ(Last().Sender, Frame(0));
  EXPECT_EQ(Last().Referer, "http://h/one.html");
  ClickLink(Frame(1)->Viewer(), "four.html");
  EXPECT_EQ(Frame(1)->Source, "http://h/four.html");
  EXPECT_TRUE(browser->BackButtonEnabled());
  browser->GoBack();  // frame 2 first
  EXPECT_EQ(Frame(1)->Source, "http://h/two.html");
  EXPECT_EQ(Frame(0)->Source, "http://h/three.html");
  browser->GoBack();
  EXPECT_EQ(Frame(0)->Source, "http://h/one.html");
  EXPECT_TRUE(browser->FwdButtonEnabled());
  browser->GoFwd();  // the oldest undone step
  EXPECT_EQ(Frame(0)->Source, "http://h/three.html");
  // A new link drops what every frame had undone.
  ClickLink(Frame(1)->Viewer(), "three.html");
  EXPECT_FALSE(browser->FwdButtonEnabled());
}

TEST_F(NavigationTest, BaseTargetsNamesTopAndBlank) {
  host.Pages["http://h/named.html"] = {"<base target=oNe><a href=x>x</a>"};
  host.Pages["http://h/top2.html"] = {"<base target=_top><a href=x>x</a>"};
  host.Pages["http://h/blank.html"] = {"<base target=_blank><a href=x>x</a>"};
  host.Pages["http://h/x.html"] = {"x"};
  browser->LoadURL("http://h/top.html");
  const TbrFrameSet* page = browser->CurFrameSet();
  Frame(1)->LoadFrameURL("http://h/named.html", "", "", "", "", true, true, false);
  ClickLink(Frame(1)->Viewer(), "x.html");
  EXPECT_EQ(Frame(0)->Source, "http://h/x.html");
  EXPECT_EQ(Last().Sender, Frame(0));

  Frame(1)->LoadFrameURL("http://h/blank.html", "", "", "", "", true, true, false);
  host.Requests.clear();
  ClickLink(Frame(1)->Viewer(), "x.html");  // no handler: nothing
  EXPECT_TRUE(host.Requests.empty());
  std::string blankURL;
  browser->OnBlankWindowRequest = [&](TObject*, const std::string&, const std::string& url) { blankURL = url; };
  ClickLink(Frame(1)->Viewer(), "x.html#p");
  EXPECT_EQ(blankURL, "http://h/x.html#p");
  EXPECT_EQ(browser->Visited().Strings(0), "http://h/x.html#p");
  EXPECT_TRUE(host.Requests.empty());

  Frame(1)->LoadFrameURL("http://h/top2.html", "", "", "", "", true, true, false);
  ClickLink(Frame(1)->Viewer(), "x.html");
  EXPECT_EQ(Last().Sender, browser);
  EXPECT_NE(browser->CurFrameSet(), page);
  EXPECT_EQ(browser->ViewerCount(), 1);

  std::string clicked;
  browser->OnHotSpotTargetClick = [&](TObject*, const std::string&, const std::string& url, bool& handled) {
    clicked = url;
    handled = true;
  };
  host.Requests.clear();
  ClickLink(browser->Viewers(0), "b.html#x");
  EXPECT_EQ(clicked, "http://h/b.html#x");
  EXPECT_TRUE(host.Requests.empty());
}

// "_parent" from a frame of a nested frameset is the frame holding that
// set; an unknown name is a new window, asked only of a handler.
TEST_F(NavigationTest, ParentAndUnknownTargets) {
  host.Pages["http://h/nest.html"] = {
      "<frameset cols=\"*,*\"><frame src=nest2.html name=Left><frame src=two.html></frameset>"};
  host.Pages["http://h/nest2.html"] = {"<frameset rows=\"*,*\"><frame src=up.html><frame src=away.html></frameset>"};
  host.Pages["http://h/up.html"] = {"<base target=_parent>up"};
  host.Pages["http://h/away.html"] = {"<base target=Elsewhere>away"};
  host.Pages["http://h/x.html"] = {"x"};
  browser->LoadURL("http://h/nest.html");
  auto viewerOf = [&](const std::string& url) -> THTMLViewer* {
    for (THTMLViewer* viewer : browser->CurFrameSet()->Viewers)
      if (viewer->CurrentFile() == url) return viewer;
    return nullptr;
  };
  ASSERT_NE(viewerOf("http://h/away.html"), nullptr);
  host.Requests.clear();
  ClickLink(viewerOf("http://h/away.html"), "x.html");  // no handler: nothing
  EXPECT_TRUE(host.Requests.empty());
  std::string blankTarget, blankURL;
  browser->OnBlankWindowRequest = [&](TObject*, const std::string& target, const std::string& url) {
    blankTarget = target;
    blankURL = url;
  };
  ClickLink(viewerOf("http://h/away.html"), "x.html");
  EXPECT_EQ(blankTarget, "Elsewhere");
  EXPECT_EQ(blankURL, "http://h/x.html");
  EXPECT_TRUE(host.Requests.empty());

  ASSERT_NE(viewerOf("http://h/up.html"), nullptr);
  const TbrFrameSet* page = browser->CurFrameSet();
  ClickLink(viewerOf("http://h/up.html"), "x.html");
  EXPECT_EQ(browser->CurFrameSet(), page);  // not the whole page
  EXPECT_EQ(Frame(0)->Source, "http://h/x.html");
  EXPECT_EQ(Last().Sender, Frame(0));
  EXPECT_NE(Frame(0)->Viewer(), nullptr);  // the nested set gave way to a viewer
}

TEST_F(NavigationTest, OneFramePageIsReplacedButAnchorsStay) {
  browser->LoadURL("http://h/a.html");
  const TbrFrameSet* first = browser->CurFrameSet();
  host.Requests.clear();
  ClickLink(browser->Viewers(0), "#end");
  EXPECT_TRUE(host.Requests.empty());
  EXPECT_EQ(browser->CurFrameSet(), first);
  ClickLink(browser->Viewers(0), "b.html");
  ASSERT_EQ(host.Requests.size(), 1u);
  EXPECT_EQ(Last().Sender, browser);
  EXPECT_EQ(Last().Referer, "http://h/a.html");
  EXPECT_NE(browser->CurFrameSet(), first);
  EXPECT_EQ(browser->DocumentTitle(), "B");
  browser->GoBack();
  EXPECT_EQ(browser->DocumentTitle(), "A");
  EXPECT_EQ(Last().URL, "http://h/a.html");
  EXPECT_FALSE(Last().Reload);
  browser->GoFwd();
  EXPECT_EQ(browser->DocumentTitle(), "B");
}

TEST_F(NavigationTest, HistoryCountsAndChanges) {
  int changes = 0;
  browser->OnHistoryChange = [&](TObject*) { ++changes; };
  browser->LoadURL("http://h/a.html");
  EXPECT_EQ(changes, 2);  // the frame's first entry and the page's
  browser->SetHistoryMaxCount(15);
  for (int i = 0; i < 20; ++i) {
    host.Pages["http://h/p" + std::to_string(i)] = {"p"};
    browser->LoadURL("http://h/p" + std::to_string(i));
  }
  EXPECT_EQ(browser->HistoryCount(), 15);
  browser->SetHistoryMaxCount(0);
  browser->LoadURL("http://h/a.html");
  EXPECT_EQ(browser->HistoryCount(), 0);
  EXPECT_FALSE(browser->BackButtonEnabled());
}

TEST_F(NavigationTest, ForwardPastSequenceTenThousand) {
  FrameHistorySequence() = 9998;
  browser->LoadURL("http://h/top.html");
  ClickLink(Frame(0)->Viewer(), "three.html");
  ClickLink(Frame(1)->Viewer(), "three.html");
  browser->GoBack();
  browser->GoBack();
  browser->GoFwd();
  EXPECT_EQ(Frame(0)->Source, "http://h/three.html");
  browser->GoFwd();
  EXPECT_EQ(Frame(1)->Source, "http://h/three.html");
}

// Every kind of request, each with exactly its row's arguments.
TEST_F(NavigationTest, EachRequestCarriesItsRow) {
  host.Pages["http://h/one.html"] = {"<link rel=stylesheet href=s.css>one"};
  host.Pages["http://h/s.css"] = {"p { color: red }"};
  host.Pages["http://h/two.html"] = {"<base target=_top>two"};
  host.Pages["http://h/f.html"] = {"f"};
  auto row = [&](const TRecordedRequest& r) {
    const std::string sender = r.Sender == browser                              ? "browser"
                               : r.Sender == Frame(0)                           ? "frame0"
                               : r.Sender == Frame(1)                           ? "frame1"
                               : dynamic_cast<THTMLViewer*>(r.Sender) != nullptr ? "viewer"
                                                                                : "?";
    return sender + (r.IsGet ? " GET " : " POST ") + r.URL + " [" + r.Query + "] [" + r.EncType + "] [" +
           r.Referer + "]" + (r.Reload ? " reload" : "");
  };
  auto rows = [&] {
    std::vector<std::string> all;
    for (const TRecordedRequest& r : host.Requests) all.push_back(row(r));
    host.Requests.clear();
    return all;
  };
  browser->LoadURL("http://h/top.html#x");
  EXPECT_EQ(rows(), (std::vector<std::string>{"browser GET http://h/top.html [] [] []",
                                              "frame0 GET http://h/one.html [] [] []",
                                              "viewer GET http://h/s.css [] [] []",
                                              "frame1 GET http://h/two.html [] [] []"}));
  ClickLink(Frame(0)->Viewer(), "f.html#p");
  EXPECT_EQ(rows(), std::vector<std::string>{"frame0 GET http://h/f.html [] [] [http://h/one.html]"});
  browser->GoBack();  // a history step in a frame
  EXPECT_EQ(rows(), (std::vector<std::string>{"frame0 GET http://h/one.html [] [] []",
                                              "viewer GET http://h/s.css [] [] []"}));
  THTMLViewer* first = Frame(0)->Viewer();
  first->OnFormSubmit()(first, "f.html#p", "", "text/plain", "POST", {"a=1"});
  EXPECT_EQ(rows(), std::vector<std::string>{"frame0 POST http://h/f.html [a=1] [text/plain] [http://h/one.html] reload"});
  browser->Reload();
  EXPECT_EQ(rows(), (std::vector<std::string>{"frame0 GET http://h/f.html [] [] []",
                                              "frame1 GET http://h/two.html [] [] []"}));
  THTMLViewer* second = Frame(1)->Viewer();
  second->OnFormSubmit()(second, "f.html", "_top", "", "get", {"b=2"});
  EXPECT_EQ(rows(), std::vector<std::string>{"browser GET http://h/f.html [b=2] [] [http://h/two.html] reload"});
  browser->GoBack();
  rows();
  ClickLink(Frame(1)->Viewer(), "f.html#p");  // BASE TARGET _top
  EXPECT_EQ(rows(), std::vector<std::string>{"browser GET http://h/f.html [] [] [http://h/two.html]"});
}

TEST_F(NavigationTest, GetFormsAreEncoded) {
  browser->LoadURL("http://h/a.html");
  THTMLViewer* viewer = browser->Viewers(0);
  viewer->OnFormSubmit()(viewer, "b.html#x", "", "", "GET", {"q=a b", std::string("e=\xE9")});
  EXPECT_EQ(Last().URL, "http://h/b.html");
  EXPECT_EQ(Last().Query, "q=a+b&e=%E9");
  EXPECT_TRUE(Last().IsGet);
  EXPECT_TRUE(Last().Reload);
}

// A windows-1250 page's form, sent by a click on its button: the values go
// out in the page's code page ("\xE9" there is "é").
TEST_F(NavigationTest, AClickedFormSendsThePagesBytes) {
  host.Pages["http://h/cz.html"] = {
      "<meta http-equiv=content-type content=\"text/html; charset=windows-1250\">"
      "<form action=b.html><input name=q value=\"caf\xE9 au lait\"><input type=submit></form>"};
  browser->LoadURL("http://h/cz.html");
  Drain();
  const TSectionList& list = browser->Viewers(0)->SectionList();
  ASSERT_EQ(list.FormControlList.size(), 2u);
  test_driver::Click(&static_cast<TButtonFormControlObj*>(list.FormControlList[1])->Button(), 5, 5);
  Drain();
  EXPECT_EQ(Last().URL, "http://h/b.html");
  EXPECT_EQ(Last().Query, "q=caf%E9+au+lait");
  EXPECT_TRUE(Last().IsGet);
}

TEST_F(NavigationTest, FrameSetRefreshWaitsForIdleAndAsksForAReload) {
  browser->SetfvOptions(browser->fvOptions() | fvMetaRefresh);
  host.Pages["http://h/r.html"] = {"<meta http-equiv=refresh content=\"1; url=http://h/top.html\">"
                                   "<frameset cols=\"*\"><frame src=one.html></frameset>"};
  host.Pages["http://h/zip.html"] = {"<meta http-equiv=refresh content=\"1; url=x.zip\">"
                                     "<frameset cols=\"*\"><frame src=one.html></frameset>"};
  browser->LoadURL("http://h/zip.html");
  EXPECT_TRUE(!browser->CurFrameSet()->RefreshTimer() || !browser->CurFrameSet()->RefreshTimer()->Enabled());
  browser->LoadURL("http://h/r.html");
  TTimer* timer = browser->CurFrameSet()->RefreshTimer();
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 1000u);
  timer->Fire();
  ASSERT_GE(host.Requests.size(), 3u);
  const TRecordedRequest& page = host.Requests[host.Requests.size() - 3];
  EXPECT_EQ(page.URL, "http://h/top.html");
  EXPECT_EQ(page.Sender, browser);
  EXPECT_TRUE(page.Reload);
}

}  // namespace
}  // namespace lark
