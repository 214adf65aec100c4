// Forms on real window controls, driven the way a user drives them.
#include <gtest/gtest.h>

#include "html/attribute_list.h"
#include "html/form_control_image.h"
#include "html/form_control_memo.h"
#include "html/form_controls_select.h"
#include "html/form_controls_simple.h"
#include "html/image_obj.h"
#include "html/url_target.h"
#include "html/html_form.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "platform/core/code_page.h"
#include "platform/graphics/metafile.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/edit.h"
#include "platform/windows/form.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/messages.h"
#include "platform/windows/test_driver.h"
#include "tests/html_layout/layout_fixture.h"

namespace lark {
namespace {

struct Attr {
  Symb Which;
  int Value;
  std::string Text;
};

// A document on a shown panel; the panel outlives the document's controls.
class FormDoc : public ::testing::Test {
 protected:
  void SetUp() override {
    Application();
    panel = std::make_unique<TForm>(nullptr);
    panel->SetClientSize(400, 300);
    panel->Show();
    test_driver::ActivateWindow(panel.get());
    list = std::make_unique<TSectionList>(nullptr, panel.get());
    list->OnSubmitForm = [this](TObject*, const std::string& action, const std::string&, const std::string&,
                                const std::string& method, std::vector<std::string> pairs) {
      submitted.push_back(pairs);
      lastAction = action;
      lastMethod = method;
    };
  }
  void TearDown() override {
    list.reset();
    panel.reset();
    test_driver::Reset();
    Application()->ProcessMessages();
  }
  template <typename T>
  T* Add(std::initializer_list<Attr> attrs, int x = 0, int y = 0) {
    TAttributeList attributes;
    for (const Attr& a : attrs) attributes.AddAttribute(a.Which, a.Value, a.Text);
    T* control = CreateFormControl<T>(*list, current, attributes, codePage);
    control->SetHeightWidth(panel->Canvas());
    control->PlaceControl(x, y);
    return control;
  }
  static void Drain() { Application()->ProcessMessages(); }
  // The panel's width of `sample` and height of a line in `control`'s font.
  TPoint TextSizeIn(TControl& control, const std::string& sample) {
    TCanvas& canvas = panel->Canvas();
    const TFont old = canvas.Font();
    canvas.SetFont(control.Font());
    const TPoint size = Point(canvas.TextWidth(sample), canvas.TextHeight(sample));
    canvas.SetFont(old);
    return size;
  }
  void NewForm(std::initializer_list<Attr> attrs) {
    TAttributeList attributes;
    for (const Attr& a : attrs) attributes.AddAttribute(a.Which, a.Value, a.Text);
    current = &TDocumentForm::Create(*list, &attributes);
  }

