#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/action.h"
#include "platform/windows/component.h"
#include "platform/windows/control_types.h"
#include "platform/graphics/geometry.h"

namespace lark {

class TMenu;
class TMenuActionLink;

// Key plus modifier bits, as shortcuts are stored.
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };
TShortCut ShortCut(unsigned short key, TShiftState shift);
// The key of a caption's "&" accelerator (upper-cased), or 0. "&&" is a literal "&".
char GetHotkey(const std::string& caption);
// The caption as shown: accelerator marks removed.
std::string StripHotkey(const std::string& caption);

// One entry of a menu; it owns the entries of its submenu. Entries made at
// run time are created with an owner (often the form) and added with Add;
// freeing an entry takes it out of its parent.
class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool IsLine() const { return caption_ == "-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  TShortCut ShortCut = 0;
  int ImageIndex = -1;
  bool RadioItem = false;
  int GroupIndex = 0;
  bool Default = false;
  std::string Hint;

  TBasicAction* Action() const;
  void SetAction(TBasicAction* action);
  void ActionChange(TBasicAction* sender, bool checkDefaults);

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the entry out without freeing it.
  void Remove(TMenuItem* item);
  // Frees the entry at index.
  void Delete(int index);
  void Clear();
  TMenuItem* Find(const std::string& caption) const;
  // The menu the entry is in (null while it is in none).
  [[nodiscard]] TMenu* Menu() const { return menu_; }
  // The entry and every entry above it are visible and enabled, so a user
  // can reach it once its menu shows.
  [[nodiscard]] bool Reachable() const;

  virtual void Click();
  TNotifyEvent OnClick;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TMenu;
  void Changed();
  void AttachTo(TMenu* menu);

  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;
  std::vector<TMenuItem*> items_;
  std::unique_ptr<TMenuActionLink> action_link_;
};

class TCustomImageList;

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_.get(); }
  // The pictures of the entries, by their ImageIndex, shown beside them.
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  // Runs the click of the entry bound to the shortcut when a user could
  // choose it: it and every entry above it are visible and enabled.
  bool IsShortCut(TShortCut shortCut);
  // A user can open the menu now: a menu bar on a showing form, a pop-up
  // menu of a showing control.
  [[nodiscard]] virtual bool Shown() const { return false; }
  // The entry is somewhere in this menu.
  [[nodiscard]] bool Contains(const TMenuItem* item) const;
  // Called whenever an entry anywhere in the menu changes.
  std::function<void()> OnChange;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::unique_ptr<TMenuItem> items_;
  TCustomImageList* images_ = nullptr;
};

class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;
  // It is the menu bar of the showing form that owns it.
  [[nodiscard]] bool Shown() const override;
};

using TPopupMenuHook = std::function<TMenuItem*(class TPopupMenu* menu, TPoint screenPoint)>;

// Which edge of a pop-up menu the point given to Popup fixes.
enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  using TMenu::TMenu;
  // Shows the menu at a screen point and runs the click of the chosen entry.
  virtual void Popup(int x, int y);
  TComponent* PopupComponent = nullptr;
  TPopupAlignment Alignment = TPopupAlignment::paLeft;
  bool AutoPopup = true;
  TNotifyEvent OnPopup;
  // A showing control of its owner has it as its pop-up menu.
  [[nodiscard]] bool Shown() const override;
};

}  // namespace lark
