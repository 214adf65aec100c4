#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/button.h"
#include "platform/windows/edit.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/panel.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

// A scrolling document window as the layer's users build one: a plain
// window that takes the focus when its paint panel is clicked, keeps the
// arrow keys, and hears what the panel passes on.
class DocumentWindow : public TWinControl {
 public:
  explicit DocumentWindow(TComponent* owner) : TWinControl(owner) {}
  std::vector<unsigned short> keys;
  std::vector<UINT> privateMessages;
  int doubleClicks = 0;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_GETDLGCODE) {
      message.Result = DLGC_WANTARROWS;
      return;
    }
    if (message.Msg >= WM_USER && message.Msg < CM_BASE) {
      privateMessages.push_back(message.Msg);
      return;
    }
    TWinControl::WndProc(message);
  }
  void KeyDown(unsigned short& key, TShiftState shift) override {
    keys.push_back(key);
    TWinControl::KeyDown(key, shift);
  }
};

class PaintPanel : public TCustomPanel {
 public:
  PaintPanel(TComponent* owner, DocumentWindow* view) : TCustomPanel(owner), view_(view) {}

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_LBUTTONDBLCLK && (message.WParam & MK_LBUTTON)) ++view_->doubleClicks;
    TCustomPanel::WndProc(message);
  }

 private:
  DocumentWindow* view_;
};

class ViewWindow : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form.SetClientSize(300, 200);
    other = new TPanel(&form);
    other->SetParent(&form);
    other->SetBounds(200, 0, 100, 100);
    other->TabStop = true;
    view = new DocumentWindow(&form);
    view->SetParent(&form);
    view->SetBounds(0, 0, 150, 150);
    border = new TPanel(&form);
    border->SetParent(view);
    border->SetAlign(TAlign::alClient);
    border->SetBevelOuter(TBevelCut::bvNone);
    border->SetParentColor(true);
    panel = new PaintPanel(&form, view);
    panel->SetParent(view);
    panel->SetBounds(1, 1, 148, 148);
    panel->SetBevelOuter(TBevelCut::bvNone);
    panel->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { view->SetFocus(); };
    form.Show();
  }
  TForm form{nullptr};
  TPanel* other = nullptr;
  DocumentWindow* view = nullptr;
  TPanel* border = nullptr;
  PaintPanel* panel = nullptr;
};

TEST_F(ViewWindow, APlainWindowTakesTheFocusAndKeepsTheArrowKeys) {
  other->SetFocus();
  test_driver::Click(panel, 20, 20);
  Application()->ProcessMessages();
  EXPECT_EQ(form.ActiveControl(), view);
  EXPECT_TRUE(test_driver::HasKeyboardFocus(view));
  for (unsigned short key : {VK_DOWN, VK_NEXT, VK_RIGHT, VK_HOME}) test_driver::PressKey(key);
  Application()->ProcessMessages();
  EXPECT_EQ(view->keys, (std::vector<unsigned short>{VK_DOWN, VK_NEXT, VK_RIGHT, VK_HOME}));
  EXPECT_EQ(form.ActiveControl(), view);

  test_driver::DoubleClick(panel, 30, 30);
  Application()->ProcessMessages();
  EXPECT_EQ(view->doubleClicks, 1);
}

// A message posted to itself from a handler waits until that handler and
// the input before it are done.
TEST_F(ViewWindow, PrivateMessagesArriveAfterTheHandlerThatPostedThem) {
  std::vector<std::string> order;
  panel->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
    PostMessage(view, WM_USER + 100);
    order.push_back("up");
  };
  panel->OnClick = [&](TObject*) { order.push_back("click " + std::to_string(view->privateMessages.size())); };
  test_driver::Click(panel, 20, 20);
  Application()->ProcessMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"up", "click 0"}));
  EXPECT_EQ(view->privateMessages, (std::vector<UINT>{WM_USER + 100}));
}

