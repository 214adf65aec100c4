#pragma once

namespace lark {

class TfrmPreview;

namespace test {

// Draws the preview's current page from its recording into a bitmap of the
// view's size, at the page box the preview reports, and compares it with
// what PB1 shows every few pixels: the share of points where a channel
// differs by more than 24 (1 when no point of the page is in view).
double ViewMismatch(TfrmPreview& preview);

}  // namespace test
}  // namespace lark
