#include <tuple>

#include "platform/windows/custom_control.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/panel.h"
#include "platform/windows/scroll_bar.h"
#include "platform/windows/small_controls.h"
#include "platform/windows/system_metrics.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using Report = std::tuple<UINT, int, int>;  // message, SB_ code, position

class WindowScrollBars : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form.SetClientSize(200, 200);
    form.Show();
    Application()->OnMessage = [this](TMsg& m, bool&) {
      if (m.message == WM_VSCROLL || m.message == WM_HSCROLL)
        reports.emplace_back(m.message, LoWord(static_cast<LPARAM>(m.wParam)), HiWord(static_cast<LPARAM>(m.wParam)));
    };
  }
  void SetVert(int max, unsigned page, int pos, unsigned extra = 0) {
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
    info.nMax = max;
    info.nPage = page;
    info.nPos = pos;
    SetScrollInfo(&form, SB_VERT, info, true);
  }
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const auto& r : reports) codes.push_back(std::get<1>(r));
    return codes;
  }

  TForm form{nullptr};
  std::vector<Report> reports;
};

TEST_F(WindowScrollBars, BarShowsOnlyWhileThereIsSomethingToScroll) {
  std::uint32_t background = test_driver::PixelAt(&form, 100, 100);
  EXPECT_EQ(test_driver::PixelAt(&form, 197, 100), background);
  SetVert(999, 200, 0);
  EXPECT_NE(test_driver::PixelAt(&form, 197, 100), background);
  EXPECT_EQ(test_driver::PixelAt(&form, 100, 197), background);  // no horizontal bar
  // The page covers the range: the bar goes, unless asked to stay disabled.
  SetVert(99, 200, 0);
  EXPECT_EQ(test_driver::PixelAt(&form, 197, 100), background);
  SetVert(99, 200, 0, SIF_DISABLENOSCROLL);
  EXPECT_NE(test_driver::PixelAt(&form, 197, 100), background);
  test_driver::Click(&form, 197, 197);
  Application()->ProcessMessages();
  EXPECT_TRUE(std::none_of(reports.begin(), reports.end(),
                           [](const Report& r) { return std::get<1>(r) != SB_ENDSCROLL; }));
}

