#pragma once

#include <chrono>
#include <functional>

namespace lark {

// The toolkit's own busy indicator, for benchmarks that set a control beside
// it: shows a width x height busy progress bar (range 0..0, which the
// toolkit animates) in a window of its own and calls pump until how_long has
// passed, then closes it. Returns how many times the bar was painted, so
// that a run where it did not animate shows.
int ShowBusyProgressBar(int width, int height, std::chrono::milliseconds how_long,
                        const std::function<void()>& pump);

}  // namespace lark
