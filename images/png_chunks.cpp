#include "images/png_chunks.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "images/png_image.h"
#include "images/png_pixels.h"
#include "images/zlib_stream.h"

namespace lark {

namespace {

uint32_t ReadBigEndian(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// gAMA values outside 0.01 .. 10 are taken as no gamma at all.
constexpr uint32_t kMinGamma = 1000;
constexpr uint32_t kMaxGamma = 1000000;

// The usable gamma table of the list, or none (absent, unusable, identity).
const uint8_t* GammaTableOf(const TChunkList& chunks) {
  const TChunkGAMA* gamma = chunks.Find<TChunkGAMA>();
  return gamma && gamma->HasTables() && !gamma->Identity() ? gamma->GammaTable.data() : nullptr;
}

// The palette of an indexed or grey bitmap: as many entries as its depth
// holds, missing ones black.
std::vector<TRGB> BitmapPalette(const TChunkList& chunks, int colorType, int bitDepth) {
  std::vector<TRGB> palette;
  if (colorType == 3) {
    const TChunkPLTE* plte = chunks.Find<TChunkPLTE>();
    if (!plte) throw EPNGImageException(png_text::kNoPalette);
    palette = plte->Entries();
  } else {
    const uint8_t* gamma = GammaTableOf(chunks);
    const int count = bitDepth == 16 ? 256 : 1 << bitDepth;
    for (int i = 0; i < count; ++i) {
      uint8_t level = static_cast<uint8_t>((i * 255 + (count - 1) / 2) / (count - 1));
      if (gamma) level = gamma[level];
      palette.push_back({level, level, level});
    }
  }
  // 2-bit pixels are held as 4-bit ones: the four colours repeat.
  if (bitDepth == 2 && palette.size() < 16) {
    palette.resize(4);
    for (int i = 4; i < 16; ++i) palette.push_back(palette[i % 4]);
  }
  palette.resize(size_t{1} << BitsPerPixel(PNGBitmapFormat(colorType, bitDepth)));
  return palette;
}

}  // namespace

EPNGImageException::EPNGImageException(const std::string& text)
    : Exception("Portable Network Graphics format handler error\r\n\r\n" + text) {}

uint32_t ChunkCRC(const std::string& type, const uint8_t* data, size_t size) {
  uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type.data()), static_cast<uInt>(type.size()));
  // crc32 counts in 32 bits: feed it in slices.
  for (size_t done = 0; done < size;) {
    const size_t slice = std::min<size_t>(size - done, 1u << 30);
    crc = crc32(crc, data + done, static_cast<uInt>(slice));
    done += slice;
  }
  return static_cast<uint32_t>(crc);
}

TChunk::TChunk(TChunkList* owner, std::string type) : Owner(owner), ChunkType(std::move(type)) {}

TPNGImage& TChunk::Image() const { return *Owner->Owner; }

void TChunk::Assign(const TChunk& source) {
  ChunkType = source.ChunkType;
  Data = source.Data;
}

void TChunk::WriteChunk(std::vector<uint8_t>& out) const {
  if (ChunkType.size() != 4 || !std::isupper(static_cast<unsigned char>(ChunkType[3]))) return;
  AppendBigEndian(out, static_cast<uint32_t>(Data.size()));
  out.insert(out.end(), ChunkType.begin(), ChunkType.end());
  out.insert(out.end(), Data.begin(), Data.end());
  AppendBigEndian(out, ChunkCRC(ChunkType, Data.data(), Data.size()));
}

void TChunk::SaveToStream(std::vector<uint8_t>& out) { WriteChunk(out); }

TChunkIHDR::TChunkIHDR(TChunkList* owner) : TChunk(owner, kName) { Data.assign(13, 0); }

uint32_t TChunkIHDR::Width() const { return ReadBigEndian(Data.data()); }
uint32_t TChunkIHDR::Height() const { return ReadBigEndian(Data.data() + 4); }

void TChunkIHDR::Set(uint32_t width, uint32_t height, int bitDepth, int colorType, int interlace) {
  Data.clear();
  AppendBigEndian(Data, width);
  AppendBigEndian(Data, height);
  Data.insert(Data.end(), {static_cast<uint8_t>(bitDepth), static_cast<uint8_t>(colorType), 0, 0,
                           static_cast<uint8_t>(interlace)});
}

