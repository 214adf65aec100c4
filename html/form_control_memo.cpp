// The TEXTAREA control.
#include "html/form_control_memo.h"

#include <algorithm>

#include "html/attribute_list.h"
#include "html/document_utils.h"
#include "platform/core/string_routines.h"
#include "platform/windows/edit.h"

namespace lark {

namespace {

int Characters(const TAttributeList& attributes, Symb which, int fallback) {
  const TAttribute* attribute = attributes.Find(which);
  return attribute ? std::clamp(attribute->Value, 1, kMaxControlChars) : fallback;
}

}  // namespace

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList& masterList, const TAttributeList& attributes,
                                                 int codePage)
    : THtmlFormControl(masterList, attributes, codePage) {
  Rows = Characters(attributes, RowsSy, Rows);
  Cols = Characters(attributes, ColsSy, Cols);
  if (const TAttribute* wrap = attributes.Find(WrapSy)) {
    if (SameText(wrap->Name, "off")) Wrap = WrapOff;
    else if (SameText(wrap->Name, "hard")) Wrap = WrapHard;
  }
  auto memo = std::make_unique<TMemo>(nullptr);
  memo->SetScrollBars(Wrap == WrapOff ? TScrollStyle::ssBoth : TScrollStyle::ssVertical);
  memo->SetWordWrap(Wrap != WrapOff);
  memo->OnClick = [this](TObject*) { ObjectClick(); };
  SetControl(std::move(memo));
}

TMemo& TTextAreaFormControlObj::Memo() const { return static_cast<TMemo&>(*GetControl()); }

void TTextAreaFormControlObj::SetHeightWidth(TCanvas& canvas) {
  TControlFont font(canvas, Memo());
  Memo().SetClientHeight(StyleSize(StyleHeight) ? StyleHeight
                                                : ClampSide(std::int64_t{canvas.TextHeight("A")} * Rows + 5));
  Memo().SetClientWidth(StyleSize(StyleWidth) ? StyleWidth : ClampSide(std::int64_t{canvas.TextWidth("s")} * Cols + 5));
}

void TTextAreaFormControlObj::ResetToValue() {
  Memo().SetText(ToWidget(TheText));
  Memo().SetSelStart(0);
  Memo().SetSelLength(0);
}

bool TTextAreaFormControlObj::GetSubmission(int index, std::string& pair) {
  if (index != 0) return false;
  pair = FName + "=";
  if (Wrap != WrapHard) {
    pair += FromWidget(Memo().GetText());
    return true;
  }
  // Hard wrap sends the lines as the memo shows them.
  const std::vector<std::string> lines = Memo().ShownLines();
  for (std::size_t i = 0; i < lines.size(); ++i) pair.append(i ? "\r\n" : "").append(FromWidget(lines[i]));
  return true;
}

void TTextAreaFormControlObj::SetData(int, const std::string& value) { Memo().SetText(ToWidget(value)); }

void TTextAreaFormControlObj::Draw(TCanvas& canvas, int x1, int y1) {
  const TRect box = Rect(x1, y1, x1 + Width(), y1 + Height());
  DrawControlFrame(canvas, box.Left, box.Top, box.Right, box.Bottom, false, true);
  TControlFont font(canvas, Memo());
  const int lineHeight = canvas.TextHeight("A");
  const std::vector<std::string> lines = Memo().ShownLines();
  const int count = std::min(static_cast<int>(lines.size()), Rows);
  for (int i = 0, y = y1 + 4; i < count && y < box.Bottom - 4; ++i, y += lineHeight)
    canvas.TextRect(Rect(x1 + 4, y, box.Right - 4, std::min(y + lineHeight, box.Bottom - 4)), x1 + 4, y,
                    lines[static_cast<std::size_t>(i)]);
}

}  // namespace lark
