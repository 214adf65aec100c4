#include "html/image_loader.h"

#include <cstring>

#include "images/bitmap_conversion.h"
#include "images/color_reduction.h"
#include "images/display_palette.h"
#include "images/image_log.h"
#include "images/png_graphic.h"
#include "images/png_image.h"
#include "platform/core/file_stream.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/windows/application.h"

namespace lark {

namespace {

constexpr uint8_t kPNGSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ReadBigEndian(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool StartsWith(const uint8_t* buffer, size_t size, const char* text, size_t length) {
  return size >= length && std::memcmp(buffer, text, length) == 0;
}

// The PNG chunk walk over bytes in memory: lengths are unsigned and checked
// against what remains, so the walk ends with the data.
bool HasTransparencyChunk(const uint8_t* data, size_t size) {
  if (size < 8 || std::memcmp(data, kPNGSignature, 8) != 0) return false;
  for (size_t pos = 8; size - pos >= 8;) {
    const uint32_t length = ReadBigEndian(data + pos);
    const std::string type(reinterpret_cast<const char*>(data + pos + 4), 4);
    pos += 8;
    if (type == "IHDR") {
      if (length < 13 || size - pos < 13) return false;
      const int colorType = data[pos + 9];
      if (colorType != 2 && colorType != 3) return false;
    } else if (type == "tRNS") {
      return true;
    } else if (type == "IDAT") {
      return false;
    }
    if (length > size - pos || size - pos - length < 4) return false;
    pos += size_t{length} + 4;
  }
  return false;
}

// A small framed picture drawn in code: the process-wide placeholders.
std::unique_ptr<TBitmap> FramedPicture(TColor fill, TColor mark, bool cross) {
  constexpr int kSize = 16;
  PixelImage image(kSize, kSize, PixelDepth::k24Bit);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool frame = x == 0 || y == 0 || x == kSize - 1 || y == kSize - 1;
      const bool diagonal = cross && x > 3 && x < kSize - 4 && (x == y || x == kSize - 1 - y);
      const TColor color = frame ? RGB(128, 128, 128) : diagonal ? mark : fill;
      uint8_t* p = image.ScanLine(y) + x * 3;
      p[0] = static_cast<uint8_t>(GetBValue(color));
      p[1] = static_cast<uint8_t>(GetGValue(color));
      p[2] = static_cast<uint8_t>(GetRValue(color));
    }
  }
  return ToBitmap(image);
}

// Palette screens get 8-bit output, on the viewer palette unless the image
// is grey.
std::unique_ptr<TBitmap> DecodeJPEG(TMemoryStream& stream) {
  TJPEGImage jpeg;
  stream.SetPosition(0);
  jpeg.LoadFromStream(stream);  // refuses pictures beyond the limits from the header
  if (ColorBits() <= 8) {
    jpeg.SetPixelFormat(jf8Bit);
    if (ColorBits() == 8 && !jpeg.Grayscale()) jpeg.SetPalette(CopyPalette(ThePalette()));
  }
  return jpeg.TakeBitmap();
}

std::unique_ptr<TBitmap> DecodeBitmap(TImageFormat format, TMemoryStream& stream, TTransparency& transparent,
                                      std::unique_ptr<TBitmap>& mask) {
  const auto* data = static_cast<const uint8_t*>(stream.Memory());
  const auto size = static_cast<size_t>(stream.Size());
  switch (format) {
    case ifPng: {
      if (HasTransparencyChunk(data, size)) transparent = trPngPalette;
      TPNGImage png;
      png.LoadFromMemory(data, size);
      // An alpha channel makes see-through pixels as a tRNS chunk does.
      const PixelImage pngMask = png.TransparencyMask();
      if (!png.AlphaMask().Empty() && !pngMask.Empty()) transparent = trPngPalette;
      if (transparent == trPngPalette && !pngMask.Empty()) mask = ToBitmap(pngMask);
      return ToBitmap(png.Bitmap());
    }
    case ifBmp: {
      auto bitmap = std::make_unique<TBitmap>();
      stream.SetPosition(0);
      bitmap->LoadFromStream(stream);
      return bitmap;
    }
    case ifJpeg: return DecodeJPEG(stream);
    default: return nullptr;
  }
}

// Mask rows of an indexed bitmap (a byte per pixel for 4 and 8 bits),
// through a table of the clear palette entries. Eight pixels that repeat
// the eight before them reuse their bits: pictures made of runs, the kind a
// few bytes of run-length data can announce at any size, cost little.
void MaskIndexedRow(const uint8_t* source, int width, const bool* clear, uint8_t* row) {
  uint64_t last = 0;
  uint8_t lastBits = 0;
  for (int x = 0; x < width; x += 8, source += 8) {
    const int count = std::min(8, width - x);
    uint64_t pixels = 0;
    std::memcpy(&pixels, source, size_t(count));
    if (x == 0 || pixels != last) {
      lastBits = 0;
      for (int i = 0; i < count; ++i) lastBits |= uint8_t(clear[source[i]] << (7 - i));
      last = pixels;
    }
    row[x >> 3] = count == 8 ? lastBits : uint8_t(lastBits & (0xFF00 >> count));
  }
}

// Mask rows of pixels of `step` bytes, blue, green, red first.
void MaskColorRow(const uint8_t* bgr, int width, int step, const TRGB& key, uint8_t* row) {
  for (int x = 0; x < width; ++x, bgr += step)
    row[x >> 3] |= uint8_t((bgr[0] == key.B && bgr[1] == key.G && bgr[2] == key.R) << (7 - (x & 7)));
}

}  // namespace

