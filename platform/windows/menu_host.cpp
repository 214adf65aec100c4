#include "platform/windows/menu_host.h"

#include <QMenu>

#include "platform/windows/application.h"
#include "platform/windows/gui_application.h"
#include "platform/windows/menus.h"
#include "platform/windows/test_driver.h"

namespace lark {
namespace {

void Fill(QMenu* target, TMenuItem* item, std::map<QAction*, TMenuItem*>& actions) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (!child->Visible()) continue;
    if (child->IsLine()) {
      target->addSeparator();
      continue;
    }
    QString caption = QString::fromStdString(child->Caption());
    if (child->Count() > 0) {
      Fill(target->addMenu(caption), child, actions);
      continue;
    }
    QAction* action = target->addAction(caption);
    action->setEnabled(child->Enabled());
    action->setCheckable(child->Checked());
    action->setChecked(child->Checked());
    actions[action] = child;
  }
}

}  // namespace

TMenuItem* RunPopupMenu(TPopupMenu* menu, TPoint screenPoint) {
  TMenuItem* choice = nullptr;
  if (AnswerPopupMenu(menu, screenPoint, choice)) return choice;
  EnsureGuiApplication();
  QMenu shown;
  std::map<QAction*, TMenuItem*> actions;
  Fill(&shown, menu->Items(), actions);
  QAction* chosen = nullptr;
  QObject::connect(&shown, &QMenu::triggered, [&chosen](QAction* action) { chosen = action; });
  shown.popup(QPoint(screenPoint.X, screenPoint.Y));
  while (shown.isVisible() && !Application()->Terminated()) Application()->HandleMessage();
  auto it = actions.find(chosen);
  return it == actions.end() ? nullptr : it->second;
}

}  // namespace lark
