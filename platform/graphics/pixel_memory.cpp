#include "platform/graphics/pixel_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>
#include <utility>

namespace lark {
namespace {

// Huge pages are this large and this aligned; smaller stores use the heap.
constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t bytes, size_t unit) { return (bytes + unit - 1) / unit * unit; }

// Maps `length` (a multiple of kHugePage) bytes aligned to kHugePage, by
// mapping one huge page more and giving back the unaligned ends.
uint8_t* MapAligned(size_t length) {
  void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto* start = static_cast<uint8_t*>(raw);
  const size_t head = RoundUp(reinterpret_cast<uintptr_t>(start), kHugePage) - reinterpret_cast<uintptr_t>(start);
  if (head) munmap(start, head);
  if (kHugePage - head) munmap(start + head + length, kHugePage - head);
  uint8_t* aligned = start + head;
#ifdef MADV_HUGEPAGE
  (void)madvise(aligned, length, MADV_HUGEPAGE);  // only a hint: plain pages work as well
#endif
  return aligned;
}

}  // namespace

PixelMemory::PixelMemory(size_t bytes) : size_(bytes) {
  if (bytes >= kHugePage) {
    mapped_ = RoundUp(bytes, kHugePage);
    bytes_ = MapAligned(mapped_);
  } else {
    bytes_ = static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
  }
  if (!bytes_) throw std::bad_alloc();
}

PixelMemory::~PixelMemory() { Release(); }

PixelMemory::PixelMemory(PixelMemory&& source) noexcept
    : bytes_(std::exchange(source.bytes_, nullptr)),
      size_(std::exchange(source.size_, 0)),
      mapped_(std::exchange(source.mapped_, 0)) {}

PixelMemory& PixelMemory::operator=(PixelMemory&& source) noexcept {
  if (this == &source) return *this;
  Release();
  bytes_ = std::exchange(source.bytes_, nullptr);
  size_ = std::exchange(source.size_, 0);
  mapped_ = std::exchange(source.mapped_, 0);
  return *this;
}

void PixelMemory::Release() {
  if (mapped_) munmap(bytes_, mapped_);
  else std::free(bytes_);
  bytes_ = nullptr;
  size_ = mapped_ = 0;
}

}  // namespace lark
