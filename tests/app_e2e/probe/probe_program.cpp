// A small program with the probe window and the test control, for tests of
// the end-to-end harness that need no browser window.
#include "app/test_control.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "tests/app_e2e/probe/probe_form.h"

int main() {
  using namespace lark;
  TApplication* application = Application();
  TForm* form = MakeProbeForm(application);
  application->NoteCreatedForm(form);
  auto control = StartTestControlFromEnvironment();
  application->Run();
  return 0;
}
