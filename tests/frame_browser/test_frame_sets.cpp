#include <gtest/gtest.h>

#include "platform/windows/test_driver.h"
#include "tests/frame_browser/browser_fixture.h"

namespace lark {
namespace {

class FrameSetTest : public BrowserTest {
 protected:
  void Page(const std::string& url, const std::string& html) { host.Pages[url] = {html}; }
  [[nodiscard]] std::vector<std::string> RequestedURLs() const {
    std::vector<std::string> urls;
    for (const auto& r : host.Requests) urls.push_back(r.URL);
    return urls;
  }
  [[nodiscard]] TbrFrame* Frame(int index) const { return browser->CurFrameSet()->Frames.at(index); }
};

TEST_F(FrameSetTest, ColumnsAndNestedRowsAskForEveryFrame) {
  browser->SetfvOptions(browser->fvOptions() | fvNoBorder);
  Page("http://h/top.html",
       "<frameset cols=\"100,1*,2*\" border=0><frame src=a.html name=Left>"
       "<frameset rows=\"50%,*\"><frame src=\"sub\\b.html\"><frame src=/c.html></frameset>"
       "<frame src=\"http://x/d.html#p\"></frameset>");
  Page("http://h/a.html", "a");
  Page("http://h/sub/b.html", "b");
  Page("http://h/c.html", "c");
  Page("http://x/d.html", "d<img src=\"pics\\p.png\"><img src=/q.png>");
  std::vector<std::string> images;
  browser->SetOnImageRequest([&](TObject*, const std::string& src, TMemoryStream*& stream) {
    images.push_back(src);
    stream = nullptr;
  });
  browser->LoadURL("http://h/top.html");
  // Names resolve against the frame's own address; "\\" is "/" and "/x" is server-relative.
  EXPECT_EQ(images, (std::vector<std::string>{"http://x/pics/p.png", "http://x/q.png"}));
  EXPECT_EQ(RequestedURLs(), (std::vector<std::string>{"http://h/top.html", "http://h/a.html",
                                                      "http://h/sub/b.html", "http://h/c.html",
                                                      "http://x/d.html"}));
  for (std::size_t i = 1; i < host.Requests.size(); ++i)
    EXPECT_NE(host.Requests[i].Sender, static_cast<TObject*>(browser));
  ASSERT_EQ(browser->ViewerCount(), 4);
  TbrFrameSet& set = *browser->CurFrameSet();
  ASSERT_EQ(set.List.size(), 3u);
  EXPECT_EQ(set.List[0]->Width(), 100);
  EXPECT_EQ(set.List[1]->Width(), 200);
  EXPECT_EQ(set.List[2]->Width(), 400);
  auto& rows = dynamic_cast<TbrSubFrameSet&>(*set.List[1]);
  EXPECT_EQ(rows.List[0]->Height(), 200);
  EXPECT_EQ(rows.List[1]->Height(), 200);
  EXPECT_EQ(set.FindFrame("left"), Frame(0));
  const auto edges = browser->ViewerEdges();
  ASSERT_EQ(edges.size(), 4u);
  EXPECT_EQ(edges[0].second, "ltb");
  EXPECT_EQ(edges[1].second, "t");
  EXPECT_EQ(edges[2].second, "b");
  EXPECT_EQ(edges[3].second, "trb");
}

TEST_F(FrameSetTest, FewerOrMoreFramesThanDimensionsAndTheCaps) {
  Page("http://h/two.html", "<frameset cols=\"*,*,*\"><frame src=a><frame src=b></frameset>");
  Page("http://h/four.html",
       "<frameset cols=\"*,*,*\"><frame src=a><frame src=b><frame src=c><frame src=d></frameset>");
  browser->LoadURL("http://h/two.html");
  EXPECT_EQ(browser->CurFrameSet()->List.size(), 3u);
  EXPECT_TRUE(Frame(2)->Source.empty());
  browser->LoadURL("http://h/four.html");
  ASSERT_EQ(browser->CurFrameSet()->List.size(), 4u);
  EXPECT_EQ(browser->CurFrameSet()->Dim[3], -1);

  std::string many = "<frameset cols=\"*\">";
  for (int i = 0; i < 25; ++i) many += "<frame src=f" + std::to_string(i) + ">";
  Page("http://h/many.html", many + "</frameset>");
  host.Requests.clear();
  browser->LoadURL("http://h/many.html");
  EXPECT_EQ(browser->CurFrameSet()->List.size(), 20u);
  EXPECT_EQ(host.Requests.size(), 21u);  // the page and 20 frames
}

TEST_F(FrameSetTest, SelfNestingStaysBounded) {
  Page("http://h/self2.html", "<frameset cols=\"*,*\"><frame src=self2.html><frame src=self2.html></frameset>");
  browser->LoadURL("http://h/self2.html");
  EXPECT_EQ(host.Requests.size(), 1u + 30u);
  std::string twenty = "<frameset cols=\"*\">";
  for (int i = 0; i < 20; ++i) twenty += "<frame src=self20.html>";
  Page("http://h/self20.html", twenty + "</frameset>");
  host.Requests.clear();
  browser->LoadURL("http://h/self20.html");
  EXPECT_EQ(browser->CurFrameSet()->FrameCount, kMaxFramesPerPage);
  EXPECT_LE(host.Requests.size(), 1u + kMaxFramesPerPage);
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "<frameset rows=\"*,*\"><frame src=x>";
  Page("http://h/deep.html", deep);
  browser->LoadURL("http://h/deep.html");
  EXPECT_LE(browser->CurFrameSet()->FrameCount, kMaxFramesPerPage);
}

TEST_F(FrameSetTest, ErrorPageShowsTheNameAsText) {
  Page("http://h/top.html", "<frameset cols=\"*,*\"><frame src=\"bad<b>.html\"><frame src=ok.html></frameset>");
  host.Pages["http://h/bad<b>.html"] = {"x", ThtmlFileType::ftHTML, "", true};
  Page("http://h/ok.html", "<img src=pic.png>ok");
  int images = 0;
  browser->SetOnImageRequest([&](TObject*, const std::string&, TMemoryStream*& stream) {
    ++images;
    stream = nullptr;
  });
  browser->LoadURL("http://h/top.html");
  THTMLViewer* bad = Frame(0)->Viewer();
  ASSERT_NE(bad, nullptr);
  EXPECT_EQ(images, 1);  // only the working frame's picture
  EXPECT_TRUE(bad->Find("Can't load http://h/bad<b>.html", true));
  // The picture shows the error look (its red mark) at the page's start.
  bool red = false;
  for (int y = 0; y < 40 && !red; ++y)
    for (int x = 0; x < 50 && !red; ++x) red = test_driver::PixelAt(bad, x, y) == 0xFF0000;
  EXPECT_TRUE(red);
}

}  // namespace
}  // namespace lark