  std::unique_ptr<TForm> panel;
  std::unique_ptr<TSectionList> list;
  TDocumentForm* current = nullptr;
  int codePage = CP_UTF8;  // of the controls Add makes
  std::vector<std::vector<std::string>> submitted;
  std::string lastAction, lastMethod;
};

using Pairs = std::vector<std::string>;

TEST_F(FormDoc, PairsOfEveryKindAndWhatGoesOut) {
  auto* hidden = Add<THiddenFormControlObj>({{TypeSy, 0, "hidden"}, {NameSy, 0, "h"}, {ValueSy, 0, "1"}});
  auto* edit = Add<TEditFormControlObj>({{NameSy, 0, "q"}}, 0, 0);
  auto* secret = Add<TEditFormControlObj>({{TypeSy, 0, "password"}}, 0, 30);
  auto* check = Add<TCheckBoxFormControlObj>({{NameSy, 0, "c"}, {OnClickSy, 0, "tick()"}}, 0, 60);
  std::vector<std::string> clicked;
  list->OnObjectClick = [&](TObject*, TFormControlObj* control, const std::string& onClick) {
    if (control == check) clicked.push_back(onClick);
  };
  auto* first = Add<TRadioButtonFormControlObj>({{NameSy, 0, "r"}, {ValueSy, 0, "a"}, {CheckedSy, 0, ""}}, 0, 80);
  auto* second = Add<TRadioButtonFormControlObj>({{NameSy, 0, "R"}, {ValueSy, 0, "b"}}, 20, 80);
  auto* send = Add<TButtonFormControlObj>({{TypeSy, 0, "submit"}, {NameSy, 0, "go"}, {ValueSy, 0, "Send"}}, 0, 110);
  auto* reset = Add<TButtonFormControlObj>({{TypeSy, 0, "reset"}}, 100, 110);
  auto* plain = Add<TButtonFormControlObj>({{TypeSy, 0, "button"}, {NameSy, 0, "b"}}, 200, 110);
  ASSERT_EQ(list->FormList.Count(), 1u);  // controls outside any FORM share one
  EXPECT_EQ(current->Method, "get");
  EXPECT_EQ(hidden->Width(), 0);
  TAttributeList none;  // a second field without NAME, parked above the panel until placed
  EXPECT_EQ(CreateFormControl<TEditFormControlObj>(*list, current, none, codePage)->Edit().Top(), -400);

  edit->Edit().SetFocus();
  test_driver::TypeText("hello");
  Drain();
  secret->Edit().SetFocus();
  test_driver::TypeText("pw");
  Drain();
  test_driver::Click(&check->CheckBox(), 5, 5);
  Drain();
  EXPECT_EQ(clicked, std::vector<std::string>{"tick()"});
  test_driver::Click(second->FocusTarget(), 5, 5);
  Drain();
  EXPECT_FALSE(first->Checked());  // one group, whatever the names' case
  EXPECT_TRUE(second->Checked());
  EXPECT_EQ(current->GetFormSubmission(), (Pairs{"h=1", "q=hello", "=pw", "c=on", "R=b", "="}));

  test_driver::Click(&send->Button(), 5, 5);

  Drain();
  ASSERT_EQ(submitted.size(), 1u);
  EXPECT_EQ(submitted[0], (Pairs{"h=1", "q=hello", "c=on", "R=b", "go=Send"}));  // no "=pw"
  edit->Edit().SetFocus();
  test_driver::PressKey(VK_RETURN);
  Drain();
  ASSERT_EQ(submitted.size(), 2u);
  EXPECT_EQ(submitted[1], (Pairs{"h=1", "q=hello", "c=on", "R=b"}));
  EXPECT_EQ(edit->Edit().GetText(), "hello");  // Enter was swallowed
  test_driver::Click(&plain->Button(), 5, 5);  // neither submits nor resets
  Drain();
  EXPECT_EQ(submitted.size(), 2u);
  EXPECT_EQ(edit->Edit().GetText(), "hello");

  // Reset, then the saved data brings every control back, each field
  // without a name its own value.
  const std::vector<std::vector<std::string>> saved = list->GetFormData();
  test_driver::Click(&reset->Button(), 5, 5);
  Drain();
  EXPECT_EQ(submitted.size(), 2u);
  EXPECT_EQ(current->GetFormSubmission(), (Pairs{"h=1", "q=", "=", "r=a", "="}));
  list->SetFormData(saved);
  EXPECT_EQ(current->GetFormSubmission(), saved[0]);
}

TEST_F(FormDoc, FormAttributesAndRadioArrows) {
  NewForm({{MethodSy, 0, "POSTING"}, {ActionSy, 0, "/x"}});
  EXPECT_EQ(current->Method, "POST");
  std::vector<TRadioButtonFormControlObj*> radios;
  for (int i = 0; i < 3; ++i) radios.push_back(Add<TRadioButtonFormControlObj>({{NameSy, 0, "g"}}, i * 20, 0));
  auto* other = Add<TRadioButtonFormControlObj>({{NameSy, 0, "other"}}, 100, 0);
  radios[0]->FocusTarget()->SetFocus();
  test_driver::PressKey(VK_LEFT);
  Drain();
  EXPECT_TRUE(radios[0]->HasFocus());  // no wrapping
  test_driver::PressKey(VK_RIGHT);
  Drain();
  test_driver::PressKey(VK_DOWN);
  Drain();
  EXPECT_TRUE(radios[2]->HasFocus());
  test_driver::PressKey(VK_RIGHT);
  Drain();
  EXPECT_TRUE(radios[2]->HasFocus());  // the last keeps it; another group is not reached
  EXPECT_FALSE(other->HasFocus());
  test_driver::PressKey(VK_UP);
  Drain();
  EXPECT_TRUE(radios[1]->HasFocus());
}

TEST_F(FormDoc, SizesAreClampedAndStyleSizesCountFromTen) {
  auto* ten = Add<TEditFormControlObj>({{SizeSy, 10, "10"}});
  const int zero = TextSizeIn(ten->Edit(), "0").X;
  EXPECT_EQ(ten->Width(), zero * 10 + 5);
  EXPECT_EQ(Add<TEditFormControlObj>({{SizeSy, 0, "30, 2"}})->EditSize, 30);
  EXPECT_EQ(Add<TEditFormControlObj>({{SizeSy, 0, "x"}})->EditSize, 20);
  auto* huge = Add<TEditFormControlObj>({{SizeSy, 2147483647, "2147483647"}, {MaxLengthSy, -2147483647, "-2147483647"}});
  EXPECT_EQ(huge->Width(), kMaxControlSide);
  EXPECT_GT(Add<TEditFormControlObj>({{SizeSy, -2147483647, "-2147483647"}})->Width(), 0);
  auto* three = Add<TEditFormControlObj>({{MaxLengthSy, 3, "3"}});
  three->Edit().SetFocus();
  test_driver::TypeText("hello");
  Drain();
  EXPECT_EQ(three->Edit().GetText(), "hel");

  auto* styled = Add<TEditFormControlObj>({});
  styled->StyleWidth = 10;
  styled->SetHeightWidth(panel->Canvas());
  EXPECT_EQ(styled->Width(), 10);
  styled->StyleWidth = 9;
  styled->SetHeightWidth(panel->Canvas());
  EXPECT_EQ(styled->Width(), zero * 15 + 5);
}

TEST_F(FormDoc, RemovedControlsAndFlatPictures) {
  auto* check = Add<TCheckBoxFormControlObj>({{NameSy, 0, "c"}, {CheckedSy, 0, ""}});
  auto* edit = Add<TEditFormControlObj>({{NameSy, 0, "e"}, {ValueSy, 0, "text"}});
  TBitmap page(60, 30);
  check->Draw(page.Canvas(), 0, 0);
  int black = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x) black += (page.Pixel(x, y) & 0xFFFFFF) == clBlack;
  EXPECT_GT(black, 4);  // the check mark
  EXPECT_EQ(list->FormControlList.size(), 2u);
  list->ForgetFormControl(edit);  // its paragraph left the document
  EXPECT_EQ(list->FormControlList.size(), 1u);
  EXPECT_EQ(current->GetFormSubmission(), (Pairs{"c=on"}));
}

// A print copy shows flat pictures: each control's text as its window shows
// it (read back from a metafile's text runs), a radio's dot when checked.
TEST_F(FormDoc, FlatPicturesShowWhatTheWindowsShow) {
  auto* edit = Add<TEditFormControlObj>({{ValueSy, 0, "typed"}});
  auto* secret = Add<TEditFormControlObj>({{TypeSy, 0, "password"}, {ValueSy, 0, "abc"}});
  auto* button = Add<TButtonFormControlObj>({{TypeSy, 0, "reset"}});
  auto* memo = Add<TTextAreaFormControlObj>({{RowsSy, 2, "2"}});
  memo->AddText("one\r\ntwo\r\nthree");
  auto* listBox = Add<TListBoxFormControlObj>({{SizeSy, 2, "2"}});
  for (const char* item : {"a1", "b2", "c3"}) listBox->AddStr(item, item, false);
  auto* combo = Add<TComboFormControlObj>({});
  combo->AddStr("red", "r", false);
  combo->AddStr("green", "g", true);
  current->ResetControls();
  current->SetSizes(panel->Canvas());
  auto textOf = [](THtmlFormControl& control) {
    TMetafile page;
    {
      TMetafileCanvas canvas(page, nullptr);
      control.Draw(canvas, 0, 0);
    }
    std::string text;
    for (int i = 0; i < page.RecordCount(); ++i)
      if (const TMetafileRecord record = page.Record(i); record.RecordKind == TMetafileRecord::Kind::Text)
        text += (text.empty() ? "" : "|") + record.Text;
    return text;
  };
  EXPECT_EQ(textOf(*edit), "typed");
  EXPECT_EQ(textOf(*secret), "***");
  EXPECT_EQ(textOf(*button), "Reset");
  EXPECT_EQ(textOf(*memo), "one|two");  // ROWS=2
  EXPECT_EQ(textOf(*listBox), "a1|b2");
  EXPECT_EQ(textOf(*combo), "green");

  auto* radio = Add<TRadioButtonFormControlObj>({{NameSy, 0, "r"}});
  auto blackAtCentre = [&] {
    TBitmap page(14, 14);
    radio->Draw(page.Canvas(), 0, 0);
    return (page.Pixel(7, 7) & 0xFFFFFF) == clBlack;
  };
  EXPECT_FALSE(blackAtCentre());
  radio->SetChecked(true);
  EXPECT_TRUE(blackAtCentre());
}

// While a control has the focus, the windows a paint left out wait shown at
// X -4000, so that Tab still reaches them; when the focus leaves they hide.
TEST_F(FormDoc, UnpaintedControlsStayWithinTabReachWhileOneHasTheFocus) {
  int entered = 0;
  list->OnControlEnter = [&](TObject*, TFormControlObj*) { ++entered; };
  auto* painted = Add<TEditFormControlObj>({});
  auto* unpainted = Add<TEditFormControlObj>({}, 0, 40);
  painted->ShowIt = true;
  unpainted->ShowIt = false;
  TEdit outside(nullptr);
  outside.SetParent(panel.get());
  outside.SetBounds(200, 0, 50, 20);
  outside.Show();

  painted->Edit().SetFocus();
  Drain();
  EXPECT_TRUE(painted->Active);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(painted->Edit().Left(), 0);
  EXPECT_EQ(unpainted->Edit().Left(), -4000);
  EXPECT_TRUE(unpainted->Edit().Visible());
  test_driver::PressKey(VK_TAB);
  Drain();
  EXPECT_TRUE(unpainted->HasFocus());

  outside.SetFocus();
  Drain();
  EXPECT_FALSE(painted->Active || unpainted->Active);
  EXPECT_FALSE(unpainted->Edit().Visible());
  EXPECT_TRUE(painted->Edit().Visible());
}

TEST_F(FormDoc, ListsAndDropDownsSubmitResetAndRestore) {
  auto* multi = Add<TListBoxFormControlObj>({{NameSy, 0, "m"}, {MultipleSy, 0, ""}});
  multi->AddStr("One", "1", true);
  multi->AddStr("Two", "2", false);
  multi->AddStr("Three", "3", true);
  auto* combo = Add<TComboFormControlObj>({{NameSy, 0, "c"}}, 0, 100);
  combo->AddStr("Red", "r", false);
  combo->AddStr("Green", "g", true);
  combo->AddStr("Blue", "b", false);
  auto* empty = Add<TListBoxFormControlObj>({{NameSy, 0, "e"}, {MultipleSy, 0, ""}}, 0, 200);
  current->ResetControls();
  current->SetSizes(panel->Canvas());
  EXPECT_EQ(current->GetFormSubmission(), (Pairs{"m=1", "m=3", "c=g"}));
  const int row = TextSizeIn(empty->ListBox(), "A").Y;
  EXPECT_EQ(empty->ListBox().ClientHeight(), row);  // no options: one row
  EXPECT_EQ(multi->ListBox().ClientHeight(), 3 * row);

  list->SetFormData({{"M=2", "c=B", "junk"}});
  EXPECT_EQ(current->GetFormSubmission(), (Pairs{"m=2", "c=b"}));
  current->ResetControls();
  EXPECT_EQ(current->GetFormSubmission(), (Pairs{"m=1", "m=3", "c=g"}));
}

// 100,000 options go to the window at once and come back through the
// index by value: built, reset and restored in linear work.
TEST_F(FormDoc, AHundredThousandOptions) {
  auto* big = Add<TListBoxFormControlObj>({{NameSy, 0, "big"}, {MultipleSy, 0, ""}});
  constexpr int kCount = 100000;
  for (int i = 0; i < kCount; ++i) big->AddStr("item " + std::to_string(i), std::to_string(i), i % 2 == 0);
  current->ResetControls();
  current->SetSizes(panel->Canvas());
  EXPECT_EQ(big->ListBox().Items().Count(), kCount);
  EXPECT_EQ(big->ListBox().ClientHeight(), 8 * TextSizeIn(big->ListBox(), "A").Y);  // 8 rows at most
  const std::vector<std::vector<std::string>> saved = list->GetFormData();
  ASSERT_EQ(saved[0].size(), static_cast<std::size_t>(kCount / 2));
  list->SetFormData({{"big=1", "big=99999"}});
  EXPECT_EQ(current->GetFormSubmission(), (Pairs{"big=1", "big=99999"}));
  list->SetFormData(saved);
  EXPECT_EQ(current->GetFormSubmission(), saved[0]);
}

TEST_F(FormDoc, TextAreasSendHardWrappedLinesJoinedByCrLf) {
  const std::string words = "alpha beta gamma delta epsilon zeta eta theta";
  auto* hard = Add<TTextAreaFormControlObj>({{NameSy, 0, "h"}, {ColsSy, 10, "10"}, {WrapSy, 0, "HARD"}});
  auto* soft = Add<TTextAreaFormControlObj>({{NameSy, 0, "s"}, {ColsSy, 10, "10"}, {RowsSy, 3, "3"}}, 0, 150);
  EXPECT_EQ(soft->Memo().ClientWidth(), 10 * TextSizeIn(soft->Memo(), "s").X + 5);
  EXPECT_EQ(soft->Memo().ClientHeight(), 3 * TextSizeIn(soft->Memo(), "A").Y + 5);
  auto* huge = Add<TTextAreaFormControlObj>({{ColsSy, 2147483647, "x"}, {RowsSy, -2147483647, "y"}}, 300, 0);
  EXPECT_EQ(huge->Width(), kMaxControlSide + (huge->Width() - huge->Memo().ClientWidth()));
  EXPECT_EQ(huge->Rows, 1);
  hard->AddText(words);
  soft->AddText(words);
  current->ResetControls();
  const std::vector<std::string> pairs = current->GetFormSubmission();
  ASSERT_EQ(pairs.size(), 3u);
  EXPECT_NE(pairs[0].find("\r\n"), std::string::npos) << pairs[0];
  std::string joined = pairs[0];
  for (std::size_t at; (at = joined.find("\r\n")) != std::string::npos;) joined.erase(at, 2);
  EXPECT_EQ(joined, "h=" + words);  // a wrapped line keeps its blank
  EXPECT_EQ(pairs[1], "s=" + words);  // soft wrap: the text as it is

  soft->Memo().SetFocus();
  test_driver::TypeText("!");
  Drain();
  const std::vector<std::vector<std::string>> saved = list->GetFormData();
  current->ResetControls();
  list->SetFormData(saved);
  EXPECT_EQ(current->GetFormSubmission(), saved[0]);
  EXPECT_NE(soft->Memo().GetText(), words);
}

// Widgets hold Unicode; values go in decoded with the element's code page and
// the submission gives back that code page's bytes, typed text included.
TEST_F(FormDoc, ValuesTravelInTheElementsCodePage) {
  struct Case {
    int CodePage;
    std::string Greeting, Word, Typed;  // "Привет", "мир", "да" in that code page
  };
  const Case cases[] = {
      {CP_UTF8, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xD0\xBC\xD0\xB8\xD1\x80",
       "\xD0\xB4\xD0\xB0"},
      {CodePageOfCharSet(RUSSIAN_CHARSET, CP_UTF8), "\xCF\xF0\xE8\xE2\xE5\xF2", "\xEC\xE8\xF0", "\xE4\xE0"},
  };
  const std::string greeting = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  const std::string word = "\xD0\xBC\xD0\xB8\xD1\x80", typed = "\xD0\xB4\xD0\xB0";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.CodePage);
    current = nullptr;
    codePage = c.CodePage;
    auto* edit = Add<TEditFormControlObj>({{NameSy, 0, "e"}, {ValueSy, 0, c.Greeting}});
    auto* memo = Add<TTextAreaFormControlObj>({{NameSy, 0, "m"}}, 0, 40);
    memo->AddText(c.Word);
    auto* select = Add<TComboFormControlObj>({{NameSy, 0, "s"}}, 0, 200);
    select->AddStr(c.Greeting, c.Word, true);
    current->ResetControls();
    EXPECT_EQ(edit->Edit().GetText(), greeting);
    EXPECT_EQ(memo->Memo().GetText(), word);
    EXPECT_EQ(select->Combo().GetText(), greeting);