TEST_F(WindowScrollBars, ClicksAndDragsArriveThroughTheQueue) {
  SetVert(999, 200, 0);
  test_driver::Click(&form, 197, 197);  // the lower arrow
  test_driver::Click(&form, 197, 150);  // the track below the thumb
  Application()->ProcessMessages();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL}));
  // Nothing moves until the program answers.
  EXPECT_EQ(GetScrollPos(&form, SB_VERT), 0);

  reports.clear();
  test_driver::MouseDown(&form, TMouseButton::mbLeft, 197, 30);  // the thumb
  test_driver::MouseMove(&form, 197, 90);
  TScrollInfo info;
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(&form, SB_VERT, info);
  int tracked = info.nTrackPos;
  EXPECT_GT(tracked, 0);
  test_driver::MouseUp(&form, TMouseButton::mbLeft, 197, 90);
  Application()->ProcessMessages();
  ASSERT_EQ(Codes(), (std::vector<int>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
  EXPECT_EQ(std::get<0>(reports[0]), static_cast<UINT>(WM_VSCROLL));
  EXPECT_EQ(std::get<2>(reports[0]), tracked);
  EXPECT_EQ(std::get<2>(reports[1]), tracked);
}

TEST_F(WindowScrollBars, ScrollBoxShowsBarsAndScrollsWithThem) {
  auto* box = new TScrollBox(&form);
  box->SetParent(&form);
  box->SetBounds(0, 0, 150, 150);
  auto* tall = new TPanel(&form);
  tall->SetParent(box);
  tall->SetBounds(0, 0, 100, 600);
  box->SetPositions(0, 0);
  std::uint32_t background = test_driver::PixelAt(box, 50, 147);
  EXPECT_NE(test_driver::PixelAt(box, 147, 50), test_driver::PixelAt(box, 120, 50));
  test_driver::Click(box, 147, 147);  // the lower arrow of the vertical bar
  Application()->ProcessMessages();
  EXPECT_GT(box->VertPosition(), 0);
  EXPECT_EQ(GetScrollPos(box, SB_VERT), box->VertPosition());
  EXPECT_EQ(box->HorzPosition(), 0);
  EXPECT_EQ(test_driver::PixelAt(box, 50, 147), background);  // nothing to scroll sideways
}

// The wheel over a bar must not leave it tracking a drag that never ends:
// the thumb would stop following the program's positions.
TEST_F(WindowScrollBars, TheWheelOverABarGoesToTheWindowAndLeavesTheThumbAlone) {
  SetVert(999, 200, 0);
  auto* control = new TScrollBar(&form);
  control->SetParent(&form);
  control->SetBounds(0, 0, 120, 16);
  control->SetParams(0, 0, 100);
  std::vector<HWND> wheels;
  Application()->OnMessage = [&](TMsg& m, bool&) {
    if (m.message == WM_MOUSEWHEEL) wheels.push_back(m.hwnd);
    if (m.message == WM_VSCROLL || m.message == WM_HSCROLL) reports.emplace_back(m.message, 0, 0);
  };
  test_driver::Wheel(&form, 195, 100, -120);
  test_driver::Wheel(control, 60, 8, -120);
  Application()->ProcessMessages();
  EXPECT_EQ(wheels, (std::vector<HWND>{form.Handle(), control->Handle()}));
  EXPECT_TRUE(reports.empty());
  SetScrollPos(&form, SB_VERT, 50, true);
  SetScrollPos(control, SB_CTL, 30, true);
  for (TWinControl* window : {static_cast<TWinControl*>(&form), static_cast<TWinControl*>(control)}) {
    TScrollInfo info;
    info.fMask = SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(window, window == &form ? SB_VERT : SB_CTL, info);
    EXPECT_EQ(info.nTrackPos, info.nPos);
  }
}

TEST_F(WindowScrollBars, AFormsBarsLieInsideItsFrameBesideTheClientArea) {
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  auto* filler = new TPanel(&form);
  filler->SetParent(&form);
  filler->SetAlign(TAlign::alClient);
  int width = form.Width(), height = form.Height();
  SetVert(999, 200, 0);
  EXPECT_EQ(form.ClientWidth(), 200 - bar);
  EXPECT_EQ(filler->Width(), 200 - bar);
  EXPECT_EQ(form.Width(), width);
  EXPECT_EQ(form.Height(), height);
  // The window system sizes the interior; the bar keeps its share of it.
  test_driver::ResizeWindow(&form, 300, 250);
  EXPECT_EQ(form.Width(), width + 100);
  EXPECT_EQ(form.ClientWidth(), 300 - bar);
  EXPECT_EQ(filler->BoundsRect(), Bounds(0, 0, 300 - bar, 250));
  EXPECT_NE(test_driver::PixelAt(&form, 300 - bar / 2, 125), test_driver::PixelAt(&form, 100, 125));
}

constexpr std::uint32_t kRed = 0xFF0000;

// A window that paints its client area red and notes what reaches it.
class Pane : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::vector<TSize> sizes;  // every WM_SIZE
  std::vector<TPoint> presses;
  std::vector<UINT> scrolls;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SIZE) sizes.push_back(TSize{LoWord(m.LParam), HiWord(m.LParam)});
    if (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL) scrolls.push_back(m.Msg);
    TCustomControl::WndProc(m);
  }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    presses.push_back(Point(x, y));
    TCustomControl::MouseDown(button, shift, x, y);
  }
  void Paint() override {
    Canvas().Brush().Color = clRed;
    Canvas().FillRect(Rect(-50, -50, 1000, 1000));  // far beyond the client area
  }
};

class OwnBars : public WindowScrollBars {
 protected:
  void SetUp() override {
    WindowScrollBars::SetUp();
    pane = new Pane(&form);
    pane->SetParent(&form);
    pane->SetBounds(10, 10, 150, 120);
    pane->sizes.clear();
  }
  void SetBar(int bar, int max, unsigned page, unsigned extra = 0) {
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | extra;
    info.nMax = max;
    info.nPage = page;
    SetScrollInfo(pane, bar, info, true);
  }
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  Pane* pane = nullptr;
};

