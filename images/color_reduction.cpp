#include "images/color_reduction.h"

#include <algorithm>
#include <cstdlib>

#include "images/bitmap_conversion.h"
#include "images/display_palette.h"

namespace lark {

namespace {

std::vector<TRGB> NetscapePalette() {
  std::vector<TRGB> palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) palette.push_back({uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51)});
  return palette;
}

// The 20 static colours around up to 236 colours of the picture's own.
std::vector<TRGB> QuantizedPalette(const PixelImage& bitmap) {
  TColorQuantizer quantizer(236, 8);
  std::vector<uint8_t> row(size_t(bitmap.Width()) * 3);
  for (int y = 0; y < bitmap.Height(); ++y) {
    bitmap.ReadRow24(y, row.data());
    for (size_t i = 0; i < row.size(); i += 3) quantizer.AddColor(row[i + 2], row[i + 1], row[i]);
  }
  std::vector<TRGB> palette(256);
  const std::vector<TRGB> stock = PaletteColors(DefaultPalette());
  std::copy(stock.begin(), stock.begin() + 10, palette.begin());
  std::copy(stock.begin() + 10, stock.end(), palette.begin() + 246);
  const std::vector<TRGB> own = quantizer.Palette();
  std::copy(own.begin(), own.begin() + std::min<size_t>(own.size(), 236), palette.begin() + 10);
  return palette;
}

}  // namespace

TFastColorLookup::TFastColorLookup(const std::vector<TRGB>& palette)
    : Palette_(palette.begin(), palette.begin() + std::min<size_t>(palette.size(), 256)), Cache_(32768, kEmpty) {
  for (size_t i = 0; i < Palette_.size(); ++i) {
    uint16_t& cell = Cache_[Cell(Palette_[i].R, Palette_[i].G, Palette_[i].B)];
    if (cell == kEmpty) cell = static_cast<uint16_t>(i);
  }
}

int TFastColorLookup::Lookup(int red, int green, int blue, int& r, int& g, int& b) {
  uint16_t& cell = Cache_[Cell(red, green, blue)];
  if (cell == kEmpty) {
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < Palette_.size(); ++i) {
      const int distance =
          std::abs(Palette_[i].R - red) + std::abs(Palette_[i].G - green) + std::abs(Palette_[i].B - blue);
      if (distance < bestDistance) {
        bestDistance = distance;
        cell = static_cast<uint16_t>(i);
      }
    }
  }
  const TRGB& color = Palette_[cell];
  r = color.R;
  g = color.G;
  b = color.B;
  return cell;
}

int TNetscapeColorLookup::Lookup(int red, int green, int blue, int& r, int& g, int& b) {
  const int ri = (red + 3) / 51;
  const int gi = (green + 3) / 51;
  const int bi = (blue + 3) / 51;
  r = ri * 51;
  g = gi * 51;
  b = bi * 51;
  return ri * 36 + gi * 6 + bi;
}

