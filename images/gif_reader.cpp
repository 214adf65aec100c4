// The reading pass of TGIFImage: blocks, extensions and frames of the file.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "images/color_reduction.h"
#include "images/display_palette.h"
#include "images/gif_image.h"
#include "images/gif_lzw.h"

namespace lark {

namespace {

constexpr int kMaxFrames = 256;
const char kTooLarge[] = "The GIF image is too large to be shown.";
const char kCannotFill[] = "The GIF image's data cannot fill its first frame.";

int Word(const uint8_t* p) { return p[0] | p[1] << 8; }

// The fields of a graphic control extension, kept for the next image.
struct GraphicControl {
  uint8_t Packed = 0;
  int Delay = 0;
  uint8_t TransIndex = 0;
};

// A colour table of `bits` bits from the file, padded to 256 black entries;
// a table cut short by the end of the data keeps what is there.
std::vector<TRGB> ReadColorTable(const uint8_t* data, size_t size, size_t& pos, int bits) {
  std::vector<TRGB> table(256);
  const size_t bytes = size_t{3} << bits;
  const size_t available = std::min(bytes, size - pos) / 3;
  for (size_t i = 0; i < available; ++i)
    table[i] = {data[pos + 3 * i], data[pos + 3 * i + 1], data[pos + 3 * i + 2]};
  pos = std::min(size, pos + bytes);
  return table;
}

// More colours than an index holds: the screen is B, G, R.
void PlanScreenColors24(TgfImageList& list) {
  list.ScreenDepth = PixelDepth::k24Bit;
  list.ScreenPalette.clear();
  list.ScreenColors.clear();
  for (const PixelImage& picture : list.Pictures) {
    std::vector<uint8_t>& bgr = list.ScreenColors.emplace_back(256 * 3, 0);
    for (size_t i = 0; i < picture.Palette.size() && i < 256; ++i) {
      bgr[3 * i] = picture.Palette[i].B;
      bgr[3 * i + 1] = picture.Palette[i].G;
      bgr[3 * i + 2] = picture.Palette[i].R;
    }
  }
}

// Black, the blank screen, is index 0; every other colour of the frames
// gets the next free index while there is one.
void PlanScreenColors(TgfImageList& list) {
  std::vector<TRGB> palette{TRGB{}};
  std::unordered_map<uint32_t, uint8_t> indexOf{{0, 0}};
  std::vector<std::vector<uint8_t>> maps;
  for (const PixelImage& picture : list.Pictures) {
    std::vector<uint8_t>& map = maps.emplace_back(256, 0);  // indices past the palette show black
    for (size_t i = 0; i < picture.Palette.size() && i < 256; ++i) {
      const TRGB color = picture.Palette[i];
      const uint32_t key = uint32_t{color.R} << 16 | uint32_t{color.G} << 8 | color.B;
      auto found = indexOf.find(key);
      if (found == indexOf.end()) {
        if (palette.size() == 256) return PlanScreenColors24(list);
        found = indexOf.emplace(key, uint8_t(palette.size())).first;
        palette.push_back(color);
      }
      map[i] = found->second;
    }
  }
  list.ScreenDepth = PixelDepth::k8Bit;
  list.ScreenPalette = std::move(palette);
  list.ScreenColors = std::move(maps);
}

void SkipZeroBytes(const uint8_t* data, size_t size, size_t& pos) {
  while (pos < size && data[pos] == 0) ++pos;
}

}  // namespace

// Reads one file in a single pass over memory. Every read is bounded by the
// size held, so truncated data ends the reading and keeps the frames so far.
class GIFReader {
 public:
  GIFReader(TGIFImage& image, const uint8_t* data, size_t size) : Image_(image), Data_(data), Size_(size) {}

  bool Read() {
    if (Size_ < 13 || std::memcmp(Data_, "GIF", 3) != 0) return false;
    const int screenWidth = Word(Data_ + 6);
    const int screenHeight = Word(Data_ + 8);
    Widened_ = {0, 0, screenWidth, screenHeight};
    CheckScreen();
    const uint8_t packed = Data_[10];
    Pos_ = 13;
    Image_.ColorTable.assign(256, TRGB{});
    if (packed & 0x80) {
      Image_.BitsPerPixel = (packed & 7) + 1;
      Image_.ColorTable = ReadColorTable(Data_, Size_, Pos_, Image_.BitsPerPixel);
    }
    ReadBlocks();
    Image_.Width = Widened_.Width;
    Image_.Height = Widened_.Height;
    return Image_.NumFrames > 0;
  }

