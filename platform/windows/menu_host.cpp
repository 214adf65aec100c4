#include "platform/windows/menu_host.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <map>
#include <vector>

#include "platform/windows/custom_image_list.h"

#include "platform/windows/application.h"
#include "platform/windows/gui_application.h"
#include "platform/windows/form.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/test_driver.h"

namespace lark {
namespace {

// Adjacent radio entries of one GroupIndex share an exclusive group, so the
// toolkit marks a checked one with its radio indicator instead of a check.
QActionGroup* RadioGroupFor(QMenu* target, const TMenuItem* entry, QActionGroup*& group, int& groupIndex) {
  if (!entry->RadioItem) {
    group = nullptr;
    return nullptr;
  }
  if (!group || groupIndex != entry->GroupIndex) {
    group = new QActionGroup(target);
    // Choosing the checked entry leaves it checked, as on the desktop.
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    groupIndex = entry->GroupIndex;
  }
  return group;
}

// What a shown menu is made of: the entries the user may choose, and every
// entry with a place for a picture (submenus included), by their actions.
struct TShownEntries {
  std::map<QAction*, TMenuItem*> choices;
  std::map<QAction*, TMenuItem*> pictured;
};

void Fill(QMenu* target, TMenuItem* item, const TCustomImageList* images, TShownEntries& shown) {
  QActionGroup* group = nullptr;
  int groupIndex = 0;
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (!child->Visible()) continue;
    QActionGroup* radios = RadioGroupFor(target, child, group, groupIndex);
    if (child->IsLine()) {
      target->addSeparator();
      continue;
    }
    QString caption = QString::fromStdString(child->Caption());
    if (child->Count() > 0) {
      QMenu* submenu = target->addMenu(caption);
      submenu->setIcon(ImageListIcon(images, child->ImageIndex));
      shown.pictured[submenu->menuAction()] = child;
      Fill(submenu, child, images, shown);
      continue;
    }
    QAction* action = target->addAction(caption);
    action->setIcon(ImageListIcon(images, child->ImageIndex));
    action->setEnabled(child->Enabled());
    // Unchecked entries show no mark at all, radio entries included.
    action->setCheckable(child->Checked());
    action->setChecked(child->Checked());
    if (radios) radios->addAction(action);
    shown.choices[action] = child;
    shown.pictured[action] = child;
  }
}

// Keeps the pictures of an open pop-up menu current. The entries' picture
// numbers and the menu's list are plain values, so they are compared after
// every message the menu's loop handles; the list's own changes come through
// its change link. Entries freed meanwhile are left alone, and so is the
// whole menu once it is freed.
class TShownPictures : public TComponent {
 public:
  TShownPictures(TPopupMenu* menu, const std::map<QAction*, TMenuItem*>& pictured)
      : TComponent(nullptr), menu_(menu), pictured_(pictured) {
    link_.OnChange = [this](TObject*) { stale_ = true; };
    FreeNotification(menu);
    Remember();
  }
  ~TShownPictures() override {
    if (menu_) RemoveFreeNotification(menu_);
  }
  void Refresh() {
    if (!menu_ || (!stale_ && images_ == menu_->Images() && !IndexChanged())) return;
    Remember();
    for (const auto& [action, entry] : pictured_)
      if (menu_->Contains(entry)) action->setIcon(ImageListIcon(images_, indexes_[action]));
  }

 private:
  bool IndexChanged() const {
    for (const auto& [action, entry] : pictured_)
      if (menu_->Contains(entry) && entry->ImageIndex != indexes_.at(action)) return true;
    return false;
  }
  void Remember() {
    stale_ = false;
    if (images_ != menu_->Images()) {
      if (link_.Sender()) link_.Sender()->UnRegisterChanges(&link_);
      images_ = menu_->Images();
      if (images_) images_->RegisterChanges(&link_);
    }
    for (const auto& [action, entry] : pictured_)
      if (menu_->Contains(entry)) indexes_[action] = entry->ImageIndex;
  }

  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == menu_) menu_ = nullptr;
  }

  TPopupMenu* menu_;
  const std::map<QAction*, TMenuItem*>& pictured_;
  std::map<QAction*, int> indexes_;
  TCustomImageList* images_ = nullptr;
  TChangeLink link_;
  bool stale_ = false;
};

// What a menu bar was built from: every shown entry in order, with what
// places it (submenu, line, radio group, picture). While that stays, a
// change of caption, mark or greying is made on the entries in place:
// setting the window's language changes a hundred captions one by one, and
// building the bar anew for each was most of the program's start.
struct TBarEntry {
  const TMenuItem* item;
  int count;
  bool line;
  bool radio;
  int group;
  int image;
  bool operator==(const TBarEntry&) const = default;
};

void AddShape(const TMenuItem* parent, std::vector<TBarEntry>& shape) {
  for (int i = 0; i < parent->Count(); ++i) {
    const TMenuItem* child = parent->Items(i);
    if (!child->Visible()) continue;
    shape.push_back({child, child->Count(), child->IsLine(), child->RadioItem, child->GroupIndex, child->ImageIndex});
    AddShape(child, shape);
  }
}