void TChunkIHDR::SaveToStream(std::vector<uint8_t>& out) {
  const PixelImage& bitmap = Image().Bitmap();
  switch (bitmap.Format()) {
    case PixelDepth::k1Bit: Set(bitmap.Width(), bitmap.Height(), 1, 3, 0); break;
    case PixelDepth::k4Bit: Set(bitmap.Width(), bitmap.Height(), 4, 3, 0); break;
    case PixelDepth::k8Bit: Set(bitmap.Width(), bitmap.Height(), 8, 3, 0); break;
    case PixelDepth::k24Bit: Set(bitmap.Width(), bitmap.Height(), 8, 2, 0); break;
  }
  WriteChunk(out);
}

std::vector<TRGB> TChunkPLTE::Entries() const {
  if (Data.size() % 3 != 0 || Data.size() > 256 * 3) throw EPNGImageException(png_text::kInvalidPalette);
  const uint8_t* gamma = GammaTableOf(*Owner);
  std::vector<TRGB> entries;
  for (size_t i = 0; i < Data.size(); i += 3) {
    TRGB color{Data[i], Data[i + 1], Data[i + 2]};
    if (gamma) color = {gamma[color.R], gamma[color.G], gamma[color.B]};
    entries.push_back(color);
  }
  return entries;
}

void TChunkPLTE::SaveToStream(std::vector<uint8_t>& out) {
  const PixelImage& bitmap = Image().Bitmap();
  if (bitmap.Format() == PixelDepth::k24Bit) return;
  const TChunkGAMA* gamma = Owner->Find<TChunkGAMA>();
  const uint8_t* inverse = gamma && gamma->HasTables() ? gamma->InverseTable.data() : nullptr;
  Data.clear();
  const size_t count = size_t{1} << BitsPerPixel(bitmap.Format());
  for (size_t i = 0; i < count; ++i) {
    const TRGB color = i < bitmap.Palette.size() ? bitmap.Palette[i] : TRGB{};
    for (uint8_t value : {color.R, color.G, color.B}) Data.push_back(inverse ? inverse[value] : value);
  }
  WriteChunk(out);
}

void TChunkIDAT::Decode() {
  const TChunkIHDR& header = static_cast<const TChunkIHDR&>(Owner->Item(0));
  const int colorType = header.ColorType();
  const int bitDepth = header.BitDepth();
  CheckColorTypeAndDepth(colorType, bitDepth);
  if (header.InterlaceMethod() > 1) throw EPNGImageException(png_text::kUnknownInterlace);
  // Deflate and adaptive filtering are the only methods there are.
  if (header.CompressionMethod() != 0 || header.FilterMethod() != 0) throw EPNGImageException(png_text::kCorrupted);
  const uint64_t width = header.Width();
  const uint64_t height = header.Height();
  if (width == 0 || height == 0) throw EPNGImageException(png_text::kCorrupted);
  if (width > kMaxGraphicSide || height > kMaxGraphicSide || width * height > uint64_t{kMaxGraphicPixels} ||
      PNGRowBytes(colorType, bitDepth, width) > kMaxGraphicRowBytes)
    throw EPNGImageException(png_text::kTooLarge);
  const uint64_t inflated = PNGImageDataBytes(colorType, bitDepth, width, height, header.InterlaceMethod() == 1);
  if (inflated > kMaxGraphicBytes) throw EPNGImageException(png_text::kTooLarge);
  // Deflate expands at most about 1032 to 1: data that cannot hold the
  // picture is refused before anything is allocated for it.
  if (inflated / 1032 > Data.size() + 1) throw EPNGImageException(png_text::kTruncated);
  PixelImage& bitmap = Image().Bitmap();
  bitmap.Resize(static_cast<int>(width), static_cast<int>(height), PNGBitmapFormat(colorType, bitDepth));
  if (bitmap.Format() != PixelDepth::k24Bit) bitmap.Palette = BitmapPalette(*Owner, colorType, bitDepth);
  PixelImage& alpha = Image().AlphaMask();
  alpha = PixelImage();
  if (colorType == 4 || colorType == 6) {
    alpha.Resize(static_cast<int>(width), static_cast<int>(height), PixelDepth::k1Bit);
    alpha.Palette = {{0, 0, 0}, {255, 255, 255}};
  }
  try {
    DecodePNGPixels({&header, Data.data(), Data.size(), GammaTableOf(*Owner), &Image().OnProgress, &alpha}, bitmap);
  } catch (const EZDecompressionError&) {
    throw EPNGImageException(png_text::kCorrupted);  // a bad deflate block or Adler-32 sum
  }
}