    edit->Edit().SetFocus();
    test_driver::TypeText(typed);
    memo->Memo().SetFocus();
    test_driver::TypeText(typed);
    Drain();
    const Pairs pairs = current->GetFormSubmission();
    EXPECT_EQ(pairs, (Pairs{"e=" + c.Greeting + c.Typed, "m=" + c.Typed + c.Word, "s=" + c.Word}));
    const std::vector<std::vector<std::string>> saved = list->GetFormData();
    current->ResetControls();
    list->SetFormData(saved);  // saved bytes go back in decoded
    EXPECT_EQ(current->GetFormSubmission(), pairs);
  }
}

TEST_F(FormDoc, ImageInputsSubmitTheirClickPointOnce) {
  auto* named = Add<TImageFormControlObj>({{NameSy, 0, "pic"}, {WidthSy, 20, "20"}, {HeightSy, 10, "10"}});
  auto* unnamed = Add<TImageFormControlObj>({{WidthSy, 20, "20"}, {HeightSy, 10, "10"}});
  auto section = std::make_unique<TSection>(list.get(), TParagraphStyle{}, testing::Font(12), "");
  section->AddObject(named->TakeImage(), 0);
  section->AddObject(unnamed->TakeImage(), 1);
  list->Add(std::move(section));
  TBitmap surface(300, 100);
  int scrollWidth = 0, curs = 0;
  list->DoLogic(surface.Canvas(), 0, 300, 100, scrollWidth, curs);
  list->Draw(surface.Canvas(), Rect(0, 0, 300, 100), 300, 0, 0, 0, 0);

  auto clickAt = [&](TImageObj& image, int x, int y) {
    std::unique_ptr<TUrlTarget> url;
    TFormControlObj* control = nullptr;
    std::string title;
    list->GetURL(surface.Canvas(), image.DrawXX + x, image.DrawYY + y, url, control, title);
    ASSERT_EQ(control, image.MyFormControl);
    static_cast<TImageFormControlObj*>(control)->ImageClick();
  };
  clickAt(*named->MyImage, 3, 4);
  clickAt(*unnamed->MyImage, 5, 6);
  ASSERT_EQ(submitted.size(), 2u);
  EXPECT_EQ(submitted[0], (Pairs{"pic.x=3", "pic.y=4"}));
  EXPECT_EQ(submitted[1], (Pairs{"x=5", "y=6"}));  // no name, yet sent
  current->SubmitTheForm("");
  ASSERT_EQ(submitted.size(), 3u);
  EXPECT_EQ(submitted[2], Pairs{});  // no new click, no point

  // The paragraphs go first (the forms stay): the controls forget their pictures.
  list->TCell::Clear();
  EXPECT_EQ(named->MyImage, nullptr);
}

TEST_F(FormDoc, AnImageInputFreedFirstIsForgottenByItsPicture) {
  auto* input = Add<TImageFormControlObj>({{NameSy, 0, "pic"}});
  std::unique_ptr<TImageObj> image = input->TakeImage();
  list->FormList.Clear();
  EXPECT_EQ(image->MyFormControl, nullptr);
}

}  // namespace
}  // namespace lark
