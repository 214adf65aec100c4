#include "net/net_buffer.h"

#include "net/net_exception.h"
#include "net/net_messages.h"

namespace lark {

void TNetBuffer::Append(const char* bytes, std::int64_t count) {
  if (start_ > 0 && start_ >= data_.size() / 2) {
    data_.erase(0, start_);
    start_ = 0;
  }
  data_.append(bytes, static_cast<size_t>(count));
}

void TNetBuffer::Remove(std::int64_t n) {
  if (n > Size() || n < 0) throw ENetNotEnoughDataInBuffer(net_messages::RSNotEnoughDataInBuffer);
  start_ += static_cast<size_t>(n);
  if (start_ == data_.size()) Clear();
}

void TNetBuffer::Clear() {
  data_.clear();
  start_ = 0;
}

void TNetBuffer::ClearBit7From(std::int64_t offset) {
  for (size_t i = start_ + static_cast<size_t>(offset); i < data_.size(); ++i) data_[i] &= 0x7F;
}

}  // namespace lark
