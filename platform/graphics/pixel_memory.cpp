#include "platform/graphics/pixel_memory.h"

#include <sys/mman.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LARK_PIXEL_MEMORY_POISONED 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define LARK_PIXEL_MEMORY_POISONED 1
#endif
#ifdef LARK_PIXEL_MEMORY_POISONED
#include <sanitizer/asan_interface.h>
#endif

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

// Mapped stores lie outside the sanitizer's heap, so the mapping's slack
// past the store (at least a page) is marked unreadable for it by hand: a
// decoder writing past a picture is still caught where the sanitizer runs.
void PoisonSlack(uint8_t* bytes, size_t size, size_t mapped) {
#ifdef LARK_PIXEL_MEMORY_POISONED
  ASAN_POISON_MEMORY_REGION(bytes + size, mapped - size);
#else
  (void)bytes, (void)size, (void)mapped;
#endif
}

// Before the mapping goes: the addresses may next be the heap's.
void UnpoisonMapping(uint8_t* bytes, size_t mapped) {
#ifdef LARK_PIXEL_MEMORY_POISONED
  ASAN_UNPOISON_MEMORY_REGION(bytes, mapped);
#else
  (void)bytes, (void)mapped;
#endif
}

constexpr size_t kSlack = 4096;

}  // namespace

PixelMemory::PixelMemory(size_t bytes) : size_(bytes) {
  if (bytes >= kHugePage) {
    mapped_ = RoundUp(bytes + kSlack, kHugePage);
    bytes_ = MapAligned(mapped_);
    if (bytes_) PoisonSlack(bytes_, size_, mapped_);
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
  if (mapped_) {
    UnpoisonMapping(bytes_, mapped_);
    munmap(bytes_, mapped_);
  } else {
    std::free(bytes_);
  }
  bytes_ = nullptr;
  size_ = mapped_ = 0;
}

}  // namespace lark
