#pragma once

namespace lark {

enum : int {
  SM_CXSCREEN = 0,    // width of the primary screen
  SM_CYSCREEN = 1,    // height of the primary screen
  SM_CXVSCROLL = 2,   // width of a window's vertical scroll bar
  SM_CYHSCROLL = 3,   // height of a window's horizontal scroll bar
  SM_CYCAPTION = 4,   // height of a form's caption bar
  SM_CXBORDER = 5,    // a thin (one-line) window border
  SM_CYBORDER = 6,
  SM_CXDLGFRAME = 7,  // the frame of a form that cannot be resized
  SM_CYDLGFRAME = 8,
  SM_CYMENU = 15,     // height of a form's menu bar
  SM_CXFRAME = 32,    // the frame of a sizeable form
  SM_CYFRAME = 33,
  SM_CYSMCAPTION = 51,  // height of a tool window's caption bar
};

// The window system's fixed sizes. They do not follow the desktop's theme,
// so that a window's client area is the same size everywhere (a form's frame
// is made of them); indices the layer does not know answer 0.
int GetSystemMetrics(int index);

}  // namespace lark