TEST_F(ViewWindow, ASingleBorderFramesThePanelAndItsChildren) {
  const std::uint32_t black = 0x000000, red = 0xFF0000;
  view->SetColor(0x02000000 | clRed);  // a palette-relative colour
  EXPECT_EQ(test_driver::PixelAt(border, 0, 0), red);
  border->SetCtl3D(false);
  border->SetBorderStyle(TBorderStyle::bsSingle);
  EXPECT_EQ(test_driver::PixelAt(border, 0, 0), black);
  EXPECT_EQ(test_driver::PixelAt(border, 149, 75), black);
  EXPECT_EQ(test_driver::PixelAt(border, 1, 1), red);
  auto* inside = new TPanel(&form);
  inside->SetParent(border);
  inside->SetAlign(TAlign::alClient);
  EXPECT_EQ(inside->BoundsRect(), Rect(1, 1, 149, 149));
  // With the 3-D look the border is the desktop's sunken edge, two wide.
  border->SetCtl3D(true);
  EXPECT_EQ(inside->BoundsRect(), Rect(2, 2, 148, 148));
  EXPECT_EQ(test_driver::PixelAt(border, 0, 0), 0x808080u);
  border->SetBorderStyle(TBorderStyle::bsNone);
  EXPECT_EQ(inside->BoundsRect(), Rect(0, 0, 150, 150));
}

// A document panel paints only the part asked for: into an off-screen
// picture of the clip rectangle, drawn in document coordinates, copied to
// the window; the background is never erased first.
class BufferedPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
  std::vector<TRect> clips;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_ERASEBKGND) {
      message.Result = 1;
      return;
    }
    TCustomPanel::WndProc(message);
  }
  void Paint() override {
    TRect clip = Canvas().ClipRect();
    clips.push_back(clip);
    TBitmap buffer;
    buffer.SetSize(clip.Width(), clip.Height());
    SetWindowOrgEx(buffer.Canvas(), clip.Left, clip.Top);
    buffer.Canvas().Brush().Color = clBlue;
    buffer.Canvas().FillRect(ClientRect());
    buffer.Canvas().Brush().Color = clRed;
    buffer.Canvas().FillRect(Rect(40, 40, 60, 60));  // a red square at 40..59
    BitBlt(Canvas(), clip.Left, clip.Top, clip.Width(), clip.Height(), &buffer.Canvas(), clip.Left, clip.Top,
           SRCCOPY);
  }
};

TEST_F(ViewWindow, APaintDrawsThroughAnOffscreenPictureOfItsClipRectangle) {
  auto* buffered = new BufferedPanel(&form);
  buffered->SetParent(panel);
  buffered->SetBounds(0, 0, 100, 100);
  EXPECT_EQ(test_driver::PixelAt(buffered, 50, 50), 0xFF0000u);
  EXPECT_EQ(test_driver::PixelAt(buffered, 10, 10), 0x0000FFu);
  buffered->Canvas().Brush().Color = clLime;
  buffered->Canvas().FillRect(Rect(0, 0, 100, 100));
  buffered->clips.clear();
  buffered->InvalidateRect(Rect(45, 30, 55, 50), true);
  buffered->Update();
  ASSERT_EQ(buffered->clips, (std::vector<TRect>{Rect(45, 30, 55, 50)}));
  EXPECT_EQ(test_driver::PixelAt(buffered, 50, 45), 0xFF0000u);
  EXPECT_EQ(test_driver::PixelAt(buffered, 50, 35), 0x0000FFu);
  EXPECT_EQ(test_driver::PixelAt(buffered, 50, 55), 0x00FF00u);  // outside: left alone
}


