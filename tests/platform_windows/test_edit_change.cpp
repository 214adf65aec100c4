#include "platform/windows/edit.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class EditChange : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    edit = new TEdit(form.get());
    edit->SetParent(form.get());
    memo = new TMemo(form.get());
    memo->SetParent(form.get());
    memo->SetBounds(0, 40, 200, 100);
    edit->OnChange = [this](TObject*) { ++editChanges; };
    memo->OnChange = [this](TObject*) { ++memoChanges; };
  }
  void TypeInto(TWinControl* control, const std::string& text) {
    control->SetFocus();
    test_driver::TypeText(text);
    Application()->ProcessMessages();
  }

  TEdit* edit = nullptr;
  TMemo* memo = nullptr;
  int editChanges = 0;
  int memoChanges = 0;
};

TEST_F(EditChange, MakingOrRemakingTheWindowIsNoChange) {
  edit->SetText("kept");
  memo->SetText("kept");
  EXPECT_EQ(editChanges, 1);  // a programmatic change counts, window or not
  EXPECT_EQ(memoChanges, 1);
  form->Show();
  Application()->ProcessMessages();
  TypeInto(edit, "ab");
  TypeInto(memo, "cd");
  EXPECT_EQ(editChanges, 3);
  EXPECT_EQ(memoChanges, 3);

  edit->RecreateWnd();
  memo->RecreateWnd();
  memo->SetWordWrap(false);
  memo->SetReadOnly(true);
  edit->SetReadOnly(true);
  edit->SetMaxLength(40);
  Application()->ProcessMessages();
  EXPECT_EQ(editChanges, 3);
  EXPECT_EQ(memoChanges, 3);
  // What the user typed outlives the new windows and the new options.
  EXPECT_EQ(edit->GetText(), "keptab");
  EXPECT_EQ(memo->GetText(), "cdkept");
}

TEST_F(EditChange, OnlyADifferentTextIsAChange) {
  form->Show();
  memo->SetText("same");
  edit->SetText("same");
  memo->SetText("same");
  edit->SetText("same");
  EXPECT_EQ(memoChanges, 1);
  EXPECT_EQ(editChanges, 1);
  memo->Lines().Clear();
  EXPECT_EQ(memoChanges, 2);
  EXPECT_EQ(memo->GetText(), "");
}

TEST_F(EditChange, EnterInAMemoBreaksTheLineOnce) {
  form->Show();
  memo->SetText("b");
  TypeInto(memo, "a");
  test_driver::PressKey(VK_RETURN);
  Application()->ProcessMessages();
  EXPECT_EQ(memo->GetText(), "a\r\nb");
  memo->WantReturns = false;
  test_driver::PressKey(VK_RETURN);
  Application()->ProcessMessages();
  EXPECT_EQ(memo->GetText(), "a\r\nb");
}

TEST_F(EditChange, MemoLinesTakeAWholeTextAsOneChange) {
  form->Show();
  memo->Lines().SetText("one\ntwo\rthree\r\n");
  EXPECT_EQ(memoChanges, 1);
  EXPECT_EQ(memo->GetText(), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(memo->Lines().Count(), 3);
  TStringList source;
  source.Add("a");
  source.Add("b");
  memo->Lines().Assign(source);
  EXPECT_EQ(memo->Lines().Text(), "a\r\nb\r\n");
}

TEST_F(EditChange, MemoLinesChangeTheTextInPlace) {
  memo->SetWordWrap(true);
  form->Show();
  Application()->ProcessMessages();
  const std::string paragraph =
      "a paragraph long enough to wrap onto several lines of this narrow memo, and then some more";
  memo->SetText(paragraph);
  int wrapped = memo->Lines().Count();
  ASSERT_GT(wrapped, 1);
  memoChanges = 0;

  memo->Lines().Add("tail");
  EXPECT_EQ(memoChanges, 1);
  // The paragraph stays one paragraph: no line break where it wraps.
  EXPECT_EQ(memo->GetText(), paragraph + "\r\ntail");
  EXPECT_EQ(memo->Lines().Count(), wrapped + 1);
  EXPECT_EQ(memo->Lines().Strings(wrapped), "tail");

  memo->Lines().Insert(wrapped, "middle");
  EXPECT_EQ(memo->GetText(), paragraph + "\r\nmiddle\r\ntail");
  memo->Lines().Put(wrapped, "centre");
  EXPECT_EQ(memo->GetText(), paragraph + "\r\ncentre\r\ntail");
  memo->Lines().Delete(wrapped);
  EXPECT_EQ(memo->GetText(), paragraph + "\r\ntail");
  EXPECT_EQ(memoChanges, 4);
  EXPECT_THROW((void)memo->Lines().Strings(wrapped + 1), EStringListError);
}

TEST_F(EditChange, MemoLinesWithoutAWindowFollowLineBreaks) {
  memo->Lines().Add("one");
  memo->Lines().Add("two");
  EXPECT_EQ(memo->GetText(), "one\r\ntwo\r\n");
  EXPECT_EQ(memo->Lines().Count(), 2);
  memo->Lines().Delete(0);
  EXPECT_EQ(memo->GetText(), "two\r\n");
  memo->Lines().Insert(0, "zero");
  EXPECT_EQ(memo->Lines().Text(), "zero\r\ntwo\r\n");
  EXPECT_EQ(memoChanges, 4);
}

}  // namespace
}  // namespace lark
