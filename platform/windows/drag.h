#pragma once

#include <functional>

#include "platform/graphics/geometry.h"
#include "platform/windows/control_types.h"

namespace lark {

class TControl;

enum class TDragMode { dmManual, dmAutomatic };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;

// The control under a screen point, windowed or not, on any shown form of
// the program (the topmost form first); null over nothing of ours.
TControl* FindDragTarget(TPoint screenPoint, bool allowDisabled);

// Dragging with the mouse inside the program: the source holds the mouse;
// each move asks the control under it (OnDragOver) whether it accepts, and
// the release drops there (OnDragDrop) and tells the source (OnEndDrag).
namespace drag {
// Starts at once, or once the mouse has moved a few pixels.
void Begin(TControl* source, bool immediate, TPoint screenPoint);
bool Active(const TControl* source);
// Mouse moves and the release seen by the source while it holds the mouse;
// true when the drag took the message.
bool MouseMove(TControl* source, TPoint screenPoint);
bool MouseUp(TControl* source, TPoint screenPoint);
void Cancel();
// A control going away stops being part of the drag.
void Forget(const TControl* control);
}  // namespace drag

}  // namespace lark
