// Hidden inputs, edits, buttons, check boxes and radio buttons.
#include "html/form_controls_simple.h"

#include <algorithm>
#include <cstdlib>

#include "html/attribute_list.h"
#include "html/document_utils.h"
#include "html/html_form.h"
#include "html/section_list.h"
#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/edit.h"
#include "platform/windows/messages.h"
#include "platform/windows/panel.h"

namespace lark {

// A check box and a radio button keep the arrow keys: a radio group moves
// its focus with them.
template <typename Button>
class TArrowKeysButton : public Button {
 public:
  using Button::Button;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_GETDLGCODE) {
      message.Result = DLGC_WANTARROWS;
      return;
    }
    Button::WndProc(message);
  }
};

class TFormCheckBox : public TArrowKeysButton<TCheckBox> {
 public:
  using TArrowKeysButton::TArrowKeysButton;
};

class TFormRadioButton : public TArrowKeysButton<TRadioButton> {
 public:
  using TArrowKeysButton::TArrowKeysButton;
};

namespace {

constexpr int kEditWidth = 120, kEditHeight = 20;
constexpr int kBoxSide = 13;
constexpr int kRadioHeight = 14;
constexpr int kDefaultSizeText = 20;

std::string Pair(const std::string& name, const std::string& value) { return name + "=" + value; }

// SIZE written as "30, 2" or "30 2": the number before the earlier of the
// blank and the comma; 20 when nothing can be read.
int EditSizeFromText(std::string text) {
  const auto blank = text.find(' '), comma = text.find(',');
  if (blank != std::string::npos && comma != std::string::npos) {
    const auto cut = std::min(blank, comma);
    if (cut > 0) text.resize(cut);
  }
  char* end = nullptr;
  const long long number = std::strtoll(text.c_str(), &end, 10);
  if (end == text.c_str() || number < 1) return kDefaultSizeText;
  return static_cast<int>(std::min<long long>(number, kMaxControlChars));
}

}  // namespace

bool THiddenFormControlObj::GetSubmission(int index, std::string& pair) {
  if (index != 0) return false;
  pair = Pair(FName, Value);
  return true;
}

void THiddenFormControlObj::SetData(int, const std::string& value) { Value = value; }

TEditFormControlObj::TEditFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage)
    : THtmlFormControl(masterList, attributes, codePage) {
  auto edit = std::make_unique<TEdit>(nullptr);
  edit->SetBounds(0, 0, kEditWidth, kEditHeight);
  if (const TAttribute* size = attributes.Find(SizeSy))
    EditSize = size->Value >= 1 ? std::min(size->Value, kMaxControlChars) : EditSizeFromText(size->Name);
  if (const TAttribute* maxLength = attributes.Find(MaxLengthSy)) edit->SetMaxLength(std::max(0, maxLength->Value));
  if (const TAttribute* type = attributes.Find(TypeSy); type && SameText(type->Name, "password"))
    edit->SetPasswordChar('*');
  edit->SetText(ToWidget(Value));
  WireKeyPress(*edit);
  SetControl(std::move(edit));
}

TEdit& TEditFormControlObj::Edit() const { return static_cast<TEdit&>(*GetControl()); }

void TEditFormControlObj::SetHeightWidth(TCanvas& canvas) {
  TControlFont font(canvas, Edit());
  const int width = StyleSize(StyleWidth) ? StyleWidth
                                          : ClampSide(std::int64_t{canvas.TextWidth("0")} * EditSize + 5);
  const int height = StyleSize(StyleHeight) ? std::max(Edit().Height(), StyleHeight) : Edit().Height();
  Edit().SetBounds(Edit().Left(), Edit().Top(), width, height);
}

void TEditFormControlObj::ResetToValue() { Edit().SetText(ToWidget(Value)); }

bool TEditFormControlObj::GetSubmission(int index, std::string& pair) {
  if (index != 0) return false;
  pair = Pair(FName, FromWidget(Edit().GetText()));
  return true;
}

