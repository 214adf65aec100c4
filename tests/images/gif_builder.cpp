#include "tests/images/gif_builder.h"

#include <algorithm>

namespace lark::test {

namespace {

std::string Word(int value) { return {char(value & 0xFF), char((value >> 8) & 0xFF)}; }

// Table size bits for a colour count, and the table padded to that size.
int TableBits(size_t count) {
  int bits = 1;
  while ((size_t{1} << bits) < count) ++bits;
  return bits;
}
std::string Table(const std::vector<uint32_t>& colors) {
  std::string out;
  const size_t size = size_t{1} << TableBits(colors.size());
  for (size_t i = 0; i < size; ++i) {
    const uint32_t c = i < colors.size() ? colors[i] : 0;
    out += {char(c >> 16), char(c >> 8), char(c)};
  }
  return out;
}

}  // namespace

std::string GIFHeader(int width, int height, const std::vector<uint32_t>& globalColors) {
  std::string out = "GIF89a" + Word(width) + Word(height);
  out += globalColors.empty() ? char(0) : char(0x80 | (TableBits(globalColors.size()) - 1));
  out += std::string("\0\0", 2);
  return out + (globalColors.empty() ? "" : Table(globalColors));
}

std::string GraphicControl(int disposal, int delay, int transIndex, int sizeByte) {
  const char packed = char((disposal << 2) | (transIndex >= 0 ? 1 : 0));
  std::string body = {packed};
  body += Word(delay);
  body += char(transIndex >= 0 ? transIndex : 0);
  body.resize(sizeByte, '\0');
  return std::string("\x21\xF9", 2) + char(sizeByte) + body + std::string(1, '\0');
}

std::string NetscapeLoop(int count) {
  return std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16) + Word(count) + std::string(1, '\0');
}

std::string LZWData(int minimumCodeSize, const std::vector<int>& codes, int codeSize, int blockSize) {
  std::string bytes;
  uint32_t bits = 0;
  int count = 0;
  for (int code : codes) {
    bits |= uint32_t(code) << count;
    count += codeSize;
    while (count >= 8) {
      bytes += char(bits & 0xFF);
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) bytes += char(bits & 0xFF);
  std::string out(1, char(minimumCodeSize));
  for (size_t i = 0; i < bytes.size(); i += blockSize) {
    const std::string block = bytes.substr(i, blockSize);
    out += char(block.size()) + block;
  }
  return out + std::string(1, '\0');
}

std::string GIFImage(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                     int minimumCodeSize, int blockSize, const std::vector<uint32_t>& localColors) {
  std::string out = "," + Word(left) + Word(top) + Word(width) + Word(height);
  out += localColors.empty() ? char(0) : char(0x80 | (TableBits(localColors.size()) - 1));
  if (!localColors.empty()) out += Table(localColors);
  // Literal codes only, with a clear code before the table would make the
  // code size grow.
  const int clear = 1 << minimumCodeSize;
  std::vector<int> codes = {clear};
  int sinceClear = 0;
  for (uint8_t pixel : pixels) {
    if (sinceClear == std::max(1, clear - 2)) {
      codes.push_back(clear);
      sinceClear = 0;
    }
    codes.push_back(pixel);
    ++sinceClear;
  }
  codes.push_back(clear + 1);
  return out + LZWData(minimumCodeSize, codes, minimumCodeSize + 1, blockSize);
}

}  // namespace lark::test