 private:
  // The screen, widened to every frame so far, within the picture limits.
  void CheckScreen() const {
    if (Widened_.Width > kMaxGraphicSide || Widened_.Height > kMaxGraphicSide ||
        int64_t{Widened_.Width} * Widened_.Height > kMaxGraphicPixels)
      throw GIFException(kTooLarge);
  }

  // Checked from the descriptor and the sizes of the data's sub-blocks before
  // anything is allocated for the frame: a file over a limit is refused
  // whole; a frame its data cannot fill ends the reading. False for the latter.
  bool FrameFits(const TgfFrame& frame) {
    Widened_.Width = std::max(Widened_.Width, frame.frLeft + frame.frWidth);
    Widened_.Height = std::max(Widened_.Height, frame.frTop + frame.frHeight);
    CheckScreen();
    const int64_t area = int64_t{frame.frWidth} * frame.frHeight;
    // Every frame keeps an 8-bit picture (and a 1-bit mask); the animation
    // is composed into a 24-bit buffer of the screen's size.
    FrameBytes_ += area + (frame.frTransparent ? (area + 7) / 8 : 0);
    if (FrameBytes_ + int64_t{Widened_.Width} * Widened_.Height * 3 > kMaxAnimationBytes) throw GIFException(kTooLarge);
    if (area == 0) return true;
    const int codeSize = Pos_ < Size_ ? Data_[Pos_] : -1;
    const bool knownCodeSize = codeSize >= 1 && codeSize <= 11;  // the decoder refuses the others
    const bool fillable =
        codeSize >= 0 && (!knownCodeSize || LZWDataCanFill(codeSize, Data_, Size_, Pos_ + 1, uint64_t(area)));
    if (!fillable) {
      if (Image_.NumFrames == 0) throw GIFException(kCannotFill);
      return false;
    }
    return true;
  }

  void ReadBlocks() {
    while (Pos_ < Size_) {
      const uint8_t introducer = Data_[Pos_++];
      if (introducer == 0x21) {
        if (Pos_ >= Size_ || !ReadExtension(Data_[Pos_++])) return;
      } else if (introducer == 0x2C) {
        if (Image_.NumFrames >= kMaxFrames || !ReadFrame()) return;
      } else {
        return;  // the trailer, or anything this reader does not know
      }
    }
  }

  bool ReadExtension(uint8_t label) {
    switch (label) {
      case 0x01: SkipSubBlocks(Data_, Size_, Pos_); return true;
      case 0xF9: ReadGraphicControl(); return true;
      case 0xFE: {
        const std::vector<uint8_t> text = ReadSubBlocks(Data_, Size_, Pos_);
        Comment_.append(text.begin(), text.end());
        return true;
      }
      case 0xFF: ReadApplication(); return true;
      default: return false;
    }
  }

  // The block's size byte must announce the four bytes read from it.
  void ReadGraphicControl() {
    const bool sized = Pos_ < Size_ && Data_[Pos_] >= 4;
    const std::vector<uint8_t> bytes = ReadSubBlocks(Data_, Size_, Pos_);
    Control_ = {};
    if (sized && bytes.size() >= 4) Control_ = {bytes[0], Word(&bytes[1]), bytes[3]};
  }

  void ReadApplication() {
    const bool netscape = Pos_ + 12 <= Size_ && Data_[Pos_] == 11 && std::memcmp(Data_ + Pos_ + 1, "NETSCAPE2.0", 11) == 0;
    if (!netscape) {
      SkipSubBlocks(Data_, Size_, Pos_);
      return;
    }
    Pos_ += 12;
    const std::vector<uint8_t> bytes = ReadSubBlocks(Data_, Size_, Pos_);
    if (bytes.size() >= 3 && bytes[0] == 1) Image_.LoopLimit = Word(&bytes[1]);
  }

  bool ReadFrame() {
    if (Size_ - Pos_ < 9) return false;
    auto frame = std::make_unique<TgfFrame>(&Image_);
    const uint8_t* descriptor = Data_ + Pos_;
    Pos_ += 9;
    frame->frLeft = Word(descriptor);
    frame->frTop = Word(descriptor + 2);
    frame->frWidth = Word(descriptor + 4);
    frame->frHeight = Word(descriptor + 6);
    const uint8_t packed = descriptor[8];
    frame->frLocalColors = packed & 0x80;
    if (frame->frLocalColors) {
      frame->ColorBits = (packed & 7) + 1;
      frame->frColorTable = ReadColorTable(Data_, Size_, Pos_, frame->ColorBits);
    } else {
      frame->frColorTable = Image_.ColorTable;
    }
    frame->frInterlaced = packed & 0x40;
    frame->frDisposal = (Control_.Packed & 0x1C) >> 2;
    if (frame->frDisposal > 3) frame->frDisposal = 2;
    frame->frDelay = Control_.Delay * 10;
    frame->frTransparent = Control_.Packed & 1;
    frame->frTransIndex = Control_.TransIndex;
    frame->frTransColor = frame->frColorTable[frame->frTransIndex];
    frame->frReduce = Image_.Dither;
    if (!FrameFits(*frame)) return false;
    if (Image_.HeaderOnly) {
      if (Pos_ < Size_) ++Pos_;  // the LZW code size
      SkipSubBlocks(Data_, Size_, Pos_);
    } else {
      DecodeFrame(*frame);
    }
    SkipZeroBytes(Data_, Size_, Pos_);
    Image_.BitsPerPixel = std::max(Image_.BitsPerPixel, frame->ColorBits);
    Image_.IsTransparent = Image_.IsTransparent || frame->frTransparent;
    frame->frComment = std::move(Comment_);
    Comment_.clear();
    Control_ = {};
    Image_.Frames.push_back(std::move(frame));
    ++Image_.NumFrames;
    return true;
  }