TEST_F(OwnBars, EachShownBarTakesItsRoomFromTheClientArea) {
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), bar);
  EXPECT_GT(bar, 0);
  EXPECT_EQ(pane->ClientRect(), Rect(0, 0, 150, 120));
  SetBar(SB_VERT, 999, 120);
  EXPECT_EQ(pane->ClientRect(), Rect(0, 0, 150 - bar, 120));
  SetBar(SB_HORZ, 999, 150);
  EXPECT_EQ(pane->ClientRect(), Rect(0, 0, 150 - bar, 120 - bar));
  // The bounds stay the outer size.
  EXPECT_EQ(pane->BoundsRect(), Bounds(10, 10, 150, 120));
  // A bar that cannot scroll goes and gives its room back, unless it is kept
  // (disabled) by SIF_DISABLENOSCROLL.
  SetBar(SB_HORZ, 9, 150);
  EXPECT_EQ(pane->ClientHeight(), 120);
  SetBar(SB_HORZ, 9, 150, SIF_DISABLENOSCROLL);
  EXPECT_EQ(pane->ClientHeight(), 120 - bar);
  SetBar(SB_HORZ, 0, 0);
  SetBar(SB_VERT, 0, 0);
  EXPECT_EQ(pane->ClientRect(), Rect(0, 0, 150, 120));
  // Tiny windows: the bars leave nothing, never less.
  pane->SetBounds(10, 10, 5, 5);
  SetBar(SB_VERT, 999, 1);
  SetBar(SB_HORZ, 999, 1);
  EXPECT_EQ(pane->ClientRect(), Rect(0, 0, 0, 0));
}

TEST_F(OwnBars, AppearingAndGoingBarsResizeTheClientAreaWithWmSize) {
  SetBar(SB_VERT, 999, 120);
  ASSERT_EQ(pane->sizes.size(), 1u);
  EXPECT_EQ(pane->sizes.back(), (TSize{150 - bar, 120}));
  // Only a change of what shows resizes.
  SetBar(SB_VERT, 500, 120);
  EXPECT_EQ(pane->sizes.size(), 1u);
  SetBar(SB_HORZ, 999, 150);
  EXPECT_EQ(pane->sizes.back(), (TSize{150 - bar, 120 - bar}));
  SetBar(SB_VERT, 10, 120);
  EXPECT_EQ(pane->sizes.back(), (TSize{150, 120 - bar}));
  EXPECT_EQ(pane->sizes.size(), 3u);
  // Resizing the window reports the client area, without the bar.
  pane->SetBounds(10, 10, 160, 120);
  EXPECT_EQ(pane->sizes.back(), (TSize{160, 120 - bar}));
}

TEST_F(OwnBars, AlignedChildrenShareTheSmallerClientArea) {
  auto* top = new TPanel(&form);
  top->SetParent(pane);
  top->SetAlign(TAlign::alTop);
  top->SetHeight(20);
  auto* bottom = new TPanel(&form);
  bottom->SetParent(pane);
  bottom->SetAlign(TAlign::alBottom);
  bottom->SetHeight(20);
  auto* client = new TPanel(&form);
  client->SetParent(pane);
  client->SetAlign(TAlign::alClient);
  SetBar(SB_VERT, 999, 100);
  SetBar(SB_HORZ, 999, 100);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 150 - bar, 20));
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 120 - bar - 20, 150 - bar, 20));
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 20, 150 - bar, 120 - bar - 40));
  SetBar(SB_HORZ, 0, 0);
  EXPECT_EQ(bottom->Top(), 100);
}

