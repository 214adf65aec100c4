#pragma once

#include <memory>
#include <string>

#include "platform/graphics/bitmap.h"

namespace lark {

enum TJPEGPixelFormat { jf24Bit, jf8Bit };

// A JPEG image: the compressed data, decoded into a bitmap on first need
// through libjpeg. Decoding errors raise EJPEG with libjpeg's message.
class TJPEGImage : public TGraphic {
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  [[nodiscard]] int Width() const override { return width_; }
  [[nodiscard]] int Height() const override { return height_; }
  [[nodiscard]] bool Grayscale() const { return grayscale_; }

  // The depth of the decoded bitmap: 24-bit, or 8-bit through the palette
  // given (or, without one, the greys for a grey image and a 256-colour
  // palette chosen from the image otherwise).
  [[nodiscard]] TJPEGPixelFormat PixelFormat() const { return pixel_format_; }
  void SetPixelFormat(TJPEGPixelFormat format);
  void SetPalette(const HPALETTE& palette);
  // Quality 1..100 used by SaveToStream for images made from a bitmap.
  int CompressionQuality = 90;

  // The decoded picture (decoded now if it is not yet).
  [[nodiscard]] const TBitmap& Bitmap() const;
  // Hands the decoded picture over; the image keeps its data.
  [[nodiscard]] std::unique_ptr<TBitmap> TakeBitmap();
  // Compresses a bitmap into this image.
  void Assign(const TBitmap& bitmap);

  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  void DrawOn(TCanvas& canvas, const TRect& rect) const override;

 private:
  void Decode() const;

  std::string data_;
  int width_ = 0;
  int height_ = 0;
  bool grayscale_ = false;
  TJPEGPixelFormat pixel_format_ = jf24Bit;
  HPALETTE palette_;
  mutable std::unique_ptr<TBitmap> bitmap_;
};

}  // namespace lark
