#pragma once

#include "platform/windows/bars.h"

namespace lark {

// A status bar that holds controls (the busy gauge, for one) and paints its
// whole area itself.
class TAdvStatusBar : public TStatusBar {
 public:
  explicit TAdvStatusBar(TComponent* owner) : TStatusBar(owner) { ControlStyle |= csAcceptsControls | csOpaque; }
};

}  // namespace lark
