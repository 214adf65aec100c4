#include <memory>

#include "platform/windows/custom_control.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Layout : public WindowTest {};

TControl* Place(TWinControl* parent, TAlign align, int left, int top, int width, int height) {
  auto* c = new TCustomControl(parent);
  c->SetBounds(left, top, width, height);
  c->SetParent(parent);
  c->SetAlign(align);
  return c;
}

// The main window: a cool bar on top, the address panel below it, the
// directory-button group, a status bar at the bottom holding its own
// controls, and the browser panel taking the rest.
TEST_F(Layout, MainWindowArrangement) {
  TForm form(nullptr);
  form.SetClientSize(800, 600);
  ASSERT_EQ(form.ClientWidth(), 800);
  // Created out of order: the stacking follows their positions.
  TControl* address = Place(&form, TAlign::alTop, 0, 40, 10, 30);
  TControl* coolBar = Place(&form, TAlign::alTop, 0, 0, 10, 40);
  TControl* directory = Place(&form, TAlign::alTop, 0, 70, 10, 25);
  auto* status = static_cast<TWinControl*>(Place(&form, TAlign::alBottom, 0, 580, 10, 20));
  TControl* client = Place(&form, TAlign::alClient, 0, 0, 1, 1);
  TControl* hidden = Place(&form, TAlign::alTop, 0, 20, 10, 50);
  hidden->Hide();
  TControl* statusLabel = Place(status, TAlign::alLeft, 0, 0, 120, 5);
  TControl* statusGauge = Place(status, TAlign::alRight, 0, 0, 100, 5);

  EXPECT_EQ(coolBar->BoundsRect(), Rect(0, 0, 800, 40));
  EXPECT_EQ(address->BoundsRect(), Rect(0, 40, 800, 70));
  EXPECT_EQ(directory->BoundsRect(), Rect(0, 70, 800, 95));
  EXPECT_EQ(status->BoundsRect(), Rect(0, 580, 800, 600));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 95, 800, 580));
  EXPECT_EQ(statusLabel->BoundsRect(), Rect(0, 0, 120, 20));
  EXPECT_EQ(statusGauge->BoundsRect(), Rect(700, 0, 800, 20));

  // Hiding a bar gives its room to the client; resizing the window follows.
  address->Hide();
  EXPECT_EQ(directory->BoundsRect(), Rect(0, 40, 800, 65));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 65, 800, 580));
  form.SetClientSize(640, 480);
  EXPECT_EQ(status->BoundsRect(), Rect(0, 460, 640, 480));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 65, 640, 460));
  EXPECT_EQ(statusGauge->BoundsRect(), Rect(540, 0, 640, 20));
}

TEST_F(Layout, LeftAndRightShareWhatTopAndBottomLeave) {
  TForm form(nullptr);
  form.SetClientSize(300, 200);
  TControl* top = Place(&form, TAlign::alTop, 0, 0, 0, 20);
  TControl* left = Place(&form, TAlign::alLeft, 0, 0, 50, 0);
  TControl* right = Place(&form, TAlign::alRight, 0, 0, 60, 0);
  TControl* bottom = Place(&form, TAlign::alBottom, 0, 0, 0, 30);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 20));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 170, 300, 200));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 50, 170));
  EXPECT_EQ(right->BoundsRect(), Rect(240, 20, 300, 170));
}

TEST_F(Layout, AnchorsKeepDistancesWhenTheParentResizes) {
  TForm form(nullptr);
  form.SetClientSize(400, 300);
  TControl* ok = Place(&form, TAlign::alNone, 300, 250, 80, 25);
  ok->SetAnchors(akRight | akBottom);
  TControl* edit = Place(&form, TAlign::alNone, 10, 10, 380, 20);
  edit->SetAnchors(akLeft | akTop | akRight);
  form.SetClientSize(500, 350);
  EXPECT_EQ(ok->BoundsRect(), Rect(400, 300, 480, 325));
  EXPECT_EQ(edit->BoundsRect(), Rect(10, 10, 490, 30));
  form.SetClientSize(400, 300);
  EXPECT_EQ(ok->BoundsRect(), Rect(300, 250, 380, 275));
}

