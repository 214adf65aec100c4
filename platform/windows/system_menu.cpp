#include "platform/windows/system_menu.h"

#include <algorithm>
#include <array>

#include "platform/windows/form.h"

namespace lark {
namespace {

constexpr std::array<UINT, 6> kCommands = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};

bool Known(UINT command) { return std::find(kCommands.begin(), kCommands.end(), command) != kCommands.end(); }

}  // namespace

UINT TSystemMenu::EnableItem(UINT command, UINT flags) {
  if (!Known(command)) return kNoMenuItem;
  UINT previous = State(command);
  UINT state = flags & (MF_GRAYED | MF_DISABLED);
  if (state == previous) return previous;
  if (state == MF_ENABLED) disabled_.erase(command);
  else disabled_[command] = state;
  if (command == SC_CLOSE) form_->SystemMenuChanged();
  return previous;
}

UINT TSystemMenu::State(UINT command) const {
  if (!Known(command)) return kNoMenuItem;
  auto it = disabled_.find(command);
  return it == disabled_.end() ? MF_ENABLED : it->second;
}

void TSystemMenu::Revert() {
  bool closeChanged = !Allows(SC_CLOSE);
  disabled_.clear();
  if (closeChanged) form_->SystemMenuChanged();
}

HMENU GetSystemMenu(HWND window, bool revert) {
  auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(window));
  if (!form) return nullptr;
  HMENU menu = &form->SystemMenu();
  if (revert) menu->Revert();
  return menu;
}

UINT EnableMenuItem(HMENU menu, UINT command, UINT flags) { return menu ? menu->EnableItem(command, flags) : kNoMenuItem; }

UINT GetMenuState(HMENU menu, UINT command, UINT) { return menu ? menu->State(command) : kNoMenuItem; }

}  // namespace lark