TImageFormat GetImageType(const uint8_t* buffer, size_t size) {
  if (StartsWith(buffer, size, "GIF8", 4)) return size >= 5 && buffer[4] == '9' ? ifGif89 : ifGif;
  if (StartsWith(buffer, size, "BM", 2)) return ifBmp;
  if (StartsWith(buffer, size, "\x89PNG", 4)) return ifPng;
  if (StartsWith(buffer, size, "\xFF\xD8", 2)) return ifJpeg;
  return ifNone;
}

bool IsTransparentPng(TStream& stream) {
  const int64_t position = stream.Position();
  stream.SetPosition(0);
  const std::string bytes = stream.ReadRest();
  stream.SetPosition(position);
  return HasTransparencyChunk(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::unique_ptr<TBitmap> GetImageMask(const TBitmap& image, bool colorGiven, TColor color) {
  auto mask = std::make_unique<TBitmap>();
  mask->SetMonochrome(true);
  mask->SetSize(image.Width(), image.Height());
  if (image.Empty()) return mask;
  const TColor key = colorGiven ? color : image.Pixel(0, image.Height() - 1);
  const TRGB clearColor{uint8_t(GetRValue(key)), uint8_t(GetGValue(key)), uint8_t(GetBValue(key))};
  const int width = image.Width();
  const size_t maskBytes = (size_t(width) + 7) / 8;
  const TPixelFormat format = image.PixelFormat();
  const bool indexed = format == pf4bit || format == pf8bit;
  const int step = format == pf24bit ? 3 : format == pf32bit || format == pfDevice ? 4 : 0;
  bool clear[256] = {};
  const std::vector<TRGB> palette = PaletteColors(image.Palette());
  for (size_t i = 0; i < palette.size() && i < 256; ++i) clear[i] = palette[i] == clearColor;
  // Other depths (1, 15 and 16 bits) need their whole pixel data in the
  // file, so they are never larger than what was read.
  const PixelImage other = indexed || step ? PixelImage() : FromBitmap(image);
  std::vector<uint8_t> bgr(indexed || step ? 0 : size_t(width) * 3);
  const size_t lineBytes = indexed ? size_t(width) : size_t(width) * step;
  const uint8_t* previous = nullptr;
  for (int y = 0; y < image.Height(); ++y) {
    auto* row = static_cast<uint8_t*>(mask->ScanLine(y));
    const auto* source = static_cast<const uint8_t*>(image.ScanLine(y));
    // A row equal to the one above gets the same bits.
    if (previous && lineBytes && std::memcmp(source, previous, lineBytes) == 0) {
      std::memcpy(row, mask->ScanLine(y - 1), maskBytes);
      previous = source;
      continue;
    }
    previous = source;
    std::memset(row, 0, maskBytes);
    if (indexed) {
      MaskIndexedRow(source, width, clear, row);
    } else if (step) {
      MaskColorRow(source, width, step, clearColor, row);
    } else {
      other.ReadRow24(y, bgr.data());
      MaskColorRow(bgr.data(), width, 3, clearColor, row);
    }
  }
  return mask;
}

std::unique_ptr<TBitmap> ConvertImage(std::unique_ptr<TBitmap> bitmap) {
  if (!bitmap) return bitmap;
  // Deep screens draw any depth: an indexed picture stays a byte a pixel
  // (a quarter of the screen format) and is converted only where it is drawn.
  if (ColorBits() == 24) return bitmap;
  if (bitmap->HandleType() == bmDIB) {
    std::unique_ptr<TBitmap> reduced = ReduceBitmapColors(bitmap.get());
    if (ThePalette() && !reduced->Palette()) reduced->SetPalette(CopyPalette(ThePalette()));
    return reduced;
  }
  if (ThePalette() && !bitmap->Palette()) bitmap->SetPalette(CopyPalette(ThePalette()));
  return bitmap;
}

std::unique_ptr<TBitmap> LoadImageFromStream(TMemoryStream* stream, TTransparency& Transparent,
                                             std::unique_ptr<TBitmap>& AMask) {
  AMask.reset();
  if (!stream || stream->Size() < 20) return nullptr;
  stream->SetPosition(0);
  const TImageFormat format =
      GetImageType(static_cast<const uint8_t*>(stream->Memory()), static_cast<size_t>(stream->Size()));
  if (format != ifBmp && format != ifPng && format != ifJpeg) return nullptr;
  try {
    if (format == ifJpeg) Transparent = trNone;
    std::unique_ptr<TBitmap> bitmap = DecodeBitmap(format, *stream, Transparent, AMask);
    if (!bitmap) return nullptr;
    if (Transparent == trCorner) AMask = GetImageMask(*bitmap, false, 0);
    return ConvertImage(std::move(bitmap));
  } catch (const Exception& e) {
    LogImageRefused(e.Message);
  } catch (const std::bad_alloc&) {
    LogImageRefused("Out of memory");
  }
  AMask.reset();
  return nullptr;
}

std::unique_ptr<TBitmap> LoadImageFromFile(const std::string& FileName, TTransparency& Transparent,
                                           std::unique_ptr<TBitmap>& AMask) {
  AMask.reset();
  TMemoryStream stream;
  try {
    TFileStream file(FileName, fmOpenRead);
    stream.CopyFrom(file, 0);
  } catch (const Exception&) {
    return nullptr;
  }
  return LoadImageFromStream(&stream, Transparent, AMask);
}

TBitmap& DefBitmap() {
  static const std::unique_ptr<TBitmap> bitmap = FramedPicture(RGB(224, 224, 224), 0, false);
  return *bitmap;
}

TBitmap& ErrorBitmap() {
  static const std::unique_ptr<TBitmap> bitmap = FramedPicture(RGB(255, 255, 255), RGB(255, 0, 0), true);
  return *bitmap;
}

// Everything is shown but the white inside, so the page shows through there.
TBitmap& ErrorBitmapMask() {
  static const std::unique_ptr<TBitmap> mask = GetImageMask(ErrorBitmap(), true, RGB(255, 255, 255));
  return *mask;
}

TMemoryStream& WaitStream() {
  static TMemoryStream stream;
  return stream;
}

void StartImageUnit() {
  static bool started = false;
  if (started) return;
  started = true;
  SetColorBits(24);  // the screens here
  RegisterPNGFormat();
  const struct {
    TCursor Id;
    const char* Resource;
  } cursors[] = {{1, "1003"}, {2, "1006"}, {3, "UPDOWNCURSOR"}, {4, "UPONLYCURSOR"}, {5, "DOWNONLYCURSOR"}};
  for (const auto& cursor : cursors) Screen()->RegisterCursor(cursor.Id, cursor.Resource);
}

}  // namespace lark
