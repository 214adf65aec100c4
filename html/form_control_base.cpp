// What every form control shares: registration in the document, the window
// control's placement and parking, focus and clicks.
#include "html/form_control_base.h"

#include <algorithm>

#include "html/attribute_list.h"
#include "html/html_form.h"
#include "html/id_name_list.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/win_control.h"

namespace lark {

namespace {

// Before its first layout a window control waits above the panel's top.
constexpr int kParkedTop = -400;
// While a control has the focus, windows not painted wait left of the panel
// so that Tab still reaches them.
constexpr int kReachableLeft = -4000;

}  // namespace

TControlFont::TControlFont(TCanvas& canvas, const TWinControl& control) : canvas_(canvas), old_(canvas.Font()) {
  canvas.SetFont(control.Font());
}

void DrawControlText(TCanvas& canvas, const TRect& box, const std::string& text, bool centred) {
  const TSize extent = canvas.TextExtent(text);
  const int x = centred ? (box.Left + box.Right - extent.cx) / 2 : box.Left + 4;
  const int y = (box.Top + box.Bottom - extent.cy) / 2;
  const int oldMode = SetBkMode(canvas, TRANSPARENT);
  canvas.TextRect(Rect(box.Left + 4, box.Top + 4, box.Right - 4, box.Bottom - 4), x, y, text);
  SetBkMode(canvas, oldMode);
}

THtmlFormControl::THtmlFormControl(TSectionList& masterList, const TAttributeList& attributes, int codePage)
    : MasterList(&masterList), CodePage(codePage) {
  if (const TAttribute* name = attributes.Find(NameSy)) FName = name->Name;
  if (const TAttribute* value = attributes.Find(ValueSy)) Value = value->Name;
  if (const TAttribute* click = attributes.Find(OnClickSy)) OnClickMessage = click->Name;
  if (masterList.IsCopy) return;
  masterList.FormControlList.push_back(this);
  if (masterList.IDNameList) {
    if (!FName.empty()) masterList.IDNameList->AddObject(FName, this);
    if (const TAttribute* id = attributes.Find(IDSy)) masterList.IDNameList->AddObject(LowerCase(id->Name), this);
  }
}

THtmlFormControl::~THtmlFormControl() {
  MasterList->FormControlList.Remove(this);
  MasterList->ForgetObject(this);
}

std::string THtmlFormControl::ToWidget(const std::string& bytes) const {
  return EncodeUtf32(DecodeToUtf32(bytes, CodePage), CP_UTF8);
}

std::string THtmlFormControl::FromWidget(const std::string& text) const {
  return EncodeUtf32(DecodeToUtf32(text, CP_UTF8), CodePage);
}

int THtmlFormControl::ClampSide(std::int64_t size) {
  return static_cast<int>(std::clamp<std::int64_t>(size, 0, kMaxControlSide));
}

void THtmlFormControl::SetControl(std::unique_ptr<TWinControl> control) {
  control_ = std::move(control);
  control_->SetTop(kParkedTop);
  if (auto* panel = dynamic_cast<TWinControl*>(MasterList->PPanel)) control_->SetParent(panel);
  WireFocus(*control_);
}

void THtmlFormControl::WireFocus(TWinControl& window) {
  window.OnEnter = [this](TObject*) { Entered(); };
  window.OnExit = [this](TObject*) { Exited(); };
}

void THtmlFormControl::WireKeyPress(TWinControl& window) {
  window.OnKeyPress = [this](TObject*, char& key) {
    if (auto* form = dynamic_cast<TDocumentForm*>(MyForm)) form->ControlKeyPress(*this, key);
  };
}

void THtmlFormControl::WireKeyDown(TWinControl& window) {
  window.OnKeyDown = [this](TObject*, unsigned short& key, TShiftState) {
    if (auto* form = dynamic_cast<TDocumentForm*>(MyForm)) form->ControlKeyDown(*this, key);
  };
}

void THtmlFormControl::ProcessProperties(const TProperties& prop) {
  const TBoxValues box = prop.GetBoxValues(200, 200);
  auto given = [&](int index) {
    const int value = box.M[static_cast<std::size_t>(index)];
    return value == NullValue || value == AutoValue || value == ParagraphSpace ? 0 : value;
  };
  HSpaceL = std::clamp(given(css::MarginLeft), 0, kMaxControlSide);
  HSpaceR = std::clamp(given(css::MarginRight), 0, kMaxControlSide);
  if (const int width = given(css::Width); width > 0) StyleWidth = ClampSide(width);
  if (const int height = given(css::Height); height > 0) StyleHeight = ClampSide(height);
  AlignmentType align = ANone;
  if (prop.GetVertAlign(align)) {
    if (align == ATop) FormAlign = aTop;
    else if (align == AMiddle) FormAlign = aMiddle;
    else if (align == ABottom) FormAlign = aBottom;
    else if (align == ABaseline) FormAlign = aBaseline;
  }
}

int THtmlFormControl::Width() const { return control_ ? control_->Width() : 0; }
int THtmlFormControl::Height() const { return control_ ? control_->Height() : 0; }

void THtmlFormControl::PlaceControl(int x, int y) {
  if (!control_) return;
  control_->SetBounds(x, y, control_->Width(), control_->Height());
  control_->Show();
}

void THtmlFormControl::HideWindow(bool keepReachable) {
  if (!control_) return;
  if (keepReachable) {
    control_->SetLeft(kReachableLeft);
    control_->Show();
  } else {
    control_->Hide();
  }
}

bool THtmlFormControl::HasFocus() const { return control_ && control_->Focused(); }

void THtmlFormControl::ObjectClick() {
  if (MasterList->OnObjectClick) MasterList->OnObjectClick(MasterList->TheOwner, this, OnClickMessage);
}

void THtmlFormControl::Entered() {
  if (MasterList->IsCopy) return;
  Active = true;
  if (MasterList->PPanel) MasterList->PPanel->Invalidate();
  if (MasterList->OnControlEnter) MasterList->OnControlEnter(MasterList->TheOwner, this);
  for (TFormControlObj* control : MasterList->FormControlList)
    if (!control->ShowIt) control->HideWindow(true);
}

void THtmlFormControl::Exited() {
  Active = false;
  for (TFormControlObj* control : MasterList->FormControlList)
    if (!control->ShowIt) control->HideWindow(false);
  if (MasterList->PPanel) MasterList->PPanel->Invalidate();
}

}  // namespace lark