// Frames side by side, each a view holding a page with an edit box: the
// view hears OnEnter when the focus comes into anything inside it, and
// OnExit when it goes to something outside, as a frame browser tracks its
// active view.
class FocusChain : public WindowTest {
 protected:
  TWinControl* Add(TWinControl* parent, const std::string& name, int left, int width) {
    auto* control = new TWinControl(&form);
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, 0, width, 100);
    Watch(control);
    return control;
  }
  void Watch(TWinControl* control) {
    control->OnEnter = [this](TObject* sender) { log.push_back("enter " + static_cast<TComponent*>(sender)->Name()); };
    control->OnExit = [this](TObject* sender) { log.push_back("exit " + static_cast<TComponent*>(sender)->Name()); };
  }
  TForm form{nullptr};
  std::vector<std::string> log;
};

TEST_F(FocusChain, EnterAndExitRunAlongTheContainers) {
  form.SetClientSize(400, 200);
  TWinControl* frames = Add(&form, "frames", 0, 400);
  TWinControl* left = Add(frames, "left", 0, 200);
  TWinControl* right = Add(frames, "right", 200, 200);
  TWinControl* leftEdit = Add(left, "leftEdit", 0, 50);
  TWinControl* rightEdit = Add(right, "rightEdit", 0, 50);
  form.SetActiveControl(leftEdit);
  form.Show();
  EXPECT_EQ(log, (std::vector<std::string>{"enter frames", "enter left", "enter leftEdit"}));
  log.clear();
  rightEdit->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"exit leftEdit", "exit left", "enter right", "enter rightEdit"}));
  log.clear();
  right->SetFocus();  // out of the edit, still inside its view
  EXPECT_EQ(log, (std::vector<std::string>{"exit rightEdit"}));
  log.clear();
  // A handler that moves the focus on wins; the rest of the first move is dropped.
  right->OnExit = [&](TObject*) {
    log.push_back("exit right");
    left->SetFocus();
  };
  leftEdit->SetFocus();
  EXPECT_EQ(form.ActiveControl(), left);
  EXPECT_EQ(log, (std::vector<std::string>{"exit right", "enter left"}));
  // A view going away takes what was entered inside it along.
  log.clear();
  delete left;
  rightEdit->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"enter right", "enter rightEdit"}));
}


// A right click shows the pop-up menu of the control clicked, or of the
// nearest container up that has one; an edit box keeps its own.
TEST_F(ViewWindow, ARightClickShowsTheNearestPopupMenu) {
  TPopupMenu menu(&form);
  view->SetPopupMenu(&menu);
  std::vector<std::string> log;
  std::vector<TPoint> points;
  test_driver::AnswerPopupMenus([&](TPopupMenu* shown, TPoint at) -> TMenuItem* {
    log.push_back(shown == &menu ? "menu" : "other");
    points.push_back(at);
    return nullptr;
  });
  panel->OnMouseUp = [&](TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::mbRight) log.push_back("up");
  };
  test_driver::MouseDown(panel, TMouseButton::mbRight, 30, 40);
  test_driver::MouseUp(panel, TMouseButton::mbRight, 30, 40);
  Application()->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"up", "menu"}));
  EXPECT_EQ(points, (std::vector<TPoint>{panel->ClientToScreen(Point(30, 40))}));
  EXPECT_EQ(menu.PopupComponent, view);

  auto* edit = new TEdit(&form);
  edit->SetParent(panel);
  edit->SetBounds(10, 100, 80, 20);
  auto* button = new TButton(&form);
  button->SetParent(panel);
  button->SetBounds(100, 100, 40, 20);
  log.clear();
  test_driver::MouseDown(edit, TMouseButton::mbRight, 5, 5);
  test_driver::MouseUp(edit, TMouseButton::mbRight, 5, 5);
  test_driver::MouseDown(button, TMouseButton::mbRight, 5, 5);
  test_driver::MouseUp(button, TMouseButton::mbRight, 5, 5);
  Application()->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"menu"}));  // the button's click only
  EXPECT_EQ(menu.PopupComponent, view);

  menu.AutoPopup = false;
  log.clear();
  test_driver::MouseDown(panel, TMouseButton::mbRight, 30, 40);
  test_driver::MouseUp(panel, TMouseButton::mbRight, 30, 40);
  Application()->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"up"}));
}

}  // namespace
}  // namespace lark
