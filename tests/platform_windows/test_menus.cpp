#include "platform/windows/menus.h"

#include <string>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/windows/custom_image_list.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using Marks = std::vector<std::string>;

class Menus : public WindowTest {
 protected:
  TMenuItem* Entry(TMenuItem* parent, const std::string& caption, bool radio = false, int group = 0) {
    auto* entry = new TMenuItem(&form);
    entry->SetCaption(caption);
    entry->RadioItem = radio;
    entry->GroupIndex = group;
    // A program checks the radio entry the user chooses.
    if (radio) entry->OnClick = [entry](TObject*) { entry->SetChecked(true); };
    parent->Add(entry);
    return entry;
  }
  // The marks the pop-up menu shows when it opens.
  Marks ShownMarks(TPopupMenu& menu) {
    Marks marks;
    Application()->OnIdle = [&](TObject*, bool&) {
      if (auto shown = test_driver::PopupMenuMarks(); !shown.empty()) {
        marks = shown;
        test_driver::DismissPopupMenu();
      }
    };
    menu.Popup(10, 10);
    Application()->OnIdle = nullptr;
    return marks;
  }
  TForm form{nullptr};
};

TEST_F(Menus, CheckedRadioEntriesShowARadioMarkAndUncheckTheirGroup) {
  form.Show();
  TPopupMenu menu(nullptr);
  TMenuItem* root = menu.Items();
  Entry(root, "Wrap")->SetChecked(true);
  TMenuItem* small = Entry(root, "Small", true, 1);
  TMenuItem* large = Entry(root, "Large", true, 1);
  Entry(root, "-");
  TMenuItem* left = Entry(root, "Left", true, 2);
  Entry(root, "Right", true, 2);
  small->SetChecked(true);
  left->SetChecked(true);
  EXPECT_EQ(ShownMarks(menu), (Marks{"check", "radio", "", "radio", ""}));

  // Checking one entry of a group unchecks the others of that group only.
  large->SetChecked(true);
  EXPECT_FALSE(small->Checked());
  EXPECT_TRUE(left->Checked());
  EXPECT_EQ(ShownMarks(menu), (Marks{"check", "", "radio", "radio", ""}));

  // A plain entry with the group's index is no radio entry: it keeps its check.
  TMenuItem* plain = Entry(root, "Plain", false, 1);
  plain->SetChecked(true);
  small->SetChecked(true);
  EXPECT_TRUE(plain->Checked());
  EXPECT_FALSE(large->Checked());
  EXPECT_EQ(ShownMarks(menu), (Marks{"check", "radio", "", "radio", "", "check"}));
}

TEST_F(Menus, ChoosingARadioEntryOnTheMenuBarUnchecksItsGroupInThatSubmenuOnly) {
  auto* bar = new TMainMenu(&form);
  auto* view = Entry(bar->Items(), "&View");
  auto* other = Entry(bar->Items(), "&Other");
  TMenuItem* small = Entry(view, "&Small", true, 1);
  TMenuItem* large = Entry(view, "&Large", true, 1);
  TMenuItem* elsewhere = Entry(other, "&Elsewhere", true, 1);
  small->SetChecked(true);
  elsewhere->SetChecked(true);
  form.SetMenu(bar);
  form.Show();
  ASSERT_TRUE(test_driver::ChooseMenuBarEntry(&form, "&View/&Large"));
  Application()->ProcessMessages();
  EXPECT_TRUE(large->Checked());
  EXPECT_FALSE(small->Checked());
  EXPECT_TRUE(elsewhere->Checked()) << "another submenu is another group";
  EXPECT_EQ(test_driver::MenuBarMarks(&form, "&View"), (Marks{"", "radio"}));
  // Choosing the checked entry again leaves it checked.
  ASSERT_TRUE(test_driver::ChooseMenuBarEntry(&form, "&View/&Large"));
  Application()->ProcessMessages();
  EXPECT_TRUE(large->Checked());
  EXPECT_EQ(test_driver::MenuBarMarks(&form, "&View"), (Marks{"", "radio"}));
}

// The mark on the bar is the program's Checked: choosing a checked entry
// leaves it unless the handler unchecks it.
TEST_F(Menus, ChoosingACheckedEntryOnTheMenuBarKeepsItsMark) {
  auto* bar = new TMainMenu(&form);
  auto* view = Entry(bar->Items(), "&View");
  TMenuItem* status = Entry(view, "&Status bar");
  status->SetChecked(true);
  int clicks = 0;
  status->OnClick = [&](TObject*) { ++clicks; };
  form.SetMenu(bar);
  form.Show();
  ASSERT_TRUE(test_driver::ChooseMenuBarEntry(&form, "&View/&Status bar"));
  Application()->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(status->Checked());
  EXPECT_EQ(test_driver::MenuBarMarks(&form, "&View"), (Marks{"check"}));
  // A handler that unchecks it takes the mark away.
  status->OnClick = [&](TObject*) { status->SetChecked(false); };
  ASSERT_TRUE(test_driver::ChooseMenuBarEntry(&form, "&View/&Status bar"));
  Application()->ProcessMessages();
  EXPECT_FALSE(status->Checked());
  EXPECT_EQ(test_driver::MenuBarMarks(&form, "&View"), (Marks{""}));
}

void AddOrReplace(TCustomImageList& images, int index, TColor colour) {
  TBitmap square;
  square.SetSize(16, 16);
  square.Canvas().Brush().Color = colour;
  square.Canvas().FillRect(Rect(0, 0, 16, 16));
  if (index < images.Count()) images.Replace(index, square, nullptr);
  else images.Add(square, nullptr);
}

// The program changes pictures while the menu shows (a page's icon
// arriving): the open menu follows at once.
TEST_F(Menus, AnOpenPopupMenuShowsPictureChangesAtOnce) {
  form.Show();
  TPopupMenu menu(nullptr);
  TCustomImageList images(nullptr);
  AddOrReplace(images, 0, clRed);
  TMenuItem* page = Entry(menu.Items(), "Page");
  TMenuItem* folder = Entry(menu.Items(), "Folder");
  Entry(folder, "Inside");
  page->ImageIndex = 0;
  std::vector<std::vector<std::int64_t>> seen;
  Application()->OnIdle = [&](TObject*, bool& done) {
    auto shown = test_driver::PopupMenuPictures();
    if (shown.empty()) return;
    seen.push_back(shown);
    done = false;  // the next turn comes without waiting for input
    switch (seen.size()) {
      case 1:
        menu.SetImages(&images);
        return;
      case 2:
        AddOrReplace(images, 0, clBlue);
        folder->ImageIndex = 0;
        return;
      case 3:
        page->ImageIndex = -1;
        return;
      default:
        test_driver::DismissPopupMenu();
    }
  };
  menu.Popup(10, 10);
  Application()->OnIdle = nullptr;
  EXPECT_EQ(seen, (std::vector<std::vector<std::int64_t>>{
                      {-1, -1}, {0xFF0000, -1}, {0x0000FF, 0x0000FF}, {-1, 0x0000FF}}));
}

}  // namespace
}  // namespace lark
