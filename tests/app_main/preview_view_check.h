#pragma once

#include "platform/graphics/geometry.h"

namespace lark {

class TfrmPreview;

namespace test {

// Draws the preview's current page from its recording into a bitmap of the
// view's size, at the page box the preview reports, and compares it with
// what PB1 shows every few pixels: the share of points where a channel
// differs by more than 24 (1 when no point of the page is in view).
double ViewMismatch(TfrmPreview& preview);
// Whether the view shows ink (a dark pixel) at a point of PB1.
bool InkAt(TfrmPreview& preview, int x, int y);
// A point of PB1 on ink (inside a stroke: inked two pixels away on all four
// sides too, so that a click's rounding stays on the stroke), as
// near the middle of the view as there is one within 150 x 100 pixels of
// it, sampled every third pixel; {-1, -1} when there is none.
TPoint InkNearTheMiddle(TfrmPreview& preview, bool insideStroke = true);

}  // namespace test
}  // namespace lark
