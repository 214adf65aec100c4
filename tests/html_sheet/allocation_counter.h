#pragma once

#include <cstddef>

namespace lark::test {

// Bytes handed out by operator new in this test program so far; a test takes
// the difference across the work it measures.
[[nodiscard]] std::size_t AllocatedBytes();

}  // namespace lark::test
