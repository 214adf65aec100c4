#pragma once

#include <string>

#include "platform/graphics/geometry.h"

namespace lark {

class TCanvas;
class TStream;

// Something that can draw itself on a canvas: bitmaps, JPEG images and
// metafiles. TCanvas::Draw and StretchDraw call DrawOn.
class TGraphic {
 public:
  virtual ~TGraphic() = default;
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  [[nodiscard]] virtual int Width() const = 0;
  [[nodiscard]] virtual int Height() const = 0;
  [[nodiscard]] virtual bool Empty() const { return Width() == 0 || Height() == 0; }

  // A transparent graphic leaves the pixels of its transparent colour
  // (bitmaps) or its unpainted area (metafiles) untouched.
  [[nodiscard]] bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent) { transparent_ = transparent; }

  // Draws the whole graphic scaled into rect, in the canvas's logical units.
  virtual void DrawOn(TCanvas& canvas, const TRect& rect) const = 0;

  // The graphic's file format, read from the stream's position to its end.
  // Raises EInvalidGraphic when the data is not such a graphic.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  void LoadFromFile(const std::string& file_name);
  void SaveToFile(const std::string& file_name) const;

 private:
  bool transparent_ = false;
};

}  // namespace lark
