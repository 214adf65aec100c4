// A form: its attributes, its controls, submission, reset, saved values and
// the keys its controls hand it.
#include "html/html_form.h"

#include "html/attribute_list.h"
#include "html/form_controls_simple.h"
#include "html/section_list.h"
#include "platform/core/string_routines.h"
#include "platform/windows/messages.h"
#include "platform/windows/win_control.h"

namespace lark {

namespace {

constexpr std::size_t kMethodLength = 4;

std::string AttributeText(const TAttributeList* attributes, Symb which) {
  const TAttribute* attribute = attributes ? attributes->Find(which) : nullptr;
  return attribute ? attribute->Name : std::string();
}

}  // namespace

TDocumentForm& TDocumentForm::Create(TSectionList& masterList, const TAttributeList* attributes) {
  std::unique_ptr<TDocumentForm> form(new TDocumentForm(masterList));
  if (const std::string method = AttributeText(attributes, MethodSy); !method.empty())
    form->Method = method.substr(0, kMethodLength);
  form->Action = AttributeText(attributes, ActionSy);
  form->Target = AttributeText(attributes, TargetSy);
  form->EncType = AttributeText(attributes, EncTypeSy);
  return *static_cast<TDocumentForm*>(masterList.FormList.Add(std::move(form)));
}

THtmlFormControl* TDocumentForm::InsertControl(std::unique_ptr<THtmlFormControl> control) {
  control->MyForm = this;
  if (!dynamic_cast<THiddenFormControlObj*>(control.get())) ++NonHiddenCount;
  index_.emplace(control.get(), controls_.size());
  controls_.push_back(std::move(control));
  return controls_.back().get();
}

void TDocumentForm::RemoveControl(const TFormControlObj* control) {
  const auto at = index_.find(control);
  if (at == index_.end()) return;
  const std::size_t place = at->second;
  index_.erase(at);
  controls_[place].reset();
}

void TDocumentForm::ResetControls() {
  for (const auto& control : controls_)
    if (control) control->ResetToValue();
}

void TDocumentForm::SetSizes(TCanvas& canvas) {
  for (const auto& control : controls_)
    if (control) control->SetHeightWidth(canvas);
}

std::vector<std::string> TDocumentForm::Pairs(bool namedOnly) const {
  std::vector<std::string> pairs;
  for (const auto& control : controls_) {
    if (!control || (namedOnly && control->FName.empty() && !control->SubmitsWithoutName())) continue;
    std::string pair;
    for (int index = 0; control->GetSubmission(index, pair); ++index)
      if (!pair.empty()) pairs.push_back(pair);
  }
  return pairs;
}

std::vector<std::string> TDocumentForm::GetFormSubmission() { return Pairs(false); }

void TDocumentForm::SubmitTheForm(const std::string& buttonSubmission) {
  if (!MasterList->OnSubmitForm) return;
  // A control without NAME has nothing to send: "=value" would go out with
  // its value (a password in a GET URL) under no name at all.
  std::vector<std::string> pairs = Pairs(true);
  if (!buttonSubmission.empty()) pairs.push_back(buttonSubmission);
  MasterList->OnSubmitForm(MasterList->TheOwner, Action, Target, EncType, Method, std::move(pairs));
}

void TDocumentForm::SetFormData(const std::vector<std::string>& data) {
  // The saved values grouped by name once, so that restoring is linear in
  // the entries and the controls together.
  std::unordered_map<std::string, std::vector<std::string>> byName;
  for (const std::string& entry : data) {
    const auto equals = entry.find('=');
    if (equals == std::string::npos) continue;
    byName[LowerCase(entry.substr(0, equals))].push_back(entry.substr(equals + 1));
  }
  // The saved pairs follow the controls' order, so the n-th text control of
  // a name takes the n-th value of that name.
  std::unordered_map<std::string, std::size_t> textsTaken;
  for (const auto& control : controls_) {
    if (!control) continue;
    control->SetDataInit();
    const std::string name = LowerCase(control->FName);
    const auto values = byName.find(name);
    if (values == byName.end()) continue;
    if (control->HoldsOneText()) {
      if (std::size_t& taken = textsTaken[name]; taken < values->second.size())
        control->SetData(0, values->second[taken++]);
    } else {
      for (std::size_t k = 0; k < values->second.size(); ++k)
        control->SetData(static_cast<int>(k), values->second[k]);
    }
    control->SetDataDone();
  }
}

std::vector<TRadioButtonFormControlObj*> TDocumentForm::RadioGroup(const std::string& name) const {
  std::vector<TRadioButtonFormControlObj*> group;
  for (const auto& control : controls_)
    if (auto* radio = dynamic_cast<TRadioButtonFormControlObj*>(control.get()); radio && SameText(radio->FName, name))
      group.push_back(radio);
  return group;
}

void TDocumentForm::DoRadios(const TRadioButtonFormControlObj& radio) {
  for (TRadioButtonFormControlObj* other : RadioGroup(radio.FName))
    if (other != &radio) other->SetChecked(false);
}

void TDocumentForm::ControlKeyPress(THtmlFormControl& control, char& key) {
  if (key != '\r' || !dynamic_cast<TEditFormControlObj*>(&control)) return;
  key = 0;  // swallowed: no beep, no new line
  SubmitTheForm("");
}

void TDocumentForm::ControlKeyDown(THtmlFormControl& control, unsigned short& key) {
  const auto* radio = dynamic_cast<TRadioButtonFormControlObj*>(&control);
  if (!radio) return;
  const bool back = key == VK_LEFT || key == VK_UP;
  if (!back && key != VK_RIGHT && key != VK_DOWN) return;
  const std::vector<TRadioButtonFormControlObj*> group = RadioGroup(radio->FName);
  const auto at = std::find(group.begin(), group.end(), radio);
  if (at == group.end()) return;
  // No wrapping: the first and last of a group keep the focus.
  if (back ? at != group.begin() : at + 1 != group.end()) {
    TRadioButtonFormControlObj* next = back ? *(at - 1) : *(at + 1);
    if (TWinControl* window = next->FocusTarget()) window->SetFocus();
  }
  key = 0;
}

}  // namespace lark