TEST_F(OwnBars, PaintingAndMouseKeepToTheClientArea) {
  SetBar(SB_VERT, 999, 120);
  SetBar(SB_HORZ, 999, 150);
  int right = 150 - bar, bottom = 120 - bar;
  EXPECT_EQ(test_driver::PixelAt(pane, right - 1, bottom - 1), kRed);
  EXPECT_EQ(test_driver::PixelAt(pane, 0, 0), kRed);
  // Nothing the window paints lands on its bars or the corner between them.
  EXPECT_NE(test_driver::PixelAt(pane, right + bar / 2, 40), kRed);
  EXPECT_NE(test_driver::PixelAt(pane, 40, bottom + bar / 2), kRed);
  std::uint32_t buttonFace = test_driver::PixelAt(&form, 190, 190);  // the form's own background
  EXPECT_EQ(test_driver::PixelAt(pane, right + bar / 2, bottom + bar / 2), buttonFace);

  // Client points keep their coordinates; the bars and the corner are not
  // client input.
  test_driver::Click(pane, 30, 40);
  test_driver::Click(pane, right + bar / 2, 60);
  test_driver::Click(pane, 60, bottom + bar / 2);
  test_driver::Click(pane, right + bar / 2, bottom + bar / 2);
  Application()->ProcessMessages();
  EXPECT_EQ(pane->presses, (std::vector<TPoint>{Point(30, 40)}));
  EXPECT_EQ(std::count(pane->scrolls.begin(), pane->scrolls.end(), static_cast<UINT>(WM_VSCROLL)), 2);
  EXPECT_EQ(std::count(pane->scrolls.begin(), pane->scrolls.end(), static_cast<UINT>(WM_HSCROLL)), 2);
}

TEST_F(OwnBars, ChildWindowsStayBelowTheBars) {
  SetBar(SB_VERT, 999, 120);
  auto* child = new TPanel(&form);
  child->SetColor(clBlue);
  child->SetParent(pane);
  child->SetBounds(100, 0, 100, 50);
  child->BringToFront();
  EXPECT_EQ(test_driver::PixelAt(child, 10, 10), 0x0000FFu);
  EXPECT_NE(test_driver::PixelAt(pane, 150 - bar / 2, 25), 0x0000FFu);
}

TEST_F(OwnBars, ADisabledWindowsBarsIgnoreInputAndComeBackAsLastSet) {
  SetBar(SB_VERT, 999, 120);
  int x = 150 - bar / 2;
  std::uint32_t arrow = test_driver::PixelAt(pane, x, 120 - bar / 2);
  pane->SetEnabled(false);
  EXPECT_NE(test_driver::PixelAt(pane, x, 120 - bar / 2), arrow);  // greyed
  test_driver::Click(pane, x, 115);
  test_driver::Click(pane, x, 60);
  Application()->ProcessMessages();
  EXPECT_TRUE(pane->scrolls.empty());
  EXPECT_TRUE(pane->presses.empty());
  // Set while disabled, shown once enabled.
  TScrollInfo info;
  info.fMask = SIF_POS;
  info.nPos = 300;
  SetScrollInfo(pane, SB_VERT, info, true);
  pane->SetEnabled(true);
  EXPECT_EQ(test_driver::PixelAt(pane, x, 120 - bar / 2), arrow);
  test_driver::Click(pane, x, 115);
  Application()->ProcessMessages();
  EXPECT_EQ(pane->scrolls, (std::vector<UINT>{WM_VSCROLL, WM_VSCROLL}));  // line down, end
  // A bar kept under SIF_DISABLENOSCROLL stays disabled when the window is
  // enabled again.
  pane->scrolls.clear();
  pane->SetEnabled(false);
  SetBar(SB_VERT, 9, 120, SIF_DISABLENOSCROLL);
  pane->SetEnabled(true);
  test_driver::Click(pane, x, 115);
  Application()->ProcessMessages();
  EXPECT_TRUE(pane->scrolls.empty());
  EXPECT_TRUE(pane->presses.empty());
}

// What the window answers WM_NCHITTEST at a point of `control` (its client
// coordinates), asked with the screen point as the desktop asks.
LRESULT HitAt(TControl* control, int x, int y) {
  return control->Perform(WM_NCHITTEST, 0, LParamFromPoint(control->ClientToScreen(Point(x, y))));
}

