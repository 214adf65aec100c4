#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/windows/action.h"
#include "platform/windows/bars.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "platform/windows/small_controls.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

// A strip of solid squares of `size` pixels, one per colour.
std::unique_ptr<TBitmap> Squares(int size, std::initializer_list<TColor> colours) {
  auto strip = std::make_unique<TBitmap>();
  strip->SetSize(size * static_cast<int>(colours.size()), size);
  int x = 0;
  for (TColor colour : colours) {
    strip->Canvas().Brush().Color = colour;
    strip->Canvas().FillRect(Rect(x, 0, x + size, size));
    x += size;
  }
  return strip;
}

class ToolBars : public WindowTest {
 protected:
  // A form with a tool bar of three buttons on actions, the pictures
  // red, green and blue (hot: yellow, yellow, yellow).
  void SetUp() override {
    WindowTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetClientSize(400, 200);
    images = new TCustomImageList(form.get());
    images->SetSize(20, 20);
    images->AddMasked(*Squares(20, {clRed, clLime, clBlue}), clBlack);  // nothing transparent
    hot = new TCustomImageList(form.get());
    hot->SetSize(20, 20);
    hot->Add(*Squares(20, {clYellow, clYellow, clYellow}), nullptr);
    bar = new TToolBar(form.get());
    bar->SetParent(form.get());
    bar->SetAlign(TAlign::alTop);
    bar->SetHeight(40);
    bar->SetImages(images);
    bar->SetHotImages(hot);
    const char* captions[] = {"Back", "Forward", "A much longer caption"};
    for (int i = 0; i < 3; ++i) {
      auto* action = new TAction(form.get());
      action->SetCaption(captions[i]);
      action->SetImageIndex(i);
      actions.push_back(action);
      auto* button = new TToolButton(form.get());
      button->SetParent(bar);
      button->SetAction(action);
      buttons.push_back(button);
    }
  }
  void TearDown() override {
    form.reset();
    WindowTest::TearDown();
  }
  std::unique_ptr<TForm> form;
  TCustomImageList* images = nullptr;
  TCustomImageList* hot = nullptr;
  TToolBar* bar = nullptr;
  std::vector<TAction*> actions;
  std::vector<TToolButton*> buttons;
};

TEST_F(ToolBars, ButtonsTakeTheBarsSizeWhichGrowsForCaptions) {
  EXPECT_EQ(buttons[0]->BoundsRect(), Rect(0, 0, 23, 22));
  EXPECT_EQ(buttons[1]->BoundsRect(), Rect(23, 0, 46, 22));
  EXPECT_EQ(buttons[2]->ImageIndex(), 2);
  EXPECT_EQ(buttons[1]->Caption(), "Forward");

  bar->SetShowCaptions(true);
  TSize size = bar->ButtonSize();
  TBitmap scratch(1, 1);
  scratch.Canvas().SetFont(bar->Font());
  EXPECT_EQ(size.cx, scratch.Canvas().TextWidth("A much longer caption") + 8);
  EXPECT_EQ(size.cy, 20 + scratch.Canvas().TextHeight("Ag") + 7);
  EXPECT_EQ(buttons[1]->BoundsRect(), Bounds(size.cx, 0, size.cx, size.cy));

  // The image-only style: fixed 23 x 22 buttons.
  bar->SetShowCaptions(false);
  bar->SetButtonWidth(23);
  bar->SetButtonHeight(22);
  EXPECT_EQ(buttons[2]->BoundsRect(), Rect(46, 0, 69, 22));
  // A hidden action hides its button and the next one moves up.
  actions[1]->SetVisible(false);
  EXPECT_FALSE(buttons[1]->Visible());
  EXPECT_EQ(buttons[2]->Left(), 23);
  // Separators keep their own width.
  buttons[0]->SetStyle(TToolButtonStyle::tbsSeparator);
  EXPECT_EQ(buttons[2]->Left(), 8);
}

