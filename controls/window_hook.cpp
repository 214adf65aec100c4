#include "controls/window_hook.h"

#include <algorithm>

#include "platform/windows/form.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/utility_window.h"
#include "platform/windows/win_control.h"

namespace lark {

// What the procedure put into the control shares with its hook. The hook
// side goes (hook becomes null) when it unhooks or is freed; the procedure
// may live on in someone else's chain and then only passes messages on.
struct TControlHook::Link {
  TControlHook* hook = nullptr;
  std::function<void(TMessage&)> previous;
};

// The procedure put into the control's WindowProc. A std::function cannot be
// compared, so the hook recognises its own by this type and its link.
struct HookedProcedure {
  std::shared_ptr<TControlHook::Link> link;

  void operator()(TMessage& message) const {
    // Unhooking puts the previous procedure back into WindowProc, which frees
    // this object while it runs: work on a local copy of the link only.
    const std::shared_ptr<TControlHook::Link> keep = link;
    if (keep->hook) {
      keep->hook->HookWndProc(message, keep->previous);
    } else if (keep->previous) {
      keep->previous(message);
    }
  }
};

// Tells the hook when its control is freed, whoever frees it.
class TControlHook::ControlWatcher : public TComponent {
 public:
  ControlWatcher(TControlHook* hook, TWinControl* control) : TComponent(nullptr), hook_(hook) {
    FreeNotification(control);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == hook_->control_) hook_->ControlFreed();
  }

 private:
  TControlHook* hook_;
};

namespace {
bool HasProcedureOf(const std::function<void(TMessage&)>& procedure, const void* link) {
  const auto* ours = procedure.target<HookedProcedure>();
  return ours != nullptr && ours->link.get() == link;
}
}  // namespace

TControlHook::TControlHook(TWinControl* control)
    : control_(control), watcher_(std::make_unique<ControlWatcher>(this, control)) {}

TControlHook::~TControlHook() {
  destroying_ = true;
  for (TWindowHook* hook : hooks_) hook->control_hook_ = nullptr;
  hooks_.clear();
  UnhookControl();
}

void TControlHook::Attach(TWindowHook* hook) {
  if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) hooks_.push_back(hook);
  hook->control_hook_ = this;
  HookControl();
}

void TControlHook::Detach(TWindowHook* hook) {
  hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
  hook->control_hook_ = nullptr;
  // Freed later, from the hidden window, and only if still unused then: the
  // last component may be leaving from inside one of this hook's messages.
  if (hooks_.empty() && !destroying_) {
    PostMessage(HookList().UtilityWindow(), CM_DESTROYHOOK, 0, reinterpret_cast<LPARAM>(this));
  }
}

void TControlHook::HookControl() {
  if (!control_ || destroying_ || control_->HasState(csDesigning) || control_->HasState(csDestroying)) return;
  control_->HandleNeeded();
  if (link_ && HasProcedureOf(control_->WindowProc, link_.get())) return;
  UnhookControl();
  link_ = std::make_shared<Link>(Link{this, control_->WindowProc});
  control_->WindowProc = HookedProcedure{link_};
}

void TControlHook::UnhookControl() {
  if (!link_) return;
  if (control_ && HasProcedureOf(control_->WindowProc, link_.get())) control_->WindowProc = link_->previous;
  link_->hook = nullptr;
  link_.reset();
}

void TControlHook::ControlFreed() {
  UnhookControl();
  control_ = nullptr;
}

bool TControlHook::Dispatches() const {
  return !destroying_ && control_ && !control_->HasState(csDestroying) && !hooks_.empty();
}

bool TControlHook::RunHandlers(bool before, TMessage& message) {
  // A handler may detach its own or another component: walk a copy and call
  // only those still attached.
  const std::vector<TWindowHook*> snapshot = hooks_;
  bool handled = false;
  for (auto it = snapshot.rbegin(); it != snapshot.rend() && !handled; ++it) {
    if (std::find(hooks_.begin(), hooks_.end(), *it) == hooks_.end()) continue;
    if (before) {
      (*it)->DoBeforeMessage(message, handled);
    } else {
      (*it)->DoAfterMessage(message, handled);
    }
  }
  return handled;
}

