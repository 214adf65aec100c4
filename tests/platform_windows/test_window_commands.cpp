#include "platform/graphics/bitmap.h"
#include "platform/windows/custom_control.h"
#include "platform/windows/custom_image_list.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "platform/windows/system_menu.h"
#include "platform/windows/system_metrics.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class WindowCommands : public WindowTest {};

TEST_F(WindowCommands, AGreyedCloseKeepsTheWindowOpenAndTakesTheCloseBoxAway) {
  TForm form(nullptr);
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  form.Show();
  EXPECT_TRUE(test_driver::FrameHasCloseBox(&form));

  HMENU menu = GetSystemMenu(form.Handle(), false);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED), MF_ENABLED);
  EXPECT_FALSE(test_driver::FrameHasCloseBox(&form));
  test_driver::ClickCloseBox(&form);
  PostMessage(form.Handle(), WM_SYSCOMMAND, SC_CLOSE);
  Drain();
  EXPECT_EQ(closes, 0);
  EXPECT_TRUE(form.Visible());

  // The menu survives a new window; reverting gives Close back.
  form.RecreateWnd();
  EXPECT_EQ(GetMenuState(GetSystemMenu(form.Handle(), false), SC_CLOSE, MF_BYCOMMAND), MF_GRAYED | MF_DISABLED);
  EXPECT_FALSE(test_driver::FrameHasCloseBox(&form));
  GetSystemMenu(form.Handle(), true);
  EXPECT_TRUE(test_driver::FrameHasCloseBox(&form));
  test_driver::ClickCloseBox(&form);
  Drain();
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(form.Visible());
}

TEST_F(WindowCommands, OnlyFormsHaveAWindowMenuAndItKnowsOnlyItsCommands) {
  TForm form(nullptr);
  auto* panel = new TCustomControl(&form);
  panel->SetParent(&form);
  EXPECT_EQ(GetSystemMenu(panel->Handle(), false), nullptr);
  EXPECT_EQ(EnableMenuItem(nullptr, SC_CLOSE, MF_GRAYED), kNoMenuItem);
  HMENU menu = GetSystemMenu(form.Handle(), false);
  EXPECT_EQ(EnableMenuItem(menu, 0x1234, MF_GRAYED), kNoMenuItem);
  EXPECT_EQ(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND), MF_ENABLED);
}

TEST_F(WindowCommands, SystemCommandsMaximiseAndRestoreUnlessAHookGreysThem) {
  RecordingForm form(nullptr);
  form.SetBounds(30, 40, 300, 200);
  form.Show();
  PostMessage(form.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE);
  Drain();
  EXPECT_EQ(form.WindowState(), TWindowState::wsMaximized);
  EXPECT_EQ(form.Width(), Screen()->Width() + 2 * GetSystemMetrics(SM_CXFRAME));
  // Brought up to date while maximised, the menu offers Restore and no
  // longer Maximize or Size.
  HMENU menu = GetSystemMenu(form.Handle(), false);
  EXPECT_EQ(GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND), MF_GRAYED);
  PostMessage(form.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE);
  Drain();
  EXPECT_EQ(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND), MF_ENABLED);
  PostMessage(form.Handle(), WM_SYSCOMMAND, SC_RESTORE);
  Drain();
  EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
  EXPECT_EQ(form.BoundsRect(), Rect(30, 40, 330, 240));

  // A hook that answers after the form (as a placement forbidding resizes
  // does) greys Maximize each time the menu is brought up to date.
  auto formProc = form.WindowProc;
  form.WindowProc = [&](TMessage& m) {
    formProc(m);
    if (m.Msg == WM_INITMENUPOPUP && HiWord(m.LParam) != 0) {
      EnableMenuItem(reinterpret_cast<HMENU>(m.WParam), SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
      m.Result = 1;
    }
  };
  PostMessage(form.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE);
  Drain();
  EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
  EXPECT_EQ(form.Width(), 300);
  form.WindowProc = formProc;
}

TEST_F(WindowCommands, AFormWithoutAMaximiseButtonOrAFixedBorderIsNotMaximised) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  form.SetBorderIcons(biSystemMenu | biMinimize);
  form.Show();
  SendMessage(form.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE);
  EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
  form.SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
  form.SetBorderStyle(TFormBorderStyle::bsSingle);
  SendMessage(form.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE);
  EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
  SendMessage(form.Handle(), WM_SYSCOMMAND, SC_MINIMIZE);
  EXPECT_EQ(form.WindowState(), TWindowState::wsMinimized);
}

