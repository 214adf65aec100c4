#pragma once

#include "platform/windows/form.h"

namespace lark {

class TButton;

// A window without frame or caption over the whole screen, for the page
// view that the main window lends it; its button (and Escape) closes it.
class TfrmFullScreen : public TForm {
 public:
  explicit TfrmFullScreen(TComponent* owner);

  TButton* btClose = nullptr;
};

}  // namespace lark
