#pragma once

#include <string>
#include <vector>

#include "platform/windows/form.h"

namespace lark {

class TBitBtn;
class TButton;
class TLanguage;
class TListBox;
class TOptions;

// Orders and removes the bookmarks; OK writes them when anything changed.
class TfrmBookmarksList : public TForm {
 public:
  TfrmBookmarksList(TComponent* owner, TOptions* options);

  TListBox* lbBookmarkList = nullptr;
  TButton *btUp = nullptr, *btDown = nullptr, *btDelete = nullptr, *btOK = nullptr;
  TBitBtn* bbCancel = nullptr;

  [[nodiscard]] bool Changed() const { return changed_; }
  // The links, parallel to the list box's names.
  [[nodiscard]] const std::vector<std::string>& Links() const { return links_; }

  void ApplyLanguage(const TLanguage& language);
  void FormShow(TObject* sender);
  void btUpClick(TObject* sender);
  void btDownClick(TObject* sender);
  void btDeleteClick(TObject* sender);
  void btOKClick(TObject* sender);

 private:
  // The first selected entry, or -1.
  [[nodiscard]] int FirstSelected() const;
  void Move(int by);

  TOptions* options_;
  std::vector<std::string> links_;
  bool changed_ = false;
};

}  // namespace lark
