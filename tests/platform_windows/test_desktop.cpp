#include "platform/windows/desktop.h"
#include "platform/windows/panel.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Desktop : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form.SetClientSize(200, 200);
    panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBevelOuter(TBevelCut::bvNone);
    panel->SetColor(clRed);
    panel->SetBounds(0, 0, 200, 150);
    form.Show();
  }
  void TearDown() override {
    ClipCursor(nullptr);
    WindowTest::TearDown();
  }
  TForm form{nullptr};
  TPanel* panel = nullptr;
};

// A dragged splitter line stays between its neighbours: the pointer the
// program sees never leaves the confining rectangle, whatever the mouse does.
TEST_F(Desktop, AConfinedPointerIsReportedInsideTheRectangle) {
  std::vector<TPoint> moves;
  panel->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { moves.push_back(Point(x, y)); };
  TPoint corner = panel->ClientToScreen(Point(20, 40));
  TRect band = Bounds(corner.X, corner.Y, 160, 20);
  ASSERT_TRUE(ClipCursor(&band));
  TRect read;
  ASSERT_TRUE(GetClipCursor(read));
  EXPECT_EQ(read, band);
  test_driver::MouseDown(panel, TMouseButton::mbLeft, 50, 50);
  test_driver::MouseMove(panel, 300, -80, ssLeft);
  Application()->ProcessMessages();
  test_driver::MouseMove(panel, 5, 100, ssLeft);
  Application()->ProcessMessages();
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[0], Point(179, 40));  // right and bottom edges excluded
  EXPECT_EQ(moves[1], Point(20, 59));
  EXPECT_EQ(Mouse()->CursorPos(), panel->ClientToScreen(Point(20, 59)));
  Mouse()->SetCursorPos(Point(0, 0));
  EXPECT_EQ(Mouse()->CursorPos(), corner);
  Application()->ProcessMessages();  // the window system's word on the moved pointer

  ClipCursor(nullptr);
  EXPECT_FALSE(GetClipCursor(read));
  test_driver::MouseMove(panel, 5, 100, ssLeft);
  test_driver::MouseUp(panel, TMouseButton::mbLeft, 5, 100);
  Application()->ProcessMessages();
  EXPECT_EQ(moves.back(), Point(5, 100));
}

TEST_F(Desktop, WindowFromPointFindsTheDeepestEnabledWindow) {
  auto* inner = new TPanel(&form);
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 50, 50);
  EXPECT_EQ(WindowFromPoint(inner->ClientToScreen(Point(5, 5))), inner);
  EXPECT_EQ(WindowFromPoint(panel->ClientToScreen(Point(100, 100))), panel);
  EXPECT_EQ(WindowFromPoint(form.ClientToScreen(Point(100, 170))), &form);
  inner->SetEnabled(false);
  EXPECT_EQ(WindowFromPoint(inner->ClientToScreen(Point(5, 5))), panel);
  EXPECT_EQ(WindowFromPoint(form.ClientToScreen(Point(-50, -50))), nullptr);
}

// The focus rectangle is drawn over child windows by inverting every other
// pixel of its edge; drawn again it is gone, and the windows' own pictures
// were never changed.
TEST_F(Desktop, AFocusRectangleOnTheScreenInvertsAndDrawnAgainGoes) {
  const std::uint32_t red = 0xFF0000, cyan = 0x00FFFF;
  ASSERT_EQ(test_driver::PixelAt(&form, 10, 10), red);
  TPoint start = form.ClientToScreen(Point(10, 10));
  TRect line = Bounds(start.X, start.Y, 100, 2);
  DrawFocusRectOnScreen(line);
  EXPECT_EQ(test_driver::PixelAt(&form, 10, 10), cyan);
  EXPECT_EQ(test_driver::PixelAt(&form, 11, 10), red);
  EXPECT_EQ(test_driver::PixelAt(&form, 11, 11), cyan);
  EXPECT_EQ(test_driver::PixelAt(&form, 10, 12), red);  // below the line
  EXPECT_EQ(test_driver::PixelAt(panel, 10, 10), red);  // the panel's own picture

  // A line moved by one pixel: its old dots go, the new ones come.
  TRect moved = line;
  OffsetRect(moved, 0, 1);
  DrawFocusRectOnScreen(line);
  DrawFocusRectOnScreen(moved);
  EXPECT_EQ(test_driver::PixelAt(&form, 10, 10), red);
  EXPECT_EQ(test_driver::PixelAt(&form, 10, 11), cyan);
  DrawFocusRectOnScreen(moved);
  EXPECT_EQ(test_driver::PixelAt(&form, 10, 11), red);
  // Clicks were never caught by the marks.
  int clicks = 0;
  panel->OnClick = [&](TObject*) { ++clicks; };
  DrawFocusRectOnScreen(line);
  test_driver::Click(panel, 10, 10);
  Application()->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  DrawFocusRectOnScreen(line);
}

}  // namespace
}  // namespace lark
