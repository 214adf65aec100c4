#pragma once
// Where the transfer benchmarks put what they download: /dev/null through a
// file descriptor, as `curl -o /dev/null` does, so both sides pay the same
// write calls. /dev/null keeps no position, so the bytes are counted from the
// component's work events.

#include <cstdint>

#include "net/net_component.h"
#include "platform/core/file_stream.h"

namespace lark::bench {

class TNullSink {
 public:
  explicit TNullSink(TNetComponent& component) {
    component.OnWork = [this](TObject*, TWorkMode mode, std::int64_t count) {
      if (mode == TWorkMode::wmRead) bytes_ = count;
    };
  }
  [[nodiscard]] TFileStream& Stream() { return stream_; }
  [[nodiscard]] std::int64_t Bytes() const { return bytes_; }

 private:
  TFileStream stream_{"/dev/null", fmCreate};
  std::int64_t bytes_ = 0;
};

}  // namespace lark::bench