void TEditFormControlObj::SetData(int, const std::string& value) { Edit().SetText(ToWidget(value)); }

void TEditFormControlObj::Draw(TCanvas& canvas, int x1, int y1) {
  const TRect box = Rect(x1, y1, x1 + Width(), y1 + Height());
  DrawControlFrame(canvas, box.Left, box.Top, box.Right, box.Bottom, false, true);
  std::string text = Edit().GetText();
  if (Edit().PasswordChar()) text.assign(DecodeToUtf32(text, CP_UTF8).size(), Edit().PasswordChar());
  TControlFont font(canvas, Edit());
  DrawControlText(canvas, box, text, false);
}

TButtonFormControlObj::TButtonFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage)
    : THtmlFormControl(masterList, attributes, codePage) {
  const TAttribute* type = attributes.Find(TypeSy);
  const std::string kind = type ? LowerCase(type->Name) : std::string();
  Which = kind == "submit" ? Submit : kind == "reset" ? Reset : Plain;
  auto button = std::make_unique<TButton>(nullptr);
  const char* caption = Which == Submit ? "Submit" : Which == Reset ? "Reset" : "Button";
  button->SetCaption(attributes.Find(ValueSy) ? ToWidget(Value) : caption);
  button->OnClick = [this](TObject*) { Clicked(); };
  SetControl(std::move(button));
}

TButton& TButtonFormControlObj::Button() const { return static_cast<TButton&>(*GetControl()); }

void TButtonFormControlObj::Clicked() {
  ObjectClick();
  auto* form = dynamic_cast<TDocumentForm*>(MyForm);
  if (!form) return;
  if (Which == Submit) form->SubmitTheForm(FName.empty() ? std::string() : Pair(FName, Value));
  else if (Which == Reset) form->ResetControls();
}

void TButtonFormControlObj::SetHeightWidth(TCanvas& canvas) {
  TControlFont font(canvas, Button());
  const int letter = canvas.TextHeight("A");
  const int height = StyleSize(StyleHeight) && letter <= StyleHeight ? StyleHeight : letter + 8;
  const int width = StyleSize(StyleWidth) ? StyleWidth : ClampSide(std::int64_t{canvas.TextWidth(Button().Caption())} + 20);
  Button().SetBounds(Button().Left(), Button().Top(), width, height);
}

void TButtonFormControlObj::Draw(TCanvas& canvas, int x1, int y1) {
  const TRect box = Rect(x1, y1, x1 + Width(), y1 + Height());
  DrawControlFrame(canvas, box.Left, box.Top, box.Right, box.Bottom, true, true);
  TControlFont font(canvas, Button());
  DrawControlText(canvas, box, Button().Caption(), true);
}

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList& masterList, const TAttributeList& attributes,
                                                 int codePage)
    : THtmlFormControl(masterList, attributes, codePage) {
  if (!attributes.Find(ValueSy)) Value = "on";
  FormAlign = aBottom;
  IsChecked = attributes.Find(CheckedSy) != nullptr;
  auto box = std::make_unique<TFormCheckBox>(nullptr);
  box->SetBounds(0, 0, kBoxSide, kBoxSide);
  box->SetChecked(IsChecked);
  box->OnClick = [this](TObject*) { ObjectClick(); };
  SetControl(std::move(box));
}

TCheckBox& TCheckBoxFormControlObj::CheckBox() const { return static_cast<TCheckBox&>(*GetControl()); }
void TCheckBoxFormControlObj::ResetToValue() { CheckBox().SetChecked(IsChecked); }

bool TCheckBoxFormControlObj::GetSubmission(int index, std::string& pair) {
  if (index != 0 || !CheckBox().Checked()) return false;
  pair = Pair(FName, Value);
  return true;
}

void TCheckBoxFormControlObj::SetDataInit() { CheckBox().SetChecked(false); }

