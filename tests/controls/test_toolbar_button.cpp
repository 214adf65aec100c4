// The toolbar button through the real window layer: hot tracking, faces,
// drop-down menus, repeat, groups.

#include "controls/toolbar_button.h"

#include <chrono>
#include <thread>

#include "platform/windows/action.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using Clock = std::chrono::steady_clock;

std::uint32_t Rgb(TColor color) {
  const TColor c = ColorToRGB(color);
  return static_cast<std::uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
}

class ToolbarButtons : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->SetColor(RGB(0, 128, 0));
    bar1 = MakeBar(0);
    bar2 = MakeBar(40);
    a = MakeButton(bar1, 10);
    b = MakeButton(bar2, 10);
    form->Show();
    test_driver::SetApplicationActive(true);
  }
  TPanel* MakeBar(int top) {
    auto* bar = new TPanel(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(0, top, 300, 30);
    bar->SetBevelOuter(TBevelCut::bvNone);
    return bar;
  }
  TToolbarButton* MakeButton(TWinControl* bar, int left) {
    auto* button = new TToolbarButton(form.get());
    button->SetParent(bar);
    button->SetBounds(left, 4, 23, 22);
    button->OnClick = [this](TObject*) { ++clicks; };
    return button;
  }
  void Pump(std::chrono::milliseconds how_long) {
    const auto end = Clock::now() + how_long;
    while (Clock::now() < end) {
      Drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  // A pixel of what the bar shows, at a point of the button.
  std::uint32_t PixelOf(TToolbarButton* button, int x, int y) {
    return test_driver::PixelAt(button->Parent(), button->Left() + x, button->Top() + y);
  }

  TPanel* bar1 = nullptr;
  TPanel* bar2 = nullptr;
  TToolbarButton* a = nullptr;
  TToolbarButton* b = nullptr;
  int clicks = 0;
};

TEST_F(ToolbarButtons, OneHotButtonAcrossTwoBarsUntilThePointerOrTheProgramLeaves) {
  test_driver::MouseMove(bar1, 20, 10);
  Drain();
  EXPECT_EQ(TToolbarButton::HotButton(), a);
  EXPECT_TRUE(a->MouseInControl());
  test_driver::MouseMove(bar2, 20, 10);
  Drain();
  EXPECT_EQ(TToolbarButton::HotButton(), b);
  EXPECT_FALSE(a->MouseInControl());
  test_driver::MouseMove(bar2, 200, 10);  // off every button
  Drain();
  EXPECT_EQ(TToolbarButton::HotButton(), nullptr);
  EXPECT_FALSE(b->MouseInControl());

  test_driver::MouseMove(bar1, 20, 10);
  Drain();
  test_driver::SetApplicationActive(false);
  Drain();
  EXPECT_FALSE(a->MouseInControl());
  test_driver::SetApplicationActive(true);
  a->ShowBorderWhenInactive = true;
  test_driver::MouseMove(bar1, 21, 10);
  Drain();
  test_driver::SetApplicationActive(false);
  Drain();
  EXPECT_TRUE(a->MouseInControl());
}

TEST_F(ToolbarButtons, FacesShowTheirEdgesTheDitherAndTheParentThroughASeeThroughButton) {
  const std::uint32_t face = Rgb(clBtnFace);
  const std::uint32_t light = Rgb(clBtnHighlight);
  const std::uint32_t shadow = Rgb(clBtnShadow);
  EXPECT_EQ(PixelOf(a, 0, 0), face);  // flat and up: no edge
  test_driver::MouseMove(bar1, 20, 10);
  Drain();
  EXPECT_EQ(PixelOf(a, 0, 0), light);  // hot: raised inner edge
  EXPECT_EQ(PixelOf(a, 22, 21), shadow);
  test_driver::MouseDown(bar1, TMouseButton::mbLeft, 20, 10);
  Drain();
  EXPECT_EQ(PixelOf(a, 0, 0), shadow);  // pushed: sunken
  test_driver::MouseUp(bar1, TMouseButton::mbLeft, 20, 10);
  Drain();

  b->SetGroupIndex(1);
  b->SetDown(true);  // latched, the pointer elsewhere: dithered face
  Drain();
  EXPECT_EQ(PixelOf(b, 2, 2), light);
  EXPECT_EQ(PixelOf(b, 3, 2), face);
  EXPECT_EQ(PixelOf(b, 3, 3), light);

  a->SetOpaque(false);
  test_driver::MouseMove(bar1, 200, 10);
  Drain();
  bar1->SetColor(RGB(255, 0, 0));
  Drain();
  EXPECT_EQ(PixelOf(a, 11, 11), 0xFF0000u);
}

TEST_F(ToolbarButtons, TheDisabledGlyphIsEmbossed) {
  TBitmap glyph;
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(8, 8);
  glyph.Canvas().Brush().Color = RGB(255, 0, 255);  // the bottom-left pixel: transparent
  glyph.Canvas().FillRect(Rect(0, 0, 8, 8));
  glyph.Canvas().Brush().Color = RGB(0, 0, 0);
  glyph.Canvas().FillRect(Rect(2, 2, 4, 4));
  a->SetGlyph(glyph);
  a->SetEnabled(false);
  Drain();
  // The glyph sits centred: (23 - 2 - 8 + 1) / 2 = 7 from the face's left, 1 in.
  const int gx = 1 + 7;
  const int gy = 1 + 6;
  EXPECT_EQ(PixelOf(a, gx + 2, gy + 2), Rgb(clBtnShadow));
  EXPECT_EQ(PixelOf(a, gx + 4, gy + 4), Rgb(clBtnHighlight));  // one right and down of the shape
  EXPECT_EQ(PixelOf(a, gx + 6, gy + 6), Rgb(clBtnFace));
}

TEST_F(ToolbarButtons, TheComboArrowOpensTheMenuLeftAlignedUnderTheButtonAndTheMainPartOnlyClicks) {
  TPopupMenu menu(nullptr);
  menu.Alignment = TPopupAlignment::paRight;
  auto* entry = new TMenuItem(&menu);
  entry->SetCaption("One");
  menu.Items()->Add(entry);
  a->SetDropdownMenu(&menu);
  a->SetDropdownCombo(true);
  EXPECT_EQ(a->Width(), 23 + 11);
  std::vector<TPoint> shown;
  std::vector<TPopupAlignment> alignments;
  test_driver::AnswerPopupMenus([&](TPopupMenu* m, TPoint at) -> TMenuItem* {
    shown.push_back(at);
    alignments.push_back(m->Alignment);
    test_driver::Click(bar1, a->Left() + 30, 10);  // a second click on the arrow, queued
    PostQuitMessage(3);
    return nullptr;
  });
  test_driver::Click(bar1, a->Left() + 30, 10);
  for (int i = 0; i < 20 && shown.empty(); ++i) Application()->ProcessMessage();
  ASSERT_EQ(shown.size(), 1u);
  TMsg quit;  // the WM_QUIT queued while the menu was open survived its clicks' removal
  ASSERT_TRUE(PeekMessage(quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
  Drain();
  EXPECT_EQ(shown[0], a->ClientToScreen(Point(0, 22)));
  EXPECT_EQ(alignments[0], TPopupAlignment::paLeft);
  EXPECT_EQ(menu.Alignment, TPopupAlignment::paRight);
  EXPECT_EQ(clicks, 0);
  test_driver::Click(bar1, a->Left() + 5, 10);
  Drain();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(shown.size(), 1u);

  a->OnDropdown = [](TObject*, bool& show, bool&) { show = false; };
  test_driver::Click(bar1, a->Left() + 30, 10);
  Drain();
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(ToolbarButtons, AMenuEntryMayFreeTheToolbar) {
  TPopupMenu menu(nullptr);
  auto* entry = new TMenuItem(&menu);
  entry->SetCaption("Close");
  entry->OnClick = [this](TObject*) {  // every button of the program goes
    delete bar1;
    delete bar2;
  };
  menu.Items()->Add(entry);
  a->SetDropdownMenu(&menu);
  test_driver::AnswerPopupMenus([entry](TPopupMenu*, TPoint) { return entry; });
  test_driver::Click(bar1, 15, 10);
  Drain();
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_EQ(TToolbarButton::HotButton(), nullptr);
}

TEST_F(ToolbarButtons, HoldingARepeatingButtonClicksAtTheRepeatTimesOnlyOverIt) {
  a->Repeating = true;
  std::vector<Clock::time_point> times;
  a->OnClick = [&](TObject*) { times.push_back(Clock::now()); };
  test_driver::MouseMove(bar1, 20, 10);
  test_driver::MouseDown(bar1, TMouseButton::mbLeft, 20, 10);
  Drain();
  ASSERT_EQ(times.size(), 1u);  // at once
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (times.size() < 3 && Clock::now() < deadline) Pump(std::chrono::milliseconds(5));
  ASSERT_GE(times.size(), 3u);
  using std::chrono::milliseconds;
  // The first repeat waits RepeatDelay (400), the next RepeatInterval (100);
  // a loaded machine may only make them later.
  EXPECT_GE(times[1] - times[0], milliseconds(340));  // the toolkit's timers may fire a little early
  EXPECT_GE(times[2] - times[1], milliseconds(80));
  EXPECT_LT(times[2] - times[1], milliseconds(340));
  test_driver::MouseMove(bar1, 200, 10);
  Drain();
  const std::size_t held_off = times.size();
  Pump(std::chrono::milliseconds(250));
  EXPECT_EQ(times.size(), held_off);
  test_driver::MouseUp(bar1, TMouseButton::mbLeft, 200, 10);
  Drain();
  EXPECT_EQ(times.size(), held_off);
}

TEST_F(ToolbarButtons, ClampsGroupsAndActions) {
  a->SetNumGlyphs(0);
  EXPECT_EQ(a->NumGlyphs(), 1);
  a->SetNumGlyphs(9);
  EXPECT_EQ(a->NumGlyphs(), 5);
  a->SetGlyph(TBitmap());  // empty: no height to divide by
  EXPECT_EQ(a->NumGlyphs(), 1);
  a->SetDropdownArrowWidth(3);
  EXPECT_EQ(a->DropdownArrowWidth(), 7);
  a->SetMargin(-5);
  EXPECT_EQ(a->Margin(), -1);
  a->SetDown(true);
  EXPECT_FALSE(a->Down());  // no group

  auto* c = MakeButton(bar1, 40);
  a->SetGroupIndex(2);
  c->SetGroupIndex(2);
  a->SetDown(true);
  a->SetDown(false);  // the group does not allow all up
  EXPECT_TRUE(a->Down());
  c->SetDown(true);
  EXPECT_FALSE(a->Down());
  test_driver::Click(bar1, 15, 10);
  Drain();
  EXPECT_TRUE(a->Down());
  EXPECT_FALSE(c->Down());

  TAction action(nullptr);
  c->SetAction(&action);
  action.SetChecked(true);
  EXPECT_TRUE(c->Down());
  EXPECT_FALSE(a->Down());
  TAction copy(nullptr);
  a->AssignTo(copy);
  EXPECT_FALSE(copy.Checked());
  c->AssignTo(copy);
  EXPECT_TRUE(copy.Checked());
}


TEST_F(ToolbarButtons, EnterClicksTheDefaultButtonEscapeTheCancelOneAndTheAcceleratorItsButton) {
  a->Default = true;
  b->Cancel = true;
  int a_clicks = 0;
  int b_clicks = 0;
  a->OnClick = [&](TObject*) { ++a_clicks; };
  b->OnClick = [&](TObject*) { ++b_clicks; };
  test_driver::PressKey(VK_RETURN);
  Drain();
  EXPECT_EQ(a_clicks, 1);
  test_driver::PressKey(VK_ESCAPE);
  Drain();
  EXPECT_EQ(b_clicks, 1);
  b->SetCaption("&Go");
  test_driver::PressKey('G', ssAlt);
  Drain();
  EXPECT_EQ(b_clicks, 2);
}

TEST_F(ToolbarButtons, OnlyADownButtonTakesDoubleClicks) {
  int doubles = 0;
  a->OnDblClick = [&](TObject*) { ++doubles; };
  test_driver::DoubleClick(bar1, 15, 10);
  Drain();
  EXPECT_EQ(doubles, 0);
  a->SetGroupIndex(1);
  a->SetDown(true);
  test_driver::DoubleClick(bar1, 15, 10);
  Drain();
  EXPECT_EQ(doubles, 1);
}

}  // namespace
}  // namespace lark

namespace lark::toolbar {
namespace {

TEST(GlyphList, DeletingFreesTheSlotOnlyAndAddingReusesIt) {
  TGlyphList list(4, 4);
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(4, 4);
  TBitmap mask;
  mask.SetPixelFormat(pf24bit);
  mask.SetSize(4, 4);
  const int first = list.AddPicture(picture, mask);
  const int second = list.AddPicture(picture, mask);
  list.Delete(first);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.AddPicture(picture, mask), first);  // the freed slot, the other index unchanged
  EXPECT_EQ(list.TImageList::Count(), 2);
  EXPECT_NE(first, second);
  TBitmap wrong;
  wrong.SetSize(5, 4);
  EXPECT_THROW(list.AddPicture(wrong, mask), EInvalidOperation);
}

TEST(GlyphCache, GivesOneListPerSizeAndFreesAnEmptyOne) {
  TGlyphCache cache;
  TGlyphList* small = cache.GetList(16, 16);
  EXPECT_EQ(cache.GetList(16, 16), small);
  EXPECT_NE(cache.GetList(17, 17), small);
  cache.ReturnList(small);
  cache.ReturnList(cache.GetList(17, 17));
  EXPECT_TRUE(cache.Empty());
}

}  // namespace
}  // namespace lark::toolbar
