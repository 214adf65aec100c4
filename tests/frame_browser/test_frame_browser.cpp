#include <gtest/gtest.h>

#include "tests/frame_browser/browser_fixture.h"
#include "viewer/frame_set.h"
#include "viewer/paint_panel.h"

namespace lark {
namespace {

TEST_F(BrowserTest, OnePageFromTheHost) {
  host.Pages["http://h/a.html"] = {"<title>A</title><body>Hello"};
  int processing = 0;
  browser->OnProcessing = [&](TObject*, bool on) { processing += on ? 1 : -1; };
  browser->LoadURL("http://h/a.html#top");
  ASSERT_EQ(host.Requests.size(), 1u);
  const TRecordedRequest& r = host.Requests[0];
  EXPECT_EQ(r.Sender, browser);
  EXPECT_TRUE(r.IsGet);
  EXPECT_EQ(r.URL, "http://h/a.html");
  EXPECT_EQ(r.Query, "");
  EXPECT_FALSE(r.Reload);
  EXPECT_EQ(browser->DocumentTitle(), "A");
  EXPECT_EQ(browser->CurrentFile(), "http://h/a.html");
  ASSERT_EQ(browser->ViewerCount(), 1);
  EXPECT_EQ(browser->ActiveViewer(), browser->Viewers(0));
  EXPECT_EQ(processing, 0);
  EXPECT_EQ(browser->Visited().Strings(0), "http://h/a.html#top");
}

TEST_F(BrowserTest, MissingAnswersAndEvents) {
  EXPECT_THROW(browser->LoadURL("http://h/none"), EfvLoadError);
  try {
    browser->LoadURL("http://h/none");
  } catch (const EfvLoadError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't load: http://h/none");
  }
  host.Pages["http://h/a"] = {"x"};
  browser->LoadURL("http://h/a");
  host.Pages.erase("http://h/a");
  try {
    browser->LoadURL("http://h/a#b");
    ADD_FAILURE();
  } catch (const EfvLoadError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't locate cache file: http://h/a");
  }
  host.Pages["http://h/r"] = {"x", ThtmlFileType::ftHTML, "", true};
  EXPECT_THROW(browser->LoadURL("http://h/r"), std::runtime_error);
  EXPECT_FALSE(browser->Busy());
  browser->OnGetPostRequestEx = nullptr;
  try {
    browser->LoadURL("http://h/a");
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "No OnGetPostRequest or OnGetPostRequestEx event defined");
  }
}

// The options and the drag handlers reach every viewer, viewers made later
// and the page's panel, also when a page comes back from history.
TEST_F(BrowserTest, OptionsAndDragsReachEveryViewerAndThePage) {
  EXPECT_EQ(browser->fvOptions(), TFrameViewerOptions{fvPrintMonochromeBlack | fvPrintTableBackground});
  browser->SetHistoryMaxCount(5);
  host.Pages["http://h/two.html"] = {"<frameset cols=\"*,*\"><frame src=a.html><frame src=a.html></frameset>"};
  host.Pages["http://h/a.html"] = {"a"};
  browser->LoadURL("http://h/two.html");
  const ThtmlViewerOptions wanted = htOverLinksActive | htNoLinkUnderline | htShowVScroll;
  browser->SetfvOptions(fvOverLinksActive | fvNoLinkUnderline | fvShowVScroll);
  auto allHave = [&](ThtmlViewerOptions options) {
    for (int i = 0; i < browser->ViewerCount(); ++i)
      if (browser->Viewers(i)->htOptions() != options) return false;
    return browser->ViewerCount() > 0;
  };
  EXPECT_TRUE(allHave(wanted));
  browser->LoadURL("http://h/a.html");  // viewers made later
  EXPECT_TRUE(allHave(wanted));
  browser->SetfvOptions(fvPrintTableBackground | fvNoBorder);
  EXPECT_TRUE(allHave(htPrintTableBackground));
  EXPECT_EQ(browser->CurFrameSet()->BevelOuter(), TBevelCut::bvNone);
  browser->SetfvOptions(fvPrintTableBackground);
  EXPECT_EQ(browser->CurFrameSet()->BevelOuter(), TBevelCut::bvLowered);
  EXPECT_EQ(browser->CurFrameSet()->BevelWidth(), 2);

  std::vector<TObject*> senders;
  browser->SetOnDragDrop([&](TObject* sender, TObject*, int, int) { senders.push_back(sender); });
  browser->SetOnDragOver([&](TObject* sender, TObject*, int, int, TDragState, bool& accept) {
    senders.push_back(sender);
    accept = true;
  });
  browser->GoBack();  // the two-frame page, left before the handlers came
  ASSERT_EQ(browser->ViewerCount(), 2);
  EXPECT_TRUE(allHave(htPrintTableBackground));
  bool accept = false;
  for (int i = 0; i < 2; ++i) {
    TPaintPanel& surface = browser->Viewers(i)->PaintPanel();
    ASSERT_TRUE(surface.OnDragDrop && surface.OnDragOver);
    surface.OnDragDrop(&surface, nullptr, 1, 1);
    surface.OnDragOver(&surface, nullptr, 1, 1, TDragState::dsDragMove, accept);
  }
  TbrFrameSet* page = browser->CurFrameSet();
  ASSERT_TRUE(page->OnDragDrop && page->OnDragOver);
  page->OnDragDrop(page, nullptr, 1, 1);
  EXPECT_EQ(senders, std::vector<TObject*>(5, browser));
  EXPECT_TRUE(accept);
  browser->SetOnDragDrop(nullptr);
  browser->SetOnDragOver(nullptr);
  EXPECT_FALSE(page->OnDragDrop || page->OnDragOver);
  EXPECT_FALSE(browser->Viewers(0)->PaintPanel().OnDragDrop);
}

TEST(FrameDimensions, ReadAndDivide) {
  const auto dims = ReadFrameDimensions("100, 1*, 2*");
  ASSERT_EQ(dims.size(), 3u);
  EXPECT_EQ(DivideFrameLength(dims, 700), (std::vector<int>{100, 200, 400}));
  EXPECT_EQ(DivideFrameLength(ReadFrameDimensions("50%,*"), 400), (std::vector<int>{200, 200}));
  EXPECT_EQ(ReadFrameDimensions("99999%,99999,99999*"), (std::vector<TFrameDimension>{-1000, 5000, -99}));
  EXPECT_EQ(ReadFrameDimensions(std::string(40, '9')), (std::vector<TFrameDimension>{5000}));
  std::string many;
  for (int i = 0; i < 30; ++i) many += "1*,";
  EXPECT_EQ(ReadFrameDimensions(many).size(), 20u);
  // No room: pixels scale down, nothing goes negative.
  for (int size : DivideFrameLength(ReadFrameDimensions("5000,5000,*,50%"), 0)) EXPECT_GE(size, 0);
  EXPECT_EQ(DivideFrameLength(ReadFrameDimensions("300,100"), 200), (std::vector<int>{150, 50}));
}

}  // namespace
}  // namespace lark