void TCheckBoxFormControlObj::SetData(int, const std::string& value) {
  if (SameText(value, Value)) CheckBox().SetChecked(true);
}

void TCheckBoxFormControlObj::Draw(TCanvas& canvas, int x1, int y1) {
  DrawControlFrame(canvas, x1, y1, x1 + Width(), y1 + Height(), false, true);
  if (!CheckBox().Checked()) return;
  const TPen oldPen = canvas.Pen();
  canvas.Pen().Color = clBlack;
  canvas.Pen().Width = 1;
  const int m = y1 + Height() / 2;
  canvas.MoveTo(x1 + 3, m);
  canvas.LineTo(x1 + 5, m + 2);
  canvas.LineTo(x1 + 9, m - 2);
  canvas.SetPen(oldPen);
}

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList& masterList, const TAttributeList& attributes,
                                                       int codePage)
    : THtmlFormControl(masterList, attributes, codePage) {
  FormAlign = aBottom;
  IsChecked = attributes.Find(CheckedSy) != nullptr;
  auto panel = std::make_unique<TPanel>(nullptr);
  panel->SetBevelOuter(TBevelCut::bvNone);
  panel->SetBevelInner(TBevelCut::bvNone);
  panel->SetBounds(0, 0, kBoxSide, kRadioHeight);
  button_ = new TFormRadioButton(nullptr);  // the panel frees it
  button_->SetParent(panel.get());
  button_->SetBounds(0, 0, kBoxSide, kRadioHeight);
  button_->SetChecked(IsChecked);
  button_->OnClick = [this](TObject*) { Clicked(); };
  WireFocus(*button_);
  WireKeyDown(*button_);
  SetControl(std::move(panel));
}

bool TRadioButtonFormControlObj::Checked() const { return button_->Checked(); }
void TRadioButtonFormControlObj::SetChecked(bool checked) { button_->SetChecked(checked); }
TWinControl* TRadioButtonFormControlObj::FocusTarget() const { return button_; }
bool TRadioButtonFormControlObj::HasFocus() const { return button_->Focused(); }
void TRadioButtonFormControlObj::ResetToValue() { SetChecked(IsChecked); }

void TRadioButtonFormControlObj::Clicked() {
  if (auto* form = dynamic_cast<TDocumentForm*>(MyForm)) form->DoRadios(*this);
  ObjectClick();
}

bool TRadioButtonFormControlObj::GetSubmission(int index, std::string& pair) {
  if (index != 0 || !Checked()) return false;
  pair = Pair(FName, Value);
  return true;
}

void TRadioButtonFormControlObj::SetData(int, const std::string& value) { SetChecked(SameText(value, Value)); }

void TRadioButtonFormControlObj::Draw(TCanvas& canvas, int x1, int y1) {
  const bool mono = IsMonochromeDevice(canvas);
  const TPen oldPen = canvas.Pen();
  const TBrush oldBrush = canvas.Brush();
  canvas.Brush().Color = clWhite;
  canvas.Brush().Style = bsSolid;
  canvas.Pen().Color = clWhite;
  canvas.Ellipse(x1, y1, x1 + 14, y1 + 14);
  canvas.Pen().Width = mono ? 1 : 2;
  canvas.Pen().Color = mono ? clBlack : clBtnShadow;
  canvas.Arc(x1, y1, x1 + 14, y1 + 14, x1 + 14, y1, x1, y1 + 14);
  canvas.Pen().Color = mono ? clBlack : TColor{0xC0C0C0};
  canvas.Arc(x1, y1, x1 + 14, y1 + 14, x1, y1 + 14, x1 + 14, y1);
  if (Checked()) {
    canvas.Pen().Width = 1;
    canvas.Pen().Color = clBlack;
    canvas.Brush().Color = clBlack;
    canvas.Ellipse(x1 + 5, y1 + 5, x1 + 9, y1 + 9);
  }
  canvas.SetPen(oldPen);
  canvas.SetBrush(oldBrush);
}

}  // namespace lark
