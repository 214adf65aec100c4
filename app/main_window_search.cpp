// The local search the main window opens, and the page it lands on.
#include "app/language.h"
#include "app/local_search_form.h"
#include "app/main_window.h"
#include "platform/windows/application.h"

namespace lark {

void TfrmMain::actionSearchExecute(TObject*) {
  // The idle step runs in modal loops too: a dialog already showing (the
  // home command fired by the timer) is not shown a second time.
  if (!frmLocalSearch || frmLocalSearch->Visible()) return;
  Application()->ProcessMessages();
  frmLocalSearch->Language = Language.get();
  std::string caption;
  if (Language->GetText("37", caption)) frmLocalSearch->SetCaption(caption);
  if (frmLocalSearch->ShowModal() == mrOk) OpenLocalFile(frmLocalSearch->ResultPageName());
}

}  // namespace lark