  void DecodeFrame(TgfFrame& frame) {
    const int codeSize = Pos_ < Size_ ? Data_[Pos_++] : -1;
    const std::vector<uint8_t> codes = ReadSubBlocks(Data_, Size_, Pos_);
    if (frame.frWidth == 0 || frame.frHeight == 0) return;  // keeps its place and delay, without a picture
    auto picture = std::make_unique<PixelImage>(frame.frWidth, frame.frHeight, PixelDepth::k8Bit);
    if (codeSize >= 0) DecodeLZW(codeSize, codes, frame.frInterlaced, *picture);
    std::vector<TRGB> colors = frame.frColorTable;
    if (frame.frTransparent) {
      frame.frMask = std::make_unique<PixelImage>(frame.frWidth, frame.frHeight, PixelDepth::k1Bit);
      frame.frMask->Palette = {{0, 0, 0}, {255, 255, 255}};
      for (int y = 0; y < frame.frHeight; ++y) {
        const uint8_t* row = picture->ScanLine(y);
        for (int x = 0; x < frame.frWidth; ++x)
          if (row[x] == frame.frTransIndex) frame.frMask->SetPixelIndex(x, y, 1);
      }
      colors[frame.frTransIndex] = TRGB{};  // see-through pixels are black in the picture
    }
    SetColors(frame, colors, *picture);
    if (frame.frReduce) *picture = ReduceBitmapColors(*picture);
    frame.frBitmap = std::move(picture);
  }

  // The file's colours as they are, or (on a palette screen) mapped to the
  // viewer palette.
  static void SetColors(const TgfFrame& frame, const std::vector<TRGB>& colors, PixelImage& picture) {
    const HPALETTE& viewer = ThePalette();
    if (!viewer || frame.frReduce) {
      picture.Palette = colors;
      return;
    }
    uint8_t map[256];
    for (int i = 0; i < 256; ++i)
      map[i] = static_cast<uint8_t>(GetNearestPaletteIndex(viewer, RGB(colors[i].R, colors[i].G, colors[i].B)));
    for (int y = 0; y < picture.Height(); ++y) {
      uint8_t* row = picture.ScanLine(y);
      for (int x = 0; x < picture.Width(); ++x) row[x] = map[row[x]];
    }
    picture.Palette = PaletteColors(viewer);
  }

  TGIFImage& Image_;
  const uint8_t* Data_;
  const size_t Size_;
  size_t Pos_ = 0;
  GraphicControl Control_;
  std::string Comment_;
  TGIFRect Widened_;
  int64_t FrameBytes_ = 0;
};

bool TGIFImage::ReadGIF(const uint8_t* data, size_t size) {
  ClearFrames();
  if (!GIFReader(*this, data, size).Read()) return false;
  Animated = NumFrames > 1;
  if (HeaderOnly) return true;
  if (Animated) {
    if (!IsCopy) {
      // The list takes the pictures; the first frame keeps its own as well.
      for (size_t i = 0; i < Frames.size(); ++i) {
        TgfFrame& frame = *Frames[i];
        frame.ImageIndex = static_cast<int>(ImageList_->Pictures.size());
        auto take = [first = i == 0](std::unique_ptr<PixelImage>& image) {
          if (!image) return PixelImage();
          PixelImage taken = first ? PixelImage(*image) : std::move(*image);
          if (!first) image.reset();
          return taken;
        };
        ImageList_->Pictures.push_back(take(frame.frBitmap));
        ImageList_->Masks.push_back(take(frame.frMask));
      }
      PlanScreenColors(*ImageList_);
    }
    MakeBuffers();
  }
  Empty = false;
  if (Animated) {
    DrawFrame(1);
    ScreenFresh_ = true;
  }
  return true;
}

}  // namespace lark