TEST_F(ToolBars, PicturesComeFromTheListsHotWhileThePointerIsOnAndGreyWhenDisabled) {
  form->Show();
  auto centre = [](TToolButton* b) { return Point(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2); };
  TPoint first = centre(buttons[0]), second = centre(buttons[1]);
  EXPECT_EQ(test_driver::PixelAt(bar, first.X, first.Y), 0xFF0000u);
  EXPECT_EQ(test_driver::PixelAt(bar, second.X, second.Y), 0x00FF00u);
  test_driver::MouseMove(bar, second.X, second.Y);
  Drain();
  EXPECT_EQ(test_driver::PixelAt(bar, second.X, second.Y), 0xFFFF00u);
  EXPECT_EQ(test_driver::PixelAt(bar, first.X, first.Y), 0xFF0000u);
  test_driver::MouseMove(bar, first.X, first.Y);
  Drain();
  EXPECT_EQ(test_driver::PixelAt(bar, second.X, second.Y), 0x00FF00u);

  // A disabled button shows its picture greyed, never hot.
  actions[2]->SetEnabled(false);
  TPoint third = centre(buttons[2]);
  test_driver::MouseMove(bar, third.X, third.Y);
  Drain();
  EXPECT_EQ(test_driver::PixelAt(bar, third.X, third.Y), 0x808080u);

  // A picture changed in the list shows at once.
  images->Replace(0, *Squares(20, {clFuchsia}), nullptr);
  EXPECT_EQ(test_driver::PixelAt(bar, first.X, first.Y), 0xFF00FFu);
}

TEST_F(ToolBars, CheckButtonsToggleAndFollowTheirActions) {
  form->Show();
  buttons[0]->SetAction(nullptr);
  buttons[0]->SetStyle(TToolButtonStyle::tbsCheck);
  int clicks = 0;
  buttons[0]->OnClick = [&](TObject*) { ++clicks; };
  test_driver::Click(bar, 5, 5);
  Drain();
  EXPECT_TRUE(buttons[0]->Down());
  test_driver::Click(bar, 5, 5);
  Drain();
  EXPECT_FALSE(buttons[0]->Down());
  EXPECT_EQ(clicks, 2);
  actions[1]->SetChecked(true);
  EXPECT_TRUE(buttons[1]->Down());
  actions[1]->SetChecked(false);
  EXPECT_FALSE(buttons[1]->Down());
}

TEST_F(ToolBars, AnEdgeBorderTakesRoomAndFreedListsAreForgotten) {
  bar->SetEdgeBorders(ebTop);
  EXPECT_EQ(buttons[0]->Top(), 2);
  bar->SetEdgeBorders(0);
  EXPECT_EQ(buttons[0]->Top(), 0);
  delete hot;
  EXPECT_EQ(bar->HotImages(), nullptr);
  delete images;
  EXPECT_EQ(bar->Images(), nullptr);
  form->Show();
  EXPECT_EQ(test_driver::PixelAt(bar, 11, 11), test_driver::PixelAt(bar, 300, 11));
}

TEST_F(ToolBars, ChangeLinksHearTheListUntilEitherGoes) {
  auto list = std::make_unique<TCustomImageList>(nullptr);
  int heard = 0;
  {
    TChangeLink link;
    link.OnChange = [&](TObject* sender) {
      EXPECT_EQ(sender, list.get());
      ++heard;
    };
    list->RegisterChanges(&link);
    EXPECT_EQ(link.Sender(), list.get());
    list->Add(*Squares(16, {clRed, clRed}), nullptr);
    list->Delete(0);
    list->Delete(5);  // nothing there, nothing heard
  }
  list->Clear();  // the link is gone
  EXPECT_EQ(heard, 2);
  TChangeLink survivor;
  list->RegisterChanges(&survivor);
  list.reset();
  EXPECT_EQ(survivor.Sender(), nullptr);
}

std::string HexOf(const TBitmap& bitmap) {
  TMemoryStream bytes;
  const_cast<TBitmap&>(bitmap).SaveToStream(bytes);
  std::string hex;
  const auto* data = static_cast<const unsigned char*>(bytes.Memory());
  for (std::int64_t i = 0; i < bytes.Size(); ++i) {
    hex += "0123456789ABCDEF"[data[i] >> 4];
    hex += "0123456789ABCDEF"[data[i] & 15];
  }
  return hex;
}

