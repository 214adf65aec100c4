#include <gtest/gtest.h>

#include "tests/frame_browser/browser_fixture.h"

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
