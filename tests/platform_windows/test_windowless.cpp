#include "platform/windows/custom_control.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Windowless : public WindowTest {};

// A windowless button that records what reaches it.
class ProbeButton : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::string> events;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER) events.push_back("enter");
    if (m.Msg == CM_MOUSELEAVE) events.push_back("leave");
    TGraphicControl::WndProc(m);
  }
  void MouseDown(TMouseButton, TShiftState, int x, int y) override {
    events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseMove(TShiftState, int x, int y) override {
    events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseUp(TMouseButton, TShiftState, int x, int y) override {
    events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }
};

TEST_F(Windowless, GetsItsOwnMouseHoverAndCapture) {
  TForm form(nullptr);
  form.SetClientSize(300, 200);
  auto* button = new ProbeButton(&form);
  button->SetParent(&form);
  button->SetBounds(100, 50, 40, 20);
  button->Hint = "Back|Go back one page";
  std::string hint;
  Application()->OnHint = [&](TObject*) { hint = Application()->Hint(); };
  int clicks = 0, formDowns = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++formDowns; };
  form.Show();

  button->SetShowHint(true);
  Application()->HintPause = 0;  // hints at once
  test_driver::MouseMove(&form, 110, 55);
  Application()->ProcessMessages();
  EXPECT_EQ(hint, "Go back one page");
  EXPECT_EQ(test_driver::ShownHint(), "Back");
  // Press on the button, drag far outside: the button keeps the mouse.
  test_driver::MouseDown(button, TMouseButton::mbLeft, 5, 5);
  Application()->ProcessMessages();
  EXPECT_TRUE(button->MouseCapture());
  test_driver::MouseMove(&form, 250, 150);
  Application()->ProcessMessages();
  test_driver::MouseUp(&form, TMouseButton::mbLeft, 250, 150);
  Application()->ProcessMessages();
  EXPECT_FALSE(button->MouseCapture());
  EXPECT_EQ(clicks, 0);  // released outside
  EXPECT_EQ(formDowns, 0);
  test_driver::MouseMove(&form, 10, 10);
  Application()->ProcessMessages();
  EXPECT_EQ(test_driver::ShownHint(), "");

  std::vector<std::string> expected{"enter", "move 10,5", "down 5,5", "move 150,100", "up 150,100", "leave"};
  EXPECT_EQ(button->events, expected);

  test_driver::Click(button, 3, 3);
  Application()->ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

TEST_F(Windowless, DisabledOrHiddenButtonsLetTheParentHaveTheMouse) {
  TForm form(nullptr);
  form.SetClientSize(300, 200);
  auto* button = new ProbeButton(&form);
  button->SetParent(&form);
  button->SetBounds(0, 0, 50, 50);
  int formDowns = 0;
  form.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++formDowns; };
  form.Show();
  button->SetEnabled(false);
  test_driver::Click(&form, 10, 10);
  Application()->ProcessMessages();
  button->SetEnabled(true);
  button->Hide();
  test_driver::Click(&form, 10, 10);
  Application()->ProcessMessages();
  EXPECT_EQ(formDowns, 2);
  EXPECT_TRUE(button->events.empty());
}

}  // namespace
}  // namespace lark
