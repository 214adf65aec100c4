#pragma once

#include <string>
#include <vector>

#include "platform/windows/component.h"
#include "platform/windows/control_types.h"

namespace lark {

class TBasicAction;
class TControl;

using TShortCut = unsigned short;

// Ties one client (a control or a menu item) to an action: the action tells
// every link when a property changes and the link passes it on.
class TActionLink {
 public:
  virtual ~TActionLink();
  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* action);
  virtual void Change() = 0;
  // The client is where a user can use it now (a showing control, an entry
  // of a menu that can be opened).
  [[nodiscard]] virtual bool ClientShows() const = 0;
  bool Execute();

 private:
  TBasicAction* action_ = nullptr;
};

class TControlActionLink : public TActionLink {
 public:
  explicit TControlActionLink(TControl* client) : client_(client) {}
  void Change() override;
  [[nodiscard]] bool ClientShows() const override;

 private:
  TControl* client_;
};

class TBasicAction : public TComponent {
 public:
  explicit TBasicAction(TComponent* owner);
  ~TBasicAction() override;

  // Runs OnExecute; false when there is none (the client then runs its own click).
  virtual bool Execute();
  // Runs OnUpdate; the application calls it on idle.
  virtual bool Update();
  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  TComponent* ActionComponent = nullptr;

  void RegisterLink(TActionLink* link);
  void UnregisterLink(TActionLink* link);
  // No client at all, or one a user can reach now: a key may run the action
  // only then, so hiding every way to a command hides its key too.
  [[nodiscard]] bool ReachableByUser() const;

 protected:
  void Changed();

 private:
  std::vector<TActionLink*> links_;
};

class TActionList;

class TCustomAction : public TBasicAction {
 public:
  explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}
  ~TCustomAction() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int value);
  TShortCut ShortCut() const { return short_cut_; }
  void SetShortCut(TShortCut value);
  std::string Hint;
  std::string Category;
  int HelpContext = 0;
  int GroupIndex = 0;

  TActionList* ActionList() const { return action_list_; }
  void SetActionList(TActionList* list);
  bool Execute() override;

 private:
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  int image_index_ = -1;
  TShortCut short_cut_ = 0;
  TActionList* action_list_ = nullptr;
};

class TAction : public TCustomAction {
 public:
  using TCustomAction::TCustomAction;
};

using TActionEvent = std::function<void(TBasicAction* action, bool& handled)>;

// Groups the actions of a form. The form's owner frees the actions; the list
// only refers to them.
class TActionList : public TComponent {
 public:
  using TComponent::TComponent;
  ~TActionList() override;
  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TCustomAction* Actions(int index) const { return actions_.at(static_cast<size_t>(index)); }
  // Executes the action bound to the shortcut while it is enabled, visible
  // and reachable by the user.
  bool IsShortCut(TShortCut shortCut);
  TActionEvent OnExecute;
  TActionEvent OnUpdate;

 private:
  friend class TCustomAction;
  std::vector<TCustomAction*> actions_;
};

// Every live action, for the idle update pass.
void UpdateActions();

}  // namespace lark
