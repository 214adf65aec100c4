#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "html/form_control_base.h"

namespace lark {

class TAttributeList;
class TRadioButtonFormControlObj;
class TSectionList;

// One FORM of the document (or the form without attributes that holds the
// controls outside any FORM), owning its controls in document order.
class TDocumentForm : public ThtmlForm {
 public:
  // A new form in the document's form list; attributes may be null.
  static TDocumentForm& Create(TSectionList& masterList, const TAttributeList* attributes);

  THtmlFormControl* InsertControl(std::unique_ptr<THtmlFormControl> control);
  void ResetControls();
  // Every pair of every control, named or not (for history).
  [[nodiscard]] std::vector<std::string> GetFormSubmission() override;
  // Hands the pairs of the named controls, then `buttonSubmission` when not
  // empty, to the document's submit hook.
  void SubmitTheForm(const std::string& buttonSubmission);
  void SetFormData(const std::vector<std::string>& data) override;
  void SetSizes(TCanvas& canvas) override;
  // `radio` was checked: the others of its group (same name, any case) uncheck.
  void DoRadios(const TRadioButtonFormControlObj& radio);
  // Keys on controls: Enter in an edit submits; arrows move within a radio group.
  void ControlKeyPress(THtmlFormControl& control, char& key);
  void ControlKeyDown(THtmlFormControl& control, unsigned short& key);
  void RemoveControl(const TFormControlObj* control) override;

  TSectionList* MasterList;
  std::string Method = "get";
  std::string Action, Target, EncType;
  int NonHiddenCount = 0;

 private:
  explicit TDocumentForm(TSectionList& masterList) : MasterList(&masterList) {}
  [[nodiscard]] std::vector<std::string> Pairs(bool namedOnly) const;
  [[nodiscard]] std::vector<TRadioButtonFormControlObj*> RadioGroup(const std::string& name) const;

  // Controls in document order; a removed one leaves a null.
  std::vector<std::unique_ptr<THtmlFormControl>> controls_;
  std::unordered_map<const TFormControlObj*, std::size_t> index_;
};

// A control of kind T for an element: joins the current form, made first
// (without attributes) when there is none. `codePage` is the element's
// (its properties' CodePage()).
template <typename T>
T* CreateFormControl(TSectionList& masterList, TDocumentForm*& currentForm, const TAttributeList& attributes,
                     int codePage) {
  if (!currentForm) currentForm = &TDocumentForm::Create(masterList, nullptr);
  return static_cast<T*>(currentForm->InsertControl(std::make_unique<T>(masterList, attributes, codePage)));
}

}  // namespace lark
