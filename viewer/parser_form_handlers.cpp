// The form handlers of the parser: FORM's form object, INPUT, SELECT with
// its options and TEXTAREA with its text.
#include <algorithm>
#include <optional>

#include "html/attribute_list.h"
#include "html/document_utils.h"
#include "html/form_control_image.h"
#include "html/form_control_memo.h"
#include "html/form_controls_select.h"
#include "html/form_controls_simple.h"
#include "html/html_form.h"
#include "html/image_obj.h"
#include "html/parser_state.h"
#include "html/section_list.h"
#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"
#include "viewer/html_parser_state.h"
#include "viewer/tag_symbols.h"

namespace lark {

namespace {

// An OPTION's text is cut here, as the list shows one line of it.
constexpr std::size_t kMaxOptionText = 255;

// The symbols that end a SELECT whose end tag is missing.
const TSymbolSet kSelectEnds =
    Symbols({SelectEndSy, PSy, InputSy, TableSy, TableEndSy, TDSy, TDEndSy, TRSy, TREndSy, THSy, THEndSy, CaptionSy,
             CaptionEndSy, EndOfFileSymbol});

bool IsListBox(const TAttributeList& attributes) {
  const TAttribute* size = attributes.Find(SizeSy);
  return attributes.Find(MultipleSy) || (size && size->Value > 1);
}

// The option in progress inside a SELECT.
struct PendingOption {
  std::string Text;
  std::string Value;
  bool HasValue = false;
  bool Selected = false;
};

}  // namespace

void THtmlParser::OpenForm() { form_ = &TDocumentForm::Create(list_, &Attributes()); }

void THtmlParser::EndForm() { form_ = nullptr; }

// Controls outside any FORM all join one form without attributes.
TDocumentForm*& THtmlParser::FormForControl() { return form_ ? form_ : looseForm_; }

void THtmlParser::ResetForms() {
  for (const auto& form : list_.FormList)
    if (auto* documentForm = dynamic_cast<TDocumentForm*>(form.get())) documentForm->ResetControls();
}

THtmlFormControl* THtmlParser::AddFormControl(Symb sy, int codePage) {
  const TAttributeList& attributes = Attributes();
  TDocumentForm*& form = FormForControl();
  if (sy == SelectSy) {
    if (IsListBox(attributes)) return CreateFormControl<TListBoxFormControlObj>(list_, form, attributes, codePage);
    return CreateFormControl<TComboFormControlObj>(list_, form, attributes, codePage);
  }
  const TAttribute* type = attributes.Find(TypeSy);
  const std::string kind = type ? LowerCase(TrimBlanks(type->Name)) : std::string();
  if (kind == "hidden") return CreateFormControl<THiddenFormControlObj>(list_, form, attributes, codePage);
  if (kind == "submit" || kind == "reset" || kind == "button")
    return CreateFormControl<TButtonFormControlObj>(list_, form, attributes, codePage);
  if (kind == "checkbox") return CreateFormControl<TCheckBoxFormControlObj>(list_, form, attributes, codePage);
  if (kind == "radio") return CreateFormControl<TRadioButtonFormControlObj>(list_, form, attributes, codePage);
  if (kind == "image") return CreateFormControl<TImageFormControlObj>(list_, form, attributes, codePage);
  return CreateFormControl<TEditFormControlObj>(list_, form, attributes, codePage);
}

// A control stands in the text at its tag's position: an image input as
// its picture, a hidden input not at all (it has nothing to show).
void THtmlParser::PlaceFormControl(THtmlFormControl& control, int tagPosition, const TProperties& props) {
  if (auto* image = dynamic_cast<TImageFormControlObj*>(&control)) {
    std::unique_ptr<TImageObj> picture = image->TakeImage();
    picture->ProcessProperties(props);
    section_->AddObject(std::move(picture), tagPosition);
    return;
  }
  control.ProcessProperties(props);
  if (control.GetControl()) section_->AddFormControl(&control, tagPosition);
}

void THtmlParser::DoFormControl() {
  const Symb sy = Sy();
  const std::string tag = SymbolToTagName(sy);
  const int tagPosition = reader_.TagPosition();
  EnsureSection();
  THtmlFormControl* control = AddFormControl(sy, props_.PushNewProps(tag, &Attributes()).CodePage());
  if (sy == SelectSy)
    DoSelectOptions(static_cast<TSelectFormControlObj&>(*control));
  else
    NextSymbol();
  PlaceFormControl(*control, tagPosition, props_.Top());
  props_.PopAProp(tag);
}

void THtmlParser::DoSelectOptions(TSelectFormControlObj& control) {
  const bool noBreak = ParserState().NoBreak;
  ParserState().NoBreak = false;
  std::optional<PendingOption> option;
  const auto finish = [&] {
    if (!option) return;
    std::string text = TrimBlanks(option->Text);
    control.AddStr(text, option->HasValue ? option->Value : text, option->Selected);
    option.reset();
  };
  NextSymbol();
  while (!kSelectEnds[Sy()]) {
    if (Sy() == TextSymbol && option) {
      // The document's own non-breaking space shows as a blank here.
      std::string text = reader_.Buff().GetString();
      std::replace(text.begin(), text.end(), kNbspChar, ' ');
      option->Text.append(text, 0, kMaxOptionText - std::min(kMaxOptionText, option->Text.size()));
    } else if (Sy() == OptionSy || Sy() == OptionEndSy) {
      finish();
      if (Sy() == OptionSy) {
        const TAttribute* value = Attributes().Find(ValueSy);
        option = PendingOption{{}, value ? value->Name : std::string(), value != nullptr,
                               Attributes().Find(SelectedSy) != nullptr};
      }
    }
    NextSymbol();
  }
  finish();
  ParserState().NoBreak = noBreak;
  if (Sy() == SelectEndSy) NextSymbol();
}

void THtmlParser::DoTextArea() {
  const int tagPosition = reader_.TagPosition();
  EnsureSection();
  TProperties& props = props_.PushNewProps("textarea", &Attributes());
  auto* control = CreateFormControl<TTextAreaFormControlObj>(list_, FormForControl(), Attributes(), props.CodePage());
  ReadTextAreaText(*control);
  PlaceFormControl(*control, tagPosition, props_.Top());
  props_.PopAProp("textarea");
}

void THtmlParser::ReadTextAreaText(TTextAreaFormControlObj& control) {
  // A comment opener is text here, as browsers read it: a textarea holding
  // markup with comments keeps them.
  const bool noMarkup = reader_.NoMarkup();
  reader_.SetNoMarkup(true);
  // A line break right after the start tag is not part of the text, as
  // browsers read it: the first line would otherwise start every
  // submission with CR LF.
  if (reader_.Ch() == '\r') reader_.GetCh();
  const std::string nbsp = EncodeUtf32(U"\u00A0", control.CodePage);
  std::string line;
  for (reader_.NextTextAreaSymbol(); Sy() != TextAreaEndSy && Sy() != EndOfFileSymbol;
       reader_.NextTextAreaSymbol()) {
    if (Sy() == EndOfLineSymbol) {
      control.AddText(line + "\r\n");
      line.clear();
      continue;
    }
    for (const char c : reader_.Buff().GetString()) {
      if (c == kNbspChar)
        line += nbsp;
      else
        line += c;
    }
  }
  if (!line.empty()) control.AddText(line);
  reader_.SetNoMarkup(noMarkup);
  if (Sy() == TextAreaEndSy) {
    while (reader_.Ch() != '>' && reader_.Ch() != EofChar) reader_.GetCh();
    if (reader_.Ch() == '>') reader_.GetCh();
  }
  NextSymbol();
}

}  // namespace lark
