#include <QScrollBar>
#include <algorithm>

#include "platform/graphics/canvas_device_qt.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/scroll_info.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/win_control.h"

// A window's own scroll bars belong to its non-client area, as on the
// desktop: the client area (and with it the retained surface, the layout of
// aligned children and WM_SIZE) is what the bars leave of the interior.

namespace lark {
namespace {

// Clicks on a bar, disabled or not, never fall through to the window below
// as client input.
void KeepMouseInside(QWidget* widget) { widget->setAttribute(Qt::WA_NoMousePropagation); }

QScrollBar* BarOf(TWinControl* control, TWindowHandle* handle, int bar) {
  QScrollBar*& widget = handle->scroll_bars[bar];
  if (!widget && control->WindowScrollBar(bar).Shows()) {
    widget = NewReportingScrollBar(bar == SB_VERT, control, control->WindowScrollBar(bar),
                                   TScrollBarOwner::Window);
    KeepMouseInside(widget);
    widget->setParent(handle->widget);
  }
  return widget;
}

// The square between two shown bars belongs to neither; it shows the
// button face and takes no input.
QWidget* CornerOf(TWindowHandle* handle) {
  if (!handle->scroll_corner) {
    auto* corner = new QWidget;
    corner->setAutoFillBackground(true);
    QPalette palette = corner->palette();
    palette.setColor(QPalette::Window, detail::ToQColor(clBtnFace));
    corner->setPalette(palette);
    KeepMouseInside(corner);
    handle->scroll_corner = corner;
    corner->setParent(handle->widget);
  }
  return handle->scroll_corner;
}

void PlaceBar(TWinControl* control, TWindowHandle* handle, int bar, const QRect& area) {
  QScrollBar* widget = BarOf(control, handle, bar);
  if (!widget) return;
  const TScrollBarState& state = control->WindowScrollBar(bar);
  widget->setGeometry(area);
  ShowScrollState(widget, state, control->Enabled(), 1);
  widget->setVisible(state.Shows() && !area.isEmpty());
}

int Extent(int bar) { return GetSystemMetrics(bar == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL); }

}  // namespace

TRect TWinControl::ClientRect() const {
  TRect rect = InteriorRect();
  if (WindowScrollBar(SB_VERT).Shows()) rect.Right = std::max(rect.Left, rect.Right - Extent(SB_VERT));
  if (WindowScrollBar(SB_HORZ).Shows()) rect.Bottom = std::max(rect.Top, rect.Bottom - Extent(SB_HORZ));
  return rect;
}

LRESULT TWinControl::InteriorHitTest(TPoint p) const {
  // The window's own bars only: a control's frame inside its client
  // rectangle (memos, lists) stays client.
  TRect client = TWinControl::ClientRect();
  if (!InteriorRect().Contains(p)) return HTNOWHERE;
  bool beside = p.X >= client.Right, below = p.Y >= client.Bottom;
  if (beside && below) return HTNOWHERE;
  if (beside) return HTVSCROLL;
  return below ? HTHSCROLL : HTCLIENT;
}

int TWinControl::SetWindowScrollInfo(int bar, const TScrollInfo& info) {
  TSize oldClient{ClientWidth(), ClientHeight()};
  int pos = WindowScrollBar(bar).Set(info);
  TSize newClient{ClientWidth(), ClientHeight()};
  if (oldClient == newClient) {
    PlaceWindowScrollBars(this);
    return pos;
  }
  // The window's surface and widget follow first, so that what WM_SIZE's
  // handler draws or asks lands in the new client area.
  SyncWindowGeometry();
  ClientResized(oldClient);
  return pos;
}

// The vertical bar runs down the interior's right edge beside the client
// area, the horizontal one along the bottom below it; both sit on top of the
// window's children, which the desktop clips to the client area.
void PlaceWindowScrollBars(TWinControl* control) {
  if (!control->HandleAllocated()) return;
  TWindowHandle* handle = control->Handle();
  TRect client = control->ClientRect();
  TRect interior = control->InteriorRect();
  int top = handle->top_inset;
  int barWidth = interior.Width() - client.Width();
  int barHeight = interior.Height() - client.Height();
  PlaceBar(control, handle, SB_VERT, QRect(client.Width(), top, barWidth, client.Height()));
  PlaceBar(control, handle, SB_HORZ, QRect(0, top + client.Height(), client.Width(), barHeight));
  if (barWidth > 0 && barHeight > 0) {
    QWidget* corner = CornerOf(handle);
    corner->setGeometry(client.Width(), top + client.Height(), barWidth, barHeight);
    corner->show();
  } else if (handle->scroll_corner) {
    handle->scroll_corner->hide();
  }
  KeepScrollBarsOnTop(handle);
}

void KeepScrollBarsOnTop(TWindowHandle* handle) {
  for (QWidget* widget : {static_cast<QWidget*>(handle->scroll_bars[SB_HORZ]),
                          static_cast<QWidget*>(handle->scroll_bars[SB_VERT]), handle->scroll_corner})
    if (widget) widget->raise();
}

}  // namespace lark
