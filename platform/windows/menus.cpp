#include "platform/windows/menus.h"

#include <algorithm>
#include <cctype>

#include "platform/windows/control.h"
#include "platform/windows/custom_image_list.h"
#include "platform/windows/form.h"
#include "platform/windows/menu_host.h"
#include "platform/core/exception.h"

namespace lark {

class TMenuActionLink : public TActionLink {
 public:
  explicit TMenuActionLink(TMenuItem* client) : client_(client) {}
  void Change() override { client_->ActionChange(Action(), false); }
  [[nodiscard]] bool ClientShows() const override {
    return client_->Reachable() && client_->Menu() && client_->Menu()->Shown();
  }

 private:
  TMenuItem* client_;
};

TShortCut ShortCut(unsigned short key, TShiftState shift) {
  TShortCut result = key & 0xFF;
  if (shift & ssShift) result |= scShift;
  if (shift & ssCtrl) result |= scCtrl;
  if (shift & ssAlt) result |= scAlt;
  return result;
}

char GetHotkey(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

std::string StripHotkey(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    out += caption[i];
  }
  return out;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  Destroying();
  Clear();
  if (parent_) parent_->Remove(this);
}

void TMenuItem::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void TMenuItem::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked && RadioItem && parent_)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex)
        sibling->SetChecked(false);
  Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void TMenuItem::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

TBasicAction* TMenuItem::Action() const { return action_link_ ? action_link_->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* action) {
  if (!action) {
    action_link_.reset();
    return;
  }
  if (!action_link_) action_link_ = std::make_unique<TMenuActionLink>(this);
  action_link_->SetAction(action);
  FreeNotification(action);
  ActionChange(action, HasState(csLoading));
}

void TMenuItem::ActionChange(TBasicAction* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || caption_.empty()) SetCaption(action->Caption());
  if (!checkDefaults || !checked_) SetChecked(action->Checked());
  if (!checkDefaults || enabled_) SetEnabled(action->Enabled());
  if (!checkDefaults || visible_) SetVisible(action->Visible());
  if (!checkDefaults || ShortCut == 0) ShortCut = action->ShortCut();
  if (!checkDefaults || ImageIndex == -1) ImageIndex = action->ImageIndex();
  if (!checkDefaults || Hint.empty()) Hint = action->Hint;
}

int TMenuItem::MenuIndex() const {
  if (!parent_) return -1;
  auto it = std::find(parent_->items_.begin(), parent_->items_.end(), this);
  return static_cast<int>(it - parent_->items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item->parent_) throw EComponentError("Menu inserted twice");
  if (index < 0 || index > Count()) throw EComponentError("Menu index out of range");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  item->AttachTo(menu_);
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) throw EComponentError("Sub-menu is not in menu");
  items_.erase(it);
  item->parent_ = nullptr;
  item->AttachTo(nullptr);
  Changed();
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) throw EComponentError("Menu index out of range");
  delete items_[static_cast<size_t>(index)];
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

bool TMenuItem::Reachable() const {
  // The menu's root entry is never shown itself.
  for (const TMenuItem* item = this; item && item->parent_; item = item->parent_)
    if (!item->visible_ || !item->enabled_) return false;
  return true;
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  std::string wanted = StripHotkey(caption);
  for (TMenuItem* item : items_)
    if (StripHotkey(item->caption_) == wanted) return item;
  return nullptr;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (action_link_ && action_link_->Execute()) return;
  if (OnClick) OnClick(this);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && action_link_ && component == action_link_->Action())
    action_link_.reset();
}

void TMenuItem::AttachTo(TMenu* menu) {
  menu_ = menu;
  for (TMenuItem* item : items_) item->AttachTo(menu);
}

void TMenuItem::Changed() {
  if (menu_ && menu_->OnChange && !menu_->HasState(csDestroying)) menu_->OnChange();
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

void TMenu::SetImages(TCustomImageList* images) {
  if (images == images_) return;
  ChangeImageList(*this, images_, nullptr, images);
  items_->Changed();
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  // A list being freed is forgotten, never called.
  if (operation != TOperation::opRemove || component != images_) return;
  images_ = nullptr;
  items_->Changed();
}

TMenu::~TMenu() {
  Destroying();
  items_.reset();
}

// An entry below a hidden or disabled one cannot be opened, so its key is
// no way round the hiding (a kiosk hides whole menus).
static TMenuItem* FindShortCut(TMenuItem* root, TShortCut shortCut) {
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (!item->Enabled() || !item->Visible()) continue;
    if (item->ShortCut == shortCut) return item;
    if (TMenuItem* found = FindShortCut(item, shortCut)) return found;
  }
  return nullptr;
}

bool TMainMenu::Shown() const {
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  return form && form->Menu() == this && form->Showing();
}

bool TPopupMenu::Shown() const {
  TComponent* owner = Owner();
  if (!owner) return false;
  for (int i = 0; i < owner->ComponentCount(); ++i)
    if (auto* control = dynamic_cast<TControl*>(owner->Components(i));
        control && control->PopupMenu() == this && control->Showing())
      return true;
  return false;
}

bool TMenu::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  TMenuItem* item = FindShortCut(items_.get(), shortCut);
  if (!item) return false;
  item->Click();
  return true;
}

// Compares addresses only, so a pointer to an entry freed meanwhile is safe.
static bool HoldsItem(const TMenuItem* root, const TMenuItem* item) {
  for (int i = 0; i < root->Count(); ++i)
    if (root->Items(i) == item || HoldsItem(root->Items(i), item)) return true;
  return false;
}

bool TMenu::Contains(const TMenuItem* item) const { return HoldsItem(items_.get(), item); }

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  TMenuItem* chosen = RunPopupMenu(this, Point(x, y));
  if (chosen) chosen->Click();
}

}  // namespace lark
