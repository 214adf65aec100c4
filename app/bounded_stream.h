#pragma once

#include <cstdint>

#include "platform/core/exception.h"
#include "platform/core/stream.h"

namespace lark {

// Most bytes a fetch may hold in memory: a page (with its frames and style
// sheets it is handed to the viewer whole), and a single image, which the
// decoders expand further. A caller's own stream (a file being saved) has no
// such limit.
constexpr std::int64_t kMaxFetchedDocumentBytes = 256LL * 1024 * 1024;
constexpr std::int64_t kMaxFetchedImageBytes = 64LL * 1024 * 1024;

// A fetch that would have held more than its limit in memory.
LARK_EXCEPTION_CLASS(EFetchTooLarge, EStreamError);

// Passes writes to a stream until they would take it past the limit, then
// raises EFetchTooLarge: a server cannot make the program hold more than the
// limit, whatever it announces or sends.
class TBoundedStream : public TStream {
 public:
  TBoundedStream(TStream& target, std::int64_t limit) : target_(target), limit_(limit) {}

  [[nodiscard]] std::int64_t Read(void* buffer, std::int64_t count) override { return target_.Read(buffer, count); }
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override { return target_.Seek(offset, origin); }
  void SetSize(std::int64_t size) override;
  [[nodiscard]] std::int64_t Size() override { return target_.Size(); }

  // Raises when a fetch announces more than the limit, before any byte comes.
  void CheckAnnounced(std::int64_t length) const;

 private:
  [[noreturn]] void RaiseTooLarge() const;

  TStream& target_;
  std::int64_t limit_;
};

}  // namespace lark
