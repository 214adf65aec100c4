#include "platform/graphics/run_length.h"

#include <algorithm>

namespace lark {
namespace {

class RunLengthDecoder {
 public:
  RunLengthDecoder(std::string_view data, TRunLengthDepth depth, const TIndexRaster& target)
      : data_(data), fourBits_(depth == TRunLengthDepth::Bits4), target_(target) {}

  bool Decode() {
    for (;;) {
      if (!Has(2)) return false;
      const uint8_t count = Byte(), value = Byte();
      if (count > 0) {
        Run(count, value);
        continue;
      }
      switch (value) {
        case 0: NextLine(); break;
        case 1: return true;
        case 2:
          if (!Has(2)) return false;
          x_ += Byte();
          y_ += Byte();
          break;
        default:
          if (!Literal(value)) return false;
          break;
      }
      if (y_ >= target_.height) return true;
    }
  }

 private:
  [[nodiscard]] bool Has(size_t bytes) const { return data_.size() - pos_ >= bytes; }
  uint8_t Byte() { return static_cast<uint8_t>(data_[pos_++]); }

  // The part of the next `count` pixels of the current row that lies inside
  // the target (0 when the row is outside or the data only gets checked).
  [[nodiscard]] int Visible(int count) const {
    if (!target_.rows || y_ >= target_.height || x_ >= target_.width) return 0;
    return int(std::min<int64_t>(count, target_.width - x_));
  }
  uint8_t* Row() const { return target_.rows + (target_.height - 1 - y_) * target_.stride; }

  // A 4-bit run alternates the two pixels of its byte, high one first.
  void Run(int count, uint8_t value) {
    const int visible = Visible(count);
    if (visible > 0) {
      uint8_t* out = Row() + x_;
      if (!fourBits_) std::fill(out, out + visible, value);
      else
        for (int i = 0; i < visible; ++i) out[i] = i & 1 ? value & 0x0F : value >> 4;
    }
    x_ += count;
  }

  // Literal bytes are padded to a 16-bit boundary.
  bool Literal(int count) {
    const size_t bytes = fourBits_ ? (size_t(count) + 1) / 2 : size_t(count);
    if (!Has(bytes + (bytes & 1))) return false;
    const auto* in = reinterpret_cast<const uint8_t*>(data_.data() + pos_);
    const int visible = Visible(count);
    if (visible > 0) {
      uint8_t* out = Row() + x_;
      for (int i = 0; i < visible; ++i) out[i] = !fourBits_ ? in[i] : i & 1 ? in[i / 2] & 0x0F : in[i / 2] >> 4;
    }
    pos_ += bytes + (bytes & 1);
    x_ += count;
    return true;
  }

  void NextLine() {
    x_ = 0;
    ++y_;
  }

  std::string_view data_;
  size_t pos_ = 0;
  bool fourBits_;
  TIndexRaster target_;
  // Wide enough that runs and deltas past the picture cannot overflow.
  int64_t x_ = 0;
  int64_t y_ = 0;  // counted from the bottom row
};

}  // namespace

bool ApplyRunLength(std::string_view data, TRunLengthDepth depth, const TIndexRaster& target) {
  return RunLengthDecoder(data, depth, target).Decode();
}

}  // namespace lark
