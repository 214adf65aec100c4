#include "tests/html_sheet/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> allocated{0};

}  // namespace

void* operator new(std::size_t size) {
  allocated.fetch_add(size, std::memory_order_relaxed);
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace lark::test {

std::size_t AllocatedBytes() { return allocated.load(std::memory_order_relaxed); }

}  // namespace lark::test
