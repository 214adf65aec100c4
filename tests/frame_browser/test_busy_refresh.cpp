#include <gtest/gtest.h>

#include <utility>

#include "html/attribute_list.h"
#include "platform/core/code_page.h"
#include "html/form_controls_simple.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"
#include "tests/frame_browser/browser_fixture.h"

namespace lark {
namespace {

class BusyTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    host.Pages["http://h/two.html"] = {"<frameset cols=\"*,*\"><frame src=a.html><frame src=b.html></frameset>"};
    host.Pages["http://h/a.html"] = {"<meta http-equiv=refresh content=\"1\">a <a href=b.html>b</a>"};
    host.Pages["http://h/b.html"] = {"b"};
  }
  [[nodiscard]] TbrFrame* Frame(int index) const { return browser->CurFrameSet()->Frames.at(index); }
};

TEST_F(BusyTest, ProcessingReportedOnceForTwoFramesAndSettingsWait) {
  std::vector<bool> reports;
  browser->OnProcessing = [&](TObject*, bool on) { reports.push_back(on); };
  bool viewImagesTaken = true;
  host.Pump = [&] {
    browser->SetViewImages(false);  // while loading: no effect
    viewImagesTaken = !browser->ViewImages();
  };
  browser->LoadURL("http://h/two.html");
  EXPECT_EQ(reports, (std::vector<bool>{true, false}));
  EXPECT_FALSE(viewImagesTaken);
  EXPECT_TRUE(Frame(0)->Viewer()->ViewImages());
}

TEST_F(BusyTest, FrameRefreshAsksForAReloadAndWaitsWhileBusy) {
  browser->SetfvOptions(browser->fvOptions() | fvMetaRefresh);
  browser->LoadURL("http://h/two.html");
  TTimer* timer = Frame(0)->RefreshTimer();
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 1000u);
  // Due during a request: it waits.
  bool firedInside = false, pumped = false;
  host.Pump = [&] {
    if (std::exchange(pumped, true)) return;
    const std::size_t before = host.Requests.size();
    timer->Fire();
    firedInside = host.Requests.size() != before;
  };
  browser->Reload();
  EXPECT_FALSE(firedInside);
  EXPECT_TRUE(timer->Enabled());
  host.Requests.clear();
  timer->Fire();
  ASSERT_EQ(host.Requests.size(), 1u);
  EXPECT_EQ(host.Requests[0].URL, "http://h/a.html");
  EXPECT_EQ(host.Requests[0].Sender, Frame(0));
  EXPECT_TRUE(host.Requests[0].Reload);
  // An unloaded frame does not refresh.
  browser->CurFrameSet()->UnloadFiles();
  host.Requests.clear();
  timer->Fire();
  EXPECT_TRUE(host.Requests.empty());
}

TEST_F(BusyTest, PasswordFormsAimedAtANewWindowStayHere) {
  host.Pages["http://h/f.html"] = {"<form action=b.html target=_blank>"};
  browser->LoadURL("http://h/f.html");
  bool blank = false;
  browser->OnBlankWindowRequest = [&](TObject*, const std::string&, const std::string&) { blank = true; };
  THTMLViewer* viewer = browser->Viewers(0);
  // The page's password box, as the form reader makes it.
  TAttributeList attributes;
  attributes.AddAttribute(TypeSy, 0, "password");
  attributes.AddAttribute(ValueSy, 0, "s");
  auto password = std::make_unique<TEditFormControlObj>(viewer->SectionList(), attributes, CP_UTF8);
  viewer->OnFormSubmit()(viewer, "b.html", "_blank", "", "post", {"p=s"});
  EXPECT_FALSE(blank);
  EXPECT_EQ(host.Requests.back().URL, "http://h/b.html");
  EXPECT_FALSE(host.Requests.back().IsGet);
  EXPECT_EQ(browser->CurrentFile(), "http://h/b.html");
  password.reset();
  Drain();
}

TEST_F(BusyTest, VisitedLinksShowInEveryFrame) {
  host.Pages["http://h/a.html"] = {"<body bgcolor=white><a href=b.html><font size=7>BBBB</font></a>"};
  browser->SetDefVisitedLinkColor(clRed);
  browser->SetDefHotSpotColor(clBlue);
  browser->LoadURL("http://h/two.html");
  THTMLViewer* viewer = Frame(0)->Viewer();
  const std::size_t expansions = viewer->LinkNameExpansions();
  browser->MarkVisitedLinks();
  EXPECT_EQ(viewer->LinkNameExpansions(), expansions);  // the browser expands names itself
  browser->LoadURL("http://h/b.html");
  browser->GoBack();  // history off: nothing to go back to
  browser->LoadURL("http://h/two.html");
  Drain();
  bool red = false;
  for (int x = 10; x < 150 && !red; ++x)
    for (int y = 5; y < 60 && !red; ++y) red = test_driver::PixelAt(Frame(0)->Viewer(), x, y) == 0xFF0000;
  EXPECT_TRUE(red);
}

}  // namespace
}  // namespace lark
