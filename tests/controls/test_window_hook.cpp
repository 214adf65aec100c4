// The thread hook registry and the shared window-procedure hooks.

#include "controls/thread_hooks.h"
#include "controls/window_hook.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/windows/panel.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

constexpr UINT kProbe = WM_USER + 7;

std::vector<std::string>& Seen() {
  static std::vector<std::string> seen;
  return seen;
}
void NoteMouseMove(int code, HWND, WPARAM, LPARAM) {
  if (code == hpGetMessage) Seen().push_back("move");
}

class ThreadHooks : public FormTest {};

TEST_F(ThreadHooks, TwoUsersOfACallbackKeepTheHookUntilBothLeaveInEitherOrder) {
  form->Show();
  for (bool first_leaves_first : {true, false}) {
    Seen().clear();
    InstallHookProc(NoteMouseMove, HookCodes(hpGetMessage), false);
    InstallHookProc(NoteMouseMove, HookCodes(hpGetMessage), false);
    InstallHookProc(NoteMouseMove, HookCodes(hpGetMessage), true);  // registers only
    EXPECT_EQ(HookInstallCount(WH_GETMESSAGE), 2);
    EXPECT_FALSE(HookInstalled(WH_CBT));
    UninstallHookProc(NoteMouseMove);
    test_driver::MouseMove(form.get(), 10, 10 + first_leaves_first);
    Drain();
    EXPECT_TRUE(HookInstalled(WH_GETMESSAGE));
    EXPECT_FALSE(Seen().empty());
    UninstallHookProc(NoteMouseMove);
    EXPECT_FALSE(HookInstalled(WH_GETMESSAGE));
    UninstallHookProc(NoteMouseMove);
    UninstallHookProc(NoteMouseMove);  // more than installed: counts stay at 0
    EXPECT_EQ(HookInstallCount(WH_GETMESSAGE), 0);
    Seen().clear();
    test_driver::MouseMove(form.get(), 20, 20 + first_leaves_first);
    Drain();
    EXPECT_TRUE(Seen().empty());
  }
}

// A window hook that writes what it sees into a shared log.
TWindowHook* LoggingHook(TComponent* owner, TWinControl* control, const std::string& name,
                         std::vector<std::string>& log, UINT handles = 0) {
  auto* hook = new TWindowHook(owner);
  hook->BeforeMessage = [&log, name, handles](TObject*, TMessage& m, bool& handled) {
    if (m.Msg != kProbe && m.Msg != WM_DESTROY) return;
    log.push_back(name + " before");
    handled = m.Msg == handles;
  };
  hook->AfterMessage = [&log, name](TObject*, TMessage& m, bool&) {
    if (m.Msg == kProbe) log.push_back(name + " after");
  };
  hook->SetWinControl(control);
  return hook;
}

// A panel that notes the messages that reach it.
class ProbePanel : public TPanel {
 public:
  ProbePanel(TComponent* owner, std::vector<std::string>& log) : TPanel(owner), log_(log) {}

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == kProbe) log_.push_back("control");
    if (m.Msg == WM_DESTROY) log_.push_back("destroy");
    TPanel::WndProc(m);
  }

 private:
  std::vector<std::string>& log_;
};

class WindowHooks : public FormTest {
 protected:
  std::vector<std::string> log;
};

TEST_F(WindowHooks, LastAttachedRunsFirstHandledStopsButDestroyAlwaysArrives) {
  auto* panel = new ProbePanel(form.get(), log);
  panel->SetParent(form.get());
  LoggingHook(form.get(), panel, "a", log);
  TWindowHook* b = LoggingHook(form.get(), panel, "b", log);
  panel->Perform(kProbe);
  EXPECT_EQ(log, (std::vector<std::string>{"b before", "a before", "control", "b after", "a after"}));

  log.clear();
  b->BeforeMessage = [this](TObject*, TMessage& m, bool& handled) {
    if (m.Msg == kProbe || m.Msg == WM_DESTROY) log.push_back("b handles");
    handled = true;
  };
  panel->Perform(kProbe);
  EXPECT_EQ(log, (std::vector<std::string>{"b handles", "b after", "a after"}));

  // A re-created window is hooked again once it exists.
  log.clear();
  panel->RecreateWnd();
  EXPECT_EQ(log, (std::vector<std::string>{"b handles", "destroy"}));
  Drain();
  log.clear();
  panel->Perform(kProbe);
  EXPECT_EQ(log, (std::vector<std::string>{"b handles", "b after", "a after"}));

  b->SetActive(false);
  log.clear();
  panel->Perform(kProbe);
  EXPECT_EQ(log, (std::vector<std::string>{"a before", "control", "a after"}));
}

// Another replacement of the control's WindowProc, made after ours, that
// keeps ours as its previous one and never takes itself out.
void ReplaceWindowProc(TControl* control, std::vector<std::string>& log) {
  control->WindowProc = [previous = control->WindowProc, &log](TMessage& m) {
    if (m.Msg == kProbe) log.push_back("other");
    previous(m);
  };
}

// Frees the hooks, the control and the form in every order, with another
// replacement of the procedure made between the two hooks: messages keep
// reaching the control through whatever is left (the sanitizer build checks
// that nothing freed is called).
TEST_F(WindowHooks, FreedInEveryOrderBesideAnotherReplacementTheChainStillWorks) {
  std::vector<int> order = {0, 1, 2, 3};  // hook a, hook b, panel, form
  do {
    auto hook_form = std::make_unique<TForm>(nullptr);
    auto* panel = new ProbePanel(hook_form.get(), log);
    panel->SetParent(hook_form.get());
    std::unique_ptr<TWindowHook> a(LoggingHook(nullptr, panel, "a", log));
    ReplaceWindowProc(panel, log);
    std::unique_ptr<TWindowHook> b(LoggingHook(nullptr, hook_form.get(), "b", log));
    LoggingHook(hook_form.get(), panel, "c", log);  // freed with the form
    for (int step : order) {
      if (step == 0) a.reset();
      if (step == 1) b.reset();
      if (step == 2) delete panel;  // null when the form took it along
      if (step >= 2) panel = nullptr;
      if (step == 3) hook_form.reset();
      Drain();
      if (!panel) continue;
      log.clear();
      panel->Perform(kProbe);
      ASSERT_FALSE(log.empty());
      EXPECT_EQ(std::count(log.begin(), log.end(), "control"), 1);
      EXPECT_EQ(std::count(log.begin(), log.end(), "other"), 1);
    }
  } while (std::next_permutation(order.begin(), order.end()));
}

// The fault this guards against: a hook taken out while someone else still
// calls it as their previous procedure; a hook made later must not reach it.
TEST_F(WindowHooks, UnhookingUnderAnotherReplacementThenHookingAgainLeavesAWorkingChain) {
  auto* panel = new ProbePanel(form.get(), log);
  panel->SetParent(form.get());
  TWindowHook* a = LoggingHook(nullptr, panel, "a", log);
  ReplaceWindowProc(panel, log);
  delete a;
  Drain();  // frees the control hook
  EXPECT_EQ(HookList().Count(), 0);
  std::unique_ptr<TWindowHook> b(LoggingHook(nullptr, panel, "b", log));
  log.clear();
  panel->Perform(kProbe);
  EXPECT_EQ(log, (std::vector<std::string>{"b before", "other", "control", "b after"}));
}

}  // namespace
}  // namespace lark