TEST_F(Layout, ConstraintsHold) {
  TForm form(nullptr);
  form.SetClientSize(400, 300);
  auto* panel = new TCustomControl(&form);
  panel->Constraints.MinHeight = 30;
  panel->Constraints.MaxWidth = 100;
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 500, 5);
  EXPECT_EQ(panel->Width(), 100);
  EXPECT_EQ(panel->Height(), 30);
}

TEST_F(Layout, VisibleChangingMayRefuse) {
  class Stubborn : public TCustomControl {
   public:
    using TCustomControl::TCustomControl;

   protected:
    void WndProc(TMessage& m) override {
      if (m.Msg == CM_VISIBLECHANGING && m.WParam == 0) throw EInvalidOperation("stays");
      TCustomControl::WndProc(m);
    }
  };
  TForm form(nullptr);
  auto* c = new Stubborn(&form);
  c->SetParent(&form);
  EXPECT_THROW(c->Hide(), EInvalidOperation);
  EXPECT_TRUE(c->Visible());
}

TEST_F(Layout, ParentFreesChildrenOwnedElsewhereInEitherOrder) {
  int freed = 0;
  class Child : public TCustomControl {
   public:
    Child(TComponent* owner, int* freed) : TCustomControl(owner), freed_(freed) {}
    ~Child() override { ++*freed_; }

   private:
    int* freed_;
  };
  {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto parent = std::make_unique<TForm>(nullptr);
    (new Child(owner.get(), &freed))->SetParent(parent.get());
    parent->Show();
    parent.reset();  // parent first: the child goes and leaves its owner
    EXPECT_EQ(owner->ComponentCount(), 0);
  }
  EXPECT_EQ(freed, 1);
  {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto parent = std::make_unique<TForm>(nullptr);
    (new Child(owner.get(), &freed))->SetParent(parent.get());
    parent->Show();
    owner.reset();  // owner first: the child goes and leaves its parent
    EXPECT_EQ(parent->ControlCount(), 0);
  }
  EXPECT_EQ(freed, 2);
}

TEST_F(Layout, ReparentingKeepsStateAndRecreatesTheWindow) {
  TForm a(nullptr), b(nullptr);
  a.Show();
  auto* c = new TCustomControl(&a);
  c->SetParent(&a);
  c->SetBounds(5, 6, 70, 80);
  c->SetCaption("kept");
  HWND first = c->Handle();
  c->SetParent(&b);
  EXPECT_EQ(c->BoundsRect(), Rect(5, 6, 75, 86));
  EXPECT_EQ(c->Caption(), "kept");
  c->RecreateWnd();
  EXPECT_NE(c->Handle(), nullptr);
  EXPECT_EQ(TWinControl::FindControl(c->Handle()), c);
  (void)first;
}

TEST_F(Layout, DestroyHookSeesEveryWindowGo) {
  std::vector<HWND> destroyed;
  HHOOK hook = SetWindowsHookEx(WH_CBT, [&](int code, const TMsg& m) {
    if (code == HCBT_DESTROYWND) destroyed.push_back(m.hwnd);
  });
  HWND formHandle, childHandle;
  {
    TForm form(nullptr);
    auto* child = new TCustomControl(&form);
    child->SetParent(&form);
    formHandle = form.Handle();
    childHandle = child->Handle();
  }
  UnhookWindowsHookEx(hook);
  EXPECT_NE(std::find(destroyed.begin(), destroyed.end(), formHandle), destroyed.end());
  EXPECT_NE(std::find(destroyed.begin(), destroyed.end(), childHandle), destroyed.end());
}

}  // namespace
}  // namespace lark
