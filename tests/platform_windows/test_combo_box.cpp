#include "platform/windows/combo_box.h"

#include <map>

#include "platform/graphics/canvas.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// The way a derived control makes an owner-drawn combo box of any base
// style: its window style is owner-draw-fixed plus that base style. It also
// answers the font broadcast by setting the item height, as such a box does.
class TOwnerDrawnCombo : public TComboBox {
 public:
  TOwnerDrawnCombo(TComponent* owner, unsigned baseStyle, unsigned drawing = CBS_OWNERDRAWFIXED)
      : TComboBox(owner), base_style_(baseStyle | drawing) {}
  int font_changes = 0;

 protected:
  unsigned ComboBoxWindowStyle() const override { return base_style_; }
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_FONTCHANGE) {
      ++font_changes;
      Perform(CB_SETITEMHEIGHT, 0, 24);
    }
    TComboBox::WndProc(message);
  }

 private:
  unsigned base_style_;
};

struct DrawCall {
  int index;
  TRect rect;
  TOwnerDrawState state;
};

class ComboBoxes : public FormTest {
 protected:
  // The form (and the hook) go before the test's locals their handlers use.
  void TearDown() override {
    Application()->OnMessage = nullptr;
    form.reset();
    FormTest::TearDown();
  }
  template <typename Combo = TComboBox, typename... Args>
  Combo* Make(Args... args) {
    auto* combo = new Combo(form.get(), args...);
    combo->SetParent(form.get());
    combo->OnChange = [this](TObject*) { ++changes; };
    combo->OnClick = [this](TObject*) { ++clicks; };
    for (const char* item : {"alpha", "beta", "gamma"}) combo->Items().Add(item);
    return combo;
  }
  // Paints item i in colours[i], the selection field in red; records calls.
  void PaintInColours(TComboBox* combo) {
    combo->OnDrawItem = [this, combo](TWinControl* control, int index, const TRect& rect, TOwnerDrawState state) {
      EXPECT_EQ(control, combo);
      draws.push_back({index, rect, state});
      static const TColor colours[] = {clBlue, clLime, clYellow};
      combo->Canvas().Brush().Color = (state & odComboBoxEdit) ? clRed : colours[index % 3];
      combo->Canvas().FillRect(rect);
    };
  }
  bool Drew(TOwnerDrawState flags, bool edit) const {
    for (const DrawCall& call : draws)
      if (((call.state & odComboBoxEdit) != 0) == edit && (call.state & flags) == flags) return true;
    return false;
  }
  int changes = 0;
  int clicks = 0;
  std::vector<DrawCall> draws;
};

TEST_F(ComboBoxes, StylesKeepTextAndIndex) {
  auto* combo = Make();
  form->Show();
  combo->SetText("typed");
  EXPECT_EQ(combo->GetText(), "typed");
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetText("beta");
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->GetText(), "gamma");
  combo->SetItemIndex(-1);
  EXPECT_EQ(combo->GetText(), "");
  combo->SetStyle(TComboBoxStyle::csDropDownList);
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->GetText(), "alpha");
  combo->Items().Put(0, "first");
  EXPECT_EQ(combo->GetText(), "first");
  // A drop-down list shows only its items.
  combo->SetText("typed");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->GetText(), "");
  combo->SetStyle(TComboBoxStyle::csSimple);
  combo->SetText("gamma");
  combo->RecreateWnd();
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(changes, 0) << "only the user's changes fire OnChange";
}

TEST_F(ComboBoxes, TypingInADropDownFindsTheExactItem) {
  auto* combo = Make();
  form->Show();
  combo->SetFocus();
  test_driver::TypeText("bet");
  Application()->ProcessMessages();
  EXPECT_EQ(combo->GetText(), "bet") << "nothing is completed for the user";
  EXPECT_EQ(combo->ItemIndex(), -1);
  test_driver::TypeText("a");
  Application()->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(clicks, 0);
  test_driver::PressKey(VK_DOWN);
  Application()->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->GetText(), "gamma");
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(clicks, 1);
}

// A click in a box's edit gives it the focus, as the desktop's boxes take
// it: what is typed next lands in the box clicked, not in the one before.
TEST_F(ComboBoxes, AClickInTheEditFocusesTheBoxForTyping) {
  auto* first = Make();
  auto* second = Make();
  second->SetBounds(0, 60, 200, 24);
  form->Show();
  first->SetFocus();
  test_driver::Click(second, 20, second->ClientHeight() / 2);
  Application()->ProcessMessages();
  EXPECT_TRUE(second->Focused());
  test_driver::TypeText("xy");
  Application()->ProcessMessages();
  EXPECT_EQ(second->GetText(), "xy");
  EXPECT_EQ(first->GetText(), "");
}

