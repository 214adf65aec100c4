#include "platform/graphics/geometry.h"

#include <algorithm>

namespace lark {

bool IntersectRect(TRect& result, const TRect& a, const TRect& b) {
  result = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
  if (result.IsEmpty()) {
    result = {};
    return false;
  }
  return true;
}

void OffsetRect(TRect& rect, int dx, int dy) {
  rect.Left += dx;
  rect.Right += dx;
  rect.Top += dy;
  rect.Bottom += dy;
}

void InflateRect(TRect& rect, int dx, int dy) {
  rect.Left -= dx;
  rect.Right += dx;
  rect.Top -= dy;
  rect.Bottom += dy;
}

}  // namespace lark
