#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/graphic.h"
#include "platform/graphics/palette.h"

namespace lark {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

namespace detail {
struct BitmapData;
}

// A bitmap with exact pixels. Rows are laid out as in a device-independent
// bitmap of the pixel format, top row first: pf1bit 1 bit per pixel, most
// significant bit first (1 = the second palette entry, white for a
// monochrome bitmap); pf4bit and pf8bit one palette index per byte (a
// pf4bit bitmap keeps one byte per pixel); pf24bit blue, green, red;
// pf32bit and pfDevice blue, green, red, 0xFF. New pixels are white.
class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  void Assign(const TBitmap& source);

  [[nodiscard]] int Width() const override;
  [[nodiscard]] int Height() const override;
  void SetWidth(int width);
  void SetHeight(int height);
  // Keeps the top-left pixels that still fit. Raises EOutOfResources "Out
  // of system resources" when the pixels cannot be had.
  void SetSize(int width, int height);

  [[nodiscard]] TPixelFormat PixelFormat() const;
  // Converts the pixels; to an indexed format through the bitmap's palette
  // (the default palette when it has none), nearest colour.
  void SetPixelFormat(TPixelFormat format);
  [[nodiscard]] bool Monochrome() const;
  void SetMonochrome(bool monochrome);
  [[nodiscard]] TBitmapHandleType HandleType() const;
  void SetHandleType(TBitmapHandleType type);

  // The colour table of an indexed bitmap; for deeper ones the palette kept
  // with the bitmap for drawing on palette screens (null when none).
  [[nodiscard]] HPALETTE Palette() const;
  void SetPalette(const HPALETTE& palette);

  // A pointer to row y (0 = top), valid until the size or format changes or
  // the canvas draws on a bitmap that is not 32-bit (such drawing goes
  // through a 32-bit copy that replaces the pixels).
  [[nodiscard]] void* ScanLine(int y);
  [[nodiscard]] const void* ScanLine(int y) const;
  [[nodiscard]] int BytesPerScanLine() const;

  // The colour of a pixel (its palette colour for indexed bitmaps).
  [[nodiscard]] TColor Pixel(int x, int y) const;

  [[nodiscard]] TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  [[nodiscard]] TTransparentMode TransparentMode() const { return transparent_mode_; }
  void SetTransparentMode(TTransparentMode mode);
  void SetTransparent(bool transparent) override;

  // A canvas that draws into the bitmap; it lives as long as the bitmap.
  TCanvas& Canvas();

  void DrawOn(TCanvas& canvas, const TRect& rect) const override;

  // Windows bitmap files (1, 4, 8, 16, 24 and 32 bits, run-length coded
  // 4- and 8-bit ones included); the pixel format follows the file's depth.
  // Pixels that run-length data never reaches have index 0. Raises
  // EInvalidGraphic "Bitmap image is not valid" for anything else, and for
  // files whose pixel data is short or starts inside the headers; "Bitmap
  // image is too large" beyond the picture limits of graphics_exceptions.h.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  // A bitmap compiled into the program (see resources.h); raises
  // EResNotFound "Resource <name> not found" when there is none.
  void LoadFromResourceName(const std::string& name);
  void LoadFromResourceID(int id) { LoadFromResourceName(std::to_string(id)); }

  // Runs after what the bitmap shows changed: its pixels (each drawing call
  // on its canvas, loading, assigning), size, format, palette or
  // transparency. A writable ScanLine counts as a change when it is handed
  // out, since the caller is about to write. Changes made through the
  // layer-internal Data() are not reported.
  std::function<void(TBitmap* sender)> OnChange;

  // Layer internal: the pixels, with any drawing in progress finished.
  detail::BitmapData& Data();
  const detail::BitmapData& Data() const;

 private:
  void Changed();

  std::unique_ptr<detail::BitmapData> data_;
  TColor transparent_color_ = clDefault;
  TTransparentMode transparent_mode_ = tmAuto;
};

}  // namespace lark