TEST_F(OwnBars, HitTestsNameTheShownBarsAndNothingOnTheCorner) {
  EXPECT_EQ(HitAt(pane, 145, 115), HTCLIENT);  // no bars: all client
  SetBar(SB_VERT, 999, 120);
  SetBar(SB_HORZ, 999, 150);
  int right = 150 - bar, bottom = 120 - bar;
  EXPECT_EQ(HitAt(pane, 0, 0), HTCLIENT);
  EXPECT_EQ(HitAt(pane, right - 1, bottom - 1), HTCLIENT);
  EXPECT_EQ(HitAt(pane, right, 0), HTVSCROLL);
  EXPECT_EQ(HitAt(pane, 149, bottom - 1), HTVSCROLL);
  EXPECT_EQ(HitAt(pane, 0, bottom), HTHSCROLL);
  EXPECT_EQ(HitAt(pane, right - 1, 119), HTHSCROLL);
  EXPECT_EQ(HitAt(pane, right, bottom), HTNOWHERE);
  EXPECT_EQ(HitAt(pane, 150, 10), HTNOWHERE);  // outside the window
  // A bar kept disabled is still the bar; a bar gone gives the client back.
  SetBar(SB_HORZ, 9, 150, SIF_DISABLENOSCROLL);
  EXPECT_EQ(HitAt(pane, 10, bottom), HTHSCROLL);
  SetBar(SB_HORZ, 0, 0);
  EXPECT_EQ(HitAt(pane, 10, bottom), HTCLIENT);
  EXPECT_EQ(HitAt(pane, right, 119), HTVSCROLL);

  // A windowless control has no bars of its own.
  auto* box = new TPaintBox(&form);
  box->SetParent(pane);
  box->SetBounds(0, 0, 40, 40);
  EXPECT_EQ(HitAt(box, 39, 39), HTCLIENT);
}

TEST_F(WindowScrollBars, AFormsHitTestFindsItsBarsInsideItsFrame) {
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  SetVert(999, 200, 0);
  EXPECT_EQ(HitAt(&form, 10, 10), HTCLIENT);
  EXPECT_EQ(HitAt(&form, 200 - bar - 1, 199), HTCLIENT);
  EXPECT_EQ(HitAt(&form, 200 - bar, 0), HTVSCROLL);
  EXPECT_EQ(HitAt(&form, 199, 199), HTVSCROLL);
  EXPECT_EQ(HitAt(&form, 10, -5), HTCAPTION);  // the frame keeps its answers
  EXPECT_EQ(HitAt(&form, 201, 100), HTRIGHT);
  // The frame's corner still sizes; the bar beside it does not.
  test_driver::ResizeWindow(&form, 260, 230);
  EXPECT_EQ(form.ClientWidth(), 260 - bar);
  EXPECT_EQ(HitAt(&form, 259, 229), HTVSCROLL);
}

// The window's bar greyed because nothing scrolls still belongs to an
// enabled window, which hears the wheel over it; a disabled window does not.
TEST_F(OwnBars, TheWheelOverADisabledBarReachesAnEnabledWindowOnly) {
  std::vector<int> turns;
  pane->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    turns.push_back(delta);
    handled = true;
  };
  SetBar(SB_VERT, 9, 120, SIF_DISABLENOSCROLL);
  int x = 150 - bar / 2;
  test_driver::Wheel(pane, x, 60, -120);
  Application()->ProcessMessages();
  EXPECT_EQ(turns, (std::vector<int>{-120}));
  EXPECT_TRUE(pane->scrolls.empty());
  pane->SetEnabled(false);
  SetBar(SB_VERT, 999, 120);  // a bar that could scroll, greyed with the window
  test_driver::Wheel(pane, x, 60, -120);
  test_driver::Wheel(pane, 30, 60, -120);
  Application()->ProcessMessages();
  EXPECT_EQ(turns.size(), 1u);
  // A disabled parent disables the window under it too.
  pane->SetEnabled(true);
  form.SetEnabled(false);
  test_driver::Wheel(pane, x, 60, 120);
  Application()->ProcessMessages();
  EXPECT_EQ(turns.size(), 1u);
  form.SetEnabled(true);
  test_driver::Wheel(pane, x, 60, 120);
  Application()->ProcessMessages();
  EXPECT_EQ(turns, (std::vector<int>{-120, 120}));
  EXPECT_TRUE(pane->scrolls.empty());
}

