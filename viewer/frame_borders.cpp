#include <algorithm>
#include <cstdlib>

#include "platform/windows/desktop.h"
#include "platform/windows/messages.h"
#include "viewer/frame_browser.h"
#include "viewer/frame_set.h"

namespace lark {
namespace {

// How near a border the pointer must be to grab it.
constexpr int kGrabDistance = 5;
// A press this near a nested set's own edge belongs to the set around it.
constexpr int kOuterEdgeDistance = 4;
constexpr int kDragLineWidth = 2;

}  // namespace

// ---- frames pass the mouse to their frameset ------------------------------------------

void TbrFrame::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  owner_->BorderMouseDown(button, shift, x + Left(), y + Top());
}

void TbrFrame::MouseMove(TShiftState shift, int x, int y) {
  // A frame that may not be resized never offers its borders.
  if (!NoResize || owner_->Dragging()) owner_->BorderMouseMove(shift, x + Left(), y + Top());
}

void TbrFrame::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  owner_->BorderMouseUp(button, shift, x + Left(), y + Top());
}

void TbrFrame::WndProc(TMessage& message) {
  if (message.Msg == WM_CANCELMODE) owner_->CancelDrag();
  TbrFrameBase::WndProc(message);
}

// ---- the frameset's borders ---------------------------------------------------------------

void TbrSubFrameSet::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  BorderMouseDown(button, shift, x, y);
}
void TbrSubFrameSet::MouseMove(TShiftState shift, int x, int y) { BorderMouseMove(shift, x, y); }
void TbrSubFrameSet::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  BorderMouseUp(button, shift, x, y);
}

void TbrSubFrameSet::WndProc(TMessage& message) {
  if (message.Msg == WM_CANCELMODE) CancelDrag();
  // The release frees the mouse, which cancels the mode, before the
  // control hears of it: the drag ends here first.
  if (message.Msg == WM_LBUTTONUP && Dragging()) {
    const TPoint p = PointFromLParam(message.LParam);
    BorderMouseUp(TMouseButton::mbLeft, 0, p.X, p.Y);
  }
  TbrFrameBase::WndProc(message);
}

void TbrSubFrameSet::VisibleChanging() {
  CancelDrag();
  TbrFrameBase::VisibleChanging();
}

int TbrSubFrameSet::NearestBorder(int pos) const {
  const int count = static_cast<int>(List.size());
  int best = 0;
  for (int i = 1; i < count; ++i) {
    const int line = Line[i] + OuterBorder;
    if (best == 0 || std::abs(pos - line) < std::abs(pos - (Line[best] + OuterBorder)) ||
        (std::abs(pos - line) == std::abs(pos - (Line[best] + OuterBorder)) && pos >= line))
      best = i;
  }
  return best;
}

void TbrSubFrameSet::BorderMouseMove(TShiftState /*shift*/, int x, int y) {
  const int pos = Rows ? y : x;
  if (Dragging()) {
    DrawDragLine();
    dragPos_ = pos;
    DrawDragLine();
    return;
  }
  if (Line.size() != List.size() + 1) return;
  hotBorder_ = NearestBorder(pos);
  const bool locked = hotBorder_ < static_cast<int>(BorderLocked.size()) && BorderLocked[hotBorder_];
  const bool near = hotBorder_ > 0 && std::abs(pos - (Line[hotBorder_] + OuterBorder)) <= kGrabDistance;
  SetCursor(near && !locked ? (Rows ? crVSplit : crHSplit) : MasterSet->Browser->ViewerCursor());
  for (auto& child : List) child->SetCursor(Cursor());
}

void TbrSubFrameSet::BorderMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button != TMouseButton::mbLeft) return;
  const bool nearOwnEdge = x < kOuterEdgeDistance || y < kOuterEdgeDistance || x >= Width() - kOuterEdgeDistance ||
                           y >= Height() - kOuterEdgeDistance;
  if (nearOwnEdge && OwnerFrame) {
    auto& outer = static_cast<TbrFrame*>(OwnerFrame)->Owner();
    outer.BorderMouseDown(button, shift, x + Left() + OwnerFrame->Left(), y + Top() + OwnerFrame->Top());
    return;
  }
  if (Cursor() != crVSplit && Cursor() != crHSplit) return;
  // The release may come over a frame's viewer: the set keeps the mouse
  // (taken before the drag starts, as taking it cancels the frame's mode).
  SetMouseCapture(true);
  dragBorder_ = hotBorder_;
  dragPos_ = Rows ? y : x;
  // The pointer stays between the neighbouring borders while it drags.
  const int low = Line[dragBorder_ - 1] + OuterBorder + 1, high = Line[dragBorder_ + 1] + OuterBorder - 1;
  TRect area = Rows ? Rect(0, low, Width(), high) : Rect(low, 0, high, Height());
  const TPoint topLeft = ClientToScreen(TPoint{area.Left, area.Top});
  const TRect screen = Rect(topLeft.X, topLeft.Y, topLeft.X + area.Width(), topLeft.Y + area.Height());
  ClipCursor(&screen);
  DrawDragLine();
}

void TbrSubFrameSet::BorderMouseUp(TMouseButton button, TShiftState /*shift*/, int x, int y) {
  if (button != TMouseButton::mbLeft || !Dragging()) return;
  const int border = dragBorder_;
  CancelDrag();
  const int pos = (Rows ? y : x) - OuterBorder;
  Line[border] = std::clamp(pos, Line[border - 1], Line[border + 1]);
  // The sizes follow the borders, in the proportion the placing uses.
  std::int64_t total = 0;
  for (int s : Size) total += s;
  const int count = static_cast<int>(List.size());
  const std::int64_t end = std::max(Line[count], 1);
  for (int i = 0; i < count; ++i)
    Size[i] = static_cast<int>(static_cast<std::int64_t>(Line[i + 1] - Line[i]) * total / end);
  PlaceChildren();
  Invalidate();
}

TRect TbrSubFrameSet::DragLineRect(int pos) const {
  const TRect line = Rows ? Rect(0, pos - kDragLineWidth / 2, Width(), pos + kDragLineWidth / 2)
                          : Rect(pos - kDragLineWidth / 2, 0, pos + kDragLineWidth / 2, Height());
  const TPoint topLeft = ClientToScreen(TPoint{line.Left, line.Top});
  return Rect(topLeft.X, topLeft.Y, topLeft.X + line.Width(), topLeft.Y + line.Height());
}

void TbrSubFrameSet::DrawDragLine() { DrawFocusRectOnScreen(DragLineRect(dragPos_)); }

void TbrSubFrameSet::CancelDrag() {
  if (!Dragging()) return;
  dragBorder_ = 0;
  DrawFocusRectOnScreen(DragLineRect(dragPos_));
  ClipCursor(nullptr);
  if (MouseCapture()) SetMouseCapture(false);
}

}  // namespace lark