TEST_F(ComboBoxes, SimpleComboShowsItsEditAndListInsideItsBounds) {
  auto* combo = Make<TOwnerDrawnCombo>(CBS_SIMPLE);
  combo->SetBounds(10, 10, 120, 100);
  PaintInColours(combo);
  form->Show();
  HWND window = combo->Handle();
  // The list starts below the 21-pixel edit; its rows are the item height.
  EXPECT_EQ(test_driver::PixelAt(combo, 60, 21 + 2 + 8), kBlue);
  EXPECT_EQ(test_driver::PixelAt(combo, 60, 21 + 2 + 16 + 8), 0x00FF00u);
  EXPECT_NE(test_driver::PixelAt(combo, 60, 10), kBlue) << "the edit is a real edit, not an item";
  EXPECT_FALSE(Drew(0, true));
  combo->SetFocus();
  test_driver::TypeText("xy");
  Application()->ProcessMessages();
  EXPECT_EQ(combo->GetText(), "xy");
  EXPECT_EQ(combo->Handle(), window);
}

TEST_F(ComboBoxes, SimpleComboTakesTypingClicksAndArrowsThroughTheQueue) {
  auto* combo = Make();
  combo->SetStyle(TComboBoxStyle::csSimple);
  combo->SetBounds(10, 10, 120, 100);
  std::vector<UINT> seen;
  Application()->OnMessage = [&](TMsg& msg, bool&) {
    if (msg.hwnd == combo->Handle()) seen.push_back(msg.message);
  };
  form->Show();
  combo->SetFocus();
  test_driver::TypeText("gamma");
  Application()->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(changes, 5);
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_CHAR), seen.end());

  test_driver::Click(combo, 40, 21 + 2 + 8);  // the first row
  Application()->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->GetText(), "alpha");
  EXPECT_EQ(changes, 6);
  EXPECT_EQ(clicks, 1);
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_LBUTTONDOWN), seen.end());

  test_driver::PressKey(VK_DOWN);
  test_driver::PressKey(VK_DOWN);
  Application()->ProcessMessages();
  EXPECT_EQ(combo->GetText(), "gamma");
  EXPECT_EQ(changes, 8);
  test_driver::PressKey(VK_DOWN);  // already at the last item
  Application()->ProcessMessages();
  EXPECT_EQ(changes, 8);
  test_driver::PressKey(VK_UP);
  Application()->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(clicks, 4);

  // The program may keep an arrow for itself.
  combo->OnKeyDown = [](TObject*, unsigned short& key, TShiftState) {
    if (key == VK_UP) key = 0;
  };
  test_driver::PressKey(VK_UP);
  Application()->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), 1);

  test_driver::TypeText("x");
  Application()->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), -1) << "only an exact match selects";

  // Keys and moves the edit and the list leave alone end there.
  test_driver::PressKey(VK_ESCAPE);
  test_driver::PressKey(VK_RETURN);
  test_driver::MouseMove(combo, 40, 60);
  test_driver::MouseMove(combo, 40, 5);
  Application()->ProcessMessages();
  EXPECT_EQ(combo->GetText(), "x") << "the chosen item's text was selected";
}

TEST_F(ComboBoxes, TheWheelScrollsASimpleCombosList) {
  auto* combo = Make();
  combo->SetStyle(TComboBoxStyle::csSimple);
  combo->SetBounds(10, 10, 120, 80);
  for (int i = 0; i < 20; ++i) combo->Items().Add("more " + std::to_string(i));
  form->Show();
  test_driver::Wheel(combo, 40, 40, -120);
  Application()->ProcessMessages();
  test_driver::Click(combo, 40, 21 + 2 + 8);
  Application()->ProcessMessages();
  EXPECT_EQ(combo->GetText(), "more 0") << "three rows down";
}

TEST_F(ComboBoxes, OwnerDrawnListPaintsItsSelectionField) {
  auto* other = new TComboBox(form.get());  // first in the tab order: it has the focus
  other->SetParent(form.get());
  other->SetTop(100);
  auto* combo = Make();
  combo->SetStyle(TComboBoxStyle::csOwnerDrawFixed);
  combo->SetBounds(10, 10, 120, 21);
  PaintInColours(combo);
  form->Show();
  Application()->ProcessMessages();
  EXPECT_EQ(test_driver::PixelAt(combo, 20, 10), kWhite) << "no item: the field is only filled";
  EXPECT_TRUE(draws.empty());

  combo->SetItemIndex(1);
  EXPECT_EQ(test_driver::PixelAt(combo, 20, 10), kRed);
  ASSERT_FALSE(draws.empty());
  const DrawCall& field = draws.back();
  EXPECT_EQ(field.index, 1);
  EXPECT_TRUE(field.state & odComboBoxEdit);
  EXPECT_FALSE(field.state & odFocused);
  EXPECT_GT(field.rect.Left, 0);
  EXPECT_LT(field.rect.Right, 120 - 10) << "the arrow stays the toolkit's";
  EXPECT_EQ(test_driver::PixelAt(combo, field.rect.Left, field.rect.Top + 5), kRed);

  draws.clear();
  combo->SetFocus();
  EXPECT_EQ(test_driver::PixelAt(combo, 20, 10), kRed);
  EXPECT_TRUE(Drew(odComboBoxEdit | odFocused | odSelected, true));

  other->SetFocus();
  combo->SetEnabled(false);
  draws.clear();
  EXPECT_EQ(test_driver::PixelAt(combo, 20, 10), kRed);
  EXPECT_TRUE(Drew(odComboBoxEdit | odDisabled, true));
  EXPECT_FALSE(Drew(odFocused, true));
  EXPECT_THROW(combo->Canvas(), EInvalidOperation);
}

