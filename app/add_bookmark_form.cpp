#include "app/add_bookmark_form.h"

#include "app/language.h"
#include "app/options.h"
#include "platform/windows/button.h"
#include "platform/windows/edit.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/label.h"

namespace lark {
namespace {

template <typename T>
T* Component(const TComponent& owner, const std::string& name) {
  auto* found = dynamic_cast<T*>(owner.FindComponent(name));
  if (!found) throw EFormResourceError("frmAddBookmark: component " + name + " missing");
  return found;
}

}  // namespace

TfrmAddBookmark::TfrmAddBookmark(TComponent* owner, TOptions& options, const TLanguage& language,
                                 std::string address, std::string title)
    : TForm(owner), options_(options), language_(language), address_(std::move(address)), title_(std::move(title)) {
  LoadFormResource(this, "frmAddBookmark");
  lbNameBookmark = Component<TLabel>(*this, "lbNameBookmark");
  edNameBookmark = Component<TEdit>(*this, "edNameBookmark");
  bbOK = Component<TBitBtn>(*this, "bbOK");
  bbCancel = Component<TBitBtn>(*this, "bbCancel");
  SetBorderIcons(BorderIcons() & ~biSystemMenu);
  // Bound here: "FormActivate" is also the main window's handler name.
  OnActivate = [this](TObject* sender) { FormActivate(sender); };
  bbOK->OnClick = [this](TObject* sender) { bbOKClick(sender); };
}

void TfrmAddBookmark::FormActivate(TObject*) {
  edNameBookmark->SetText(title_);
  std::string text;
  if (language_.GetText("2", text)) lbNameBookmark->SetCaption(text);
  if (language_.GetText("4", text)) bbOK->SetCaption(text);
  if (language_.GetText("5", text)) bbCancel->SetCaption(text);
}

void TfrmAddBookmark::bbOKClick(TObject*) {
  // A failed write raises to the user and the dialog stays open.
  options_.AddBookmark(edNameBookmark->GetText(), address_);
  ModalResult = mrOk;
}

}  // namespace lark
