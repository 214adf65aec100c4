#include "app/customize_form.h"

#include "app/language.h"
#include "platform/windows/action.h"
#include "platform/windows/button.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/small_controls.h"

namespace lark {

TfrmCustomize::TfrmCustomize(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmCustomize");
  ListView = dynamic_cast<TListView*>(FindComponent("ListView"));
  btOk = dynamic_cast<TButton*>(FindComponent("btOk"));
  btCancel = dynamic_cast<TButton*>(FindComponent("btCancel"));
}

void TfrmCustomize::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("10", text)) {
    ListView->Columns().at(0).Caption = text;
    ListView->ItemsChanged();
  }
  if (language.GetText("4", text)) btOk->SetCaption(text);
  if (language.GetText("5", text)) btCancel->SetCaption(text);
}

void TfrmCustomize::Fill(std::vector<Command> commands, TCustomImageList* images) {
  commands_ = std::move(commands);
  ListView->SetSmallImages(images);
  std::vector<TListItem>& items = ListView->Items();
  items.clear();
  for (const Command& command : commands_)
    items.emplace_back(command.Caption, std::vector<std::string>{}, command.Action->Visible(),
                       command.Action->ImageIndex());
  ListView->ItemsChanged();
}

void TfrmCustomize::ApplyVisibility() const {
  const std::vector<TListItem>& items = ListView->Items();
  for (size_t i = 0; i < commands_.size() && i < items.size(); ++i) commands_[i].Action->SetVisible(items[i].Checked);
}

}  // namespace lark
