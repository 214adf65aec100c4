#include "images/png_pixels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "images/zlib_stream.h"

namespace lark {

namespace {

struct Adam7Pass {
  int Row, Column, RowStep, ColumnStep;
};
constexpr Adam7Pass kAdam7[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                 {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

// The neighbour nearest to a + b - c; ties prefer a, then b. Written with
// two comparisons so that it compiles without branches.
inline uint8_t Paeth(int a, int b, int c) {
  int pa = std::abs(b - c);
  const int pb = std::abs(a - c);
  const int pc = std::abs(a + b - 2 * c);
  if (pb < pa) {
    a = b;
    pa = pb;
  }
  return static_cast<uint8_t>(pc < pa ? c : a);
}

// Converts `count` pixels of one unfiltered row into the bitmap's row format.
using RowConverter = void (*)(const uint8_t* in, uint8_t* out, int count, const uint8_t* gamma);

void CopyBits(const uint8_t* in, uint8_t* out, int count, int bits) {
  std::memcpy(out, in, (static_cast<size_t>(count) * bits + 7) / 8);
}
void Copy1(const uint8_t* in, uint8_t* out, int count, const uint8_t*) { CopyBits(in, out, count, 1); }
void Copy4(const uint8_t* in, uint8_t* out, int count, const uint8_t*) { CopyBits(in, out, count, 4); }
void Copy8(const uint8_t* in, uint8_t* out, int count, const uint8_t*) { CopyBits(in, out, count, 8); }

// 2-bit pixels become 4-bit ones: each input byte fills two output bytes.
void Widen2To4(const uint8_t* in, uint8_t* out, int count, const uint8_t*) {
  for (int i = 0; i < count; ++i) {
    const int value = (in[i >> 2] >> (6 - 2 * (i & 3))) & 3;
    if (i & 1)
      out[i >> 1] |= static_cast<uint8_t>(value);
    else
      out[i >> 1] = static_cast<uint8_t>(value << 4);
  }
}

// Greyscale with or without alpha: keeps the first (high) byte of each pixel.
template <int kPixelBytes>
void FirstByte(const uint8_t* in, uint8_t* out, int count, const uint8_t*) {
  for (int i = 0; i < count; ++i) out[i] = in[i * kPixelBytes];
}

// RGB with or without alpha, 8 or 16 bits: the high bytes of R, G, B stored
// as B, G, R.
template <int kSampleBytes, int kPixelBytes>
void ToBGR(const uint8_t* in, uint8_t* out, int count, const uint8_t* gamma) {
  if (gamma) {
    for (int i = 0; i < count; ++i, in += kPixelBytes, out += 3) {
      out[0] = gamma[in[2 * kSampleBytes]];
      out[1] = gamma[in[kSampleBytes]];
      out[2] = gamma[in[0]];
    }
    return;
  }
  for (int i = 0; i < count; ++i, in += kPixelBytes, out += 3) {
    out[0] = in[2 * kSampleBytes];
    out[1] = in[kSampleBytes];
    out[2] = in[0];
  }
}

RowConverter ConverterFor(int colorType, int bitDepth) {
  switch (colorType) {
    case 0:
    case 3:
      switch (bitDepth) {
        case 1: return Copy1;
        case 2: return Widen2To4;
        case 4: return Copy4;
        case 8: return Copy8;
        default: return FirstByte<2>;
      }
    case 2: return bitDepth == 8 ? ToBGR<1, 3> : ToBGR<2, 6>;
    case 4: return bitDepth == 8 ? FirstByte<2> : FirstByte<4>;
    default: return bitDepth == 8 ? ToBGR<1, 4> : ToBGR<2, 8>;
  }
}

// Reads, unfilters and converts the rows of one pass (the whole image when
// not interlaced) and places their pixels at the pass's columns.
class PassDecoder {
 public:
  PassDecoder(const PNGPixelSource& source, PixelImage& bitmap, TZDecompressionStream& z)
      : Bitmap_(bitmap),
        Z_(z),
        ColorType_(source.Header->ColorType()),
        BitDepth_(source.Header->BitDepth()),
        BytesPerPixel_(FilterBytesPerPixel(ColorType_, BitDepth_)),
        Convert_(ConverterFor(ColorType_, BitDepth_)),
        Gamma_(ColorType_ == 2 || ColorType_ == 6 ? source.Gamma : nullptr),
        Progress_(source.OnProgress && *source.OnProgress ? source.OnProgress : nullptr),
        Alpha_(ColorType_ == 4 || ColorType_ == 6 ? source.AlphaMask : nullptr) {}

  void Run(const Adam7Pass& pass, bool reportRows) {
    const int width = Bitmap_.Width();
    const int height = Bitmap_.Height();
    if (pass.Column >= width || pass.Row >= height) return;  // an empty pass holds no data
    const int passWidth = (width - pass.Column + pass.ColumnStep - 1) / pass.ColumnStep;
    const size_t rowBytes = PNGRowBytes(ColorType_, BitDepth_, passWidth);
    Current_.assign(rowBytes + 1, 0);
    Prior_.assign(rowBytes + 1, 0);
    const bool direct = pass.ColumnStep == 1;
    if (!direct) Converted_.assign(PaddedRowBytes(passWidth, BitsPerPixel(Bitmap_.Format())), 0);
    for (int y = pass.Row; y < height; y += pass.RowStep) {
      if (Z_.Read(Current_.data(), static_cast<int64_t>(Current_.size())) != static_cast<int64_t>(Current_.size()))
        throw EPNGImageException(png_text::kTruncated);
      Unfilter(Current_[0], Current_.data() + 1, Prior_.data() + 1, rowBytes, BytesPerPixel_);
      if (direct) {
        Convert_(Current_.data() + 1, Bitmap_.ScanLine(y), passWidth, Gamma_);
      } else {
        Convert_(Current_.data() + 1, Converted_.data(), passWidth, Gamma_);
        Place(pass, y, passWidth);
      }
      if (Alpha_) MarkClearPixels(pass, y, passWidth);
      Current_.swap(Prior_);
      if (reportRows && Progress_) (*Progress_)(static_cast<int>(int64_t{y} * 100 / height), "Drawing...");
    }
  }

 private:
  void Place(const Adam7Pass& pass, int y, int passWidth) {
    uint8_t* row = Bitmap_.ScanLine(y);
    const PixelDepth format = Bitmap_.Format();
    for (int i = 0, x = pass.Column; i < passWidth; ++i, x += pass.ColumnStep) {
      if (format == PixelDepth::k24Bit)
        std::memcpy(row + x * 3, Converted_.data() + i * 3, 3);
      else
        SetRowPixelIndex(row, format, x, RowPixelIndex(Converted_.data(), format, i));
    }
  }

  // Alpha is the last sample of a pixel; its high byte below 128 is below
  // half for 8- and 16-bit samples alike.
  void MarkClearPixels(const Adam7Pass& pass, int y, int passWidth) {
    const int pixelBytes = FilterBytesPerPixel(ColorType_, BitDepth_);
    const int alphaOffset = pixelBytes - BitDepth_ / 8;
    const uint8_t* in = Current_.data() + 1 + alphaOffset;
    uint8_t* row = Alpha_->ScanLine(y);
    if (pass.ColumnStep == 1) {  // whole rows: a mask byte at a time
      for (int x = 0; x < passWidth; x += 8) {
        uint8_t bits = 0;
        for (int i = 0; i < 8 && x + i < passWidth; ++i, in += pixelBytes) bits |= uint8_t((*in < 128) << (7 - i));
        row[x >> 3] = bits;
      }
      return;
    }
    for (int i = 0, x = pass.Column; i < passWidth; ++i, x += pass.ColumnStep, in += pixelBytes)
      if (*in < 128) SetRowPixelIndex(row, PixelDepth::k1Bit, x, 1);
  }

  PixelImage& Bitmap_;
  TZDecompressionStream& Z_;
  const int ColorType_;
  const int BitDepth_;
  const int BytesPerPixel_;
  const RowConverter Convert_;
  const uint8_t* Gamma_;
  const TPNGProgressEvent* Progress_;
  PixelImage* Alpha_;
  std::vector<uint8_t> Current_, Prior_, Converted_;
};

// The filters that look left (Sub, Average, Paeth). The pixel size is known
// to the compiler and the pixel to the left (and above-left) is kept in
// registers, so each channel runs in its own lane instead of waiting for the
// byte just stored. Rows hold whole pixels.
template <int kBpp, int kFilter>
void UnfilterLeft(uint8_t* row, const uint8_t* prior, size_t rowBytes) {
  if (rowBytes < kBpp) return;
  uint8_t a[kBpp], c[kBpp];
  for (int k = 0; k < kBpp; ++k) {
    if constexpr (kFilter == 3) row[k] = static_cast<uint8_t>(row[k] + (prior[k] >> 1));
    if constexpr (kFilter == 4) row[k] = static_cast<uint8_t>(row[k] + prior[k]);
    a[k] = row[k];
    c[k] = prior[k];
  }
  for (size_t i = kBpp; i + kBpp <= rowBytes; i += kBpp) {
#pragma GCC unroll 8
    for (int k = 0; k < kBpp; ++k) {
      const uint8_t b = prior[i + k];
      int predictor = a[k];
      if constexpr (kFilter == 3) predictor = (a[k] + b) >> 1;
      if constexpr (kFilter == 4) predictor = Paeth(a[k], b, c[k]);
      a[k] = static_cast<uint8_t>(row[i + k] + predictor);
      row[i + k] = a[k];
      c[k] = b;
    }
  }
}

template <int kBpp>
void UnfilterLeft(int filterType, uint8_t* row, const uint8_t* prior, size_t rowBytes) {
  if (filterType == 1) return UnfilterLeft<kBpp, 1>(row, prior, rowBytes);
  if (filterType == 3) return UnfilterLeft<kBpp, 3>(row, prior, rowBytes);
  UnfilterLeft<kBpp, 4>(row, prior, rowBytes);
}

void FilterRow(int filterType, const uint8_t* raw, const uint8_t* prior, uint8_t* out, size_t rowBytes,
               int bpp) {
  for (size_t i = 0; i < rowBytes; ++i) {
    const int a = i >= static_cast<size_t>(bpp) ? raw[i - bpp] : 0;
    const int b = prior[i];
    const int c = i >= static_cast<size_t>(bpp) ? prior[i - bpp] : 0;
    int predictor = 0;
    switch (filterType) {
      case 1: predictor = a; break;
      case 2: predictor = b; break;
      case 3: predictor = (a + b) / 2; break;
      case 4: predictor = Paeth(a, b, c); break;
      default: break;
    }
    out[i] = static_cast<uint8_t>(raw[i] - predictor);
  }
}

// Positions where a byte repeats the four bytes before it: long runs
// compress well.
int RunScore(const uint8_t* row, size_t rowBytes) {
  int score = 0;
  for (size_t i = 4; i < rowBytes; ++i)
    if (row[i] == row[i - 1] && row[i] == row[i - 2] && row[i] == row[i - 3] && row[i] == row[i - 4]) ++score;
  return score;
}

}  // namespace

int FilterBytesPerPixel(int colorType, int bitDepth) {
  switch (colorType) {
    case 0: return bitDepth == 16 ? 2 : 1;
    case 2: return bitDepth * 3 / 8;
    case 4: return bitDepth / 4;
    case 6: return bitDepth * 4 / 8;
    default: return 1;
  }
}

uint64_t PNGRowBytes(int colorType, int bitDepth, uint64_t width) {
  switch (colorType) {
    case 2: return bitDepth * width * 3 / 8;
    case 4: return bitDepth * width * 2 / 8;
    case 6: return bitDepth * width * 4 / 8;
    default: return (bitDepth * width + 7) / 8;
  }
}

uint64_t PNGImageDataBytes(int colorType, int bitDepth, uint64_t width, uint64_t height, bool interlaced) {
  if (!interlaced) return (PNGRowBytes(colorType, bitDepth, width) + 1) * height;
  uint64_t total = 0;
  for (const Adam7Pass& pass : kAdam7) {
    if (width <= uint64_t(pass.Column) || height <= uint64_t(pass.Row)) continue;  // an empty pass holds no data
    const uint64_t passWidth = (width - pass.Column + pass.ColumnStep - 1) / pass.ColumnStep;
    const uint64_t passRows = (height - pass.Row + pass.RowStep - 1) / pass.RowStep;
    total += (PNGRowBytes(colorType, bitDepth, passWidth) + 1) * passRows;
  }
  return total;
}

void CheckColorTypeAndDepth(int colorType, int bitDepth) {
  bool allowed = false;
  switch (colorType) {
    case 0: allowed = bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16; break;
    case 3: allowed = bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8; break;
    case 2:
    case 4:
    case 6: allowed = bitDepth == 8 || bitDepth == 16; break;
    default: throw EPNGImageException(png_text::kUnknownColorType);
  }
  if (!allowed) throw EPNGImageException(png_text::kInvalidBitDepth);
}

PixelDepth PNGBitmapFormat(int colorType, int bitDepth) {
  if (colorType == 2 || colorType == 6) return PixelDepth::k24Bit;
  switch (bitDepth) {
    case 1: return PixelDepth::k1Bit;
    case 2:
    case 4: return PixelDepth::k4Bit;
    default: return PixelDepth::k8Bit;
  }
}

void Unfilter(int filterType, uint8_t* row, const uint8_t* prior, size_t rowBytes, int bpp) {
  switch (filterType) {
    case 0: return;
    case 2:
      for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + prior[i]);
      return;
    case 1:
    case 3:
    case 4:
      switch (bpp) {
        case 1: return UnfilterLeft<1>(filterType, row, prior, rowBytes);
        case 2: return UnfilterLeft<2>(filterType, row, prior, rowBytes);
        case 3: return UnfilterLeft<3>(filterType, row, prior, rowBytes);
        case 4: return UnfilterLeft<4>(filterType, row, prior, rowBytes);
        case 6: return UnfilterLeft<6>(filterType, row, prior, rowBytes);
        default: return UnfilterLeft<8>(filterType, row, prior, rowBytes);
      }
    default: throw EPNGImageException(png_text::kUnknownFilter);
  }
}

// After the last row only the stream's end may follow, where inflate checks
// the Adler-32 sum. Extra data before the end is dropped, as long as the
// whole stream keeps within the decoded-bytes limit.
void ReadToStreamEnd(TZDecompressionStream& z, uint64_t pictureBytes) {
  uint8_t scratch[4096];
  uint64_t total = pictureBytes;
  while (!z.AtEnd()) {
    const int64_t got = z.Read(scratch, sizeof scratch);
    if (got == 0 && !z.AtEnd()) throw EPNGImageException(png_text::kCorrupted);  // the stream stops short
    total += static_cast<uint64_t>(got);
    if (total > kMaxGraphicBytes) throw EPNGImageException(png_text::kCorrupted);
  }
}

void DecodePNGPixels(const PNGPixelSource& source, PixelImage& bitmap) {
  TZDecompressionStream z(source.Data, source.Size);
  PassDecoder decoder(source, bitmap, z);
  const int colorType = source.Header->ColorType();
  const int bitDepth = source.Header->BitDepth();
  const bool interlaced = source.Header->InterlaceMethod() != 0;
  if (!interlaced) {
    decoder.Run({0, 0, 1, 1}, true);
  } else {
    for (int pass = 0; pass < 7; ++pass) {
      decoder.Run(kAdam7[pass], false);
      if (source.OnProgress && *source.OnProgress) (*source.OnProgress)(pass * 100 / 6, "Drawing...");
    }
  }
  ReadToStreamEnd(z, PNGImageDataBytes(colorType, bitDepth, bitmap.Width(), bitmap.Height(), interlaced));
}

std::vector<uint8_t> FilterPNGRows(const PixelImage& bitmap, uint8_t filters, const uint8_t* inverseGamma) {
  const bool rgb = bitmap.Format() == PixelDepth::k24Bit;
  const int width = bitmap.Width();
  const size_t rowBytes = rgb ? size_t(width) * 3 : (size_t(width) * BitsPerPixel(bitmap.Format()) + 7) / 8;
  const int bpp = rgb ? 3 : 1;
  std::vector<uint8_t> out;
  out.reserve((rowBytes + 1) * bitmap.Height());
  std::vector<uint8_t> raw(rowBytes), prior(rowBytes, 0), candidate(rowBytes), best(rowBytes);
  const bool tryFilters = (filters & ~pfNone) != 0 && rowBytes > 4;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* line = bitmap.ScanLine(y);
    if (rgb) {
      for (int x = 0; x < width; ++x) {
        for (int c = 0; c < 3; ++c) {
          const uint8_t value = line[x * 3 + 2 - c];
          raw[x * 3 + c] = inverseGamma ? inverseGamma[value] : value;
        }
      }
    } else {
      std::memcpy(raw.data(), line, rowBytes);
    }
    int chosen = 0;
    best = raw;
    if (tryFilters) {
      int bestScore = 0;
      for (int type = 0; type < 5; ++type) {
        if (!(filters & (1 << type))) continue;
        FilterRow(type, raw.data(), prior.data(), candidate.data(), rowBytes, bpp);
        const int score = RunScore(candidate.data(), rowBytes);
        if (score > bestScore) {
          bestScore = score;
          chosen = type;
          best.swap(candidate);
        }
      }
    }
    out.push_back(static_cast<uint8_t>(chosen));
    out.insert(out.end(), best.begin(), best.end());
    prior.swap(raw);
  }
  return out;
}

}  // namespace lark
