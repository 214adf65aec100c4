#include "html/token_obj.h"

#include <algorithm>
#include <limits>

namespace lark {

namespace {
constexpr std::int32_t kInitialCapacity = 300;
}  // namespace

TokenObj::TokenObj() {
  chars_.reserve(kInitialCapacity);
  positions_.reserve(kInitialCapacity);
}

void TokenObj::AddRun(const char* chars, std::size_t count, std::int32_t firstInd) {
  chars_.insert(chars_.end(), chars, chars + count);
  // Positions stop at the largest 32-bit value rather than wrap.
  const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
  for (std::size_t i = 0; i < count; ++i)
    positions_.push_back(static_cast<std::int32_t>(std::min<std::int64_t>(firstInd + static_cast<std::int64_t>(i), limit)));
  while (Leng() > maxIndex_) maxIndex_ += kCapacityStep;
  stringOK_ = false;
}

void TokenObj::Concat(const TokenObj& other) {
  const std::int64_t total = static_cast<std::int64_t>(Leng()) + other.Leng();
  if (total > maxIndex_)
    maxIndex_ = static_cast<std::int32_t>(
        std::min<std::int64_t>(total + kCapacityStep, std::numeric_limits<std::int32_t>::max()));
  chars_.insert(chars_.end(), other.chars_.begin(), other.chars_.end());
  positions_.insert(positions_.end(), other.positions_.begin(), other.positions_.end());
  stringOK_ = false;
}

void TokenObj::ReplaceChar(std::int32_t ind, char ch) {
  if (ind < 0 || ind >= Leng()) return;
  chars_[static_cast<std::size_t>(ind)] = ch;
  if (stringOK_) s_[static_cast<std::size_t>(ind)] = ch;
}

const std::string& TokenObj::GetString() {
  if (!stringOK_) {
    s_.assign(chars_.data(), chars_.size());
    stringOK_ = true;
  }
  return s_;
}

void TokenObj::Clear() {
  chars_.clear();
  positions_.clear();
  s_.clear();
  stringOK_ = true;
}

}  // namespace lark
