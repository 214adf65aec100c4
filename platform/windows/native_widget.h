#pragma once

// Internal to the window layer: toolkit widgets behind native controls.

#include <QWidget>

#include "platform/windows/qt_bridge.h"
#include "platform/windows/win_control.h"

class QAbstractScrollArea;

namespace lark {

// Makes `widget` the window of `control` (inside its parent's window), with
// its input routed through the queue.
void AttachNativeWidget(TWinControl* control, QWidget* widget);
// Routes another widget's input (a part of the native widget that gets
// keys itself) through the control's queue as well.
void RouteInputOf(QWidget* part, TWinControl* control);
// Hands a message the control did not keep to the widget as toolkit input.
// False when the widget left it alone (it went up to the windows around it,
// which do not take it again).
bool ReplayToWidget(HWND handle, const TMessage& message);

// Shows a framed scrolling widget's bars exactly as its control decided.
void ShowOwnScrollBars(QAbstractScrollArea* area, bool vertical, bool horizontal);

template <typename W>
W* NativeWidget(TWinControl* control) {
  return control->HandleAllocated() ? static_cast<W*>(control->Handle()->widget) : nullptr;
}

}  // namespace lark
