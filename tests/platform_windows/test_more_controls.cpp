#include "platform/windows/page_control.h"
#include "platform/windows/small_controls.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class MoreControls : public FormTest {};

TEST_F(MoreControls, PageControlTurnsPagesByTabAndAsksFirst) {
  auto* pages = new TPageControl(form.get());
  pages->SetParent(form.get());
  pages->SetAlign(TAlign::alClient);
  auto* general = new TTabSheet(form.get());
  general->SetCaption("General");
  general->SetPageControl(pages);
  auto* advanced = new TTabSheet(form.get());
  advanced->SetCaption("Advanced");
  advanced->SetPageControl(pages);
  EXPECT_EQ(pages->ActivePage(), general);
  EXPECT_TRUE(general->Visible());
  EXPECT_FALSE(advanced->Visible());
  EXPECT_EQ(general->BoundsRect(), Rect(4, 24, 296, 196));
  bool allow = false;
  int changes = 0;
  pages->OnChanging = [&](TObject*, bool& ok) { ok = allow; };
  pages->OnChange = [&](TObject*) { ++changes; };
  form->Show();
  TRect tab = pages->TabRect(1);
  test_driver::Click(pages, tab.Left + 3, tab.Top + 3);
  Application()->ProcessMessages();
  EXPECT_EQ(pages->ActivePage(), general);
  allow = true;
  test_driver::Click(pages, tab.Left + 3, tab.Top + 3);
  Application()->ProcessMessages();
  EXPECT_EQ(pages->ActivePage(), advanced);
  EXPECT_EQ(changes, 1);
  delete advanced;
  EXPECT_EQ(pages->PageCount(), 1);
  EXPECT_EQ(pages->ActivePage(), general);
}

TEST_F(MoreControls, SpeedButtonsOfAGroupLatchOneAtATime) {
  auto* a = new TSpeedButton(form.get());
  auto* b = new TSpeedButton(form.get());
  a->SetParent(form.get());
  b->SetParent(form.get());
  b->SetLeft(30);
  a->GroupIndex = b->GroupIndex = 1;
  form->Show();
  test_driver::Click(a, 5, 5);
  Application()->ProcessMessages();
  EXPECT_TRUE(a->Down());
  test_driver::Click(b, 5, 5);
  Application()->ProcessMessages();
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  b->SetDown(false);  // the last one down stays down
  EXPECT_TRUE(b->Down());
}

TEST_F(MoreControls, SpinEditKeepsItsValueWithinLimits) {
  auto* spin = new TSpinEdit(form.get());
  spin->SetParent(form.get());
  spin->SetMinValue(1);
  spin->SetMaxValue(9);
  spin->SetValue(20);
  EXPECT_EQ(spin->Value(), 9);
  form->Show();
  spin->SetFocus();
  test_driver::PressKey(VK_DOWN);
  Application()->ProcessMessages();
  EXPECT_EQ(spin->Value(), 8);
}

TEST_F(MoreControls, ListViewCheckBoxesReportTheUsersChoice) {
  auto* view = new TListView(form.get());
  view->SetParent(form.get());
  view->SetCheckboxes(true);
  view->Columns() = {TListColumn("Buttons")};
  view->Items() = {{"Back", {}, true, 3}, {"Forward", {}, false, 4}};
  view->ItemsChanged();
  form->Show();
  EXPECT_TRUE(view->Items()[0].Checked);
  EXPECT_FALSE(view->Items()[1].Checked);
  view->RecreateWnd();
  EXPECT_TRUE(view->Items()[0].Checked);
}

TEST_F(MoreControls, ScrollBoxMovesItsChildren) {
  auto* box = new TScrollBox(form.get());
  box->SetParent(form.get());
  box->SetBounds(0, 0, 100, 100);
  auto* child = new TSpeedButton(form.get());
  child->SetParent(box);
  child->SetBounds(0, 250, 20, 20);
  EXPECT_EQ(box->ScrollRange().cy, 170);
  box->ScrollInView(child);
  EXPECT_EQ(box->VertPosition(), 170);
  EXPECT_EQ(child->Top(), 80);
  box->SetPositions(0, 1000);
  EXPECT_EQ(box->VertPosition(), 170);
}

}  // namespace
}  // namespace lark

#include "platform/windows/date_time_picker.h"

namespace lark {
namespace {

TEST_F(MoreControls, DateTimePickerKeepsItsValueAcrossItsWindow) {
  auto* picker = new TDateTimePicker(form.get());
  picker->SetParent(form.get());
  TDateTime when = EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 10, 0);
  picker->SetDateTime(when);
  form->Show();
  EXPECT_NEAR(picker->DateTime(), when, 1e-6);
  picker->SetKind(TDateTimeKind::dtkTime);
  EXPECT_NEAR(picker->DateTime(), when, 1e-6);
}

TEST_F(MoreControls, WindowSystemResizesFollowTheFormsRules) {
  form->SetBorderStyle(TFormBorderStyle::bsSizeable);
  form->Show();
  test_driver::ResizeWindow(form.get(), 500, 400);
  EXPECT_EQ(form->ClientWidth(), 500);
  EXPECT_EQ(form->ClientHeight(), 400);
  form->SetBorderStyle(TFormBorderStyle::bsSingle);
  test_driver::ResizeWindow(form.get(), 200, 100);
  EXPECT_EQ(form->ClientWidth(), 500);  // a fixed frame cannot be dragged
}

}  // namespace
}  // namespace lark
