#pragma once

namespace lark {

// How deeply sections may nest: blocks inside blocks (and, later, table cells
// inside tables). The reader stops nesting elements at this depth and the
// document model enforces it again when a block is made, so that every walk
// over the sections (layout, widths, drawing, hit tests, find, copies) stays
// within the stack whatever the page. A block made deeper than this keeps an
// empty cell; its content joins the deepest cell allowed.
//
// Measured with the scaling test's stack probe: the deepest walk takes about
// 11 KB of stack per level in the sanitizer build (ASan, no optimisation)
// and under 1 KB in the optimised one, so 256 levels use about 2.9 MB of
// the main thread's 8 MB at worst. Tables nest several frames per level:
// they must count each table as levels enough to stay within that budget.
constexpr int kMaxNestingDepth = 256;

}  // namespace lark
