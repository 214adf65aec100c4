#include "images/gif_lzw.h"

#include <algorithm>
#include <array>

#include "images/color_reduction.h"

namespace lark {

namespace {

constexpr int kMaxCodes = 4096;
const char kCorrupt[] = "Corrupt GIF Image";

// The rows in the order the data fills them.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(height);
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  return rows;
}

// Codes from the joined sub-block bytes; -1 once they run out.
class CodeReader {
 public:
  explicit CodeReader(const std::vector<uint8_t>& bytes) : Bytes_(bytes) {}
  int Next(int size) {
    while (Count_ < size) {
      if (Pos_ >= Bytes_.size()) return -1;
      Bits_ |= uint32_t{Bytes_[Pos_++]} << Count_;
      Count_ += 8;
    }
    const int code = static_cast<int>(Bits_ & ((1u << size) - 1));
    Bits_ >>= size;
    Count_ -= size;
    return code;
  }

 private:
  const std::vector<uint8_t>& Bytes_;
  size_t Pos_ = 0;
  uint32_t Bits_ = 0;
  int Count_ = 0;
};

// Hands decoded pixels to the rows in fill order; says when they are full.
class PixelSink {
 public:
  PixelSink(PixelImage& picture, bool interlaced)
      : Picture_(picture), Rows_(RowOrder(picture.Height(), interlaced)), Width_(picture.Width()) {
    if (!Rows_.empty()) Row_ = Picture_.ScanLine(Rows_[0]);
  }
  [[nodiscard]] bool Full() const { return RowIndex_ >= Rows_.size(); }
  // Writes `count` pixels from a stack filled back to front.
  void PutReversed(const uint8_t* top, int count) {
    for (int i = count - 1; i >= 0 && !Full(); --i) {
      Row_[Column_++] = top[i];
      if (Column_ == Width_) NextRow();
    }
  }

 private:
  void NextRow() {
    Column_ = 0;
    if (++RowIndex_ < Rows_.size()) Row_ = Picture_.ScanLine(Rows_[RowIndex_]);
  }
  PixelImage& Picture_;
  const std::vector<int> Rows_;
  const int Width_;
  size_t RowIndex_ = 0;
  int Column_ = 0;
  uint8_t* Row_ = nullptr;
};

}  // namespace

std::vector<uint8_t> ReadSubBlocks(const uint8_t* data, size_t size, size_t& pos) {
  std::vector<uint8_t> bytes;
  while (pos < size) {
    const size_t length = data[pos++];
    if (length == 0) break;
    const size_t available = std::min(length, size - pos);
    bytes.insert(bytes.end(), data + pos, data + pos + available);
    pos += available;
  }
  return bytes;
}

void SkipSubBlocks(const uint8_t* data, size_t size, size_t& pos) {
  while (pos < size) {
    const size_t length = data[pos++];
    if (length == 0) break;
    pos += std::min(length, size - pos);
  }
}

// Follows the decoder's table growth without decoding: the first code after
// the (implied) clear adds no entry, every later one adds one.
bool LZWDataCanFill(int minimumCodeSize, const uint8_t* data, size_t size, size_t pos, uint64_t pixels) {
  if (minimumCodeSize < 1 || minimumCodeSize > 11) return false;
  int codeSize = minimumCodeSize + 1;
  int limit = 1 << codeSize;
  int nextCode = (1 << minimumCodeSize) + 2;
  uint64_t bits = 0;
  uint64_t given = 0;
  uint64_t length = 0;
  bool first = true;
  while (given < pixels) {
    while (bits < uint64_t(codeSize)) {  // the next sub-block
      if (pos >= size || data[pos] == 0) return false;
      const size_t available = std::min<size_t>(data[pos], size - pos - 1);
      bits += uint64_t(available) * 8;
      pos += available + 1;
    }
    bits -= codeSize;
    length = std::min<uint64_t>(length + 1, kMaxCodes);
    given += length;
    if (first) {
      first = false;
      continue;
    }
    if (nextCode < kMaxCodes && ++nextCode >= limit && limit < kMaxCodes) {
      ++codeSize;
      limit <<= 1;
    }
  }
  return true;
}

void DecodeLZW(int minimumCodeSize, const std::vector<uint8_t>& codes, bool interlaced, PixelImage& picture) {
  // Above 11 the first free code would lie beyond the 4096-entry tables.
  if (minimumCodeSize < 1 || minimumCodeSize > 11) throw GIFException(kCorrupt);
  const int clearCode = 1 << minimumCodeSize;
  const int endCode = clearCode + 1;
  std::array<uint16_t, kMaxCodes> prefix{};
  std::array<uint8_t, kMaxCodes> suffix{};
  std::array<uint8_t, kMaxCodes> stack{};
  for (int i = 0; i < clearCode; ++i) suffix[i] = static_cast<uint8_t>(i);

  CodeReader reader(codes);
  PixelSink sink(picture, interlaced);
  int codeSize = minimumCodeSize + 1;
  int limit = 1 << codeSize;
  int nextCode = clearCode + 2;
  int oldCode = -1;
  uint8_t firstChar = 0;
  while (!sink.Full()) {
    int code = reader.Next(codeSize);
    if (code < 0 || code == endCode) break;
    if (code == clearCode) {
      codeSize = minimumCodeSize + 1;
      limit = 1 << codeSize;
      nextCode = clearCode + 2;
      oldCode = -1;
      continue;
    }
    if (oldCode < 0) {  // the first code after a clear stands for itself
      if (code >= clearCode) break;
      firstChar = static_cast<uint8_t>(code);
      oldCode = code;
      sink.PutReversed(&firstChar, 1);
      continue;
    }
    if (code > nextCode) break;  // a code the table cannot have yet: corrupt data
    const int inCode = code;
    int depth = 0;
    if (code == nextCode) {
      stack[depth++] = firstChar;
      code = oldCode;
    }
    while (code >= clearCode) {
      if (depth >= kMaxCodes - 1) throw GIFException(kCorrupt);
      stack[depth++] = suffix[code];
      code = prefix[code];
    }
    firstChar = suffix[code];
    stack[depth++] = firstChar;
    sink.PutReversed(stack.data(), depth);
    if (nextCode < kMaxCodes) {
      prefix[nextCode] = static_cast<uint16_t>(oldCode);
      suffix[nextCode] = firstChar;
      ++nextCode;
      if (nextCode >= limit && limit < kMaxCodes) {
        ++codeSize;
        limit <<= 1;
      }
    }
    oldCode = inCode;
  }
}

}  // namespace lark
