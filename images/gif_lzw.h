#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/pixel_image.h"

namespace lark {

// Skips a run of data sub-blocks starting at `pos` (each a length byte and
// that many bytes) up to and past the zero-length block, and returns the
// bytes they carried. Stops at the end of the data when the terminator is
// missing.
std::vector<uint8_t> ReadSubBlocks(const uint8_t* data, size_t size, size_t& pos);
void SkipSubBlocks(const uint8_t* data, size_t size, size_t& pos);

// The bytes the sub-blocks from `pos` carry, read without copying them.
[[nodiscard]] uint64_t CountSubBlockBytes(const uint8_t* data, size_t size, size_t pos);

// The most pixels that `bytes` of LZW data can give with this minimum code
// size (1..11): the k-th code after a clear stands for at most k pixels (an
// entry is one longer than the one it extends) and never more than the
// table holds, while codes grow wider as the table fills. A frame larger
// than this cannot be filled by its data.
[[nodiscard]] uint64_t MaxLZWPixels(int minimumCodeSize, uint64_t bytes);

// Decodes one frame's LZW image data (codes least significant bit first) into
// the rows of an 8-bit picture, top-down or in the four interlace passes.
// Pixels the data does not reach stay 0. Raises GIFException "Corrupt GIF
// Image" for a minimum code size outside 1..11 and for an expansion deeper
// than the decoder's stack.
void DecodeLZW(int minimumCodeSize, const std::vector<uint8_t>& codes, bool interlaced, PixelImage& picture);

}  // namespace lark
