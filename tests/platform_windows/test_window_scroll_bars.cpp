#include <tuple>

#include "platform/windows/panel.h"
#include "platform/windows/small_controls.h"
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

}  // namespace
}  // namespace lark
