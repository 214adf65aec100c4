#include "platform/windows/list_controls.h"
#include "platform/windows/system_metrics.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Lists : public FormTest {};

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

// A list box that notes the client sizes WM_SIZE reports.
class SizedList : public TListBox {
 public:
  using TListBox::TListBox;
  std::vector<TSize> sizes;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SIZE) sizes.push_back(TSize{LoWord(m.LParam), HiWord(m.LParam)});
    TListBox::WndProc(m);
  }
};

TEST_F(Lists, TheListsOwnBarLeavesTheClientAreaAsItComesAndGoes) {
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  auto* list = new SizedList(form.get());
  list->SetParent(form.get());
  list->SetBounds(0, 0, 120, 100);  // six rows fit inside the frame
  form->Show();
  list->sizes.clear();
  std::uint32_t empty = test_driver::PixelAt(list, 110, 50);
  for (int i = 0; i < 6; ++i) list->Items().Add("row " + std::to_string(i));
  EXPECT_EQ(list->ClientRect(), Rect(0, 0, 116, 96));
  EXPECT_TRUE(list->sizes.empty());
  list->Items().Add("row 6");
  EXPECT_EQ(list->ClientRect(), Rect(0, 0, 116 - bar, 96));
  EXPECT_EQ(list->sizes, (std::vector<TSize>{{116 - bar, 96}}));
  EXPECT_NE(test_driver::PixelAt(list, 110, 50), empty);  // the toolkit shows it too
  list->Items().Add("row 7");
  EXPECT_EQ(list->sizes.size(), 1u);
  list->Items().Delete(7);
  list->Items().Delete(6);
  EXPECT_EQ(list->ClientWidth(), 116);
  EXPECT_EQ(list->sizes.back(), (TSize{116, 96}));
  EXPECT_EQ(test_driver::PixelAt(list, 110, 50), empty);
  // A height too small for the rows brings the bar with the new size.
  list->SetHeight(60);
  EXPECT_EQ(list->sizes.back(), (TSize{116 - bar, 56}));
  EXPECT_EQ(list->sizes.size(), 3u);
  // Kept without a window, and shown again in a new one.
  list->RecreateWnd();
  EXPECT_EQ(list->ClientWidth(), 116 - bar);
  EXPECT_NE(test_driver::PixelAt(list, 110, 30), empty);
  list->Items().Clear();
  EXPECT_EQ(list->ClientWidth(), 116);
}

}  // namespace
}  // namespace lark
