#include "platform/windows/button.h"
#include "platform/windows/edit.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/panel.h"
#include "platform/windows/system_metrics.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

// Edit boxes and lists sized by what they must show, as a page sizes the
// controls of its forms: the client area excludes the frame and the bars.
class PageControls : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form.SetClientSize(400, 300);
    form.Show();
  }
  template <typename T>
  T* Add() {
    auto* control = new T(&form);
    control->SetParent(&form);
    return control;
  }
  TForm form{nullptr};
};

TEST_F(PageControls, AMemosClientAreaLiesInsideItsFrameAndBars) {
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  auto* memo = Add<TMemo>();
  memo->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(memo->ClientRect(), Rect(0, 0, 196, 96));
  memo->SetScrollBars(TScrollStyle::ssVertical);
  EXPECT_EQ(memo->ClientWidth(), 196 - bar);
  memo->SetClientSize(150, 60);
  EXPECT_EQ(memo->Width(), 154 + bar);
  EXPECT_EQ(memo->Height(), 64);
  memo->SetScrollBars(TScrollStyle::ssBoth);
  EXPECT_EQ(memo->ClientHeight(), 60 - bar);
  EXPECT_EQ(memo->ClientWidth(), 150);

  auto* list = Add<TListBox>();
  list->SetBounds(200, 0, 100, 100);
  list->SetClientHeight(80);
  EXPECT_EQ(list->Height(), 84);
  EXPECT_EQ(list->ClientWidth(), 96);
}

// Putting a memo back to its first text moves the caret to the start, even
// when the text is the same; positions count bytes of the text, a line
// break two.
TEST_F(PageControls, AMemosCaretAndSelectionAreSetInBytesOfItsText) {
  auto* memo = Add<TMemo>();
  memo->SetBounds(0, 0, 200, 100);
  memo->SetText("\xC3\xA9t\xC3\xA9\r\nzone");
  memo->SetFocus();
  memo->SetSelStart(7);  // "z"
  memo->SetSelLength(2);
  EXPECT_EQ(memo->SelStart(), 7);
  EXPECT_EQ(memo->SelLength(), 2);
  test_driver::TypeText("Q");
  Application()->ProcessMessages();
  EXPECT_EQ(memo->GetText(), "\xC3\xA9t\xC3\xA9\r\nQne");
  EXPECT_EQ(memo->SelStart(), 8);
  EXPECT_EQ(memo->SelLength(), 0);

  memo->SetText("\xC3\xA9t\xC3\xA9\r\nQne");
  memo->SetSelStart(0);
  memo->SetSelLength(0);
  test_driver::TypeText("A");
  Application()->ProcessMessages();
  EXPECT_EQ(memo->GetText(), "A\xC3\xA9t\xC3\xA9\r\nQne");
}

TEST_F(PageControls, WithoutExtendedSelectEachClickTogglesAnItem) {
  auto* list = Add<TListBox>();
  list->SetBounds(0, 0, 150, 200);
  for (int i = 0; i < 10; ++i) list->Items().Add("item " + std::to_string(i));
  list->SetMultiSelect(true);
  EXPECT_TRUE(list->ExtendedSelect());
  test_driver::Click(list, 20, 4);
  test_driver::Click(list, 20, 60);
  Application()->ProcessMessages();
  EXPECT_EQ(list->SelCount(), 1);  // a plain click chooses anew
  list->SetExtendedSelect(false);
  test_driver::Click(list, 20, 4);
  Application()->ProcessMessages();
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_TRUE(list->Selected(0));
  test_driver::Click(list, 20, 4);
  Application()->ProcessMessages();
  EXPECT_EQ(list->SelCount(), 1);
  EXPECT_FALSE(list->Selected(0));
}

// Controls parked out of sight still take the focus by Tab; hidden ones do
// not. Enter in an edit box reaches OnKeyPress, which may swallow it, unless
// a default button takes it first.
TEST_F(PageControls, TabReachesControlsOutOfSightAndEnterReachesTheEdit) {
  auto* page = Add<TPanel>();
  page->SetBounds(0, 0, 300, 200);
  auto make = [&](int left, int top) {
    auto* edit = new TEdit(&form);
    edit->SetParent(page);
    edit->SetBounds(left, top, 120, 20);
    return edit;
  };
  TEdit* first = make(10, 10);
  TEdit* hidden = make(10, 40);
  TEdit* parked = make(-4000, 70);
  hidden->Hide();
  std::string pressed;
  first->OnKeyPress = [&](TObject*, char& key) {
    pressed += key;
    if (key == '\r') key = 0;
  };
  first->SetFocus();
  test_driver::PressKey(VK_RETURN);
  test_driver::PressKey(VK_TAB);
  Application()->ProcessMessages();
  EXPECT_EQ(pressed, "\r");  // not the Tab that moved the focus
  EXPECT_EQ(form.ActiveControl(), parked);

  // A key the form takes is not typed as well.
  auto* go = new TButton(&form);
  go->SetParent(page);
  go->SetBounds(150, 10, 60, 20);
  go->SetDefault(true);
  int clicks = 0;
  go->OnClick = [&](TObject*) { ++clicks; };
  first->SetFocus();
  pressed.clear();
  test_driver::PressKey(VK_RETURN);
  Application()->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(pressed, "");
}

}  // namespace
}  // namespace lark
