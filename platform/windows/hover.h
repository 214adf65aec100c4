#pragma once

#include "platform/windows/messages.h"

namespace lark {

class TControl;

// The control under the pointer and the hint that goes with it.
//
// The hover target is the control a mouse move reached (the one holding the
// mouse while one does; a disabled control's first enabled ancestor above
// it). It hears CM_MOUSEENTER when it becomes the target and CM_MOUSELEAVE
// when it stops being it: when the pointer reaches another control, leaves
// the program's windows, or the target is hidden or disabled. A destroyed
// target is forgotten without a word. The application's hint (the long hint)
// follows the target at once; the hint window shows the short hint after
// Application.HintPause (HintShortPause while hints are already showing) and
// hides after HintHidePause; keys and clicks cancel it.
namespace hover {

// A mouse move reached `control`.
void MouseMoved(TControl* control);
// Finds the control under the pointer and makes it the target (none when the
// pointer is over nothing of ours). The idle step runs it.
void Recheck();
// Runs Recheck from the queue, after the current handler: the pointer left a
// window of ours.
void RecheckSoon();
// A control was hidden or disabled: when the target is it or inside it, the
// target moves.
void ControlUnavailable(const TControl* control);
// A control is being destroyed: it is never sent anything again.
void Forget(const TControl* control);
// Hides the hint window; the next hint waits the full pause again.
void CancelHint();
// Messages that end a showing hint (keys, clicks, the wheel).
[[nodiscard]] bool CancelsHint(UINT msg);

[[nodiscard]] TControl* MouseControl();

}  // namespace hover
}  // namespace lark
