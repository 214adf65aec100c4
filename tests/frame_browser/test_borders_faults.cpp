#include <gtest/gtest.h>

#include <set>

#include "platform/graphics/color.h"
#include "platform/windows/desktop.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/test_driver.h"
#include "tests/frame_browser/browser_fixture.h"

namespace lark {
namespace {

class BorderTest : public BrowserTest {
 protected:
  void LoadTwoColumns(const std::string& secondFrame = "<frame src=b.html>") {
    host.Pages["http://h/cols.html"] = {"<frameset cols=\"*,*\"><frame src=a.html>" + secondFrame + "</frameset>"};
    host.Pages["http://h/a.html"] = {"a"};
    host.Pages["http://h/b.html"] = {"b"};
    browser->LoadURL("http://h/cols.html");
    Drain();
  }
  [[nodiscard]] TbrFrame* Frame(int index) const { return browser->CurFrameSet()->Frames.at(index); }
};

TEST_F(BorderTest, DragMovesTheBorderAndConfinesThePointerMeanwhile) {
  LoadTwoColumns();
  TbrFrameSet& set = *browser->CurFrameSet();
  ASSERT_EQ(Frame(0)->Width(), 350);
  test_driver::MouseMove(Frame(0), 349, 100);
  Drain();
  EXPECT_EQ(set.Cursor(), crHSplit);
  test_driver::MouseMove(Frame(0), 340, 100);
  Drain();
  // Further than 5 pixels the pointer is over the page, which shows its own.
  EXPECT_NE(test_driver::ShownCursor(Frame(0)->Viewer()), crHSplit);
  test_driver::MouseMove(Frame(0), 348, 100);
  Drain();
  test_driver::MouseDown(Frame(0), TMouseButton::mbLeft, 348, 100);
  Drain();
  TRect clip;
  EXPECT_TRUE(GetClipCursor(clip));
  test_driver::MouseMove(Frame(0), 250, 100);
  Drain();
  test_driver::MouseUp(Frame(0), TMouseButton::mbLeft, 250, 100);
  Drain();
  EXPECT_FALSE(GetClipCursor(clip));
  EXPECT_EQ(Frame(0)->Width(), 250);
  EXPECT_EQ(Frame(1)->Width(), 450);
}

TEST_F(BorderTest, NoResizeLocksAndCancelEndsTheDrag) {
  LoadTwoColumns("<frame src=b.html noresize>");
  test_driver::MouseMove(Frame(0), 349, 100);
  Drain();
  EXPECT_NE(browser->CurFrameSet()->Cursor(), crHSplit);
  browser->Clear();
  LoadTwoColumns();
  test_driver::MouseMove(Frame(0), 349, 100);
  Drain();
  test_driver::MouseDown(Frame(0), TMouseButton::mbLeft, 349, 100);
  Drain();
  SendMessage(browser->CurFrameSet(), WM_CANCELMODE);
  Drain();
  TRect clip;
  EXPECT_FALSE(GetClipCursor(clip));
  test_driver::MouseUp(Frame(0), TMouseButton::mbLeft, 200, 100);
  Drain();
  EXPECT_EQ(Frame(0)->Width(), 350);
}

TEST_F(BorderTest, HugeBordersAndMarginsAreClamped) {
  host.Pages["http://h/b.html"] = {
      "<frameset cols=\"*,*\" border=2147483647><frame src=a.html marginwidth=99999><frame></frameset>"};
  host.Pages["http://h/a.html"] = {"a"};
  browser->LoadURL("http://h/b.html");
  Drain();
  EXPECT_EQ(browser->CurFrameSet()->FrameBorderWidth, kMaxFrameBorderWidth);
  EXPECT_EQ(Frame(0)->MarginWidth, kMaxFrameMargin);
}

// Each frame is sunk by a lowered bevel of the frame border width: shadow on
// the top and left, highlight on the bottom and right, the page inside.
TEST_F(BorderTest, FramesShowBevelsOfTheBorderWidth) {
  host.Pages["http://h/a.html"] = {"<body bgcolor=#00FF00>a"};
  const std::uint32_t shadow = ColorToRGB24(clBtnShadow), light = ColorToRGB24(clBtnHighlight), page = 0x00FF00;
  ASSERT_NE(shadow, light);
  struct Case {
    std::string border;
    int width;
  };
  for (const Case& c : {Case{"", 2}, Case{" border=0", 0}, Case{" border=2147483647", kMaxFrameBorderWidth}}) {
    host.Pages["http://h/f.html"] = {"<frameset cols=\"*,*\"" + c.border + "><frame src=a.html><frame src=a.html></frameset>"};
    browser->LoadURL("http://h/f.html");
    Drain();
    TbrFrame* frame = Frame(1);
    const int w = frame->Width(), h = frame->Height(), inner = c.width;
    ASSERT_GT(w, 2 * inner) << c.border;
    const int midY = h / 2, midX = w / 2;
    if (inner > 0) {
      EXPECT_EQ(test_driver::PixelAt(frame, 0, midY), shadow) << c.border;
      EXPECT_EQ(test_driver::PixelAt(frame, inner - 1, midY), shadow) << c.border;
      EXPECT_EQ(test_driver::PixelAt(frame, midX, 0), shadow) << c.border;
      EXPECT_EQ(test_driver::PixelAt(frame, w - inner, midY), light) << c.border;
      EXPECT_EQ(test_driver::PixelAt(frame, midX, h - 1), light) << c.border;
    }
    // The page fills the rest (its window is read apart from the frame's).
    THTMLViewer* viewer = frame->Viewer();
    EXPECT_EQ(viewer->BoundsRect(), Rect(inner, inner, w - inner, h - inner)) << c.border;
    EXPECT_EQ(test_driver::PixelAt(viewer, 0, midY - inner), page) << c.border;
    EXPECT_EQ(test_driver::PixelAt(viewer, viewer->Width() - 1, midY - inner), page) << c.border;
  }
}

// Handlers that drop the viewer or frameset under them; the sanitizer pass
// catches any use after free.
TEST_F(BorderTest, HandlersMayDropWhatRunsThem) {
  host.Pages["http://h/a.html"] = {"<a href=b.html>b</a>"};
  host.Pages["http://h/b.html"] = {"b"};
  browser->LoadURL("http://h/a.html");  // history off: the old page goes
  THTMLViewer* viewer = browser->Viewers(0);
  bool handled = false;
  viewer->OnHotSpotClick(viewer, "b.html", handled);
  EXPECT_EQ(browser->CurrentFile(), "http://h/b.html");
  EXPECT_FALSE(browser->InsertImage(viewer, "x.png", *std::make_unique<TMemoryStream>()));
  browser->OnHotSpotTargetClick = [&](TObject*, const std::string&, const std::string&, bool& h) {
    browser->LoadURL("http://h/a.html");
    browser->Clear();
    h = true;
  };
  viewer = browser->Viewers(0);
  viewer->OnHotSpotClick(viewer, "a.html", handled);
  Drain();
  EXPECT_EQ(browser->ViewerCount(), 0);
}

TEST_F(BorderTest, LoadsInsideAPumpingRequestAreRefused) {
  host.Pages["http://h/a.html"] = {"<form action=b.html><input name=q value=1></form>"};
  host.Pages["http://h/b.html"] = {"b"};
  browser->LoadURL("http://h/a.html");
  THTMLViewer* viewer = browser->Viewers(0);
  int nested = 0;
  host.Pump = [&] {
    if (nested > 0) return;
    // A submission and a reload arriving while the host fetches.
    viewer->OnFormSubmit()(viewer, "b.html", "", "", "get", {"q=1"});
    browser->Reload();
    browser->LoadURL("http://h/b.html");
    ++nested;
  };
  const std::size_t before = host.Requests.size();
  browser->LoadURL("http://h/b.html");
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(host.Requests.size(), before + 1);
}

// Counts the components it was shown that are not freed yet.
class TLiveCount : public TComponent {
 public:
  TLiveCount() : TComponent(nullptr) {}
  void Watch(TComponent* component) {
    if (live_.insert(component).second) FreeNotification(component);
  }
  [[nodiscard]] std::size_t Live() const { return live_.size(); }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) live_.erase(component);
  }