TEST_F(ToolBars, FormResourcesDeclareImageListsAndToolBars) {
  // Two pictures on a white ground whose bottom-left pixel is white: white is transparent.
  std::unique_ptr<TBitmap> strip = Squares(16, {clWhite, clWhite});
  strip->Canvas().Brush().Color = clRed;
  strip->Canvas().FillRect(Rect(20, 4, 28, 12));
  std::string resource = R"(object frmBar: TForm
  object ImageList: TImageList
    Width = 16
    Height = 16
    Images.Data = {)" + HexOf(*strip) + R"(}
  end
  object tbButtons: TToolBar
    Images = ImageList
    ShowCaptions = True
    EdgeBorders = [ebTop]
    ButtonWidth = 30
    object tbBack: TToolButton
      Caption = 'Back'
      ImageIndex = 0
    end
    object tbSep: TToolButton
      Style = tbsSeparator
    end
    object tbCheck: TToolButton
      Style = tbsCheck
      Down = True
    end
  end
end
)";
  TForm owner(nullptr);
  ReadFormResource(&owner, resource, "frmBar.lfm");
  auto* list = dynamic_cast<TCustomImageList*>(owner.FindComponent("ImageList"));
  auto* toolBar = dynamic_cast<TToolBar*>(owner.FindComponent("tbButtons"));
  ASSERT_NE(list, nullptr);
  ASSERT_NE(toolBar, nullptr);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(toolBar->Images(), list);
  EXPECT_TRUE(toolBar->ShowCaptions());
  EXPECT_EQ(toolBar->EdgeBorders(), ebTop);
  auto* back = dynamic_cast<TToolButton*>(owner.FindComponent("tbBack"));
  auto* check = dynamic_cast<TToolButton*>(owner.FindComponent("tbCheck"));
  ASSERT_NE(back, nullptr);
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(back->ImageIndex(), 0);
  EXPECT_TRUE(check->Down());
  EXPECT_EQ(check->Left(), back->Width() + 8);
  EXPECT_EQ(back->Top(), 2);
  TBitmap picture, mask;
  list->GetBitmap(1, picture);
  list->GetMask(1, mask);
  EXPECT_EQ(picture.Canvas().Pixel(8, 8), clRed);
  EXPECT_NE(mask.Canvas().Pixel(0, 0), mask.Canvas().Pixel(8, 8));
}


TEST_F(ToolBars, CoolBandsShareRowsAndHideWithoutTheirControls) {
  TForm owner(nullptr);
  owner.SetClientSize(400, 300);
  auto* cool = new TCoolBar(&owner);
  cool->SetParent(&owner);
  cool->SetAlign(TAlign::alTop);
  auto* tools = new TPanel(&owner);
  tools->SetHeight(36);
  tools->SetParent(cool);
  auto* animation = new TPanel(&owner);
  animation->SetHeight(30);
  animation->SetParent(cool);
  auto* address = new TPanel(&owner);
  address->SetHeight(24);
  address->SetParent(cool);
  // The animation sits right of the tools on their row, 60 pixels wide.
  cool->Bands(0).SetWidth(340);
  cool->Bands(1).SetBreak(false);
  EXPECT_EQ(tools->BoundsRect(), Rect(2, 2, 338, 38));
  EXPECT_EQ(animation->BoundsRect(), Rect(342, 2, 398, 32));
  EXPECT_EQ(address->BoundsRect(), Rect(2, 42, 398, 66));
  EXPECT_EQ(cool->Height(), 68);
  // A hidden band leaves its row to the others; its control stays visible.
  cool->Bands(1).SetVisible(false);
  EXPECT_TRUE(animation->Visible());
  EXPECT_EQ(tools->BoundsRect(), Rect(2, 2, 398, 38));
  cool->Bands(0).SetVisible(false);
  EXPECT_EQ(address->Top(), 2);
  EXPECT_EQ(cool->Height(), 28);
  EXPECT_THROW(cool->Bands(-1), EListError);
}

TEST_F(ToolBars, FormResourcesSetTheBandsInOrder) {
  TForm owner(nullptr);
  ReadFormResource(&owner, R"(object frmBands: TForm
  ClientWidth = 400
  object CoolBar: TCoolBar
    Align = alTop
    Bands = <
      item
        Width = 300
      end
      item
        Break = False
      end>
    object tbButtons: TToolBar
      Height = 30
    end
    object Animate: TPanel
      Height = 20
    end
  end
end
)",
                   "frmBands.lfm");
  auto* animation = dynamic_cast<TControl*>(owner.FindComponent("Animate"));
  ASSERT_NE(animation, nullptr);
  EXPECT_EQ(animation->BoundsRect(), Rect(302, 2, 398, 22));
  auto* cool = dynamic_cast<TCoolBar*>(owner.FindComponent("CoolBar"));
  EXPECT_EQ(cool->Height(), 34);
}


// Whether the colour shows anywhere in the top-left corner of a window.
bool ShowsColour(TWinControl* window, std::uint32_t colour, int width, int height) {
  for (int y = 0; y < height; y += 2)
    for (int x = 0; x < width; x += 2)
      if (test_driver::PixelAt(window, x, y) == colour) return true;
  return false;
}

