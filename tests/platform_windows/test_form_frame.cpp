#include "platform/windows/action.h"
#include "platform/windows/button.h"
#include "platform/windows/edit.h"
#include "platform/windows/menus.h"
#include "platform/windows/shell.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class FormFrame : public WindowTest {};

TEST_F(FormFrame, MinMaxInfoLimitsUserResizesAndHitTestCanForbidThem) {
  RecordingForm form(nullptr);
  form.SetBounds(10, 10, 400, 300);
  form.answers[WM_GETMINMAXINFO] = [](TMessage& m) {
    auto* info = reinterpret_cast<TMinMaxInfo*>(m.LParam);
    info->ptMinTrackSize = Point(200, 150);
    info->ptMaxTrackSize = Point(600, 500);
    m.Result = 1;
  };
  form.Show();
  EXPECT_TRUE(form.UserResize(100, 900));
  EXPECT_EQ(form.Width(), 200);
  EXPECT_EQ(form.Height(), 500);
  // A window that answers the hit test with "nowhere" at its edges cannot be sized.
  form.answers[WM_NCHITTEST] = [](TMessage& m) { m.Result = HTNOWHERE; };
  EXPECT_FALSE(form.UserResize(300, 300));
  EXPECT_EQ(form.Width(), 200);
}

TEST_F(FormFrame, HitTestKnowsEdgesCaptionAndClient) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  EXPECT_EQ(form.Perform(WM_NCHITTEST, 0, MakeLParam(150, 100)), HTCLIENT);
  EXPECT_EQ(form.Perform(WM_NCHITTEST, 0, MakeLParam(150, 10)), HTCAPTION);
  EXPECT_EQ(form.Perform(WM_NCHITTEST, 0, MakeLParam(299, 199)), HTBOTTOMRIGHT);
  form.SetBorderStyle(TFormBorderStyle::bsDialog);
  EXPECT_EQ(form.Perform(WM_NCHITTEST, 0, MakeLParam(form.Width() - 1, form.Height() - 1)), HTNOWHERE);
}

TEST_F(FormFrame, PlacementRoundTripsThroughMaximised) {
  TForm form(nullptr);
  form.SetBounds(20, 30, 400, 300);
  form.Show();
  form.SetWindowState(TWindowState::wsMaximized);
  TWindowPlacement placement;
  ASSERT_TRUE(form.GetWindowPlacement(placement));
  EXPECT_EQ(placement.showCmd, SW_SHOWMAXIMIZED);
  EXPECT_EQ(placement.rcNormalPosition, Rect(20, 30, 420, 330));
  EXPECT_EQ(form.Width(), Screen()->Width() + 8);
  placement.showCmd = SW_SHOWNORMAL;
  placement.rcNormalPosition = Rect(50, 60, 350, 260);
  form.SetWindowPlacement(placement);
  EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
  EXPECT_EQ(form.BoundsRect(), Rect(50, 60, 350, 260));
}

TEST_F(FormFrame, ClientAreaExcludesFrameAndMenuBar) {
  TForm form(nullptr);
  form.SetClientSize(640, 480);
  EXPECT_EQ(form.Width(), 648);
  EXPECT_EQ(form.Height(), 480 + 8 + 23);
  auto* menu = new TMainMenu(&form);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  form.SetMenu(menu);
  EXPECT_EQ(form.ClientHeight(), 480);  // the window grew by the bar
  delete menu;
  EXPECT_EQ(form.Menu(), nullptr);
}

TEST_F(FormFrame, ActionsDriveTheirClientsAndShortcuts) {
  TForm form(nullptr);
  auto* list = new TActionList(&form);
  auto* action = new TAction(&form);
  action->SetActionList(list);
  action->SetCaption("&Reload");
  action->SetShortCut(ShortCut(VK_F5, 0));
  int runs = 0;
  action->OnExecute = [&](TObject*) { ++runs; };
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetAction(action);
  auto* menu = new TMainMenu(&form);
  auto* item = new TMenuItem(&form);
  menu->Items()->Add(item);
  item->SetAction(action);
  EXPECT_EQ(button->Caption(), "&Reload");
  EXPECT_EQ(item->Caption(), "&Reload");
  action->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(item->Enabled());
  action->SetEnabled(true);
  button->Click();
  item->Click();
  form.Show();
  test_driver::PressKey(VK_F5);
  Application()->ProcessMessages();
  EXPECT_EQ(runs, 3);
  // Updating on idle.
  action->OnUpdate = [&](TObject*) { action->SetChecked(true); };
  Application()->OnIdle = [](TObject*, bool& done) { done = false; };
  Application()->HandleMessage();
  EXPECT_TRUE(action->Checked());
  EXPECT_TRUE(item->Checked());
  delete action;  // clients let go
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(item->Action(), nullptr);
}