 private:
  std::set<TComponent*> live_;
};

TEST_F(BorderTest, ManyPagesKeepTheLiveSetsBounded) {
  browser->SetHistoryMaxCount(15);
  host.Pages["http://h/a.html"] = {"a <a href=b.html>b</a>"};
  host.Pages["http://h/b.html"] = {"b"};
  TLiveCount sets, viewers;
  std::size_t setsAt100 = 0, viewersAt100 = 0;
  for (int i = 0; i < 1000; ++i) {
    const std::string url = "http://h/p" + std::to_string(i);
    host.Pages[url] = {"<frameset cols=\"*,*\"><frame src=a.html><frame src=a.html></frameset>"};
    browser->LoadURL(url);
    if (i % 3 == 0) {  // a frame step as well: a frame history entry
      THTMLViewer* first = browser->CurFrameSet()->Frames.at(0)->Viewer();
      bool handled = false;
      first->OnHotSpotClick(first, "b.html", handled);
    }
    Drain();
    host.Pages.erase(url);
    sets.Watch(browser->CurFrameSet());
    for (TbrFrame* frame : browser->CurFrameSet()->Frames) viewers.Watch(frame->Viewer());
    if (i == 99) {
      setsAt100 = sets.Live();
      viewersAt100 = viewers.Live();
    }
  }
  EXPECT_EQ(browser->HistoryCount(), 15);
  EXPECT_EQ(browser->ControlCount(), 1);
  EXPECT_LE(sets.Live(), 16u);  // the page shown and those history holds
  EXPECT_EQ(sets.Live(), setsAt100);
  EXPECT_EQ(viewers.Live(), viewersAt100);
}

TEST_F(BorderTest, CopyLimit) {
  host.Pages["http://h/a.html"] = {std::string(31999, 'x')};
  browser->LoadURL("http://h/a.html");
  browser->SelectAll();
  EXPECT_NO_THROW(browser->CopyToClipboard());
  host.Pages["http://h/b.html"] = {std::string(32000, 'x')};
  browser->LoadURL("http://h/b.html");
  browser->SelectAll();
  EXPECT_THROW(browser->CopyToClipboard(), EBufferTooSmall);
}

}  // namespace
}  // namespace lark
