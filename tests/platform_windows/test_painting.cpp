#include "platform/windows/custom_control.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Painting : public WindowTest {};

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

class Panel : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  int paints = 0;
  bool keepBackground = false;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_ERASEBKGND && keepBackground) {
      m.Result = 1;  // the background is never erased
      return;
    }
    TCustomControl::WndProc(m);
  }
  void Paint() override { ++paints; }
};

class Swatch : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;

 protected:
  void Paint() override {
    Canvas().Brush().Color = clRed;
    Canvas().FillRect(Rect(0, 0, 1000, 1000));  // clipped to the control
  }
};

TEST_F(Painting, DrawingOutsideAPaintShowsAtTheNextPaint) {
  TForm form(nullptr);
  form.SetClientSize(100, 80);
  auto* panel = new Panel(&form);
  panel->SetParent(&form);
  panel->SetAlign(TAlign::alClient);
  panel->SetColor(clBlue);
  form.Show();
  EXPECT_EQ(test_driver::PixelAt(panel, 10, 10), kBlue);
  int paintsBefore = panel->paints;
  panel->Canvas().Brush().Color = clLime;
  panel->Canvas().FillRect(Rect(5, 5, 20, 20));
  EXPECT_EQ(test_driver::PixelAt(panel, 10, 10), kGreen);
  EXPECT_EQ(test_driver::PixelAt(panel, 30, 30), kBlue);
  // Showing what was drawn is not a repaint: Paint did not run again.
  EXPECT_EQ(panel->paints, paintsBefore);
  panel->Invalidate();
  EXPECT_EQ(test_driver::PixelAt(panel, 10, 10), kBlue);
  EXPECT_GT(panel->paints, paintsBefore);
}

TEST_F(Painting, AnEraseAnswerKeepsWhatWasThere) {
  TForm form(nullptr);
  form.SetClientSize(100, 80);
  auto* panel = new Panel(&form);
  panel->SetParent(&form);
  panel->SetAlign(TAlign::alClient);
  panel->SetColor(clBlue);
  form.Show();
  test_driver::PixelAt(panel, 0, 0);
  panel->keepBackground = true;
  panel->Canvas().Brush().Color = clLime;
  panel->Canvas().FillRect(Rect(0, 0, 100, 80));
  panel->InvalidateRect(Rect(0, 0, 50, 50), true);
  EXPECT_EQ(test_driver::PixelAt(panel, 10, 10), kGreen);
}

TEST_F(Painting, AGrownWindowKeepsWhatWasDrawnOnIt) {
  TForm form(nullptr);
  form.SetClientSize(100, 80);
  auto* panel = new Panel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 50, 40);
  panel->SetColor(clBlue);
  form.Show();
  test_driver::PixelAt(panel, 0, 0);
  panel->keepBackground = true;
  panel->Canvas().Brush().Color = clLime;
  panel->Canvas().FillRect(Rect(5, 5, 20, 20));
  panel->SetBounds(0, 0, 90, 70);
  EXPECT_EQ(test_driver::PixelAt(panel, 10, 10), kGreen);
  EXPECT_EQ(test_driver::PixelAt(panel, 30, 30), kBlue);
}

TEST_F(Painting, WindowlessControlsArePaintedByTheirParentClippedToThemselves) {
  TForm form(nullptr);
  form.SetClientSize(100, 80);
  form.SetColor(clBlue);
  auto* swatch = new Swatch(&form);
  swatch->SetParent(&form);
  swatch->SetBounds(10, 10, 20, 20);
  form.Show();
  EXPECT_EQ(test_driver::PixelAt(&form, 15, 15), kRed);
  EXPECT_EQ(test_driver::PixelAt(&form, 35, 15), kBlue);
  swatch->Hide();
  EXPECT_EQ(test_driver::PixelAt(&form, 15, 15), kBlue);
}