// A key reaches only what a user could reach with the mouse: no entry under
// a hidden or disabled one, no action whose every client is out of sight;
// an edit box with the focus keeps its editing keys.
TEST_F(FormFrame, KeysRunOnlyCommandsAUserCouldReach) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  form.SetMenu(menu);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  auto* open = new TMenuItem(&form);
  open->ShortCut = ShortCut('O', ssCtrl);
  int opens = 0;
  open->OnClick = [&](TObject*) { ++opens; };
  file->Add(open);
  auto* list = new TActionList(&form);
  int runs[3] = {};
  auto makeAction = [&](int index, unsigned short key) {
    auto* action = new TAction(&form);
    action->SetActionList(list);
    action->SetShortCut(ShortCut(key, ssCtrl));
    action->OnExecute = [&runs, index](TObject*) { ++runs[index]; };
    return action;
  };
  TAction* withButton = makeAction(0, 'R');
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetAction(withButton);
  TAction* inMenu = makeAction(1, 'S');
  auto* save = new TMenuItem(&form);
  file->Add(save);
  save->SetAction(inMenu);
  makeAction(2, 'N');  // no client: its key is the only way to it
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetTop(40);
  makeAction(2, 'A');
  form.Show();
  auto press = [](unsigned short key) {
    test_driver::PressKey(key, ssCtrl);
    Application()->ProcessMessages();
  };
  file->SetVisible(false);
  button->SetVisible(false);
  edit->SetFocus();
  for (unsigned short key : {'O', 'S', 'R', 'N'}) press(key);
  EXPECT_EQ(opens, 0);
  EXPECT_EQ(runs[0], 0);
  EXPECT_EQ(runs[1], 0);
  EXPECT_EQ(runs[2], 1);
  file->SetVisible(true);
  button->SetVisible(true);
  for (unsigned short key : {'O', 'S', 'R'}) press(key);
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(runs[0], 1);
  EXPECT_EQ(runs[1], 1);
  file->SetEnabled(false);
  press('O');
  press('S');
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(runs[1], 1);
  // Ctrl+A and Ctrl+C belong to the focused edit box.
  edit->SetText("typed text");
  edit->SetFocus();
  press('A');
  press('C');
  EXPECT_EQ(runs[2], 1);
  EXPECT_EQ(Clipboard()->AsText(), "typed text");
}

TEST_F(FormFrame, RunTimeMenuItemsAreOwnedAndFreedOnce) {
  TForm form(nullptr);
  auto* menu = new TPopupMenu(&form);
  for (int i = 0; i < 3; ++i) {
    auto* item = new TMenuItem(&form);
    item->SetCaption(i == 1 ? "-" : "Bookmark " + std::to_string(i));
    item->Tag = i;
    menu->Items()->Add(item);
  }
  EXPECT_TRUE(menu->Items()->Items(1)->IsLine());
  menu->Items()->Delete(0);
  EXPECT_EQ(menu->Items()->Count(), 2);
  EXPECT_EQ(form.ComponentCount(), 3);  // menu + two items
  TMenuItem* chosen = nullptr;
  test_driver::AnswerPopupMenus([&](TPopupMenu* m, TPoint) { return chosen = m->Items()->Items(1); });
  int clicked = -1;
  menu->Items()->Items(1)->OnClick = [&](TObject* sender) { clicked = static_cast<int>(static_cast<TMenuItem*>(sender)->Tag); };
  menu->Popup(10, 10);
  EXPECT_EQ(clicked, 2);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST_F(FormFrame, MainMenuShowsAsABarAboveTheClientArea) {
  TForm form(nullptr);
  form.SetClientSize(300, 200);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetBounds(10, 10, 80, 25);
  int buttonClicks = 0, exits = 0;
  button->OnClick = [&](TObject*) { ++buttonClicks; };
  auto* menu = new TMainMenu(&form);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  auto* exitItem = new TMenuItem(&form);
  exitItem->SetCaption("E&xit");
  exitItem->OnClick = [&](TObject*) { ++exits; };
  file->Add(exitItem);
  menu->Items()->Add(file);
  form.SetMenu(menu);
  form.Show();
  EXPECT_EQ(form.ClientHeight(), 200);
  EXPECT_TRUE(test_driver::ChooseMenuBarEntry(&form, "&File/E&xit"));
  Application()->ProcessMessages();
  EXPECT_EQ(exits, 1);
  // Controls under the bar still get their clicks at their own places.
  test_driver::Click(button, 5, 5);
  Application()->ProcessMessages();
  EXPECT_EQ(buttonClicks, 1);
  // Entries made at run time appear; a freed entry chosen late is ignored.
  auto* help = new TMenuItem(&form);
  help->SetCaption("&Help");
  menu->Items()->Add(help);
  EXPECT_TRUE(test_driver::ChooseMenuBarEntry(&form, "&Help"));
  delete help;
  Application()->ProcessMessages();
  EXPECT_FALSE(test_driver::ChooseMenuBarEntry(&form, "&Help"));
}

// A caption or mark changed after the bar shows reaches the entry on it
// (the bar keeps its entries and changes them in place).
TEST_F(FormFrame, ChangedCaptionsAndMarksShowOnTheMenuBar) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  auto* entry = new TMenuItem(&form);
  entry->SetCaption("&Open");
  int clicks = 0;
  entry->OnClick = [&](TObject*) { ++clicks; };
  file->Add(entry);
  menu->Items()->Add(file);
  form.SetMenu(menu);
  form.Show();
  entry->SetCaption("&Datei \u00f6ffnen");
  file->SetCaption("&Datei");
  entry->SetChecked(true);
  EXPECT_FALSE(test_driver::ChooseMenuBarEntry(&form, "&File/&Open"));
  EXPECT_EQ(test_driver::MenuBarMarks(&form, "&Datei"), std::vector<std::string>{"check"});
  EXPECT_TRUE(test_driver::ChooseMenuBarEntry(&form, "&Datei/&Datei \u00f6ffnen"));
  Application()->ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace lark
