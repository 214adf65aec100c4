#include "html/token_obj.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace lark {

namespace {
constexpr std::size_t kInitialCapacity = 300;
constexpr std::int64_t kLargestPosition = std::numeric_limits<std::int32_t>::max();
}  // namespace

TokenObj::TokenObj() { Reserve(kInitialCapacity); }

void TokenObj::Reserve(std::size_t needed) {
  if (needed <= capacity_) return;
  // Lengths and indices are 32-bit, as the positions are.
  if (needed > static_cast<std::size_t>(kLargestPosition)) throw std::length_error("token too long");
  const std::size_t capacity =
      std::min(std::max(needed, capacity_ * 2), static_cast<std::size_t>(kLargestPosition));
  auto chars = std::make_unique<char[]>(capacity);
  auto positions = std::make_unique<std::int32_t[]>(capacity);
  if (leng_ > 0) {
    std::memcpy(chars.get(), chars_.get(), static_cast<std::size_t>(leng_));
    std::memcpy(positions.get(), positions_.get(), static_cast<std::size_t>(leng_) * sizeof(std::int32_t));
  }
  chars_ = std::move(chars);
  positions_ = std::move(positions);
  capacity_ = capacity;
}

void TokenObj::AddRun(const char* chars, std::size_t count, std::int32_t firstInd) {
  if (count == 0) return;
  Reserve(static_cast<std::size_t>(leng_) + count);
  std::memcpy(chars_.get() + leng_, chars, count);
  std::int32_t* out = positions_.get() + leng_;
  // Positions stop at the largest 32-bit value rather than wrap.
  if (firstInd + static_cast<std::int64_t>(count) <= kLargestPosition) {
    for (std::size_t i = 0; i < count; ++i) out[i] = firstInd + static_cast<std::int32_t>(i);
  } else {
    for (std::size_t i = 0; i < count; ++i)
      out[i] = static_cast<std::int32_t>(std::min(firstInd + static_cast<std::int64_t>(i), kLargestPosition));
  }
  leng_ += static_cast<std::int32_t>(count);
  while (leng_ > maxIndex_) maxIndex_ += kCapacityStep;
  stringOK_ = false;
}

void TokenObj::Concat(const TokenObj& other) {
  if (other.leng_ == 0) return;
  const std::int64_t total = static_cast<std::int64_t>(leng_) + other.leng_;
  if (total > maxIndex_) maxIndex_ = static_cast<std::int32_t>(std::min(total + kCapacityStep, kLargestPosition));
  Reserve(static_cast<std::size_t>(total));
  std::memcpy(chars_.get() + leng_, other.chars_.get(), static_cast<std::size_t>(other.leng_));
  std::memcpy(positions_.get() + leng_, other.positions_.get(),
              static_cast<std::size_t>(other.leng_) * sizeof(std::int32_t));
  leng_ = static_cast<std::int32_t>(total);
  stringOK_ = false;
}

void TokenObj::ReplaceChar(std::int32_t ind, char ch) {
  if (ind < 0 || ind >= leng_) return;
  chars_[ind] = ch;
  if (stringOK_) s_[static_cast<std::size_t>(ind)] = ch;
}

const std::string& TokenObj::GetString() {
  if (!stringOK_) {
    s_.assign(chars_.get(), static_cast<std::size_t>(leng_));
    stringOK_ = true;
  }
  return s_;
}

void TokenObj::Clear() {
  leng_ = 0;
  s_.clear();
  stringOK_ = true;
}

}  // namespace lark