void TChunkIDAT::SaveToStream(std::vector<uint8_t>& out) {
  const TChunkGAMA* gamma = Owner->Find<TChunkGAMA>();
  const uint8_t* inverse = gamma && gamma->HasTables() ? gamma->InverseTable.data() : nullptr;
  const std::vector<uint8_t> rows = FilterPNGRows(Image().Bitmap(), Image().Filters, inverse);
  TMemoryStream packed;
  {
    TZCompressionStream deflater(TCompressionLevel::clDefault, packed);
    deflater.Write(rows.data(), static_cast<int64_t>(rows.size()));
    deflater.Finish();
  }
  const std::string_view bytes = packed.Bytes();
  Data.assign(bytes.begin(), bytes.end());
  WriteChunk(out);
}

bool TChunkTRNS::RGBColor(int bitDepth, TRGB& color) const {
  if (Data.size() < 6) return false;
  auto sample = [&](int i) {
    const int value = Data[2 * i] << 8 | Data[2 * i + 1];
    return static_cast<uint8_t>(bitDepth == 16 ? value >> 8 : value & 0xFF);
  };
  color = {sample(0), sample(1), sample(2)};
  return true;
}

bool TChunkTRNS::PaletteEntryTransparent(int index) const {
  return index >= 0 && static_cast<size_t>(index) < Data.size() && Data[index] < 128;
}

void TChunkTRNS::SaveToStream(std::vector<uint8_t>& out) {
  const PixelImage& bitmap = Image().Bitmap();
  if (bitmap.Format() != PixelDepth::k24Bit) return;
  const TRGB& key = bitmap.TransparentColor;
  Data = {0, key.R, 0, key.G, 0, key.B};
  WriteChunk(out);
}

uint32_t TChunkGAMA::Gamma() const { return Data.size() >= 4 ? ReadBigEndian(Data.data()) : 0; }

void TChunkGAMA::Decode() {
  const uint32_t gamma = Gamma();
  HasTables_ = gamma >= kMinGamma && gamma <= kMaxGamma;
  if (!HasTables_) return;
  const double exponent = 1.0 / (gamma / 100000.0 * 2.2);
  InverseTable.fill(0);
  Identity_ = true;
  for (int i = 0; i < 256; ++i) {
    const auto value = static_cast<uint8_t>(std::lround(255.0 * std::pow(i / 255.0, exponent)));
    GammaTable[i] = value;
    InverseTable[value] = static_cast<uint8_t>(i);
    Identity_ = Identity_ && value == i;
  }
}

std::unique_ptr<TChunk> CreateChunk(TChunkList* owner, const std::string& type) {
  if (type == TChunkIEND::kName) return std::make_unique<TChunkIEND>(owner);
  if (type == TChunkIHDR::kName) return std::make_unique<TChunkIHDR>(owner);
  if (type == TChunkGAMA::kName) return std::make_unique<TChunkGAMA>(owner);
  if (type == TChunkIDAT::kName) return std::make_unique<TChunkIDAT>(owner);
  if (type == TChunkPLTE::kName) return std::make_unique<TChunkPLTE>(owner);
  if (type == TChunkTEXT::kName) return std::make_unique<TChunkTEXT>(owner);
  if (type == TChunkTRNS::kName) return std::make_unique<TChunkTRNS>(owner);
  return std::make_unique<TChunk>(owner, type);
}

void TChunkList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EPNGImageException(png_text::kIndexOutOfRange);
}

TChunk& TChunkList::Item(int index) const {
  CheckIndex(index);
  return *Items_[index];
}

void TChunkList::Move(int index, int newIndex) {
  CheckIndex(index);
  CheckIndex(newIndex);
  auto chunk = std::move(Items_[index]);
  Items_.erase(Items_.begin() + index);
  Items_.insert(Items_.begin() + newIndex, std::move(chunk));
}

TChunk& TChunkList::Add(std::unique_ptr<TChunk> chunk) {
  chunk->Owner = this;
  Items_.push_back(std::move(chunk));
  return *Items_.back();
}

void TChunkList::Insert(int index, std::unique_ptr<TChunk> chunk) {
  if (index < 0 || index > Count()) throw EPNGImageException(png_text::kIndexOutOfRange);
  chunk->Owner = this;
  Items_.insert(Items_.begin() + index, std::move(chunk));
}

void TChunkList::Remove(TChunk& chunk) {
  for (auto it = Items_.begin(); it != Items_.end(); ++it) {
    if (it->get() == &chunk) {
      Items_.erase(it);
      return;
    }
  }
  throw EPNGImageException(png_text::kChunkNotInList);
}

}  // namespace lark
