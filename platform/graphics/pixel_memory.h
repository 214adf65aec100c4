#pragma once

#include <cstddef>
#include <cstdint>

namespace lark {

// Zeroed memory for pixel stores. Large stores are mapped straight from the
// system: their pages stay untouched (and cost nothing) until a pixel is
// written, and they come in huge pages where the system offers them, since
// faulting in a picture of tens of megabytes a page at a time costs more
// than decoding it. A few small frames on a wide animation screen, or a
// run-length bitmap that leaves most of its area at index 0, touch only
// what they cover.
class PixelMemory {
 public:
  PixelMemory() = default;
  // Raises std::bad_alloc when the memory cannot be had.
  explicit PixelMemory(size_t bytes);
  ~PixelMemory();
  PixelMemory(PixelMemory&& source) noexcept;
  PixelMemory& operator=(PixelMemory&& source) noexcept;
  PixelMemory(const PixelMemory&) = delete;
  PixelMemory& operator=(const PixelMemory&) = delete;

  [[nodiscard]] uint8_t* Bytes() const { return bytes_; }
  [[nodiscard]] size_t Size() const { return size_; }

 private:
  void Release();

  uint8_t* bytes_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // 0 when the bytes come from the heap
};

}  // namespace lark