int TDitherEngine::Dither(int red, int green, int blue) {
  int r, g, b;
  const int index = Lookup.Lookup(red, green, blue, r, g, b);
  Column += Direction;
  return index;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(int width, TColorLookup& lookup) : TDitherEngine(width, lookup) {
  for (int c = 0; c < 3; ++c) {
    ThisRow_[c].assign(width + 2, 0);
    NextRow_[c].assign(width + 2, 0);
  }
}

int TFloydSteinbergEngine::Dither(int red, int green, int blue) {
  const int cell = Column + 1;
  const int in[3] = {red, green, blue};
  int value[3];
  for (int c = 0; c < 3; ++c)
    value[c] = std::clamp(in[c] + (ThisRow_[c][cell] + Running_[c] + 8) / 16, 0, 255);
  int chosen[3];
  const int index = Lookup.Lookup(value[0], value[1], value[2], chosen[0], chosen[1], chosen[2]);
  for (int c = 0; c < 3; ++c) {
    const int error = value[c] - chosen[c];
    Running_[c] = error * 7;
    NextRow_[c][cell - Direction] += error * 3;
    NextRow_[c][cell] += error * 5;
    NextRow_[c][cell + Direction] += error;
  }
  Column += Direction;
  return index;
}

void TFloydSteinbergEngine::NextLine() {
  Direction = -Direction;
  Column = Direction > 0 ? 0 : Width - 1;
  std::swap(ThisRow_, NextRow_);
  for (auto& row : NextRow_) std::fill(row.begin(), row.end(), 0);
  Running_ = {};
}

struct TColorQuantizer::TOctreeNode {
  bool IsLeaf = false;
  int64_t Count = 0;
  int64_t Red = 0, Green = 0, Blue = 0;
  std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : MaxColors_(maxColors), ColorBits_(std::clamp(colorBits, 1, 8)) {}

TColorQuantizer::~TColorQuantizer() = default;

TColorQuantizer::TOctreeNode* TColorQuantizer::NewNode(int level) {
  auto* node = new TOctreeNode;
  node->IsLeaf = level == ColorBits_;
  if (node->IsLeaf)
    ++LeafCount_;
  else
    Reducible_[level].push_back(node);
  return node;
}

void TColorQuantizer::AddColor(int red, int green, int blue) {
  if (!Root_) Root_.reset(NewNode(0));
  TOctreeNode* node = Root_.get();
  for (int level = 0; !node->IsLeaf; ++level) {
    const int shift = 7 - level;
    const int child = ((red >> shift) & 1) << 2 | ((green >> shift) & 1) << 1 | ((blue >> shift) & 1);
    if (!node->Children[child]) node->Children[child].reset(NewNode(level + 1));
    node = node->Children[child].get();
  }
  ++node->Count;
  node->Red += red;
  node->Green += green;
  node->Blue += blue;
  while (LeafCount_ > MaxColors_ && ReduceTree()) {
  }
}

bool TColorQuantizer::ReduceTree() {
  int level = ColorBits_ - 1;
  while (level > 0 && Reducible_[level].empty()) --level;
  if (Reducible_[level].empty()) return false;
  TOctreeNode* node = Reducible_[level].back();
  Reducible_[level].pop_back();
  int children = 0;
  for (auto& child : node->Children) {
    if (!child) continue;
    node->Count += child->Count;
    node->Red += child->Red;
    node->Green += child->Green;
    node->Blue += child->Blue;
    child.reset();
    ++children;
  }
  node->IsLeaf = true;
  LeafCount_ -= children - 1;
  return true;
}

std::vector<TRGB> TColorQuantizer::Palette() const {
  std::vector<TRGB> palette;
  auto walk = [&](auto& self, const TOctreeNode* node) -> void {
    if (!node) return;
    if (node->IsLeaf) {
      if (node->Count > 0)
        palette.push_back({uint8_t(node->Red / node->Count), uint8_t(node->Green / node->Count),
                           uint8_t(node->Blue / node->Count)});
      return;
    }
    for (const auto& child : node->Children) self(self, child.get());
  };
  walk(walk, Root_.get());
  return palette;
}

PixelImage ReduceColors(const PixelImage& bitmap, int colorReduction, int ditherMode) {
  if (colorReduction == rmNone) return bitmap;
  PixelImage result(bitmap.Width(), bitmap.Height(), PixelDepth::k8Bit);
  std::unique_ptr<TColorLookup> lookup;
  switch (colorReduction) {
    case rmWindows20: result.Palette = PaletteColors(DefaultPalette()); break;
    case rmNetscape: result.Palette = NetscapePalette(); break;
    case rmViewerPalette: result.Palette = PaletteColors(ThePalette()); break;
    case rmQuantize: result.Palette = QuantizedPalette(bitmap); break;
    default: return result;
  }
  if (colorReduction == rmNetscape)
    lookup = std::make_unique<TNetscapeColorLookup>();
  else
    lookup = std::make_unique<TFastColorLookup>(result.Palette);
  std::unique_ptr<TDitherEngine> engine;
  if (ditherMode == dmNearest)
    engine = std::make_unique<TDitherEngine>(bitmap.Width(), *lookup);
  else if (ditherMode == dmFloydSteinberg)
    engine = std::make_unique<TFloydSteinbergEngine>(bitmap.Width(), *lookup);
  else
    return result;
  if (lookup->Colors() == 0) return result;
  std::vector<uint8_t> source(size_t(bitmap.Width()) * 3);
  for (int y = 0; y < bitmap.Height(); ++y) {
    bitmap.ReadRow24(y, source.data());
    uint8_t* target = result.ScanLine(y);
    while (engine->Column >= 0 && engine->Column < bitmap.Width()) {
      const int x = engine->Column;
      const uint8_t* pixel = &source[size_t(x) * 3];
      target[x] = static_cast<uint8_t>(engine->Dither(pixel[2], pixel[1], pixel[0]));
    }
    engine->NextLine();
  }
  return result;
}

PixelImage ReduceBitmapColors(const PixelImage& bitmap) {
  if (bitmap.Empty()) return {};
  return ReduceColors(bitmap, ColorBits() < 8 ? rmWindows20 : rmViewerPalette, dmFloydSteinberg);
}

}  // namespace lark

namespace lark {

std::unique_ptr<TBitmap> ReduceBitmapColors(const TBitmap* bitmap) {
  if (!bitmap || bitmap->Empty()) return nullptr;
  if (bitmap->PixelFormat() == pfDevice) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(*bitmap);
    return copy;
  }
  return ToBitmap(ReduceBitmapColors(FromBitmap(*bitmap)));
}

}  // namespace lark
