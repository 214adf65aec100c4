#include "platform/windows/action.h"

#include <algorithm>

#include "platform/windows/control.h"

namespace lark {
namespace {

std::vector<TBasicAction*>& LiveActions() {
  static std::vector<TBasicAction*> actions;
  return actions;
}

template <typename T>
void Erase(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TActionLink::~TActionLink() { SetAction(nullptr); }

void TActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_) action_->UnregisterLink(this);
  action_ = action;
  if (action_) action_->RegisterLink(this);
}

bool TActionLink::Execute() { return action_ && action_->Execute(); }

void TControlActionLink::Change() { client_->ActionChange(Action(), false); }

bool TControlActionLink::ClientShows() const { return client_->Showing() && client_->Enabled(); }

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) { LiveActions().push_back(this); }

TBasicAction::~TBasicAction() {
  Erase(LiveActions(), this);
  // Clients drop their links through the free notification; any left go here.
  while (!links_.empty()) links_.back()->SetAction(nullptr);
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

bool TBasicAction::ReachableByUser() const {
  if (links_.empty()) return true;
  return std::any_of(links_.begin(), links_.end(), [](const TActionLink* link) { return link->ClientShows(); });
}

void TBasicAction::RegisterLink(TActionLink* link) { links_.push_back(link); }
void TBasicAction::UnregisterLink(TActionLink* link) { Erase(links_, link); }

void TBasicAction::Changed() {
  for (TActionLink* link : std::vector<TActionLink*>(links_)) link->Change();
}

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Changed();
}

void TCustomAction::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  // Checking one action of a group unchecks the others of its list.
  if (value && GroupIndex > 0 && action_list_)
    for (TCustomAction* other : action_list_->actions_)
      if (other != this && other->GroupIndex == GroupIndex) other->SetChecked(false);
  Changed();
}

void TCustomAction::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Changed();
}

void TCustomAction::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Changed();
}

void TCustomAction::SetImageIndex(int value) {
  if (value == image_index_) return;
  image_index_ = value;
  Changed();
}

void TCustomAction::SetShortCut(TShortCut value) {
  if (value == short_cut_) return;
  short_cut_ = value;
  Changed();
}

void TCustomAction::SetActionList(TActionList* list) {
  if (list == action_list_) return;
  if (action_list_) Erase(action_list_->actions_, this);
  action_list_ = list;
  if (list) list->actions_.push_back(this);
}

bool TCustomAction::Execute() {
  if (!enabled_) return false;
  if (action_list_ && action_list_->OnExecute) {
    bool handled = false;
    action_list_->OnExecute(this, handled);
    if (handled) return true;
  }
  return TBasicAction::Execute();
}

TActionList::~TActionList() {
  while (!actions_.empty()) actions_.back()->SetActionList(nullptr);
}

bool TActionList::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  for (TCustomAction* action : std::vector<TCustomAction*>(actions_)) {
    if (action->ShortCut() != shortCut) continue;
    action->Update();
    if (!action->Enabled() || !action->Visible() || !action->ReachableByUser()) continue;
    return action->Execute();
  }
  return false;
}

void UpdateActions() {
  for (TBasicAction* action : std::vector<TBasicAction*>(LiveActions())) action->Update();
}

}  // namespace lark
