#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "images/pixel_image.h"
#include "images/png_chunks.h"

namespace lark {

// Filters the writer may try, as bits of `Filters`.
enum TFilterBit : uint8_t {
  pfNone = 1,
  pfSub = 2,
  pfUp = 4,
  pfAverage = 8,
  pfPaeth = 16,
};

// Progress of a long decode: percent done and a caption.
using TPNGProgressEvent = std::function<void(int percent, const std::string& text)>;

// A Portable Network Graphics picture: the file as its list of chunks, and
// the decoded pixels in the bitmap's own format with its palette.
class TPNGImage {
 public:
  TPNGImage();
  TPNGImage(const TPNGImage&) = delete;
  TPNGImage& operator=(const TPNGImage&) = delete;

  // Reads a whole PNG file held in memory; raises EPNGImageException (or an
  // EZLibError) and leaves the image unusable on bad data.
  void LoadFromMemory(const uint8_t* data, size_t size);
  void LoadFromString(const std::string& data) {
    LoadFromMemory(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  }
  // Writes the bitmap as a PNG file.
  void SaveToStream(std::vector<uint8_t>& out);
  void Assign(const TPNGImage& source);

  // The decoded picture (and, for saving, the picture to write).
  [[nodiscard]] PixelImage& Bitmap() { return Bitmap_; }
  [[nodiscard]] const PixelImage& Bitmap() const { return Bitmap_; }

  // A monochrome mask, 1 where the picture is see-through: from every
  // transparent palette entry, an RGB image's key colour, or an alpha
  // channel below half. Empty when the file has no usable tRNS and no pixel
  // its alpha makes see-through.
  [[nodiscard]] PixelImage TransparencyMask() const;
  // Filled by the reader for images with an alpha channel (colour types 4
  // and 6): 1 where alpha is below half. The colour pixels keep their colours.
  [[nodiscard]] PixelImage& AlphaMask() { return AlphaMask_; }

  TChunkList Chunks;
  uint8_t Filters = pfNone | pfSub | pfAverage | pfPaeth;
  bool Interlaced = false;
  TPNGProgressEvent OnProgress;

 private:
  void SetBlankState();
  void ReadChunks(const uint8_t* data, size_t size);
  void PrepareChunksForSaving();

  PixelImage Bitmap_;
  PixelImage AlphaMask_;
};

}  // namespace lark
