#include <QScrollBar>
#include <QStyle>

#include "platform/windows/qt_bridge.h"
#include "platform/windows/scroll_info.h"
#include "platform/windows/win_control.h"

namespace lark {
namespace {

// A bar shows while there is something to scroll, or disabled when its
// owner asked for SIF_DISABLENOSCROLL.
bool BarShows(const TScrollBarState& state) { return state.CanScroll() || state.DisableNoScroll; }

QScrollBar* BarOf(TWinControl* control, TWindowHandle* handle, int bar) {
  QScrollBar*& widget = handle->scroll_bars[bar];
  if (!widget && BarShows(control->WindowScrollBar(bar))) {
    widget = NewReportingScrollBar(bar == SB_VERT, control, control->WindowScrollBar(bar));
    widget->setParent(handle->widget);
  }
  return widget;
}

}  // namespace

// The bars lie over the client area's right and bottom edges, above every
// child window.
void PlaceWindowScrollBars(TWinControl* control) {
  if (!control->HandleAllocated()) return;
  TWindowHandle* handle = control->Handle();
  QScrollBar* horz = BarOf(control, handle, SB_HORZ);
  QScrollBar* vert = BarOf(control, handle, SB_VERT);
  if (!horz && !vert) return;
  bool showsHorz = BarShows(control->WindowScrollBar(SB_HORZ));
  bool showsVert = BarShows(control->WindowScrollBar(SB_VERT));
  int extent = handle->widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  int top = handle->top_inset;
  int width = handle->widget->width();
  int height = handle->widget->height() - top;
  if (vert) {
    vert->setGeometry(width - extent, top, extent, height - (showsHorz ? extent : 0));
    ShowScrollState(vert, control->WindowScrollBar(SB_VERT), control->Enabled(), 1);
    vert->setVisible(showsVert);
    vert->raise();
  }
  if (horz) {
    horz->setGeometry(0, top + height - extent, width - (showsVert ? extent : 0), extent);
    ShowScrollState(horz, control->WindowScrollBar(SB_HORZ), control->Enabled(), 1);
    horz->setVisible(showsHorz);
    horz->raise();
  }
}

}  // namespace lark
