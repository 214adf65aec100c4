#pragma once

#include "platform/graphics/canvas.h"

namespace lark {

// The canvas of an object whose device context is opened, replaced and
// closed under it, as the viewer's printer opens a job object per job. It
// keeps its own pen, brush, font and device-context state, and draws
// through the device of whichever canvas CreateHandle names at each call.
class TRelayCanvas : public TCanvas {
 public:
  TRelayCanvas();
  ~TRelayCanvas() override;

 protected:
  // The canvas whose device serves this one now; asked before every device
  // query and every drawing call.
  virtual TCanvas& CreateHandle() = 0;
  // Asked before every drawing call: may refuse it by raising.
  virtual void Changing() {}

 private:
  friend class RelayDevice;
};

}  // namespace lark
