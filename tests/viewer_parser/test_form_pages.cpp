// Forms read from pages: each INPUT, SELECT and TEXTAREA is its control in
// its form, standing in the text where its tag was.
#include <gtest/gtest.h>

#include <map>

#include "html/form_control_image.h"
#include "html/form_control_memo.h"
#include "html/form_controls_select.h"
#include "html/form_controls_simple.h"
#include "html/html_form.h"
#include "html/image_obj.h"
#include "parsed_page.h"
#include "platform/windows/application.h"
#include "platform/windows/edit.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/win_control.h"
#include "tests/support/repeated_text.h"
#include "viewer/box_dump.h"

namespace lark {
namespace {

using test::Repeat;
using testing::ParsedPage;
using Pairs = std::vector<std::string>;

TDocumentForm& FormAt(const ParsedPage& page, std::size_t index) {
  return static_cast<TDocumentForm&>(*page.List.FormList[index]);
}

// The controls of a page in document order.
template <typename T>
std::vector<T*> ControlsOf(const ParsedPage& page) {
  std::vector<T*> found;
  for (std::size_t i = 0; i < page.List.FormControlList.size(); ++i)
    if (auto* control = dynamic_cast<T*>(page.List.FormControlList[i])) found.push_back(control);
  return found;
}

class FormPages : public ::testing::Test {
 protected:
  void SetUp() override { Application(); }
};

TEST_F(FormPages, EveryInputTypeIsItsControlInItsForm) {
  ParsedPage page(
      "<form method=POSTAL action='/go?a=1' target=_top enctype=multipart/form-data>"
      "<input name=t value='a b'> <input type=PASSWORD name=p size=3 maxlength=8>"
      "<input type=hidden name=h value='x&amp;y=z'> <input type=checkbox name=c checked>"
      "<input type=radio name=r value=1><input type=radio name=r value=2 checked>"
      "<input type=submit name=s value=Go><input type=reset><input type=button value=B>"
      "<input type=image name=i src=pic.gif width=40 height=30><input type=email name=e value=m>"
      "</form>text");
  ASSERT_EQ(page.List.FormList.Count(), 1u);
  const TDocumentForm& form = FormAt(page, 0);
  EXPECT_EQ(form.Method, "POST");  // cut to four characters
  EXPECT_EQ(form.Action, "/go?a=1");
  EXPECT_EQ(form.Target, "_top");
  EXPECT_EQ(form.EncType, "multipart/form-data");
  EXPECT_EQ(form.NonHiddenCount, 10);

  const auto edits = ControlsOf<TEditFormControlObj>(page);
  ASSERT_EQ(edits.size(), 3u);  // text, password, and an unknown type as text
  EXPECT_EQ(edits[0]->Edit().GetText(), "a b");
  EXPECT_EQ(edits[1]->EditSize, 3);
  EXPECT_EQ(edits[2]->FName, "e");
  const auto buttons = ControlsOf<TButtonFormControlObj>(page);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0]->Which, TButtonFormControlObj::Submit);
  EXPECT_EQ(buttons[1]->Which, TButtonFormControlObj::Reset);
  EXPECT_EQ(buttons[2]->Which, TButtonFormControlObj::Plain);
  const auto images = ControlsOf<TImageFormControlObj>(page);
  ASSERT_EQ(images.size(), 1u);
  ASSERT_NE(images[0]->MyImage, nullptr);

  // Each shown control stands in the form's paragraph at its place; the
  // hidden one stands nowhere, and the picture stands as an image.
  const std::vector<TSection*> sections = page.Sections();
  ASSERT_FALSE(sections.empty());
  EXPECT_EQ(sections[0]->FormControls.size(), 9u);
  ASSERT_EQ(sections[0]->Images.Count(), 1u);
  EXPECT_EQ(sections[0]->Images[0], images[0]->MyImage);
  // What the form holds at first: the checked radio and box, the hidden
  // value with its "&" and "=".
  EXPECT_EQ(FormAt(page, 0).GetFormSubmission(), (Pairs{"t=a b", "p=", "h=x&y=z", "c=on", "r=2", "e=m"}));
  page.LayoutAndPaint(800);
  EXPECT_EQ(images[0]->MyImage->ImageWidth, 40);

  // The box dump reaches the controls by NAME: each window where it was
  // placed, the hidden input not at all.
  std::map<std::string, TRect> boxes;
  for (const TBoxEntry& entry : DumpBoxes(page.List)) boxes[entry.ID] = entry.Box;
  EXPECT_EQ(boxes.count("h"), 0u);
  ASSERT_EQ(boxes.count("t") + boxes.count("p"), 2u);
  EXPECT_EQ(boxes["t"].Right - boxes["t"].Left, edits[0]->Width());
  EXPECT_EQ(boxes["t"].Top, edits[0]->GetControl()->Top());
  EXPECT_LT(boxes["t"].Right, boxes["p"].Left);  // in the line, one after the other
}

TEST_F(FormPages, FormsEndAndLooseControlsShareOneForm) {
  ParsedPage page(
      "<input name=a><form action=one><input name=b></form><select name=c><option>x</select>"
      "<pre>line <form action=two><input name=d></form> <textarea name=e>t</textarea></pre>"
      "<ul><li><input name=f></ul><h2><input type=checkbox name=g checked></h2><p><textarea name=h></textarea>");
  ASSERT_EQ(page.List.FormList.Count(), 3u);
  EXPECT_EQ(FormAt(page, 0).GetFormSubmission(), (Pairs{"a=", "c=x", "e=t", "f=", "g=on", "h="}));
  EXPECT_EQ(FormAt(page, 1).Action, "one");
  EXPECT_EQ(FormAt(page, 1).GetFormSubmission(), Pairs{"b="});
  EXPECT_EQ(FormAt(page, 2).Action, "two");
  EXPECT_EQ(FormAt(page, 2).GetFormSubmission(), Pairs{"d="});
  page.LayoutAndPaint(800);
}

