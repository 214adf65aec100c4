#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/canvas.h"
#include "platform/graphics/graphic.h"

namespace lark {

namespace detail {
struct MetafileData;
}

// One recorded drawing call, as tests and tools read a metafile. Positions
// are in the metafile's units: the reference device's pixels.
struct TMetafileRecord {
  enum class Kind { Fill, Shape, Text, Image };
  Kind RecordKind = Kind::Fill;
  TRect Bounds;
  TColor Color = clBlack;  // fill, pen or text colour
  std::string Text;         // the bytes of a text record
  std::vector<int> CharX;   // left edge of each character of a text record
  int BaselineY = 0;
  unsigned Rop = 0;         // raster operation of an image record
};

// A display list of canvas calls, recorded on a TMetafileCanvas against a
// reference device and replayed, scaled, onto any canvas by Draw or
// StretchDraw. Text is kept as positioned glyph runs, so it lands where it
// was measured whatever the scale.
class TMetafile : public TGraphic {
 public:
  TMetafile();
  ~TMetafile() override;

  void Assign(const TMetafile& source);
  void Clear();

  // The size in reference-device pixels (the reference device's whole page).
  [[nodiscard]] int Width() const override;
  [[nodiscard]] int Height() const override;
  void SetSize(int width, int height);
  [[nodiscard]] const TDeviceCaps& ReferenceCaps() const;

  [[nodiscard]] int RecordCount() const;
  [[nodiscard]] TMetafileRecord Record(int index) const;

  void DrawOn(TCanvas& canvas, const TRect& rect) const override;
  // Metafiles live in memory only: these raise EInvalidGraphicOperation.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;

  // Layer internal.
  detail::MetafileData& Data() { return *data_; }

 private:
  std::unique_ptr<detail::MetafileData> data_;
};

// A canvas that records into a metafile. The reference canvas (null for the
// screen) gives the device it measures against: its resolution, page size
// and colour depth. Recording replaces what the metafile held.
class TMetafileCanvas : public TCanvas {
 public:
  TMetafileCanvas(TMetafile& metafile, TCanvas* reference);
  ~TMetafileCanvas() override;
};

}  // namespace lark
