#pragma once

#include <cstdint>

#include "platform/graphics/geometry.h"

namespace lark {

// Windows-style messages: the layer turns the toolkit's events into these, and
// controls answer them through their WindowProc. Numbers are the classic ones,
// so code that compares against literal values (0x201 for a left press) holds.
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window of the layer. Each windowed control gets a new one every time its
// window is (re)created, so a handle that outlived its window never matches a
// new one.
struct TWindowHandle;
using HWND = TWindowHandle*;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// A message as it sits in the queue.
struct TMsg {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::uint32_t time = 0;
  TPoint pt;
  // Modifier keys and mouse buttons held when the message was made (ssShift,
  // ssCtrl, ssAlt, ssLeft...), as the keyboard state reads while it runs.
  unsigned keyState = 0;
};

inline LPARAM MakeLParam(int low, int high) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
inline short LoWord(LPARAM value) { return static_cast<short>(value & 0xFFFF); }
inline short HiWord(LPARAM value) { return static_cast<short>((value >> 16) & 0xFFFF); }
inline TPoint PointFromLParam(LPARAM value) { return TPoint{LoWord(value), HiWord(value)}; }
inline LPARAM LParamFromPoint(TPoint p) { return MakeLParam(p.X, p.Y); }

enum : UINT {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_SETREDRAW = 0x000B,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_ERASEBKGND = 0x0014,
  WM_SHOWWINDOW = 0x0018,
  WM_ACTIVATEAPP = 0x001C,
  WM_CANCELMODE = 0x001F,
  WM_SETCURSOR = 0x0020,
  WM_GETMINMAXINFO = 0x0024,
  WM_CONTEXTMENU = 0x007B,
  WM_WINDOWPOSCHANGED = 0x0047,
  WM_NCHITTEST = 0x0084,
  WM_GETDLGCODE = 0x0087,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_SYSKEYDOWN = 0x0104,
  WM_SYSKEYUP = 0x0105,
  WM_SYSCHAR = 0x0106,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,
  WM_SYSCOMMAND = 0x0112,
  WM_TIMER = 0x0113,
  WM_HSCROLL = 0x0114,
  WM_VSCROLL = 0x0115,
  WM_INITMENUPOPUP = 0x0117,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_RBUTTONDBLCLK = 0x0206,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_MBUTTONDBLCLK = 0x0209,
  WM_MOUSEWHEEL = 0x020A,
  WM_FONTCHANGE = 0x001D,
  WM_USER = 0x0400,
};

// The class library's own notifications between controls.
enum : UINT {
  CM_BASE = 0xB000,
  CM_ACTIVATE = CM_BASE + 0,
  CM_DEACTIVATE = CM_BASE + 1,
  CM_DIALOGKEY = CM_BASE + 5,
  CM_DIALOGCHAR = CM_BASE + 6,
  CM_FOCUSCHANGED = CM_BASE + 7,
  CM_ENABLEDCHANGED = CM_BASE + 12,
  CM_COLORCHANGED = CM_BASE + 13,
  CM_FONTCHANGED = CM_BASE + 14,
  CM_VISIBLECHANGED = CM_BASE + 17,
  CM_MOUSEENTER = CM_BASE + 19,
  CM_MOUSELEAVE = CM_BASE + 20,
  CM_TEXTCHANGED = CM_BASE + 24,
  // The focus comes into a control or one inside it / leaves it for a
  // control outside: OnEnter / OnExit.
  CM_ENTER = CM_BASE + 27,
  CM_EXIT = CM_BASE + 28,
  CM_SYSCOLORCHANGE = CM_BASE + 33,
  CM_RELEASE = CM_BASE + 34,
  CM_HINTSHOW = CM_BASE + 48,
  CM_VISIBLECHANGING = CM_BASE + 70,
  CM_RECREATEWINDOW = 0xB052,
  CM_DESTROYHOOK = 0xB053,
};

enum : UINT {
  MK_LBUTTON = 0x0001,
  MK_RBUTTON = 0x0002,
  MK_SHIFT = 0x0004,
  MK_CONTROL = 0x0008,
  MK_MBUTTON = 0x0010,
};

// Answers to WM_GETDLGCODE: which keys the control keeps for itself instead
// of leaving them to dialog navigation.
enum : LRESULT {
  DLGC_WANTARROWS = 0x0001,
  DLGC_WANTTAB = 0x0002,
  DLGC_WANTALLKEYS = 0x0004,
  DLGC_HASSETSEL = 0x0008,  // an edit box: its editing keys come before shortcuts
  DLGC_WANTCHARS = 0x0080,
};

// Hit-test answers of WM_NCHITTEST.
enum : LRESULT {
  HTERROR = -2,
  HTTRANSPARENT = -1,
  HTNOWHERE = 0,
  HTCLIENT = 1,
  HTCAPTION = 2,
  HTHSCROLL = 6,
  HTVSCROLL = 7,
  HTLEFT = 10,
  HTRIGHT = 11,
  HTTOP = 12,
  HTTOPLEFT = 13,
  HTTOPRIGHT = 14,
  HTBOTTOM = 15,
  HTBOTTOMLEFT = 16,
  HTBOTTOMRIGHT = 17,
};

enum : WPARAM {
  SC_SIZE = 0xF000,
  SC_MOVE = 0xF010,
  SC_MINIMIZE = 0xF020,
  SC_MAXIMIZE = 0xF030,
  SC_CLOSE = 0xF060,
  SC_RESTORE = 0xF120,
};

// Scroll notifications (low word of WPARAM of WM_HSCROLL/WM_VSCROLL).
enum : int {
  SB_LINEUP = 0,
  SB_LINEDOWN = 1,
  SB_PAGEUP = 2,
  SB_PAGEDOWN = 3,
  SB_THUMBPOSITION = 4,
  SB_THUMBTRACK = 5,
  SB_TOP = 6,
  SB_BOTTOM = 7,
  SB_ENDSCROLL = 8,
};

enum : WPARAM {
  WA_INACTIVE = 0,
  WA_ACTIVE = 1,
  WA_CLICKACTIVE = 2,
};

// Virtual key codes.
enum : WPARAM {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_F1 = 0x70,
  VK_F5 = 0x74,
  VK_F11 = 0x7A,
  VK_F12 = 0x7B,
};

// Bit 29 of a key message's LPARAM: the Alt key was held.
constexpr LPARAM KF_ALTDOWN_LPARAM = LPARAM{1} << 29;

}  // namespace lark