class ScrollBoxBars : public WindowScrollBars {
 protected:
  void SetUp() override {
    WindowScrollBars::SetUp();
    box = new TScrollBox(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 150, 150);
    child = new TPanel(&form);
    child->SetParent(box);
  }
  bool Shows(int which) {
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    GetScrollInfo(box, which, info);
    return info.nMax - info.nMin + 1 > static_cast<int>(info.nPage);
  }
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  TScrollBox* box = nullptr;
  TPanel* child = nullptr;
};

TEST_F(ScrollBoxBars, OneBarCanMakeTheOtherNeeded) {
  struct Case {
    int width, height;
    bool horz, vert;
  };
  const int inner = 150 - bar;
  for (Case c : {Case{150, 150, false, false}, Case{inner, 300, false, true}, Case{inner + 1, 300, true, true},
                 Case{300, inner, true, false}, Case{300, inner + 1, true, true}, Case{151, 151, true, true},
                 Case{inner + 1, inner + 1, false, false}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    child->SetBounds(0, 0, c.width, c.height);
    EXPECT_EQ(Shows(SB_HORZ), c.horz);
    EXPECT_EQ(Shows(SB_VERT), c.vert);
    EXPECT_EQ(box->ClientWidth(), c.vert ? inner : 150);
    EXPECT_EQ(box->ClientHeight(), c.horz ? inner : 150);
    EXPECT_EQ(box->ScrollRange(), (TSize{std::max(0, c.width - box->ClientWidth()),
                                         std::max(0, c.height - box->ClientHeight())}));
  }
}

TEST_F(ScrollBoxBars, BarsThatGoTakeTheScrollingWithThem) {
  child->SetBounds(0, 0, 300, 300);
  box->SetPositions(1000, 1000);
  EXPECT_EQ(box->HorzPosition(), 300 - (150 - bar));
  EXPECT_EQ(child->Left(), -box->HorzPosition());
  // The child shrinks to fit: no bars, and it is back at the origin.
  child->SetBounds(child->Left(), child->Top(), 100, 100);
  EXPECT_FALSE(Shows(SB_HORZ));
  EXPECT_FALSE(Shows(SB_VERT));
  EXPECT_EQ(box->HorzPosition(), 0);
  EXPECT_EQ(box->VertPosition(), 0);
  EXPECT_EQ(child->BoundsRect(), Bounds(0, 0, 100, 100));
}

TEST_F(ScrollBoxBars, ChildrenAlignedAcrossFollowTheClientWidth) {
  child->SetAlign(TAlign::alTop);
  child->SetHeight(30);
  auto* tall = new TPanel(&form);
  tall->SetParent(box);
  tall->SetBounds(0, 30, 50, 400);
  EXPECT_TRUE(Shows(SB_VERT));
  EXPECT_FALSE(Shows(SB_HORZ));
  EXPECT_EQ(child->Width(), 150 - bar);
}

TEST_F(ScrollBoxBars, AHiddenBarTakesItsDirectionsScrollingAway) {
  child->SetBounds(0, 0, 300, 300);
  box->SetPositions(40, 40);
  box->HorzScrollBar().SetVisible(false);
  EXPECT_FALSE(Shows(SB_HORZ));
  EXPECT_TRUE(Shows(SB_VERT));
  EXPECT_EQ(box->HorzScrollBar().Position(), 0);
  EXPECT_EQ(box->HorzScrollBar().Range(), 0);
  EXPECT_EQ(child->Left(), 0);
  EXPECT_EQ(box->ClientHeight(), 150);
  EXPECT_EQ(box->VertScrollBar().Range(), 300 - 150);
  box->VertScrollBar().SetPosition(100);
  EXPECT_EQ(child->Top(), -100);
  box->HorzScrollBar().SetPosition(20);  // nothing to scroll that way
  EXPECT_EQ(child->Left(), 0);
  box->HorzScrollBar().SetVisible(true);
  EXPECT_TRUE(Shows(SB_HORZ));
  box->HorzScrollBar().SetPosition(20);
  EXPECT_EQ(child->Left(), -20);
}

}  // namespace
}  // namespace lark
