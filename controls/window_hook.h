#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/windows/component.h"
#include "platform/windows/messages.h"

namespace lark {

class TWinControl;
class TWindowHook;

// Shares one replacement of a windowed control's WindowProc among every
// TWindowHook watching that control: the hooks' before-message handlers run
// (last attached first) before the control's previous procedure, their
// after-message handlers after it.
class TControlHook : public TObject {
 public:
  explicit TControlHook(TWinControl* control);
  ~TControlHook() override;

  [[nodiscard]] TWinControl* WinControl() const { return control_; }
  [[nodiscard]] int Count() const { return static_cast<int>(hooks_.size()); }
  void Attach(TWindowHook* hook);
  // The last component leaving has the hook list free this hook soon after.
  void Detach(TWindowHook* hook);

  // Puts this hook's procedure in the control's WindowProc (making the
  // window when it has none).
  void HookControl();
  // Takes it out again. When the control's WindowProc is no longer ours
  // (someone replaced it after us and keeps ours as their previous one),
  // ours stays in that chain as a plain pass-through to our previous, so
  // unhooking in any order leaves a working chain.
  void UnhookControl();
  [[nodiscard]] bool Hooked() const { return link_ != nullptr; }

 private:
  class ControlWatcher;
  struct Link;
  friend struct HookedProcedure;

  void HookWndProc(TMessage& message, const std::function<void(TMessage&)>& previous);
  bool Dispatches() const;
  // Runs before- or after-message handlers from the last attached to the
  // first, stopping at the first that sets handled.
  bool RunHandlers(bool before, TMessage& message);
  void ControlFreed();

  TWinControl* control_;
  std::unique_ptr<ControlWatcher> watcher_;
  std::shared_ptr<Link> link_;
  std::vector<TWindowHook*> hooks_;
  bool destroying_ = false;
};

// The process's control hooks, with the hidden window that re-hooks a control
// after its window is re-created and frees a hook nobody uses any more (both
// posted, so that neither happens inside the message that causes it).
class THookList {
 public:
  THookList();
  ~THookList();
  THookList(const THookList&) = delete;
  THookList& operator=(const THookList&) = delete;

  // The hook of a control, made on first use.
  TControlHook* HookFor(TWinControl* control);
  [[nodiscard]] bool Contains(const TControlHook* hook) const;
  void Remove(TControlHook* hook);
  [[nodiscard]] HWND UtilityWindow() const { return window_; }
  [[nodiscard]] int Count() const { return static_cast<int>(hooks_.size()); }

 private:
  void WndProc(TMessage& message);

  std::vector<std::unique_ptr<TControlHook>> hooks_;
  HWND window_ = nullptr;
};

// The one list, made on first use and freed at exit.
THookList& HookList();

using THookMessageEvent = std::function<void(TObject* sender, TMessage& msg, bool& handled)>;

// A component that sees the messages of one windowed control before and
// after the control handles them.
class TWindowHook : public TComponent {
 public:
  explicit TWindowHook(TComponent* owner);
  ~TWindowHook() override;

  [[nodiscard]] bool Active() const { return active_; }
  void SetActive(bool value);
  [[nodiscard]] TWinControl* WinControl() const;
  void SetWinControl(TWinControl* control);
  // Streaming: true when the watched control is the owning form, which the
  // resource names this way instead of by name.
  [[nodiscard]] bool IsForm() const;
  void SetIsForm(bool value);

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

 protected:
  virtual void DoBeforeMessage(TMessage& msg, bool& handled);
  virtual void DoAfterMessage(TMessage& msg, bool& handled);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TControlHook;
  void Attach();
  void Detach();

  bool active_ = true;
  TWinControl* win_control_ = nullptr;
  TControlHook* control_hook_ = nullptr;
};

}  // namespace lark