// A frame set swaps its frames with redrawing off on the browser: the
// browser and the windows inside it wait, and catch up when it is on again.
TEST_F(Painting, SetRedrawOffHoldsBackTheWindowAndThoseInsideIt) {
  TForm form(nullptr);
  form.SetClientSize(100, 80);
  auto* outer = new Panel(&form);
  outer->SetParent(&form);
  outer->SetAlign(TAlign::alClient);
  auto* inner = new Panel(&form);
  inner->SetParent(outer);
  inner->SetBounds(10, 10, 40, 30);
  form.Show();
  test_driver::PixelAt(inner, 0, 0);
  int outerBefore = outer->paints, innerBefore = inner->paints;
  outer->Perform(WM_SETREDRAW, 0);
  outer->Invalidate();
  inner->Invalidate();
  test_driver::PixelAt(outer, 0, 0);
  test_driver::PixelAt(inner, 0, 0);
  EXPECT_EQ(outer->paints, outerBefore);
  EXPECT_EQ(inner->paints, innerBefore);
  outer->Perform(WM_SETREDRAW, 1);
  test_driver::PixelAt(outer, 0, 0);
  test_driver::PixelAt(inner, 0, 0);
  EXPECT_GT(outer->paints, outerBefore);
  EXPECT_GT(inner->paints, innerBefore);
}

TEST_F(Painting, WhatAChildWindowUncoversIsPaintedByItsParent) {
  TForm form(nullptr);
  form.SetClientSize(100, 80);
  auto* outer = new Panel(&form);
  outer->SetParent(&form);
  outer->SetAlign(TAlign::alClient);
  outer->SetColor(clBlue);
  auto* inner = new Panel(&form);
  inner->SetParent(outer);
  inner->SetBounds(0, 0, 50, 80);
  inner->SetColor(clRed);
  form.Show();
  EXPECT_EQ(test_driver::PixelAt(outer, 10, 10), kRed);
  // Invalid under the child while the rest is painted; shown once uncovered.
  outer->SetColor(clLime);
  EXPECT_EQ(test_driver::PixelAt(outer, 60, 10), kGreen);
  inner->SetLeft(50);
  EXPECT_EQ(test_driver::PixelAt(outer, 10, 10), kGreen);
  EXPECT_EQ(test_driver::PixelAt(outer, 60, 10), kRed);
  inner->SetVisible(false);
  EXPECT_EQ(test_driver::PixelAt(outer, 60, 10), kGreen);
}

TEST_F(Painting, ProcessMessagesDoesNothingInsideAPaint) {
  class Busy : public Panel {
   public:
    using Panel::Panel;
    RecordingForm* target = nullptr;

   protected:
    void Paint() override {
      PostMessage(target, WM_USER + 1);
      Application()->ProcessMessages();
      delivered_inside = !target->received.empty();
    }

   public:
    bool delivered_inside = true;
  };
  RecordingForm form(nullptr);
  form.SetClientSize(100, 80);
  auto* busy = new Busy(&form);
  busy->target = &form;
  busy->SetParent(&form);
  busy->SetAlign(TAlign::alClient);
  form.Show();
  test_driver::PixelAt(busy, 0, 0);
  EXPECT_FALSE(busy->delivered_inside);
  Application()->ProcessMessages();
  EXPECT_FALSE(form.received.empty());
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST_F(Painting, ScrollWindowMovesWhatIsShownAndRepaintsTheUncoveredPart) {
  class Striped : public TCustomControl {
   public:
    using TCustomControl::TCustomControl;
    std::vector<TRect> painted;

   protected:
    void Paint() override {
      painted.push_back(Canvas().ClipRect());
      Canvas().Brush().Color = clBlue;
      Canvas().FillRect(ClientRect());
    }
  };
  TForm form(nullptr);
  form.SetClientSize(100, 100);
  auto* view = new Striped(&form);
  view->SetParent(&form);
  view->SetAlign(TAlign::alClient);
  auto* child = new TCustomControl(&form);
  child->SetParent(view);
  child->SetBounds(0, 50, 10, 10);
  form.Show();
  test_driver::PixelAt(view, 0, 0);
  view->Canvas().Brush().Color = clRed;
  view->Canvas().FillRect(Rect(0, 20, 100, 30));  // a red band at 20..29
  view->painted.clear();
  view->ScrollWindow(0, -10);
  EXPECT_EQ(test_driver::PixelAt(view, 50, 15), kRed);
  EXPECT_EQ(test_driver::PixelAt(view, 50, 25), kBlue);
  ASSERT_FALSE(view->painted.empty());
  EXPECT_EQ(view->painted.back(), Rect(0, 90, 100, 100));
  EXPECT_EQ(child->Top(), 40);
}

}  // namespace
}  // namespace lark
