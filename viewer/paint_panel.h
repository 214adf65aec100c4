#pragma once

#include "platform/windows/panel.h"

namespace lark {

class THTMLViewer;

// The viewer's drawing surface. It never erases its background on its own
// (the paint covers every pixel of what it repaints), paints nothing while
// the viewer lays its document out, and hands left double clicks to the
// viewer.
class TPaintPanel : public TCustomPanel {
 public:
  TPaintPanel(TComponent* owner, THTMLViewer* viewer);

 protected:
  void WndProc(TMessage& message) override;
  void Paint() override;

 private:
  THTMLViewer* viewer_;  // back reference; the viewer owns this panel
};

}  // namespace lark
