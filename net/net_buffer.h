#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lark {

// The connection's input buffer: bytes are appended at the back and cut from
// the front. Cutting only moves a start mark; the bytes before it are dropped
// when the buffer next grows, so reading many short lines stays linear.
class TNetBuffer {
 public:
  [[nodiscard]] std::int64_t Size() const { return static_cast<std::int64_t>(data_.size() - start_); }
  [[nodiscard]] bool Empty() const { return Size() == 0; }
  [[nodiscard]] std::string_view View() const { return std::string_view(data_).substr(start_); }
  void Append(const char* bytes, std::int64_t count);
  // Raises ENetNotEnoughDataInBuffer when n is more than the buffer holds.
  void Remove(std::int64_t n);
  void Clear();
  // Masks bit 7 of every byte from offset on (the ASCII filter).
  void ClearBit7From(std::int64_t offset);

 private:
  std::string data_;
  size_t start_ = 0;
};

}  // namespace lark
