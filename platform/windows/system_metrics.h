#pragma once

namespace lark {

enum : int {
  SM_CXVSCROLL = 2,  // width of a window's vertical scroll bar
  SM_CYHSCROLL = 3,  // height of a window's horizontal scroll bar
};

// The window system's fixed sizes. They do not follow the desktop's theme,
// so that a window's client area is the same size everywhere; indices the
// layer does not know answer 0.
int GetSystemMetrics(int index);

}  // namespace lark
