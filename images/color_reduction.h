#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "images/pixel_image.h"
#include "platform/graphics/bitmap.h"
#include "platform/core/exception.h"

namespace lark {

class GIFException : public Exception {
 public:
  using Exception::Exception;
};

// Palettes ReduceColors offers, by code.
enum TColorReduction {
  rmNone = 0,         // the result is a copy
  rmWindows20 = 1,    // the 20 static colours
  rmNetscape = 3,     // the 216-colour cube
  rmViewerPalette = 4,  // a copy of ThePalette
  rmQuantize = 5,     // an optimised palette from the picture's own colours
};

enum TDitherMode { dmNearest = 0, dmFloydSteinberg = 1 };

// Maps a colour to a palette index and the colour that index shows.
class TColorLookup {
 public:
  virtual ~TColorLookup() = default;
  [[nodiscard]] virtual int Colors() const = 0;
  virtual int Lookup(int red, int green, int blue, int& r, int& g, int& b) = 0;
};

// Nearest colour by |dr| + |dg| + |db|, remembered per 15-bit colour cell.
class TFastColorLookup : public TColorLookup {
 public:
  explicit TFastColorLookup(const std::vector<TRGB>& palette);
  [[nodiscard]] int Colors() const override { return static_cast<int>(Palette_.size()); }
  int Lookup(int red, int green, int blue, int& r, int& g, int& b) override;

 private:
  static int Cell(int red, int green, int blue) { return (red >> 3) | (green >> 3) << 5 | (blue >> 3) << 10; }
  static constexpr uint16_t kEmpty = 0xFFFF;
  std::vector<TRGB> Palette_;
  std::vector<uint16_t> Cache_;
};

// The 216-colour cube needs no table.
class TNetscapeColorLookup : public TColorLookup {
 public:
  [[nodiscard]] int Colors() const override { return 216; }
  int Lookup(int red, int green, int blue, int& r, int& g, int& b) override;
};

// Plain nearest-colour mapping, left to right.
class TDitherEngine {
 public:
  TDitherEngine(int width, TColorLookup& lookup) : Width(width), Lookup(lookup) {}
  virtual ~TDitherEngine() = default;
  // The palette index of one pixel at `Column`; moves `Column` on.
  virtual int Dither(int red, int green, int blue);
  virtual void NextLine() { Column = 0; }

  int Direction = 1;
  int Column = 0;
  const int Width;

 protected:
  TColorLookup& Lookup;
};

// Serpentine Floyd-Steinberg: errors carried in sixteenths, the walk turning
// at each row's end.
class TFloydSteinbergEngine : public TDitherEngine {
 public:
  TFloydSteinbergEngine(int width, TColorLookup& lookup);
  int Dither(int red, int green, int blue) override;
  void NextLine() override;

 private:
  // Per channel: the errors carried into this row and into the next one
  // (Width + 2 cells, so a neighbour outside the row has a cell), and the
  // error carried to the next pixel of the walk.
  std::array<std::vector<int>, 3> ThisRow_, NextRow_;
  std::array<int, 3> Running_{};
};

// Octree colour quantiser: keeps at most `maxColors` leaves, folding the most
// recently made node of the deepest level whenever there are more.
class TColorQuantizer {
 public:
  TColorQuantizer(int maxColors, int colorBits);
  ~TColorQuantizer();
  TColorQuantizer(const TColorQuantizer&) = delete;
  TColorQuantizer& operator=(const TColorQuantizer&) = delete;

  void AddColor(int red, int green, int blue);
  // The leaves' average colours, in tree order.
  [[nodiscard]] std::vector<TRGB> Palette() const;

 private:
  struct TOctreeNode;
  // Folds one node into a leaf; false when no node is left to fold.
  bool ReduceTree();
  TOctreeNode* NewNode(int level);

  const int MaxColors_;
  const int ColorBits_;
  std::unique_ptr<TOctreeNode> Root_;
  int LeafCount_ = 0;
  std::array<std::vector<TOctreeNode*>, 9> Reducible_;
};

// The picture on a palette of the given code, mapped with the given dither
// mode, as an 8-bit image. Unknown codes give up quietly, returning what was
// made so far.
[[nodiscard]] PixelImage ReduceColors(const PixelImage& bitmap, int colorReduction, int ditherMode);
// The engine's entry: the static colours below 8 bits, the viewer palette at
// 8, Floyd-Steinberg. An empty picture gives an empty one.
[[nodiscard]] PixelImage ReduceBitmapColors(const PixelImage& bitmap);
// The same for a bitmap: null for none or an empty one; a device bitmap comes
// back as a plain copy. The caller owns the result.
[[nodiscard]] std::unique_ptr<TBitmap> ReduceBitmapColors(const TBitmap* bitmap);

}  // namespace lark
