#include <memory>

#include "platform/windows/panel.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Modal : public WindowTest {};

TEST_F(Modal, LoopsNestThreeDeepAndEachEndsOnItsModalResult) {
  RecordingForm main(nullptr), first(nullptr), second(nullptr), third(nullptr);
  main.Show();
  std::vector<std::string> trace;
  TCustomForm* chain[] = {&first, &second, &third};
  test_driver::OnModalShown([&](TCustomForm* form) {
    trace.push_back("shown " + std::to_string(Application()->ModalLevel()));
    // Each dialog opens the next from a posted message, like a dialog that
    // does its work once visible.
    PostMessage(form, WM_USER + 22);
  });
  for (int i = 0; i < 3; ++i) {
    auto* form = static_cast<RecordingForm*>(chain[i]);
    form->answers[WM_USER + 22] = [&, i, form](TMessage&) {
      if (i < 2) {
        int inner = chain[i + 1]->ShowModal();
        trace.push_back("inner " + std::to_string(inner));
      }
      form->ModalResult = i == 0 ? mrOk : mrCancel;
    };
  }
  EXPECT_EQ(first.ShowModal(), mrOk);
  EXPECT_EQ(trace, (std::vector<std::string>{"shown 1", "shown 2", "shown 3", "inner 2", "inner 2"}));
  EXPECT_FALSE(first.Visible());
  EXPECT_EQ(Application()->ModalLevel(), 0);
  EXPECT_EQ(Screen()->ActiveForm(), &main);
}

TEST_F(Modal, AMessagePostedBeforeShowingArrivesOnceShown) {
  RecordingForm dialog(nullptr);
  bool visibleWhenDelivered = false;
  dialog.answers[WM_USER + 31] = [&](TMessage&) {
    visibleWhenDelivered = dialog.Visible();
    dialog.ModalResult = mrOk;
  };
  PostMessage(&dialog, WM_USER + 31);
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(visibleWhenDelivered);
}

TEST_F(Modal, CloseQueryCanKeepTheDialogOpen) {
  RecordingForm dialog(nullptr);
  int queries = 0;
  dialog.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
  test_driver::OnModalShown([&](TCustomForm*) { PostMessage(&dialog, WM_USER + 1); });
  dialog.answers[WM_USER + 1] = [&](TMessage&) {
    dialog.ModalResult = mrOk;  // refused the first time
    if (queries == 0) PostMessage(&dialog, WM_USER + 1);
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(queries, 2);
}

TEST_F(Modal, ShowingAVisibleFormModallyIsRefused) {
  RecordingForm form(nullptr);
  form.Show();
  EXPECT_THROW(form.ShowModal(), EInvalidOperation);
}

TEST_F(Modal, OtherFormsGetNoInputWhileADialogIsUp) {
  RecordingForm main(nullptr), dialog(nullptr);
  main.SetBounds(0, 0, 300, 200);
  main.Show();
  int clicks = 0;
  main.OnClick = [&](TObject*) { ++clicks; };
  test_driver::OnModalShown([&](TCustomForm*) {
    test_driver::Click(&main, 30, 30);
    PostMessage(&dialog, WM_USER + 1);
  });
  dialog.answers[WM_USER + 1] = [&](TMessage&) { dialog.ModalResult = mrCancel; };
  dialog.ShowModal();
  Application()->ProcessMessages();
  EXPECT_EQ(clicks, 0);
  test_driver::Click(&main, 30, 30);
  Application()->ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

TEST_F(Modal, ReleaseFreesTheFormAfterTheHandlerReturns) {
  bool destroyed = false;
  auto* form = new RecordingForm(nullptr);
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->answers[WM_USER + 1] = [&](TMessage&) {
    form->Release();
    EXPECT_FALSE(destroyed);
  };
  PostMessage(form, WM_USER + 1);
  Application()->ProcessMessages();
  EXPECT_TRUE(destroyed);
}

TEST_F(Modal, OnActivateFiresOnFirstShowAndOnSwitchingFormsOnly) {
  RecordingForm a(nullptr), b(nullptr);
  int activatedA = 0, activatedB = 0;
  a.OnActivate = [&](TObject*) { ++activatedA; };
  b.OnActivate = [&](TObject*) { ++activatedB; };
  a.Show();
  EXPECT_EQ(activatedA, 1);
  b.Show();
  EXPECT_EQ(activatedB, 1);
  test_driver::ActivateWindow(&a);
  Application()->ProcessMessages();
  EXPECT_EQ(activatedA, 2);
  // The program loses and regains the desktop: no form event.
  test_driver::SetApplicationActive(false);
  test_driver::SetApplicationActive(true);
  Application()->ProcessMessages();
  EXPECT_EQ(activatedA, 2);
  EXPECT_EQ(activatedB, 1);
}

// A focusable window that records the focus it gains and loses.
class FocusRecorder : public TPanel {
 public:
  explicit FocusRecorder(TCustomForm* form) : TPanel(form) {
    TabStop = true;
    SetParent(form);
  }
  std::string events;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_SETFOCUS) events += "+";
    if (message.Msg == WM_KILLFOCUS) events += "-";
    TPanel::WndProc(message);
  }
};

TEST_F(Modal, SwitchingFormsMovesTheFocusBetweenTheirActiveControls) {
  TForm a(nullptr), b(nullptr);
  auto* inA = new FocusRecorder(&a);
  auto* inB = new FocusRecorder(&b);
  a.Show();
  EXPECT_EQ(inA->events, "+");
  b.Show();
  EXPECT_EQ(inA->events, "+-");
  EXPECT_EQ(inB->events, "+");
  test_driver::ActivateWindow(&a);
  Application()->ProcessMessages();
  EXPECT_EQ(inA->events, "+-+");
  EXPECT_EQ(inB->events, "+-");
}

TEST_F(Modal, ActivateAppReachesSendHooks) {
  RecordingForm a(nullptr);
  a.Show();
  std::vector<WPARAM> seen;
  HHOOK hook = SetWindowsHookEx(WH_CALLWNDPROC, [&](int, const TMsg& m) {
    if (m.message == WM_ACTIVATEAPP) seen.push_back(m.wParam);
  });
  test_driver::SetApplicationActive(false);
  test_driver::SetApplicationActive(true);
  UnhookWindowsHookEx(hook);
  EXPECT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 1u);
}

}  // namespace
}  // namespace lark