TEST_F(WindowCommands, FramesAreMadeOfTheSystemMetrics) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  EXPECT_EQ(form.Width() - form.ClientWidth(), 2 * GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(form.Height() - form.ClientHeight(), GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME));
  form.SetBorderStyle(TFormBorderStyle::bsSingle);
  EXPECT_EQ(form.Width() - form.ClientWidth(), 2 * GetSystemMetrics(SM_CXDLGFRAME));
  form.SetBorderStyle(TFormBorderStyle::bsToolWindow);
  EXPECT_EQ(form.Height() - form.ClientHeight(),
            GetSystemMetrics(SM_CYSMCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME));
  auto* menu = new TMainMenu(&form);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  form.SetBorderStyle(TFormBorderStyle::bsSizeable);
  int withoutMenu = form.Height() - form.ClientHeight();
  form.SetMenu(menu);
  EXPECT_EQ(form.Height() - form.ClientHeight(), withoutMenu + GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Screen()->Width());
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), Screen()->Height());
  EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
}

// Records the position messages it hears.
class PositionProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  int changes = 0;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_WINDOWPOSCHANGED) ++changes;
    TGraphicControl::WndProc(message);
  }
};

TEST_F(WindowCommands, MovesAndSizesAreAnnouncedAndWindowsPassTheThreadHooks) {
  TForm form(nullptr);
  auto* probe = new PositionProbe(&form);
  probe->SetParent(&form);
  auto* panel = new TCustomControl(&form);
  panel->SetParent(&form);
  form.Show();
  std::vector<HWND> hooked;
  HHOOK hook = SetWindowsHookEx(WH_CALLWNDPROC, [&](int, const TMsg& m) {
    if (m.message == WM_WINDOWPOSCHANGED) hooked.push_back(m.hwnd);
  });
  probe->SetBounds(5, 5, 40, 20);
  probe->SetBounds(5, 5, 40, 20);  // no change, no message
  probe->SetWidth(60);
  panel->SetBounds(0, 30, 100, 50);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(probe->changes, 2);
  // A windowless control has no window for the hooks to see.
  ASSERT_EQ(hooked.size(), 1u);
  EXPECT_EQ(hooked[0], panel->Handle());
}


TEST_F(WindowCommands, APopUpMenuHangsFromThePointByItsAlignment) {
  TForm form(nullptr);
  form.Show();
  TPopupMenu menu(nullptr);
  auto* entry = new TMenuItem(&menu);
  entry->SetCaption("A rather long entry");
  menu.Items()->Add(entry);
  TRect shown;
  Application()->OnIdle = [&](TObject*, bool&) {
    if (TRect r = test_driver::DismissPopupMenu(); !r.IsEmpty()) shown = r;
  };
  const TPoint at = Point(400, 300);
  int width = 0;
  for (auto alignment : {TPopupAlignment::paLeft, TPopupAlignment::paRight, TPopupAlignment::paCenter}) {
    menu.Alignment = alignment;
    shown = TRect{};
    menu.Popup(at.X, at.Y);
    ASSERT_FALSE(shown.IsEmpty());
    EXPECT_EQ(shown.Top, at.Y);
    width = shown.Width();
    int expectedLeft = alignment == TPopupAlignment::paLeft    ? at.X
                       : alignment == TPopupAlignment::paRight ? at.X - width
                                                               : at.X - width / 2;
    EXPECT_EQ(shown.Left, expectedLeft);
  }
  EXPECT_GT(width, 20);
  // The menu keeps its own setting.
  EXPECT_EQ(menu.Alignment, TPopupAlignment::paCenter);
}


