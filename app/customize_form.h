#pragma once

#include <string>
#include <vector>

#include "platform/windows/form.h"

namespace lark {

class TAction;
class TButton;
class TCustomImageList;
class TLanguage;
class TListView;

// Which tool bar commands show: one checked item per command.
class TfrmCustomize : public TForm {
 public:
  struct Command {
    std::string Caption;
    TAction* Action;
  };

  explicit TfrmCustomize(TComponent* owner);

  TListView* ListView = nullptr;
  TButton *btOk = nullptr, *btCancel = nullptr;

  void ApplyLanguage(const TLanguage& language);
  // One item per command, in order, with the command's picture from
  // `images`, checked when it shows now.
  void Fill(std::vector<Command> commands, TCustomImageList* images);
  // Each command shows as its item is checked (after OK).
  void ApplyVisibility() const;

 private:
  std::vector<Command> commands_;
};

}  // namespace lark
