#include "images/png_image.h"

#include <algorithm>
#include <cstring>

namespace lark {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ReadBigEndian(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool IsCritical(const std::string& type) { return !(type[0] & 0x20); }

bool IsKnownType(const std::string& type) {
  for (const char* known : {TChunkIEND::kName, TChunkIHDR::kName, TChunkGAMA::kName, TChunkIDAT::kName,
                            TChunkPLTE::kName, TChunkTEXT::kName, TChunkTRNS::kName})
    if (type == known) return true;
  return false;
}

}  // namespace

TPNGImage::TPNGImage() : Chunks(this) { SetBlankState(); }

void TPNGImage::SetBlankState() {
  Chunks.Clear();
  Chunks.AddClass<TChunkIHDR>().Set(0, 0, 2, 3, 0);
  Chunks.AddClass<TChunkIDAT>();
  Chunks.AddClass<TChunkIEND>();
  Bitmap_ = PixelImage();
  AlphaMask_ = PixelImage();
}

void TPNGImage::LoadFromMemory(const uint8_t* data, size_t size) {
  SetBlankState();
  Chunks.Clear();
  if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
    throw EPNGImageException(png_text::kInvalidHeader);
  ReadChunks(data + sizeof kSignature, size - sizeof kSignature);
  if (Chunks.Count() == 0 || !dynamic_cast<TChunkIHDR*>(&Chunks.Item(0)))
    throw EPNGImageException(png_text::kNoIHDR);
  if (!Chunks.Find<TChunkIDAT>()) throw EPNGImageException(png_text::kNoData);
  for (int i = 0; i < Chunks.Count(); ++i) Chunks.Item(i).Decode();
  const TChunkTRNS* trns = Chunks.Find<TChunkTRNS>();
  const auto& header = static_cast<const TChunkIHDR&>(Chunks.Item(0));
  if (trns && header.ColorType() == 2)
    Bitmap_.Transparent = trns->RGBColor(header.BitDepth(), Bitmap_.TransparentColor);
}

// Every length is checked against the bytes that remain, so a chunk can never
// reach past the end of the data. A file that ends before its IEND chunk is
// cut short, whether or not the cut falls between two chunks.
void TPNGImage::ReadChunks(const uint8_t* data, size_t size) {
  TChunkIDAT* firstIDAT = nullptr;
  size_t pos = 0;
  for (;;) {
    if (pos >= size) throw EPNGImageException(png_text::kCorrupted);
    if (size - pos < 12) throw EPNGImageException(png_text::kCorrupted);
    const uint32_t length = ReadBigEndian(data + pos);
    const std::string type(reinterpret_cast<const char*>(data + pos + 4), 4);
    if (length > size - pos - 12) throw EPNGImageException(png_text::kCorrupted);
    if (IsCritical(type) && !IsKnownType(type)) throw EPNGImageException(png_text::kUnknownCritical);
    const uint8_t* body = data + pos + 8;
    if (ChunkCRC(type, body, length) != ReadBigEndian(body + length))
      throw EPNGImageException(png_text::kCorrupted);
    if (type == TChunkIHDR::kName && length != 13) throw EPNGImageException(png_text::kNoIHDR);
    pos += size_t{length} + 12;
    if (type == TChunkIDAT::kName && firstIDAT) {
      firstIDAT->Data.insert(firstIDAT->Data.end(), body, body + length);
      continue;
    }
    std::unique_ptr<TChunk> chunk = CreateChunk(&Chunks, type);
    chunk->Data.assign(body, body + length);
    TChunk& added = Chunks.Add(std::move(chunk));
    if (type == TChunkIDAT::kName) firstIDAT = static_cast<TChunkIDAT*>(&added);
    if (type == TChunkIEND::kName) return;
  }
}

void TPNGImage::PrepareChunksForSaving() {
  if (Chunks.Count() == 0) SetBlankState();
  const int header = Chunks.IndexOfClass<TChunkIHDR>();
  if (header < 0)
    Chunks.Insert(0, std::make_unique<TChunkIHDR>(&Chunks));
  else
    Chunks.Move(header, 0);
  const bool indexed = Bitmap_.Format() != PixelDepth::k24Bit;
  if (indexed && !Chunks.Find<TChunkPLTE>()) Chunks.Insert(1, std::make_unique<TChunkPLTE>(&Chunks));
  // Only an RGB image can carry a key colour; a palette image would need its
  // tRNS after the PLTE.
  if (Bitmap_.Transparent && !indexed) {
    if (!Chunks.Find<TChunkTRNS>()) Chunks.Insert(1, std::make_unique<TChunkTRNS>(&Chunks));
  } else {
    while (TChunkTRNS* trns = Chunks.Find<TChunkTRNS>()) Chunks.Remove(*trns);
  }
  if (!Chunks.Find<TChunkIEND>()) Chunks.AddClass<TChunkIEND>();
  if (!Chunks.Find<TChunkIDAT>()) Chunks.Insert(1, std::make_unique<TChunkIDAT>(&Chunks));
  Interlaced = false;
}

void TPNGImage::SaveToStream(std::vector<uint8_t>& out) {
  PrepareChunksForSaving();
  out.insert(out.end(), kSignature, kSignature + sizeof kSignature);
  for (int i = 0; i < Chunks.Count(); ++i) Chunks.Item(i).SaveToStream(out);
}

void TPNGImage::Assign(const TPNGImage& source) {
  Chunks.Clear();
  for (int i = 0; i < source.Chunks.Count(); ++i) {
    const TChunk& from = source.Chunks.Item(i);
    Chunks.Add(CreateChunk(&Chunks, from.ChunkType)).Assign(from);
  }
  Filters = source.Filters;
  Interlaced = source.Interlaced;
  Bitmap_ = source.Bitmap_;
  AlphaMask_ = source.AlphaMask_;
}

namespace {

// True when some pixel of a 1-bit mask is set.
bool AnyBitSet(const PixelImage& mask) {
  for (int y = 0; y < mask.Height(); ++y) {
    const uint8_t* row = mask.ScanLine(y);
    if (std::any_of(row, row + mask.RowBytes(), [](uint8_t byte) { return byte != 0; })) return true;
  }
  return false;
}

}  // namespace

PixelImage TPNGImage::TransparencyMask() const {
  if (!AlphaMask_.Empty()) return AnyBitSet(AlphaMask_) ? AlphaMask_ : PixelImage();
  PixelImage mask;
  const TChunkTRNS* trns = Chunks.Find<TChunkTRNS>();
  const int headerIndex = Chunks.IndexOfClass<TChunkIHDR>();
  if (!trns || headerIndex < 0 || Bitmap_.Empty()) return mask;
  const int colorType = static_cast<const TChunkIHDR&>(Chunks.Item(headerIndex)).ColorType();
  const bool palette = colorType == 3 && Bitmap_.Format() != PixelDepth::k24Bit;
  const bool key = colorType == 2 && Bitmap_.Transparent;
  if (!palette && !key) return mask;
  mask.Resize(Bitmap_.Width(), Bitmap_.Height(), PixelDepth::k1Bit);
  mask.Palette = {{0, 0, 0}, {255, 255, 255}};
  for (int y = 0; y < Bitmap_.Height(); ++y) {
    for (int x = 0; x < Bitmap_.Width(); ++x) {
      const bool clear = palette ? trns->PaletteEntryTransparent(Bitmap_.PixelIndex(x, y))
                                 : Bitmap_.PixelColor(x, y) == Bitmap_.TransparentColor;
      if (clear) mask.SetPixelIndex(x, y, 1);
    }
  }
  return mask;
}

}  // namespace lark
