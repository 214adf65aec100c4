#include "platform/windows/check_box.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/edit.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/panel.h"
#include "platform/windows/scroll_bar.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

struct Turn {
  TObject* sender;
  int delta;
  TPoint pos;
};

// A document view: a window holding a paint panel and its own scroll bar,
// which scrolls by the wheel wherever in it the wheel turns.
class MouseWheel : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form.SetClientSize(300, 300);
    view = new TWinControl(&form);
    view->SetParent(&form);
    view->SetBounds(0, 0, 200, 200);
    surface = new TPanel(&form);
    surface->SetParent(view);
    surface->SetBounds(0, 0, 183, 200);
    bar = new TScrollBar(&form);
    bar->SetKind(TScrollBarKind::sbVertical);
    bar->SetParent(view);
    bar->SetBounds(183, 0, 17, 200);
    view->OnMouseWheel = [this](TObject* sender, TShiftState, int delta, TPoint pos, bool& handled) {
      turns.push_back({sender, delta, pos});
      handled = true;
    };
    form.OnMouseWheel = [this](TObject* sender, TShiftState, int delta, TPoint pos, bool&) {
      turns.push_back({sender, delta, pos});
    };
    form.Show();
  }
  template <typename T>
  T* Beside() {
    auto* control = new T(&form);
    control->SetParent(&form);
    control->SetBounds(210, 10, 80, 80);
    return control;
  }
  TForm form{nullptr};
  TWinControl* view = nullptr;
  TPanel* surface = nullptr;
  TScrollBar* bar = nullptr;
  std::vector<Turn> turns;
};

TEST_F(MouseWheel, AnUnhandledWheelGoesUpToTheWindowThatTakesIt) {
  test_driver::Wheel(surface, 50, 60, -120);
  test_driver::Wheel(bar, 8, 100, 240);
  Application()->ProcessMessages();
  ASSERT_EQ(turns.size(), 2u);
  EXPECT_EQ(turns[0].sender, view);
  EXPECT_EQ(turns[0].delta, -120);
  EXPECT_EQ(turns[0].pos, surface->ClientToScreen(Point(50, 60)));
  EXPECT_EQ(turns[1].sender, view);
  EXPECT_EQ(turns[1].delta, 240);

  // The panel's own handler comes first; handled, the wheel stops there.
  bool panelHandles = true;
  surface->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& handled) { handled = panelHandles; };
  turns.clear();
  test_driver::Wheel(surface, 50, 60, -120);
  Application()->ProcessMessages();
  EXPECT_TRUE(turns.empty());
  // Without a handler in the view either, it reaches the form.
  view->OnMouseWheel = nullptr;
  panelHandles = false;
  test_driver::Wheel(surface, 50, 60, -120);
  Application()->ProcessMessages();
  ASSERT_EQ(turns.size(), 1u);
  EXPECT_EQ(turns[0].sender, &form);
}

// Memos and lists scroll by the wheel themselves; an edit box, a check box
// and a combo box do not scroll, and only the combo box keeps the wheel.
TEST_F(MouseWheel, ControlsThatScrollKeepTheWheel) {
  auto* memo = Beside<TMemo>();
  std::string text;
  for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\n";
  memo->SetText(text);
  test_driver::Wheel(memo, 40, 40, -120);
  Application()->ProcessMessages();
  EXPECT_TRUE(turns.empty());
  delete memo;

  auto* list = Beside<TListBox>();
  for (int i = 0; i < 40; ++i) list->Items().Add("item " + std::to_string(i));
  test_driver::Wheel(list, 40, 40, -120);
  Application()->ProcessMessages();
  EXPECT_TRUE(turns.empty());
  delete list;

  auto* combo = Beside<TComboBox>();
  combo->Items().Add("one");
  test_driver::Wheel(combo, 20, 10, -120);
  Application()->ProcessMessages();
  EXPECT_TRUE(turns.empty());
  delete combo;

  auto* edit = Beside<TEdit>();
  test_driver::Wheel(edit, 20, 10, -120);
  Application()->ProcessMessages();
  ASSERT_EQ(turns.size(), 1u);
  EXPECT_EQ(turns[0].sender, &form);
}

// A check box that keeps the arrow keys (WM_GETDLGCODE) hears them; the
// toolkit's button must not move the keyboard elsewhere behind the layer.
class ArrowCheckBox : public TCheckBox {
 public:
  using TCheckBox::TCheckBox;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_GETDLGCODE) {
      message.Result = DLGC_WANTARROWS;
      return;
    }
    TCheckBox::WndProc(message);
  }
};

TEST_F(MouseWheel, ButtonsThatKeepArrowKeysKeepTheFocus) {
  auto* box = new ArrowCheckBox(&form);
  box->SetParent(&form);
  box->SetBounds(210, 10, 80, 20);
  auto* radio = new TRadioButton(&form);
  radio->SetParent(&form);
  radio->SetBounds(210, 40, 80, 20);
  Beside<TEdit>()->SetTop(70);
  std::vector<unsigned short> keys;
  box->OnKeyDown = [&](TObject*, unsigned short& key, TShiftState) { keys.push_back(key); };
  box->SetFocus();
  for (unsigned short key : {VK_RIGHT, VK_DOWN, VK_LEFT, VK_UP}) test_driver::PressKey(key);
  Application()->ProcessMessages();
  EXPECT_EQ(keys, (std::vector<unsigned short>{VK_RIGHT, VK_DOWN, VK_LEFT, VK_UP}));
  EXPECT_EQ(form.ActiveControl(), box);
  EXPECT_TRUE(test_driver::HasKeyboardFocus(box));
  EXPECT_FALSE(box->Checked());
  // Without the answer the arrows are dialog navigation among the siblings.
  test_driver::PressKey(VK_DOWN);  // the box wants it
  radio->SetFocus();
  test_driver::PressKey(VK_DOWN);
  Application()->ProcessMessages();
  EXPECT_NE(form.ActiveControl(), radio);
  EXPECT_TRUE(test_driver::HasKeyboardFocus(form.ActiveControl()));
}

}  // namespace
}  // namespace lark
