#include "app/full_screen_form.h"

#include "platform/windows/button.h"
#include "platform/windows/form_reader.h"

namespace lark {

TfrmFullScreen::TfrmFullScreen(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmFullScreen");
  btClose = dynamic_cast<TButton*>(FindComponent("btClose"));
}

}  // namespace lark
