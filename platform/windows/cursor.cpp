#include "platform/windows/cursor.h"

#include <QCursor>
#include <QToolTip>

#include "platform/windows/application.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/win_control.h"

namespace lark {
namespace {

Qt::CursorShape ShapeOf(TCursor cursor) {
  switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crDrag: case crMultiDrag: return Qt::DragMoveCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

// ShowHint, or the parent's when ParentShowHint.
bool ShowsHint(const TControl* control) {
  for (const TControl* c = control; c; c = c->Parent())
    if (!c->ParentShowHint || !c->Parent()) return c->ShowHint;
  return false;
}

}  // namespace

void ShowHintOf(TControl* control) {
  std::string hint = control ? GetShortHint(control->Hint) : std::string();
  if (hint.empty() || !Application()->ShowHint || !ShowsHint(control)) {
    QToolTip::hideText();
    return;
  }
  TPoint at = Mouse()->CursorPos();
  QToolTip::showText(QPoint(at.X, at.Y + 20), QString::fromStdString(hint));
}

void ShowCursorOf(TControl* control) {
  auto* window = dynamic_cast<TWinControl*>(control);
  if (!window) window = control->Parent();
  if (!window || !window->HandleAllocated()) return;
  QWidget* widget = window->Handle()->widget;
  if (control->Cursor() == crDefault) {
    // The window's own cursor (an edit box keeps its text cursor).
    if (widget->testAttribute(Qt::WA_SetCursor)) widget->unsetCursor();
    return;
  }
  Qt::CursorShape shape = ShapeOf(control->Cursor());
  if (!widget->testAttribute(Qt::WA_SetCursor) || widget->cursor().shape() != shape) widget->setCursor(QCursor(shape));
}

}  // namespace lark
