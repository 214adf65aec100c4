#include "platform/windows/list_controls.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Lists : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetClientSize(300, 200);
  }
  std::unique_ptr<TForm> form;
};

TEST_F(Lists, ListBoxSelectsOneOrManyAndKeepsStateAcrossItsWindow) {
  auto* list = new TListBox(form.get());
  list->SetParent(form.get());
  list->SetBounds(0, 0, 120, 60);
  for (int i = 0; i < 20; ++i) list->Items().Add("item " + std::to_string(i));
  list->SetItemIndex(3);
  form->Show();
  EXPECT_EQ(list->ItemIndex(), 3);
  EXPECT_TRUE(list->Selected(3));
  list->SetMultiSelect(true);
  list->SetSelected(5, true);
  EXPECT_EQ(list->SelCount(), 2);
  list->SetTopIndex(10);
  Application()->ProcessMessages();
  EXPECT_EQ(list->TopIndex(), 10);
  list->RecreateWnd();
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_EQ(list->Items().Count(), 20);
  EXPECT_THROW((void)list->Items().Get(20), EStringListError);
}

TEST_F(Lists, ClickingAnItemSelectsItThroughTheQueue) {
  auto* list = new TListBox(form.get());
  list->SetParent(form.get());
  list->SetBounds(0, 0, 120, 100);
  list->Items().Add("first");
  list->Items().Add("second");
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  test_driver::Click(list, 10, 3);
  Application()->ProcessMessages();
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace lark
