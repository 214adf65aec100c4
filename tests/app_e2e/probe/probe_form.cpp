#include "tests/app_e2e/probe/probe_form.h"

#include <string>

#include "platform/windows/bars.h"
#include "platform/windows/button.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/form.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "viewer/html_viewer.h"

namespace lark {
namespace {

template <typename T>
T* Place(TForm* form, const char* name, int left, int top, int width, int height) {
  auto* control = new T(form);
  control->SetName(name);
  control->SetParent(form);
  control->SetBounds(left, top, width, height);
  return control;
}

TMenuItem* Entry(TForm* form, TMenuItem* parent, const char* caption, TNotifyEvent onClick = nullptr) {
  auto* entry = new TMenuItem(form);
  entry->SetCaption(caption);
  entry->OnClick = std::move(onClick);
  parent->Add(entry);
  return entry;
}

}  // namespace

TForm* MakeProbeForm(TComponent* owner) {
  auto* form = new TForm(owner);
  form->SetName("frmProbe");
  form->SetCaption("Probe");
  form->SetBounds(20, 20, 480, 360);

  auto* status = new TStatusBar(form);
  status->SetName("StatusBar");
  status->SetParent(form);
  status->SetAlign(TAlign::alBottom);
  status->Panels() = {TStatusPanel{"ready"}, TStatusPanel{""}};
  auto setPanel = [status](int index, const std::string& text) {
    status->Panels()[static_cast<std::size_t>(index)].Text = text;
    status->PanelsChanged();
  };

  Place<TEdit>(form, "edAddress", 8, 8, 300, 24);
  Place<TPanel>(form, "pnColour", 320, 8, 40, 40)->SetColor(clRed);

  auto* ask = Place<TButton>(form, "btnAsk", 8, 40, 90, 28);
  ask->SetCaption("Ask");
  ask->OnClick = [setPanel](TObject*) {
    setPanel(1, std::to_string(MessageDlg("Go on?", TMsgDlgType::mtConfirmation, mbYes | mbNo)));
  };

  auto* dialog = Place<TButton>(form, "btnDialog", 108, 40, 90, 28);
  dialog->SetCaption("Dialog");
  dialog->OnClick = [form, setPanel](TObject*) {
    TForm question(form);
    question.SetName("frmQuestion");
    question.SetCaption("Question");
    question.SetBounds(60, 60, 200, 100);
    auto* ok = Place<TButton>(&question, "btnOk", 50, 30, 90, 28);
    ok->SetCaption("OK");
    ok->ModalResult = mrOk;
    setPanel(1, "modal " + std::to_string(question.ShowModal()));
  };

  auto* save = Place<TButton>(form, "btnSave", 208, 40, 90, 28);
  save->SetCaption("Save");
  save->OnClick = [form, setPanel](TObject*) {
    TSaveDialog dialog(form);
    setPanel(1, dialog.Execute() ? "saved " + dialog.FileName : "not saved");
  };

  auto* viewer = Place<THTMLViewer>(form, "vwPage", 8, 80, 440, 200);
  const std::string page = "<html><body><p>Probe page</p></body></html>";
  viewer->LoadFromBuffer(page.data(), page.size());

  auto* menu = new TMainMenu(form);
  form->SetMenu(menu);
  TMenuItem* file = Entry(form, menu->Items(), "&File");
  Entry(form, file, "&Hello", [setPanel](TObject*) { setPanel(0, "hello"); });
  Entry(form, file, "E&xit", [form](TObject*) { form->Close(); });
  return form;
}

}  // namespace lark
