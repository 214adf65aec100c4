#pragma once

#include <map>

#include "platform/windows/messages.h"

namespace lark {

class TCustomForm;

enum : UINT { MF_BYCOMMAND = 0x0, MF_ENABLED = 0x0, MF_GRAYED = 0x1, MF_DISABLED = 0x2 };
// What EnableMenuItem and GetMenuState answer for a command the menu lacks.
constexpr UINT kNoMenuItem = 0xFFFFFFFFu;

// A form's window menu (Restore, Move, Size, Minimize, Maximize, Close). The
// desktop draws it with the frame; the layer keeps which commands it offers.
// A greyed or disabled command is refused when WM_SYSCOMMAND asks for it,
// and a greyed Close also takes the close box off the frame. Before it acts
// on a command the form sends itself WM_INITMENUPOPUP for this menu (HIWORD
// of LPARAM 1), as the desktop does when the menu opens: the form's default
// answer sets Restore, Move, Size, Minimize and Maximize from its state and
// border, and a hook that runs after it may grey more. Close keeps what the
// program set.
class TSystemMenu {
 public:
  explicit TSystemMenu(TCustomForm* form) : form_(form) {}
  // The previous state (MF_GRAYED / MF_DISABLED bits), or kNoMenuItem.
  UINT EnableItem(UINT command, UINT flags);
  [[nodiscard]] UINT State(UINT command) const;
  [[nodiscard]] bool Allows(UINT command) const { return State(command) == MF_ENABLED; }
  // Every command back to enabled.
  void Revert();

 private:
  TCustomForm* form_;
  std::map<UINT, UINT> disabled_;
};

using HMENU = TSystemMenu*;

// The window menu of a form's window (null for other windows); with
// `revert` its commands go back to the default first.
HMENU GetSystemMenu(HWND window, bool revert);
// MF_BYCOMMAND only: commands are the SC_ numbers.
UINT EnableMenuItem(HMENU menu, UINT command, UINT flags);
UINT GetMenuState(HMENU menu, UINT command, UINT flags);

}  // namespace lark
