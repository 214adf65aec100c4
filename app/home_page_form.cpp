#include "app/home_page_form.h"

#include "app/language.h"
#include "html/url_helpers.h"
#include "platform/graphics/color.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/label.h"
#include "platform/windows/panel.h"
#include "platform/windows/small_controls.h"

namespace lark {
namespace {

template <typename T>
T* Named(TForm& form, const char* name) {
  return dynamic_cast<T*>(form.FindComponent(name));
}

// Disabled edits read as such: button face with grey text.
void ShowEnabled(TControl* control, bool enabled) {
  control->SetEnabled(enabled);
  control->SetColor(enabled ? clWindow : clBtnFace);
  TFont font = control->Font();
  font.SetColor(enabled ? clBlack : TColor(0x808080));
  control->SetFont(font);
}

}  // namespace

TfrmHomePage::TfrmHomePage(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmHomePage");
  gbStartProgramWith = Named<TGroupBox>(*this, "gbStartProgramWith");
  rbBlankPage = Named<TRadioButton>(*this, "rbBlankPage");
  rbLocalSearchEngine = Named<TRadioButton>(*this, "rbLocalSearchEngine");
  rbHomePage = Named<TRadioButton>(*this, "rbHomePage");
  edHomePage = Named<TEdit>(*this, "edHomePage");
  btBrowse = Named<TButton>(*this, "btBrowse");
  cbLoadHomePage = Named<TCheckBox>(*this, "cbLoadHomePage");
  seIdleSec = Named<TSpinEdit>(*this, "seIdleSec");
  lbSecondsIdleTime = Named<TLabel>(*this, "lbSecondsIdleTime");
  btOk = Named<TButton>(*this, "btOk");
  btCancel = Named<TButton>(*this, "btCancel");
  OpenDialog = Named<TOpenDialog>(*this, "OpenDialog");
}

void TfrmHomePage::ApplyLanguage(const TLanguage& language) {
  std::string text;
  const auto caption = [&](const char* id, TControl* control) {
    if (language.GetText(id, text)) control->SetCaption(text);
  };
  caption("30", gbStartProgramWith), caption("31", lbSecondsIdleTime), caption("32", rbBlankPage);
  caption("33", rbLocalSearchEngine), caption("34", rbHomePage), caption("35", btBrowse);
  caption("36", cbLoadHomePage), caption("4", btOk), caption("5", btCancel);
}

void TfrmHomePage::Fill(int homeType, const std::string& address, bool loadAfterIdle, int idleSeconds) {
  (homeType == 1 ? rbLocalSearchEngine : homeType == 2 ? rbHomePage : rbBlankPage)->SetChecked(true);
  edHomePage->SetText(address);
  cbLoadHomePage->SetChecked(loadAfterIdle);
  seIdleSec->SetValue(idleSeconds);
  UpdateEnabling();
}

int TfrmHomePage::HomeType() const {
  if (rbHomePage->Checked()) return 2;
  return rbLocalSearchEngine->Checked() ? 1 : 0;
}

bool TfrmHomePage::LoadHomePageAfter() const { return cbLoadHomePage->Enabled() && cbLoadHomePage->Checked(); }

void TfrmHomePage::ControlChanged(TObject*) { UpdateEnabling(); }

void TfrmHomePage::UpdateEnabling() {
  const bool home = rbHomePage->Checked();
  ShowEnabled(edHomePage, home);
  btBrowse->SetEnabled(home);
  cbLoadHomePage->SetEnabled(home && !edHomePage->GetText().empty());
  const bool idle = cbLoadHomePage->Enabled() && cbLoadHomePage->Checked();
  ShowEnabled(seIdleSec, idle);
  lbSecondsIdleTime->SetEnabled(idle);
}

void TfrmHomePage::btBrowseClick(TObject*) {
  if (!OpenDialog->Execute()) return;
  // The chosen path is absolute, so this reads "file:///...".
  edHomePage->SetText("file://" + FileNameToURL(OpenDialog->FileName));
  UpdateEnabling();
}

}  // namespace lark