TEST_F(ToolBars, ListViewsShowTheirItemsPicturesAndFollowTheList) {
  auto* view = new TListView(form.get());
  view->SetParent(form.get());
  view->SetBounds(0, 60, 200, 100);
  view->Columns() = {TListColumn("Buttons", 150)};
  view->Items() = {{"Back", {}, false, 0}};
  view->ItemsChanged();
  form->Show();
  EXPECT_FALSE(ShowsColour(view, 0xFF0000, 40, 50));
  view->SetSmallImages(images);
  EXPECT_TRUE(ShowsColour(view, 0xFF0000, 40, 50));
  images->Replace(0, *Squares(20, {clLime}), nullptr);
  EXPECT_TRUE(ShowsColour(view, 0x00FF00, 40, 50));
  delete images;
  images = nullptr;
  EXPECT_EQ(view->SmallImages(), nullptr);
  EXPECT_FALSE(ShowsColour(view, 0x00FF00, 40, 50));
}


TEST_F(ToolBars, TheArrowPartOfADropDownButtonOpensItsMenuUnderTheButton) {
  form->Show();
  TToolButton* back = buttons[0];
  back->SetStyle(TToolButtonStyle::tbsDropDown);
  auto* history = new TPopupMenu(form.get());
  back->SetDropdownMenu(history);
  EXPECT_EQ(back->Width(), 23 + TToolButton::kDropdownArrowWidth);
  EXPECT_EQ(buttons[1]->Left(), back->Width());
  int clicks = 0;
  actions[0]->OnExecute = [&](TObject*) { ++clicks; };
  std::vector<TPoint> shownAt;
  test_driver::AnswerPopupMenus([&](TPopupMenu* menu, TPoint at) -> TMenuItem* {
    EXPECT_EQ(menu, history);
    EXPECT_EQ(menu->PopupComponent, back);
    shownAt.push_back(at);
    return nullptr;
  });
  test_driver::Click(bar, back->Width() - 3, 10);
  Drain();
  EXPECT_EQ(clicks, 0);
  ASSERT_EQ(shownAt.size(), 1u);
  EXPECT_EQ(shownAt[0], back->ClientToScreen(Point(0, back->Height())));
  test_driver::Click(bar, 5, 10);
  Drain();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(shownAt.size(), 1u);
  delete history;
  EXPECT_EQ(back->DropdownMenu(), nullptr);
  test_driver::Click(bar, back->Width() - 3, 10);  // nothing to open, nothing clicked
  Drain();
  EXPECT_EQ(clicks, 1);
}


class TfrmDialogs : public TForm {
 public:
  TfrmDialogs() : TForm(nullptr) {
    ReadFormResource(this, R"(object frmDialogs: TfrmDialogs
  object OpenDialog: TOpenDialog
    DefaultExt = 'htm'
    Filter = 'html files|*.htm;*.html|all files|*.*'
    Options = [ofHideReadOnly, ofFileMustExist]
  end
  object SaveDialog: TSaveDialog
    Title = 'Save as'
  end
  object PrintDialog: TPrintDialog
    Options = [poPageNums]
    MaxPage = 9999
  end
  object FindDialog: TFindDialog
    Options = [frDown, frMatchCase]
    OnFind = FindDialogFind
  end
  object PageSetupDialog: TPageSetupDialog
    Units = pmInches
  end
end
)",
                     "frmDialogs.lfm");
  }
  void FindDialogFind(TObject*) { ++finds; }
  int finds = 0;
};

TEST_F(ToolBars, FormResourcesPlaceTheCommonDialogs) {
  form_registry::Handler("FindDialogFind", &TfrmDialogs::FindDialogFind);
  TfrmDialogs dialogs;
  auto* open = dynamic_cast<TOpenDialog*>(dialogs.FindComponent("OpenDialog"));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->DefaultExt, "htm");
  EXPECT_EQ(open->Filter, "html files|*.htm;*.html|all files|*.*");
  EXPECT_EQ(open->Options, ofHideReadOnly | ofFileMustExist);
  auto* save = dynamic_cast<TSaveDialog*>(dialogs.FindComponent("SaveDialog"));
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->Title, "Save as");
  auto* print = dynamic_cast<TPrintDialog*>(dialogs.FindComponent("PrintDialog"));
  ASSERT_NE(print, nullptr);
  EXPECT_EQ(print->Options, poPageNums);
  EXPECT_EQ(print->MaxPage, 9999);
  auto* find = dynamic_cast<TFindDialog*>(dialogs.FindComponent("FindDialog"));
  ASSERT_NE(find, nullptr);
  EXPECT_EQ(find->Options, frDown | frMatchCase);
  ASSERT_TRUE(find->OnFind);
  find->OnFind(find);
  EXPECT_EQ(dialogs.finds, 1);
  auto* setup = dynamic_cast<TPageSetupDialog*>(dialogs.FindComponent("PageSetupDialog"));
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(setup->Units, TPageMeasureUnits::pmInches);
}

}  // namespace
}  // namespace lark