TEST_F(ComboBoxes, ItemsAreDrawnWithTheClassLibrarysBrushAndKeepTheirObjects) {
  auto* combo = Make();
  combo->SetStyle(TComboBoxStyle::csOwnerDrawFixed);
  TObject tag;
  combo->Items().AddObject("tagged", &tag);
  std::vector<TColor> brushes;
  bool tagged_seen = false;
  combo->OnDrawItem = [&](TWinControl*, int index, const TRect&, TOwnerDrawState state) {
    if (!(state & odComboBoxEdit)) brushes.push_back(combo->Canvas().Brush().Color);
    if (state & odSelected) {
      EXPECT_EQ(combo->Canvas().Brush().Color, clHighlight);
    }
    if (combo->Items().Objects(index) == &tag) tagged_seen = true;
  };
  form->Show();
  combo->SetItemIndex(3);
  test_driver::OpenDropDown(combo);
  EXPECT_TRUE(tagged_seen);
  EXPECT_NE(std::find(brushes.begin(), brushes.end(), clWindow), brushes.end());
}

TEST_F(ComboBoxes, ItemHeightChangesWithoutANewWindow) {
  auto* combo = Make<TOwnerDrawnCombo>(CBS_DROPDOWNLIST);
  PaintInColours(combo);
  form->Show();
  HWND window = combo->Handle();
  EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT), 16);
  SendMessage(combo, WM_FONTCHANGE);
  EXPECT_EQ(combo->font_changes, 1);
  EXPECT_EQ(combo->Handle(), window);
  EXPECT_EQ(combo->ItemHeight(), 24);
  test_driver::OpenDropDown(combo);
  bool item_drawn = false;
  for (const DrawCall& call : draws) {
    if (call.state & odComboBoxEdit) continue;
    item_drawn = true;
    EXPECT_EQ(call.rect.Bottom - call.rect.Top, 24);
  }
  EXPECT_TRUE(item_drawn);
  EXPECT_EQ(SendMessage(combo, CB_SETITEMHEIGHT, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 20), CB_ERR);
  EXPECT_EQ(combo->ItemHeight(), 24);
}

// Every base style combines with owner drawing: the items are the
// program's; editable styles keep a real edit, a drop-down list's field is
// drawn too.
TEST_F(ComboBoxes, OwnerDrawingCombinesWithEveryBaseStyle) {
  for (unsigned base : {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST}) {
    SCOPED_TRACE(base);
    draws.clear();
    auto* combo = Make<TOwnerDrawnCombo>(base);
    combo->SetBounds(10, 10, 120, base == CBS_SIMPLE ? 90 : 21);
    PaintInColours(combo);
    form->Show();
    combo->SetItemIndex(0);
    if (base == CBS_SIMPLE) EXPECT_EQ(test_driver::PixelAt(combo, 60, 21 + 2 + 8), kBlue);
    else test_driver::OpenDropDown(combo);
    EXPECT_TRUE(Drew(0, false));
    EXPECT_EQ(test_driver::PixelAt(combo, 20, 10) == kRed, base == CBS_DROPDOWNLIST);
    EXPECT_EQ(Drew(0, true), base == CBS_DROPDOWNLIST);
    combo->SetFocus();
    test_driver::TypeText("gamma");
    Application()->ProcessMessages();
    if (base == CBS_DROPDOWNLIST) {
      EXPECT_EQ(combo->GetText(), "gamma") << "typing picks by the first letter";
    } else {
      EXPECT_EQ(combo->GetText(), "alphagamma") << "typed after the selected item's text";
      EXPECT_EQ(combo->ItemIndex(), -1);
    }
    delete combo;
  }
}

