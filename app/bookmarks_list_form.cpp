#include "app/bookmarks_list_form.h"

#include <algorithm>

#include "app/language.h"
#include "app/options.h"
#include "platform/core/string_list.h"
#include "platform/windows/button.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/list_controls.h"

namespace lark {

TfrmBookmarksList::TfrmBookmarksList(TComponent* owner, TOptions* options) : TForm(owner), options_(options) {
  LoadFormResource(this, "frmBookmarksList");
  lbBookmarkList = dynamic_cast<TListBox*>(FindComponent("lbBookmarkList"));
  btUp = dynamic_cast<TButton*>(FindComponent("btUp"));
  btDown = dynamic_cast<TButton*>(FindComponent("btDown"));
  btDelete = dynamic_cast<TButton*>(FindComponent("btDelete"));
  btOK = dynamic_cast<TButton*>(FindComponent("btOK"));
  bbCancel = dynamic_cast<TBitBtn*>(FindComponent("bbCancel"));
}

void TfrmBookmarksList::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("6", text)) btDelete->SetCaption(text);
  if (language.GetText("4", text)) btOK->SetCaption(text);
  if (language.GetText("5", text)) bbCancel->SetCaption(text);
}

void TfrmBookmarksList::FormShow(TObject*) {
  std::vector<std::string> names;
  links_.clear();
  for (int i = 0; i <= kMaxBookmarkIndex; ++i) {
    std::string name = options_->GetBookmarkName(i);
    if (name.empty()) continue;
    names.push_back(std::move(name));
    links_.push_back(options_->GetBookmarkLink(i));
  }
  lbBookmarkList->SetItemStrings(std::move(names));
}

int TfrmBookmarksList::FirstSelected() const {
  const std::vector<bool> selection = lbBookmarkList->Selection();
  const auto first = std::find(selection.begin(), selection.end(), true);
  return first == selection.end() ? -1 : static_cast<int>(first - selection.begin());
}

void TfrmBookmarksList::Move(int by) {
  const int from = FirstSelected();
  const int to = from + by;
  if (from < 0 || to < 0 || to >= static_cast<int>(links_.size())) return;
  TStrings& items = lbBookmarkList->Items();
  const std::string name = items.Strings(from);
  items.Delete(from);
  items.Insert(to, name);
  std::swap(links_[static_cast<std::size_t>(from)], links_[static_cast<std::size_t>(to)]);
  std::vector<bool> selection(links_.size(), false);
  selection[static_cast<std::size_t>(to)] = true;
  lbBookmarkList->SetSelection(std::move(selection), to);
  changed_ = true;
}

void TfrmBookmarksList::btUpClick(TObject*) { Move(-1); }

void TfrmBookmarksList::btDownClick(TObject*) { Move(1); }

void TfrmBookmarksList::btDeleteClick(TObject*) {
  const int index = FirstSelected();
  if (index < 0) return;
  lbBookmarkList->Items().Delete(index);
  links_.erase(links_.begin() + index);
  changed_ = true;
}

void TfrmBookmarksList::btOKClick(TObject*) {
  if (!changed_) return;
  TStrings& items = lbBookmarkList->Items();
  std::vector<std::string> names;
  for (int i = 0; i < items.Count(); ++i) names.push_back(items.Strings(i));
  options_->SaveBookmarks(names, links_);
}

}  // namespace lark
