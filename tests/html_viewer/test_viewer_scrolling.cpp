#include <climits>

#include "html/document_coordinates.h"
#include "platform/windows/message_queue.h"
#include "platform/graphics/resources.h"
#include "platform/windows/application.h"
#include "platform/windows/system_metrics.h"
#include "tests/html_viewer/viewer_fixture.h"

namespace lark {
namespace {

using Scrolling = ViewerTest;

std::string WrappingText(int paragraphs) {
  std::string html;
  for (int i = 0; i < paragraphs; ++i)
    html += "<p>Words that wrap into more lines when the view is narrower, paragraph " + std::to_string(i);
  return html;
}

// The bars against what ScrollBars, the page and the option ask for.
TEST_F(Scrolling, TheBarsFollowTheStyleThePageAndTheOption) {
  const std::string shortPage = "<p>Short";
  const std::string longPage = LongPage(200);
  const std::string widePage = "<img src=none width=2000 height=10>";
  struct Case {
    TScrollStyle style;
    const std::string* page;
    bool showVOption;
    bool vVisible, vEnabled, hVisible;
  };
  using enum TScrollStyle;
  const Case cases[] = {
      {ssBoth, &shortPage, false, false, true, false},  {ssBoth, &shortPage, true, true, false, false},
      {ssBoth, &longPage, false, true, true, false},    {ssBoth, &widePage, false, false, true, true},
      {ssVertical, &shortPage, true, true, false, false}, {ssVertical, &longPage, false, true, true, false},
      {ssVertical, &widePage, false, false, true, false}, {ssHorizontal, &longPage, true, false, true, false},
      {ssHorizontal, &widePage, false, false, true, true}, {ssNone, &longPage, false, false, true, false},
      {ssNone, &widePage, true, false, true, false},
  };
  const int sw = GetSystemMetrics(SM_CXVSCROLL);
  for (const Case& c : cases) {
    const std::string label = "style " + std::to_string(static_cast<int>(c.style)) + " page " +
                              std::to_string(c.page->size()) + " option " + std::to_string(c.showVOption);
    viewer->SethtOptions(c.showVOption ? htShowVScroll : 0u);
    viewer->SetScrollBarsStyle(c.style);
    Load(*c.page);
    Drain();
    const T32ScrollBar& v = viewer->VScrollBar();
    EXPECT_EQ(v.Visible(), c.vVisible) << label;
    if (c.vVisible) {
      EXPECT_EQ(v.Enabled(), c.vEnabled) << label;
    }
    EXPECT_EQ(viewer->HScrollBar().Visible(), c.hVisible) << label;
    // The bounds: the whole document in 32 bits, a page of the view.
    const int paintHeight = viewer->PaintPanel().Height();
    EXPECT_EQ(v.Max32(), viewer->ScrollHeight()) << label;
    EXPECT_EQ(v.Page32(), paintHeight + 1) << label;
    EXPECT_EQ(paintHeight, 300 - 2 - (c.hVisible ? sw : 0)) << label;
    EXPECT_EQ(viewer->PaintPanel().Width(), 400 - 2 - (c.vVisible ? sw : 0)) << label;
    EXPECT_EQ(viewer->HScrollBar().Max(), viewer->LayoutWidth()) << label;
    if (c.hVisible) {
      EXPECT_EQ(viewer->HScrollBar().Top(), 1 + paintHeight) << label;
    }
  }
}

TEST_F(Scrolling, BarMessagesScrollAndClamp) {
  Load(LongPage(200));
  PostMessage(&viewer->VScrollBar(), WM_VSCROLL, SB_LINEDOWN);
  PostMessage(&viewer->VScrollBar(), WM_VSCROLL, SB_LINEDOWN);
  Drain();
  EXPECT_EQ(viewer->VScrollBarPosition(), 32);
  EXPECT_EQ(viewer->SectionList().YOff, 32);
  PostMessage(&viewer->VScrollBar(), WM_VSCROLL, SB_BOTTOM);
  Drain();
  const int bottom = viewer->ScrollHeight() - viewer->PaintPanel().Height();
  EXPECT_EQ(viewer->VScrollBarPosition(), bottom);
  PostMessage(&viewer->VScrollBar(), WM_VSCROLL, SB_PAGEDOWN);
  Drain();
  EXPECT_EQ(viewer->VScrollBarPosition(), bottom);
  viewer->SetVScrollBarPosition(-50);
  EXPECT_EQ(viewer->VScrollBarPosition(), 0);
}

TEST_F(Scrolling, ADraggedThumbReachesPastSixteenBits) {
  Load(LongPage(4000));
  ASSERT_GT(viewer->ScrollHeight(), 100000);
  T32ScrollBar& bar = viewer->VScrollBar();
  test_driver::MouseDown(&bar, TMouseButton::mbLeft, bar.Width() / 2, 20);
  test_driver::MouseMove(&bar, bar.Width() / 2, 200, ssLeft);
  test_driver::MouseUp(&bar, TMouseButton::mbLeft, bar.Width() / 2, 200);
  Drain();
  const int tracked = bar.TrackPosition32();
  EXPECT_GT(tracked, 65535);
  EXPECT_EQ(viewer->VScrollBarPosition(), tracked);
  EXPECT_EQ(viewer->SectionList().YOff, tracked);
  // The paragraph at the top of the view is the one that position names.
  int sectionY = 0, index = 0;
  ASSERT_TRUE(viewer->SectionList().FindSectionAtPosition(tracked, sectionY, index));
  EXPECT_EQ(static_cast<TViewerPosition>(index + 1), viewer->GetPosition() >> 32);
}

TEST_F(Scrolling, AResizeKeepsThePositionInsideTallSectionsAndLongLists) {
  // One section of 100,000 pixels between paragraphs that rewrap.
  Load(WrappingText(40) + "<p><img src=none width=10 height=100000>" + WrappingText(10));
  int sectionY = 0, index = 0;
  ASSERT_TRUE(viewer->SectionList().FindSectionAtPosition(viewer->ScrollHeight() / 2, sectionY, index));
  viewer->ScrollTo(sectionY + 80000);
  const TViewerPosition before = viewer->GetPosition();
  ASSERT_TRUE(viewer->SectionList().FindSectionAtPosition(viewer->VScrollBarPosition(), sectionY, index));
  const int offset = viewer->VScrollBarPosition() - sectionY;
  ASSERT_GT(offset, 65535);
  viewer->SetBounds(0, 0, 250, 300);
  Drain();
  EXPECT_EQ(viewer->GetPosition(), before);
  ASSERT_TRUE(viewer->SectionList().FindSectionAtPosition(viewer->VScrollBarPosition(), sectionY, index));
  EXPECT_EQ(viewer->VScrollBarPosition() - sectionY, offset);

  // More than 32,767 entries in the position list.
  Load(LongPage(40000));
  ASSERT_EQ(viewer->SectionList().PositionList.size(), 40000u);
  TSectionBase* target = viewer->SectionList().PositionList[39000];
  viewer->ScrollTo(target->GetYPosition() + 3);
  const TViewerPosition far = viewer->GetPosition();
  EXPECT_EQ(far >> 32, 39001);
  viewer->SetBounds(0, 0, 400, 200);
  Drain();
  EXPECT_EQ(viewer->GetPosition(), far);
  EXPECT_EQ(viewer->VScrollBarPosition(), target->GetYPosition() + 3);
}

TEST_F(Scrolling, ExtremeSizesKeepTheBarsConsistent) {
  // Taller than the engine counts: the sums saturate and the bars agree.
  std::string huge;
  for (int i = 0; i < 1500; ++i) huge += "<img src=none width=5 height=1000000><br>";
  Load(huge);
  EXPECT_LE(viewer->ScrollHeight(), kMaxDocumentCoordinate);
  EXPECT_GT(viewer->ScrollHeight(), 1000000);
  viewer->ScrollTo(INT_MAX);
  EXPECT_EQ(viewer->VScrollBarPosition(), viewer->ScrollHeight() - viewer->PaintPanel().Height());
  EXPECT_EQ(viewer->VScrollBar().Max32(), viewer->ScrollHeight());
  viewer->SetPosition(viewer->GetPosition());
  (void)Pixel(50, 50);

  // A 1 x 1 viewer, then a hundred resizes in a row.
  Load(LongPage(300));
  viewer->SetBounds(0, 0, 1, 1);
  Drain();
  EXPECT_EQ(viewer->PaintPanel().Width(), 0);
  (void)Pixel(0, 0);
  for (int i = 0; i < 100; ++i) {
    viewer->SetBounds(0, 0, 50 + (i * 37) % 350, 20 + (i * 53) % 280);
    EXPECT_LE(viewer->VScrollBarPosition(), std::max(0, viewer->ScrollHeight() - viewer->PaintPanel().Height()));
    EXPECT_EQ(viewer->VScrollBar().Max32(), viewer->ScrollHeight());
  }
  Drain();
  EXPECT_FALSE(viewer->Processing());
}

TEST_F(Scrolling, LayoutTurnsTheIBeamIntoTheTextCursor) {
  viewer->SetCursor(crIBeam);
  Load("<p>Text");
  EXPECT_EQ(viewer->Cursor(), kTextCursor);
  EXPECT_EQ(Screen()->CursorResource(kTextCursor), "1006");
  EXPECT_TRUE(FindResource("1006").has_value());
}

}  // namespace
}  // namespace lark