TEST_F(WindowCommands, MinimisingTheMainFormMinimisesTheProgram) {
  auto* main = Application()->CreateForm<TForm>();
  auto* other = new TForm(main);
  if (Application()->MainForm() != main) GTEST_SKIP() << "another test made the main form";
  main->Show();
  other->Show();
  int minimised = 0, restored = 0;
  Application()->OnMinimize = [&](TObject*) { ++minimised; };
  Application()->OnRestore = [&](TObject*) { ++restored; };
  PostMessage(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE);
  Drain();
  EXPECT_EQ(minimised, 1);
  EXPECT_TRUE(IsIconic(Application()->Handle()));
  EXPECT_TRUE(IsIconic(other->Handle()));
  // The forms keep their own state: the program is what is minimised.
  EXPECT_EQ(main->WindowState(), TWindowState::wsNormal);
  TWindowPlacement placement;
  main->GetWindowPlacement(placement);
  EXPECT_EQ(placement.showCmd, SW_SHOWNORMAL);
  PostMessage(Application()->Handle(), WM_SYSCOMMAND, SC_RESTORE);
  Drain();
  EXPECT_EQ(restored, 1);
  EXPECT_FALSE(IsIconic(Application()->Handle()));
  EXPECT_FALSE(IsIconic(main->Handle()));
  // Another form minimises only itself.
  SendMessage(other->Handle(), WM_SYSCOMMAND, SC_MINIMIZE);
  EXPECT_EQ(other->WindowState(), TWindowState::wsMinimized);
  EXPECT_FALSE(Application()->Minimized());
  Application()->OnMinimize = nullptr;
  Application()->OnRestore = nullptr;
  delete main;
}


TEST_F(WindowCommands, PopUpMenusOfTheFocusedControlAndItsParentsTakeTheirShortcuts) {
  // The view and its menu belong to one form; full screen shows the view on another.
  TForm owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  auto* closeFullScreen = new TMenuItem(&owner);
  closeFullScreen->SetCaption("Close full screen");
  closeFullScreen->ShortCut = ShortCut(VK_F11, 0);
  int closes = 0;
  closeFullScreen->OnClick = [&](TObject*) { ++closes; };
  menu->Items()->Add(closeFullScreen);
  TForm fullScreen(nullptr);
  auto* view = new TPanel(&owner);
  view->SetPopupMenu(menu);
  view->SetParent(&fullScreen);
  auto* edit = new TEdit(&owner);
  edit->SetParent(view);
  auto* elsewhere = new TEdit(&fullScreen);
  elsewhere->SetParent(&fullScreen);
  fullScreen.Show();
  edit->SetFocus();
  test_driver::PressKey(VK_F11);
  Drain();
  EXPECT_EQ(closes, 1);
  // Outside the view the menu's keys mean nothing; a shortcut of no key never fires.
  elsewhere->SetFocus();
  test_driver::PressKey(VK_F11);
  Drain();
  EXPECT_EQ(closes, 1);
  closeFullScreen->ShortCut = 252;
  edit->SetFocus();
  test_driver::PressKey(VK_F11);
  Drain();
  EXPECT_EQ(closes, 1);
  view->SetParent(nullptr);
  delete view;
}


TEST_F(WindowCommands, MessageBoxesAreCaptionedByTheirKind) {
  std::string title = Application()->Title();
  Application()->SetTitle("Larkspan");
  std::vector<std::string> captions;
  test_driver::AnswerMessageBoxes([&](const std::string&, TMsgDlgType, TMsgDlgButtons buttons) {
    captions.push_back(test_driver::LastMessageBoxCaption());
    return (buttons & mbYes) ? mrYes : mrOk;
  });
  EXPECT_EQ(MessageDlg("The file a.html already exists.", TMsgDlgType::mtWarning, mbYes | mbNo), mrYes);
  MessageDlg("x", TMsgDlgType::mtError, mbOK);
  MessageDlg("x", TMsgDlgType::mtInformation, mbOK);
  MessageDlg("x", TMsgDlgType::mtConfirmation, mbOK);
  ShowMessage("Entry required for both Username and Password");
  Application()->HandleException(EConvertError("'x' is not a valid integer value"));
  EXPECT_EQ(captions, (std::vector<std::string>{"Warning", "Error", "Information", "Confirm", "Larkspan", "Larkspan"}));
  Application()->SetTitle(title);
}


