#include "viewer/paint_panel.h"

#include "platform/windows/messages.h"
#include "viewer/html_viewer.h"

namespace lark {

TPaintPanel::TPaintPanel(TComponent* owner, THTMLViewer* viewer) : TCustomPanel(owner), viewer_(viewer) {}

void TPaintPanel::WndProc(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;  // the paint covers every pixel it repaints
    return;
  }
  if (message.Msg == WM_LBUTTONDBLCLK && (message.WParam & MK_LBUTTON) != 0) {
    const TPoint at = PointFromLParam(message.LParam);
    viewer_->PanelDoubleClick(at.X, at.Y);
    return;
  }
  TCustomPanel::WndProc(message);
}

void TPaintPanel::Paint() {
  if (viewer_->InLayout()) return;
  viewer_->PaintSurface(Canvas());
}

}  // namespace lark