// Variable owner drawing measures each item once, from the item height, and
// lays the rows out by what it measured; clicks find the row they hit.
TEST_F(ComboBoxes, VariableOwnerDrawingShowsEachRowAtItsMeasuredHeight) {
  auto* combo = Make<TOwnerDrawnCombo>(CBS_SIMPLE, CBS_OWNERDRAWVARIABLE);
  combo->Items().Add("delta");
  combo->SetBounds(10, 10, 120, 140);
  std::vector<int> measured;
  combo->OnMeasureItem = [&](TWinControl* control, int index, int& height) {
    EXPECT_EQ(control, combo);
    EXPECT_EQ(height, 16) << "starts at the item height";
    measured.push_back(index);
    if (index == 1) height = 40;
  };
  PaintInColours(combo);
  form->Show();
  EXPECT_EQ(measured, (std::vector<int>{0, 1, 2, 3}));
  constexpr int kListTop = 21 + 2;
  EXPECT_EQ(test_driver::PixelAt(combo, 60, kListTop + 16 + 35), 0x00FF00u) << "the tall row";
  EXPECT_EQ(test_driver::PixelAt(combo, 60, kListTop + 16 + 40 + 8), 0xFFFF00u) << "the row below it";
  ASSERT_FALSE(draws.empty());
  for (const DrawCall& call : draws) EXPECT_EQ(call.rect.Bottom - call.rect.Top, call.index == 1 ? 40 : 16);

  // At this y fixed rows would hold the fourth item.
  test_driver::Click(combo, 40, kListTop + 16 + 35);
  Application()->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), 1);
  test_driver::Click(combo, 40, kListTop + 16 + 40 + 16 + 8);
  Application()->ProcessMessages();
  EXPECT_EQ(combo->GetText(), "delta");
  EXPECT_EQ(measured.size(), 4u) << "measured once while the items stay";

  // A failing measure is reported after the layout; the row keeps the item height.
  std::vector<std::string> reported;
  Application()->OnException = [&](TObject*, const std::exception& error) { reported.push_back(error.what()); };
  combo->OnMeasureItem = [](TWinControl*, int, int&) { throw Exception("cannot measure"); };
  combo->Items().Add("epsilon");
  test_driver::PixelAt(combo, 60, kListTop + 8);
  Application()->ProcessMessages();
  Application()->OnException = nullptr;
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.front(), "cannot measure");
}

TEST_F(ComboBoxes, OnlyVariableOwnerDrawingMeasures) {
  auto* fixed = Make();
  fixed->SetStyle(TComboBoxStyle::csOwnerDrawFixed);
  auto* variable = Make();
  variable->SetStyle(TComboBoxStyle::csOwnerDrawVariable);
  int calls = 0;
  for (TComboBox* combo : {fixed, variable}) {
    combo->OnMeasureItem = [&calls](TWinControl*, int index, int& height) {
      ++calls;
      height = 20 + index * 10;
    };
    PaintInColours(combo);
  }
  form->Show();
  draws.clear();
  test_driver::OpenDropDown(fixed);
  EXPECT_EQ(calls, 0);
  for (const DrawCall& call : draws) {
    if (call.state & odComboBoxEdit) continue;
    EXPECT_EQ(call.rect.Bottom - call.rect.Top, 16);
  }
  draws.clear();
  test_driver::OpenDropDown(variable);
  EXPECT_EQ(calls, 3);
  std::map<int, int> heights;
  for (const DrawCall& call : draws)
    if (!(call.state & odComboBoxEdit)) heights[call.index] = call.rect.Bottom - call.rect.Top;
  EXPECT_EQ(heights, (std::map<int, int>{{0, 20}, {1, 30}, {2, 40}}));
}

TEST_F(ComboBoxes, AFreedFocusedComboIsNoLongerTheFormsFocus) {
  auto* combo = Make();
  auto* other = Make();
  form->Show();
  combo->SetFocus();
  ASSERT_EQ(form->ActiveControl(), combo);
  delete combo;
  EXPECT_EQ(form->ActiveControl(), nullptr);
  other->SetFocus();
  EXPECT_EQ(form->ActiveControl(), other);
}

TEST_F(ComboBoxes, SortedItemsKeepObjectsAndSelection) {
  auto* combo = new TComboBox(form.get());
  TObject a, b;
  combo->Items().AddObject("pear", &a);
  combo->Items().AddObject("Apple", &b);
  combo->SetItemIndex(0);
  combo->SetSorted(true);
  EXPECT_EQ(combo->Items().Get(0), "Apple");
  EXPECT_EQ(combo->Items().Objects(0), &b);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->GetText(), "pear");
  EXPECT_EQ(combo->Items().AddObject("banana", &a), 1);
  EXPECT_EQ(combo->Items().Objects(1), &a);
  combo->Items().Insert(0, "zebra");  // an insert keeps its place
  EXPECT_EQ(combo->Items().Get(0), "zebra");
}

}  // namespace
}  // namespace lark
