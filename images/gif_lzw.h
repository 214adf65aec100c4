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

// Whether the LZW data in the sub-blocks from `pos`, with this minimum
// code size (1..11), can give `pixels` pixels: the k-th code after a clear
// stands for at most k pixels (an entry is one longer than the one it
// extends) and never more than the table holds, while codes grow wider as
// the table fills. A frame larger than that cannot be filled by its data.
// Reads only as far as it takes to know.
[[nodiscard]] bool LZWDataCanFill(int minimumCodeSize, const uint8_t* data, size_t size, size_t pos,
                                  uint64_t pixels);

// Decodes one frame's LZW image data (codes least significant bit first) into
// the rows of an 8-bit picture, top-down or in the four interlace passes.
// Pixels the data does not reach stay 0. Raises GIFException "Corrupt GIF
// Image" for a minimum code size outside 1..11 and for an expansion deeper
// than the decoder's stack.
void DecodeLZW(int minimumCodeSize, const std::vector<uint8_t>& codes, bool interlaced, PixelImage& picture);

}  // namespace lark
