#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/edit.h"
#include "platform/windows/label.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class DialogKeys : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    edit = Add<TEdit>(10, 10);
    ok = Add<TButton>(10, 50);
    ok->SetCaption("&OK");
    ok->SetDefault(true);
    ok->ModalResult = mrOk;
    cancel = Add<TButton>(100, 50);
    cancel->SetCaption("Cancel");
    cancel->Cancel = true;
    cancel->ModalResult = mrCancel;
  }
  template <typename T>
  T* Add(int left, int top) {
    auto* c = new T(form.get());
    c->SetParent(form.get());
    c->SetLeft(left);
    c->SetTop(top);
    return c;
  }
  int RunWithKeys(std::function<void()> keys) {
    test_driver::OnModalShown([keys](TCustomForm*) { keys(); });
    return form->ShowModal();
  }
  TEdit* edit = nullptr;
  TButton* ok = nullptr;
  TButton* cancel = nullptr;
};

TEST_F(DialogKeys, EnterClicksTheDefaultButtonAndEscapeTheCancelButton) {
  int okClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  EXPECT_EQ(RunWithKeys([] {
              test_driver::TypeText("héllo");
              test_driver::PressKey(VK_RETURN);
            }),
            mrOk);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(edit->GetText(), "héllo");
  EXPECT_EQ(RunWithKeys([] { test_driver::PressKey(VK_ESCAPE); }), mrCancel);
}

// An edit box leaves Page Down to nobody; the toolkit would hand the key on
// to the windows around the edit, which must not take it as their own.
TEST_F(DialogKeys, AKeyTheEditLeavesIsNotQueuedAgainForTheForm) {
  int editKeys = 0, formKeys = 0;
  edit->OnKeyDown = [&](TObject*, unsigned short& key, TShiftState) { editKeys += key == VK_NEXT; };
  form->OnKeyDown = [&](TObject*, unsigned short& key, TShiftState) { formKeys += key == VK_NEXT; };
  form->Show();
  edit->SetFocus();
  test_driver::PressKey(VK_NEXT);
  Application()->ProcessMessages();
  EXPECT_EQ(editKeys, 1);
  EXPECT_EQ(formKeys, 0);
}

TEST_F(DialogKeys, EnterOnAnotherFocusedButtonClicksThatOne) {
  form->Show();
  cancel->SetFocus();
  form->Hide();
  EXPECT_EQ(RunWithKeys([] { test_driver::PressKey(VK_RETURN); }), mrCancel);
}

TEST_F(DialogKeys, TabMovesTheFocusInTabOrderUnlessTheControlWantsIt) {
  form->Show();
  EXPECT_EQ(form->ActiveControl(), edit);  // the first tab stop on activation
  test_driver::PressKey(VK_TAB);
  Application()->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), ok);
  test_driver::PressKey(VK_TAB, ssShift);
  Application()->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), edit);
  // An edit keeps its arrows; on a button they move between siblings.
  test_driver::PressKey(VK_RIGHT);
  Application()->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), edit);
  ok->SetFocus();
  test_driver::PressKey(VK_RIGHT);
  Application()->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), cancel);
}

TEST_F(DialogKeys, AControlAnsweringWantArrowsKeepsThem) {
  class ArrowBox : public TCheckBox {
   public:
    using TCheckBox::TCheckBox;
    int arrows = 0;

   protected:
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS;
        return;
      }
      if (m.Msg == WM_KEYDOWN && m.WParam == VK_DOWN) ++arrows;
      TCheckBox::WndProc(m);
    }
  };
  auto* box = Add<ArrowBox>(10, 100);
  form->Show();
  box->SetFocus();
  test_driver::PressKey(VK_DOWN);
  Application()->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), box);
  EXPECT_EQ(box->arrows, 1);
}

TEST_F(DialogKeys, AcceleratorsClickButtonsAndFocusLabelTargets) {
  auto* label = Add<TLabel>(10, 150);
  label->SetCaption("&Name:");
  auto* name = Add<TEdit>(60, 150);
  label->SetFocusControl(name);
  int okClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  form->Show();
  test_driver::PressKey('N', ssAlt);
  Application()->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), name);
  test_driver::PressKey('O', ssAlt);
  Application()->ProcessMessages();
  EXPECT_EQ(okClicks, 1);
}

TEST_F(DialogKeys, PasswordAndMaxLengthHoldForTypedText) {
  edit->SetMaxLength(3);
  edit->SetPasswordChar('*');
  form->Show();
  edit->SetFocus();
  test_driver::TypeText("secret");
  Application()->ProcessMessages();
  EXPECT_EQ(edit->GetText(), "sec");
}

TEST_F(DialogKeys, CheckBoxesToggleWithSpaceAndRadioButtonsExcludeEachOther) {
  auto* box = Add<TCheckBox>(10, 100);
  auto* a = Add<TRadioButton>(150, 100);
  auto* b = Add<TRadioButton>(150, 130);
  form->Show();
  box->SetFocus();
  test_driver::PressKey(VK_SPACE);
  Application()->ProcessMessages();
  EXPECT_TRUE(box->Checked());
  a->SetChecked(true);
  test_driver::Click(b, 3, 3);
  Application()->ProcessMessages();
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
}

}  // namespace
}  // namespace lark