TEST_F(WindowCommands, MenuEntriesShowTheirPicturesFromTheMenusImages) {
  TForm form(nullptr);
  form.Show();
  TPopupMenu menu(nullptr);
  TCustomImageList images(nullptr);
  TBitmap strip;
  strip.SetSize(32, 16);
  strip.Canvas().Brush().Color = clRed;
  strip.Canvas().FillRect(Rect(0, 0, 16, 16));
  strip.Canvas().Brush().Color = clBlue;
  strip.Canvas().FillRect(Rect(16, 0, 32, 16));
  images.Add(strip, nullptr);
  for (int index : {1, -1, 0, 7}) {
    auto* entry = new TMenuItem(&menu);
    entry->SetCaption("Bookmark");
    entry->ImageIndex = index;
    menu.Items()->Add(entry);
  }
  std::vector<std::int64_t> pictures;
  Application()->OnIdle = [&](TObject*, bool&) {
    if (auto shown = test_driver::PopupMenuPictures(); !shown.empty()) {
      pictures = shown;
      test_driver::DismissPopupMenu();
    }
  };
  menu.Popup(10, 10);
  EXPECT_EQ(pictures, (std::vector<std::int64_t>{-1, -1, -1, -1}));  // no list, no pictures
  menu.SetImages(&images);
  menu.Popup(10, 10);
  EXPECT_EQ(pictures, (std::vector<std::int64_t>{0x0000FF, -1, 0xFF0000, -1}));
}


TEST_F(WindowCommands, APlacementKeepsTheMinimisedAndMaximisedPositionsItWasGiven) {
  TForm form(nullptr);
  TWindowPlacement placement;
  ASSERT_TRUE(form.GetWindowPlacement(placement));
  EXPECT_EQ(placement.ptMinPosition, Point(-1, -1));
  EXPECT_EQ(placement.ptMaxPosition, Point(-1, -1));
  // A placement read back from the settings file is written out again unchanged.
  placement.ptMinPosition = Point(3, 700);
  placement.ptMaxPosition = Point(-GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
  placement.rcNormalPosition = Rect(10, 20, 410, 320);
  placement.showCmd = SW_SHOWNORMAL;
  ASSERT_TRUE(form.SetWindowPlacement(placement));
  TWindowPlacement again;
  form.GetWindowPlacement(again);
  EXPECT_EQ(again.ptMinPosition, Point(3, 700));
  EXPECT_EQ(again.ptMaxPosition, Point(-4, -4));
  EXPECT_EQ(again.rcNormalPosition, Rect(10, 20, 410, 320));
  EXPECT_EQ(again.showCmd, SW_HIDE);  // not shown yet
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST_F(WindowCommands, TheUsersFrameButtonsAreTheWindowMenusCommands) {
  RecordingForm form(nullptr);
  form.SetBounds(30, 40, 300, 200);
  form.Show();
  test_driver::ChangeWindowState(&form, TWindowState::wsMaximized);
  Drain();
  EXPECT_EQ(form.WindowState(), TWindowState::wsMaximized);
  EXPECT_EQ(form.Width(), Screen()->Width() + 2 * GetSystemMetrics(SM_CXFRAME));
  test_driver::ChangeWindowState(&form, TWindowState::wsMinimized);
  Drain();
  EXPECT_EQ(form.WindowState(), TWindowState::wsMinimized);
  TWindowPlacement placement;
  form.GetWindowPlacement(placement);
  EXPECT_EQ(placement.showCmd, SW_SHOWMINIMIZED);
  EXPECT_EQ(placement.rcNormalPosition, Rect(30, 40, 330, 240));
  test_driver::ChangeWindowState(&form, TWindowState::wsNormal);
  Drain();
  EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
  EXPECT_EQ(form.BoundsRect(), Rect(30, 40, 330, 240));

  // A form that greys Minimize in its menu stays up.
  auto formProc = form.WindowProc;
  form.WindowProc = [&](TMessage& m) {
    formProc(m);
    if (m.Msg == WM_INITMENUPOPUP && HiWord(m.LParam) != 0)
      EnableMenuItem(reinterpret_cast<HMENU>(m.WParam), SC_MINIMIZE, MF_BYCOMMAND | MF_GRAYED);
  };
  test_driver::ChangeWindowState(&form, TWindowState::wsMinimized);
  Drain();
  EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
  EXPECT_FALSE(test_driver::ShownMinimized(&form));
  form.WindowProc = formProc;
}

}  // namespace
}  // namespace lark
