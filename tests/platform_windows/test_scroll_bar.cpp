#include "platform/windows/scroll_bar.h"
#include "platform/windows/system_metrics.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class ScrollBars : public WindowTest {};

TEST(ScrollBarState, PositionIsClampedToMaxMinusPagePlusOne) {
  TScrollBarState state;
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = 999;
  info.nPage = 200;
  info.nPos = 5000;
  EXPECT_EQ(state.Set(info), 800);
  info.nPos = -3;
  EXPECT_EQ(state.Set(info), 0);
  // A page larger than the range shrinks to it; nothing is left to scroll.
  info.nPage = 5000;
  info.nPos = 10;
  EXPECT_EQ(state.Set(info), 0);
  EXPECT_EQ(state.Page, 1000u);
  EXPECT_FALSE(state.CanScroll());
  // Without a page the position may reach Max.
  info.nPage = 0;
  info.nPos = 999;
  EXPECT_EQ(state.Set(info), 999);
  TScrollInfo out;
  out.fMask = SIF_ALL;
  state.Get(out);
  EXPECT_EQ(out.nMax, 999);
  EXPECT_EQ(out.nTrackPos, 999);
}

TEST(ScrollBarState, ChangingThePageReclampsThePosition) {
  TScrollBarState state;
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_POS;
  info.nMax = 100;
  info.nPos = 100;
  state.Set(info);
  info.fMask = SIF_PAGE;
  info.nPage = 51;
  EXPECT_EQ(state.Set(info), 50);
}

TEST_F(ScrollBars, ControlFollowsSetScrollInfoAndScrollsThroughTheQueue) {
  TForm form(nullptr);
  form.SetClientSize(200, 200);
  auto* bar = new TScrollBar(&form);
  bar->SetParent(&form);
  bar->SetKind(TScrollBarKind::sbVertical);
  bar->SmallChange = 10;
  bar->LargeChange = 50;
  form.Show();
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMax = 499;
  info.nPage = 100;
  info.nPos = 395;
  EXPECT_EQ(SetScrollInfo(bar, SB_CTL, info, true), 395);
  std::vector<TScrollCode> codes;
  bar->OnScroll = [&](TObject*, TScrollCode code, int&) { codes.push_back(code); };
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  bool seenByApplication = false;
  Application()->OnMessage = [&](TMsg& m, bool&) { seenByApplication |= m.message == WM_VSCROLL; };
  PostMessage(bar, WM_VSCROLL, SB_LINEDOWN);
  PostMessage(bar, WM_VSCROLL, SB_PAGEDOWN);
  Application()->ProcessMessages();
  EXPECT_TRUE(seenByApplication);
  EXPECT_EQ(bar->Position(), 400);  // Max - Page + 1
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(codes, (std::vector<TScrollCode>{TScrollCode::scLineDown, TScrollCode::scPageDown}));
  PostMessage(bar, WM_VSCROLL, SB_TOP);
  Application()->ProcessMessages();
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
}

TEST_F(ScrollBars, WindowBarsKeepTheirOwnState) {
  TForm form(nullptr);
  SetScrollRange(&form, SB_VERT, 0, 300, false);
  SetScrollPos(&form, SB_VERT, 250, false);
  SetScrollRange(&form, SB_HORZ, 0, 10, false);
  EXPECT_EQ(GetScrollPos(&form, SB_VERT), 250);
  EXPECT_EQ(GetScrollPos(&form, SB_HORZ), 0);
}

// A bar that keeps its own 32-bit state and reads the thumb from
// GetScrollInfo: the drag's notifications may be handled after the release,
// and must still tell where the thumb went.
class ThirtyTwoBitBar : public TScrollBar {
 public:
  using TScrollBar::TScrollBar;
  std::vector<std::pair<int, int>> notes;  // code, track position

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg != WM_VSCROLL) {
      TScrollBar::WndProc(message);
      return;
    }
    TScrollInfo info;
    info.fMask = SIF_ALL;
    GetScrollInfo(this, SB_CTL, info);
    int code = LoWord(static_cast<LPARAM>(message.WParam));
    notes.emplace_back(code, info.nTrackPos);
    if (code == SB_THUMBTRACK) {
      info.fMask = SIF_POS;
      info.nPos = info.nTrackPos;
      SetScrollInfo(this, SB_CTL, info, true);
    }
  }
};

TEST_F(ScrollBars, ABarIsAsThickAsAWindowsOwnBars) {
  TForm form(nullptr);
  auto* bar = new TScrollBar(&form);
  EXPECT_EQ(bar->Height(), GetSystemMetrics(SM_CYHSCROLL));
  bar->SetKind(TScrollBarKind::sbVertical);
  EXPECT_EQ(bar->Width(), GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(ScrollBars, ADragReportsItsTrackPositionBeyondSixteenBits) {
  TForm form(nullptr);
  form.SetClientSize(100, 300);
  auto* bar = new ThirtyTwoBitBar(&form);
  bar->SetKind(TScrollBarKind::sbVertical);
  bar->SetParent(&form);
  bar->SetBounds(0, 0, 17, 200);
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  info.nMax = 200000;
  info.nPage = 1000;
  SetScrollInfo(bar, SB_CTL, info, true);
  form.Show();
  test_driver::MouseDown(bar, TMouseButton::mbLeft, 8, 20);
  test_driver::MouseMove(bar, 8, 100, ssLeft);
  test_driver::MouseUp(bar, TMouseButton::mbLeft, 8, 100);
  Application()->ProcessMessages();
  ASSERT_EQ(bar->notes.size(), 3u);
  EXPECT_EQ(bar->notes[0].first, SB_THUMBTRACK);
  int tracked = bar->notes[0].second;
  EXPECT_GT(tracked, 65535);
  EXPECT_EQ(bar->notes[1], std::make_pair(int{SB_THUMBPOSITION}, tracked));
  EXPECT_EQ(bar->Position(), tracked);
  // Once the program has set a position, the track position is that again.
  bar->SetPosition(5);
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(bar, SB_CTL, info);
  EXPECT_EQ(info.nTrackPos, 5);
}

}  // namespace
}  // namespace lark