// Kept on the bar (its child object), so it goes with the bar.
class TBarState : public QObject {
 public:
  explicit TBarState(QMenuBar* bar) : QObject(bar) { setObjectName(kName); }
  // Found by name: without the toolkit's meta-object a look-up by type
  // would match any child.
  static constexpr const char* kName = "larkspan-bar-state";
  static TBarState* Of(QMenuBar* bar) {
    auto* state = dynamic_cast<TBarState*>(bar->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly));
    return state ? state : new TBarState(bar);
  }
  std::vector<TBarEntry> shape;
  const TCustomImageList* images = nullptr;
  // The entries of the submenus; the bar's own entries without submenus;
  // the submenus' actions. Each with its menu entry.
  std::map<QAction*, TMenuItem*> choices;
  std::map<QAction*, TMenuItem*> barChoices;
  std::map<QAction*, TMenuItem*> submenus;
};

void UpdateInPlace(const TBarState& state) {
  for (const auto& [action, entry] : state.submenus) action->setText(QString::fromStdString(entry->Caption()));
  for (const auto& [action, entry] : state.barChoices) {
    action->setText(QString::fromStdString(entry->Caption()));
    action->setEnabled(entry->Enabled());
  }
  for (const auto& [action, entry] : state.choices) {
    action->setText(QString::fromStdString(entry->Caption()));
    action->setEnabled(entry->Enabled());
    action->setCheckable(entry->Checked());
    action->setChecked(entry->Checked());
  }
}

void BuildBar(QMenuBar* bar, TMainMenu* menu, TBarState& state, HWND target) {
  state.images = menu->Images();
  state.choices.clear();
  state.barChoices.clear();
  state.submenus.clear();
  bar->clear();
  TShownEntries shown;
  for (int i = 0; i < menu->Items()->Count(); ++i) {
    TMenuItem* item = menu->Items()->Items(i);
    if (!item->Visible()) continue;
    QString caption = QString::fromStdString(item->Caption());
    if (item->Count() > 0) {
      QMenu* submenu = bar->addMenu(caption);
      state.submenus[submenu->menuAction()] = item;
      Fill(submenu, item, menu->Images(), shown);
    } else {
      QAction* action = bar->addAction(caption);
      action->setEnabled(item->Enabled());
      state.barChoices[action] = item;
    }
  }
  for (const auto& [action, entry] : shown.pictured)
    if (entry->Count() > 0) state.submenus[action] = entry;
  state.choices = shown.choices;
  std::map<QAction*, TMenuItem*> actions = shown.choices;
  actions.insert(state.barChoices.begin(), state.barChoices.end());
  QObject::disconnect(bar, &QMenuBar::triggered, nullptr, nullptr);
  QObject::connect(bar, &QMenuBar::triggered, [actions, target](QAction* action) {
    // The toolkit unchecks a checked entry as it is chosen; its mark is the
    // program's to change (a radio entry's group keeps it as it is).
    if (action->isCheckable() && !action->actionGroup()) action->setChecked(true);
    auto it = actions.find(action);
    if (it != actions.end()) PostMessage(target, WM_COMMAND, 0, reinterpret_cast<LPARAM>(it->second));
  });
}

}  // namespace

void UpdateMenuBar(TCustomForm* form) {
  if (!form->HandleAllocated() || form->Parent()) return;
  TWindowHandle* handle = form->Handle();
  QWidget* window = handle->widget;
  auto* bar = window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
  TMainMenu* menu = form->Menu();
  bool anyVisible = false;
  if (menu)
    for (int i = 0; i < menu->Items()->Count(); ++i) anyVisible |= menu->Items()->Items(i)->Visible();
  if (!anyVisible) {
    delete bar;
    handle->top_inset = 0;
    return;
  }
  if (!bar) bar = new QMenuBar(window);
  TBarState* state = TBarState::Of(bar);
  std::vector<TBarEntry> shape;
  AddShape(menu->Items(), shape);
  if (shape == state->shape && menu->Images() == state->images) {
    UpdateInPlace(*state);
  } else {
    state->shape = std::move(shape);
    BuildBar(bar, menu, *state, form->Handle());
  }
  handle->top_inset = bar->sizeHint().height();
  bar->setGeometry(0, 0, window->width(), handle->top_inset);
  bar->show();
}

TMenuItem* RunPopupMenu(TPopupMenu* menu, TPoint screenPoint) {
  TMenuItem* choice = nullptr;
  if (AnswerPopupMenu(menu, screenPoint, choice)) return choice;
  EnsureGuiApplication();
  QMenu shown;
  TShownEntries entries;
  Fill(&shown, menu->Items(), menu->Images(), entries);
  const std::map<QAction*, TMenuItem*>& actions = entries.choices;
  QAction* chosen = nullptr;
  QObject::connect(&shown, &QMenu::triggered, [&chosen](QAction* action) { chosen = action; });
  // The point fixes the left edge, the right edge or the middle of the menu.
  int width = shown.sizeHint().width();
  int left = menu->Alignment == TPopupAlignment::paRight    ? screenPoint.X - width
             : menu->Alignment == TPopupAlignment::paCenter ? screenPoint.X - width / 2
                                                             : screenPoint.X;
  shown.popup(QPoint(left, screenPoint.Y));
  TShownPictures pictures(menu, entries.pictured);
  while (shown.isVisible() && !Application()->Terminated()) {
    Application()->HandleMessage();
    pictures.Refresh();
  }
  auto it = actions.find(chosen);
  return it == actions.end() ? nullptr : it->second;
}

}  // namespace lark
