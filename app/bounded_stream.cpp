#include "app/bounded_stream.h"

#include <string>

namespace lark {

std::int64_t TBoundedStream::Write(const void* buffer, std::int64_t count) {
  if (count > 0 && target_.Position() > limit_ - count) RaiseTooLarge();
  return target_.Write(buffer, count);
}

void TBoundedStream::SetSize(std::int64_t size) {
  if (size > limit_) RaiseTooLarge();
  target_.SetSize(size);
}

void TBoundedStream::CheckAnnounced(std::int64_t length) const {
  if (length > limit_) RaiseTooLarge();
}

void TBoundedStream::RaiseTooLarge() const {
  throw EFetchTooLarge("Document larger than " + std::to_string(limit_ / (1024 * 1024)) + " MiB");
}

}  // namespace lark
