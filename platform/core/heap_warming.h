// Pages the program's allocator hands out first, made present by a worker.
#pragma once

#include <cstddef>

namespace lark {

// A worker allocates `bytes` in blocks, touches every page of them and
// frees them again. The allocator keeps freed pages for reuse, so the next
// allocations of every thread are served from pages the system has already
// provided: the first touch of a fresh page is slow on some machines, and
// the GUI thread no longer waits for it while it builds and paints the
// first window. Nothing happens when no thread can be started.
void WarmHeapInBackground(std::size_t bytes);

}  // namespace lark