void TControlHook::HookWndProc(TMessage& message, const std::function<void(TMessage&)>& previous) {
  // Handlers and the control may unhook or free this hook (a nested message
  // loop can run CM_DESTROYHOOK): after each step, go on only while the link
  // still names this hook.
  const std::shared_ptr<Link> link = link_;
  bool handled = false;
  if (message.Msg != WM_QUIT && Dispatches()) handled = RunHandlers(true, message);
  if (!handled || message.Msg == WM_DESTROY) previous(message);
  if (!link || link->hook != this) return;
  if (Dispatches()) RunHandlers(false, message);
  if (message.Msg != WM_DESTROY || link->hook != this) return;
  const bool control_going = !control_ || control_->HasState(csDestroying);
  UnhookControl();
  if (!destroying_ && !control_going) {
    PostMessage(HookList().UtilityWindow(), CM_RECREATEWINDOW, 0, reinterpret_cast<LPARAM>(this));
  }
}

// --- THookList ----------------------------------------------------------------

THookList::THookList() {
  // The layer's hook list and queue must outlive this list, which is freed
  // at exit (freeing its window calls the hooks and purges the queue): using
  // them now makes them constructed first, so destroyed after.
  UnhookWindowsHookEx(nullptr);
  window_ = AllocateHWnd([this](TMessage& message) { WndProc(message); });
  PostMessage(window_, WM_NULL);
}

THookList::~THookList() {
  while (!hooks_.empty()) Remove(hooks_.back().get());
  DeallocateHWnd(window_);
}

TControlHook* THookList::HookFor(TWinControl* control) {
  for (const auto& hook : hooks_) {
    if (hook->WinControl() == control) return hook.get();
  }
  hooks_.push_back(std::make_unique<TControlHook>(control));
  return hooks_.back().get();
}

bool THookList::Contains(const TControlHook* hook) const {
  return std::any_of(hooks_.begin(), hooks_.end(), [hook](const auto& h) { return h.get() == hook; });
}

void THookList::Remove(TControlHook* hook) {
  auto it = std::find_if(hooks_.begin(), hooks_.end(), [hook](const auto& h) { return h.get() == hook; });
  if (it == hooks_.end()) return;
  // Out of the list before it goes, so that nothing its teardown causes
  // finds it there.
  std::unique_ptr<TControlHook> doomed = std::move(*it);
  hooks_.erase(it);
}

void THookList::WndProc(TMessage& message) {
  auto* hook = reinterpret_cast<TControlHook*>(message.LParam);
  if (message.Msg == CM_RECREATEWINDOW) {
    if (Contains(hook)) hook->HookControl();
  } else if (message.Msg == CM_DESTROYHOOK) {
    if (Contains(hook) && hook->Count() == 0) Remove(hook);
  }
}

THookList& HookList() {
  static THookList list;
  return list;
}

// --- TWindowHook ----------------------------------------------------------------

TWindowHook::TWindowHook(TComponent* owner) : TComponent(owner) {}

TWindowHook::~TWindowHook() {
  Destroying();
  SetActive(false);
  SetWinControl(nullptr);
}

void TWindowHook::SetActive(bool value) {
  active_ = value;
  if (active_) {
    Attach();
  } else {
    Detach();
  }
}

TWinControl* TWindowHook::WinControl() const {
  return control_hook_ && control_hook_->WinControl() ? control_hook_->WinControl() : win_control_;
}

void TWindowHook::SetWinControl(TWinControl* control) {
  if (control == win_control_) return;
  const bool was_active = active_;
  Detach();
  if (win_control_) RemoveFreeNotification(win_control_);
  win_control_ = control;
  if (win_control_) FreeNotification(win_control_);
  if (was_active) Attach();
}

bool TWindowHook::IsForm() const { return win_control_ != nullptr && win_control_ == Owner(); }

void TWindowHook::SetIsForm(bool value) {
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()); value && form) SetWinControl(form);
}

void TWindowHook::Attach() {
  if (!win_control_ || HasState(csDestroying)) return;
  HookList().HookFor(win_control_)->Attach(this);
}

void TWindowHook::Detach() {
  if (control_hook_) control_hook_->Detach(this);
}

void TWindowHook::DoBeforeMessage(TMessage& msg, bool& handled) {
  if (BeforeMessage) BeforeMessage(this, msg, handled);
}

void TWindowHook::DoAfterMessage(TMessage& msg, bool& handled) {
  if (AfterMessage) AfterMessage(this, msg, handled);
}

void TWindowHook::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component != nullptr &&
      (component == win_control_ || component == Owner())) {
    SetWinControl(nullptr);
  }
}

}  // namespace lark
