#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lark::test {

// Hand-made GIF files for the cases no tool writes.
std::string GIFHeader(int width, int height, const std::vector<uint32_t>& globalColors);
std::string GraphicControl(int disposal, int delay, int transIndex, int sizeByte = 4);
std::string NetscapeLoop(int count);
// An image descriptor and its data: `pixels` coded as literal LZW codes of
// `minimumCodeSize`, cut into sub-blocks of `blockSize` bytes.
std::string GIFImage(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                     int minimumCodeSize = 8, int blockSize = 255, const std::vector<uint32_t>& localColors = {});
// Codes as bits, least significant first, in sub-blocks, ending with a zero block.
std::string LZWData(int minimumCodeSize, const std::vector<int>& codes, int codeSize, int blockSize);
inline const std::string kGIFTrailer = ";";

}  // namespace lark::test