// A FORM between TABLE and its first row, as old pages put it, still holds
// the controls of the cells; a SELECT left open ends with its cell.
TEST_F(FormPages, FormsAroundTableRowsHoldTheirCellsControls) {
  ParsedPage page("<table><form action=x><tr><td><input name=a><select name=s><option>o</td><td>"
                  "<textarea name=t>z</textarea></td></tr></form></table><input name=b>"
                  "<form action=y><table><tr><td><input name=c></table></form>");
  ASSERT_EQ(page.List.FormList.Count(), 3u);
  EXPECT_EQ(FormAt(page, 0).GetFormSubmission(), (Pairs{"a=", "s=o", "t=z"}));
  EXPECT_EQ(FormAt(page, 1).GetFormSubmission(), Pairs{"b="});
  EXPECT_EQ(FormAt(page, 2).GetFormSubmission(), Pairs{"c="});
  page.LayoutAndPaint(800);
}

TEST_F(FormPages, SelectsTakeTheirOptionsAndIgnoreTextOutsideThem) {
  ParsedPage page(
      "<select name=one>stray<option value=v1>  First&nbsp;one </option>between<option selected>Second"
      "<option>Third</select>"
      "<select name=many multiple><option selected>a<option>b<option selected value=C>c</select>"
      "<select name=sized size=3><option>p<option>q</select>"
      "<select name=long><option>" + std::string(300, 'w') + "</select>after");
  const auto combos = ControlsOf<TComboFormControlObj>(page);
  const auto lists = ControlsOf<TListBoxFormControlObj>(page);
  ASSERT_EQ(combos.size(), 2u);
  ASSERT_EQ(lists.size(), 2u);
  EXPECT_EQ(combos[0]->Combo().Items().Count(), 3);
  EXPECT_EQ(combos[0]->Combo().Items().Strings(0), "First one");
  EXPECT_EQ(lists[1]->OptionCount(), 2);
  EXPECT_EQ(FormAt(page, 0).GetFormSubmission(),
            (Pairs{"one=Second", "many=a", "many=C", "sized=p", "long=" + std::string(255, 'w')}));
  ASSERT_NE(page.SectionWith("after"), nullptr);
}

TEST_F(FormPages, TextAreasReadLinesAndReferencesUpToTheirEndTag) {
  ParsedPage page(
      "<textarea name=a>\r\nfirst  line &amp; &lt;b&gt;\n<b>not a tag</b> &#65;&nbsp;\r\n\r\nlast</TEXTAREA >"
      "<textarea name=b>\n\nkept</textareax></textarea>"
      "<textarea name=c><!-- kept --></textarea></textarea>after");
  const auto memos = ControlsOf<TTextAreaFormControlObj>(page);
  ASSERT_EQ(memos.size(), 3u);
  // The line break after the start tag is not text; every other one is CR LF.
  EXPECT_EQ(memos[0]->TheText, "first  line & <b>\r\n<b>not a tag</b> A\xC2\xA0\r\n\r\nlast");
  EXPECT_EQ(memos[1]->TheText, "\r\nkept</textareax>");
  EXPECT_EQ(memos[2]->TheText, "<!-- kept -->");
  const TSection* section = page.SectionWith("after");
  ASSERT_NE(section, nullptr);  // the stray end tag is skipped
  EXPECT_EQ(section->FormControls.size(), 3u);
  EXPECT_EQ(section->Text().size(), 3u + 5u);
}

// Unterminated constructs end at the end of the page with what they read.
TEST(HostileForms, UnterminatedSelectOptionAndTextArea) {
  Application();
  struct Case {
    const char* Html;
    Pairs Submission;
  };
  const Case cases[] = {
      {"<select name=s><option>one<option value=2>two", {"s=one"}},
      {"<select name=s><option selected>open option <b>text", {"s=open option text"}},
      {"<select name=s><textarea name=t>x</textarea><input name=i>", {"i="}},  // an empty list sends nothing
      {"<textarea name=t>never ends\nsecond <select>", {"t=never ends\r\nsecond <select>"}},
      {"<textarea name=t>&#", {"t=&#"}},
      {"<form><textarea name=t>a</textarea", {"t=a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Html);
    ParsedPage page(c.Html);
    ASSERT_EQ(page.List.FormList.Count(), 1u);
    EXPECT_EQ(FormAt(page, 0).GetFormSubmission(), c.Submission);
    page.LayoutAndPaint(800);
  }
}

// Work grows with the page, shown by bench_model_scale's form shapes; here
// every control and option arrives and lays out.
TEST(HostileForms, AHundredThousandOptionsOrInputs) {
  Application();
  constexpr int kCount = 100'000;
  ParsedPage options("<select name=s>" + Repeat("<option>x", kCount - 1) + "<option selected>last</select>");
  const auto combos = ControlsOf<TComboFormControlObj>(options);
  ASSERT_EQ(combos.size(), 1u);
  EXPECT_EQ(combos[0]->Combo().Items().Count(), kCount);
  EXPECT_EQ(FormAt(options, 0).GetFormSubmission(), Pairs{"s=last"});
  options.LayoutAndPaint(800);

  ParsedPage inputs(Repeat("<input name=a value=b>", kCount));
  ASSERT_EQ(inputs.List.FormList.Count(), 1u);
  EXPECT_EQ(inputs.List.FormControlList.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(FormAt(inputs, 0).GetFormSubmission().size(), static_cast<std::size_t>(kCount));
  inputs.LayoutAndPaint(800);
}

}  // namespace
}  // namespace lark
