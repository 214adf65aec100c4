#include "platform/windows/custom_control.h"
#include "platform/windows/graphic_controls.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class DragAndCursor : public WindowTest {};

TEST_F(DragAndCursor, DragFromOneControlAndDropOnAnotherThatAccepts) {
  TForm form(nullptr);
  form.SetClientSize(300, 200);
  auto* source = new TPaintBox(&form);
  source->SetParent(&form);
  source->SetBounds(10, 10, 50, 50);
  source->DragMode = TDragMode::dmAutomatic;
  auto* target = new TCustomControl(&form);
  target->SetParent(&form);
  target->SetBounds(150, 10, 100, 100);
  std::vector<std::string> trace;
  target->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState state, bool& accept) {
    trace.push_back(state == TDragState::dsDragEnter ? "enter" : state == TDragState::dsDragMove ? "move" : "leave");
    accept = src == source;
  };
  target->OnDragDrop = [&](TObject*, TObject*, int x, int y) {
    trace.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
  };
  source->OnEndDrag = [&](TObject*, TObject* to, int, int) { trace.push_back(to == target ? "end on target" : "end"); };
  int clicks = 0;
  source->OnClick = [&](TObject*) { ++clicks; };
  form.Show();
  test_driver::MouseDown(source, TMouseButton::mbLeft, 5, 5);
  Application()->ProcessMessages();
  test_driver::MouseMove(&form, 160, 20);
  Application()->ProcessMessages();
  test_driver::MouseMove(&form, 170, 30);
  Application()->ProcessMessages();
  test_driver::MouseUp(&form, TMouseButton::mbLeft, 170, 30);
  Application()->ProcessMessages();
  EXPECT_EQ(trace, (std::vector<std::string>{"enter", "move", "drop 20,20", "end on target"}));
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(source->MouseCapture());
  // A press and release without moving stays a click.
  test_driver::Click(source, 5, 5);
  Application()->ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

TEST_F(DragAndCursor, CursorsFollowTheControlUnderTheMouse) {
  TForm form(nullptr);
  form.SetClientSize(300, 200);
  auto* link = new TPaintBox(&form);
  link->SetParent(&form);
  link->SetBounds(0, 0, 50, 50);
  link->SetCursor(crHandPoint);
  auto* panel = new TCustomControl(&form);
  panel->SetParent(&form);
  panel->SetBounds(100, 0, 50, 50);
  panel->SetCursor(crSizeWE);
  form.Show();
  EXPECT_EQ(test_driver::ShownCursor(panel), crSizeWE);
  test_driver::MouseMove(&form, 10, 10);
  Application()->ProcessMessages();
  EXPECT_EQ(test_driver::ShownCursor(&form), crHandPoint);
  test_driver::MouseMove(&form, 80, 80);
  Application()->ProcessMessages();
  TCursor shown = test_driver::ShownCursor(&form);  // a top-level window keeps an arrow
  EXPECT_TRUE(shown == crDefault || shown == crArrow) << shown;
}

TEST_F(DragAndCursor, FindDragTargetDescendsIntoWindowedChildren) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* panel = new TCustomControl(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 100, 100);
  auto* inner = new TPaintBox(&form);
  inner->SetParent(panel);
  inner->SetBounds(5, 5, 20, 20);
  form.Show();
  EXPECT_EQ(FindDragTarget(inner->ClientToScreen(Point(1, 1)), false), inner);
  EXPECT_EQ(FindDragTarget(panel->ClientToScreen(Point(50, 50)), false), panel);
  EXPECT_EQ(FindDragTarget(Point(5000, 5000), false), nullptr);
}

}  // namespace
}  // namespace lark
