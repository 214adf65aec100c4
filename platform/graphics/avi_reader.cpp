// AVI clips for the animation control. The file is untrusted: every chunk
// must lie inside its parent, lists nest only where the format puts them,
// and sizes are checked before anything is allocated.

#include "platform/graphics/avi_reader.h"

#include <limits>
#include <string_view>

#include "platform/core/little_endian.h"
#include "platform/graphics/run_length.h"

namespace lark {
namespace {

constexpr std::uint32_t FourCC(const char (&text)[5]) {
  return std::uint32_t(std::uint8_t(text[0])) | std::uint32_t(std::uint8_t(text[1])) << 8 |
         std::uint32_t(std::uint8_t(text[2])) << 16 | std::uint32_t(std::uint8_t(text[3])) << 24;
}

constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRunLength8 = 1;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000;
// 'rec ' lists group chunks inside 'movi'; writers nest them one deep.
constexpr int kMaxRecordDepth = 2;

[[noreturn]] void Fail(const std::string& reason) { throw EInvalidAvi(reason); }

// "'XVID'" for a printable code, its number otherwise.
std::string CodeName(std::uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = char(code >> (8 * i));
    if (c < 0x20 || c > 0x7E) return std::to_string(code);
    text += c;
  }
  return "'" + text + "'";
}

struct Chunk {
  std::uint32_t id = 0;
  std::uint32_t listType = 0;  // RIFF and LIST chunks only
  std::size_t begin = 0;       // the body in the file, after a list's type
  std::size_t end = 0;
  [[nodiscard]] bool IsList(std::uint32_t type) const { return id == FourCC("LIST") && listType == type; }
  [[nodiscard]] std::size_t Size() const { return end - begin; }
};

// The chunks between two offsets of the file, one after another. A chunk
// that would reach past its parent means the file was cut short.
class ChunkList {
 public:
  ChunkList(std::string_view file, std::size_t begin, std::size_t end) : file_(file), pos_(begin), end_(end) {}
  explicit ChunkList(std::string_view file, const Chunk& parent) : ChunkList(file, parent.begin, parent.end) {}

  bool Next(Chunk& chunk) {
    if (end_ - pos_ < 8) return false;  // too little left for a chunk: padding
    const std::uint32_t size = Le32(file_, pos_ + 4);
    if (size > end_ - pos_ - 8) Fail("AVI file is truncated");
    chunk.id = Le32(file_, pos_);
    chunk.begin = pos_ + 8;
    chunk.end = chunk.begin + size;
    chunk.listType = 0;
    if (chunk.id == FourCC("LIST") || chunk.id == FourCC("RIFF")) {
      if (size < 4) Fail("AVI file is damaged");
      chunk.listType = Le32(file_, chunk.begin);
      chunk.begin += 4;
    }
    pos_ = std::min(end_, chunk.end + (size & 1));  // bodies are padded to even sizes
    return true;
  }

 private:
  std::string_view file_;
  std::size_t pos_;
  std::size_t end_;
};

}  // namespace

class TAviClip::Parser {
 public:
  explicit Parser(TAviClip& clip) : clip_(clip), file_(clip.file_) {}

  void Run() {
    if (file_.size() > kMaxAviFileSize) Fail("AVI file is larger than 64 MB");
    if (file_.size() < 12 || Le32(file_, 0) != FourCC("RIFF") || Le32(file_, 8) != FourCC("AVI "))
      Fail("Not an AVI file");
    Chunk riff, chunk, movi;
    ChunkList(file_, 0, file_.size()).Next(riff);
    bool haveMovi = false;
    for (ChunkList list(file_, riff); list.Next(chunk);) {
      if (chunk.IsList(FourCC("hdrl"))) ReadHeaders(chunk);
      else if (chunk.IsList(FourCC("movi")) && !haveMovi) {
        movi = chunk;
        haveMovi = true;
      }
    }
    CheckStreams();
    if (haveMovi) FindFrames(movi, 0);
    if (clip_.frames_.empty()) Fail("AVI file has no frames");
    for (std::size_t i = 0; i < clip_.frames_.size(); ++i)
      if (!FrameDataFits(clip_.frames_[i])) Fail("AVI frame " + std::to_string(i + 1) + " is damaged");
    SetFrameDelay();
  }

 private:
  void ReadHeaders(const Chunk& hdrl) {
    Chunk chunk;
    for (ChunkList list(file_, hdrl); list.Next(chunk);) {
      if (chunk.id == FourCC("avih") && chunk.Size() >= 4) micro_seconds_per_frame_ = Le32(file_, chunk.begin);
      else if (chunk.IsList(FourCC("strl"))) ReadStream(chunk);
    }
  }

  void ReadStream(const Chunk& strl) {
    ++streams_;
    Chunk chunk, format;
    std::uint32_t type = 0;
    bool haveFormat = false;
    for (ChunkList list(file_, strl); list.Next(chunk);) {
      if (chunk.id == FourCC("strh")) {
        if (chunk.Size() < 28) Fail("AVI file is damaged");
        type = Le32(file_, chunk.begin);
        scale_ = Le32(file_, chunk.begin + 20);
        rate_ = Le32(file_, chunk.begin + 24);
      } else if (chunk.id == FourCC("strf")) {
        format = chunk;
        haveFormat = true;
      }
    }
    if (type == FourCC("auds")) has_sound_ = true;
    if (type != FourCC("vids") || streams_ > 1) return;
    if (!haveFormat) Fail("AVI file is damaged");
    ReadFormat(format);
    has_video_ = true;
  }

  void CheckStreams() const {
    if (has_sound_) Fail("AVI files with sound are not supported");
    if (streams_ > 1) Fail("AVI files with more than one stream are not supported");
    if (!has_video_) Fail("AVI file has no video stream");
  }

  // The stream format is a bitmap info header, followed by the palette of
  // 8-bit frames.
  void ReadFormat(const Chunk& strf) {
    if (strf.Size() < 40) Fail("AVI file is damaged");
    const std::uint32_t headerSize = Le32(file_, strf.begin);
    if (headerSize < 40 || headerSize > strf.Size()) Fail("AVI file is damaged");
    const std::int64_t width = std::int32_t(Le32(file_, strf.begin + 4));
    const std::int64_t height = std::int32_t(Le32(file_, strf.begin + 8));
    const int bits = Le16(file_, strf.begin + 14);
    const std::uint32_t compression = Le32(file_, strf.begin + 16);
    if (width <= 0 || height == 0) Fail("AVI frame size is not valid");
    if (width * (height < 0 ? -height : height) > kMaxAviFramePixels)
      Fail("AVI frames of " + std::to_string(width) + "x" + std::to_string(height < 0 ? -height : height) +
           " pixels are too large");
    clip_.width_ = int(width);
    clip_.height_ = int(height < 0 ? -height : height);
    clip_.top_down_ = height < 0;
    clip_.bits_ = bits;
    if (compression == kUncompressed) {
      if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Fail("AVI frames of " + std::to_string(bits) + " bits per pixel are not supported");
    } else if (compression == kRunLength8 || compression == FourCC("mrle")) {
      if (bits != 8) Fail("Run-length AVI frames of " + std::to_string(bits) + " bits per pixel are not supported");
      if (clip_.top_down_) Fail("AVI file is damaged");  // run-length rows always go bottom up
      clip_.run_length_ = true;
    } else {
      Fail("AVI frames coded as " + CodeName(compression) + " are not supported");
    }
    if (bits == 8) ReadPalette(strf, headerSize, Le32(file_, strf.begin + 32));
  }

  // Entries the header promises but the chunk does not hold stay black.
  void ReadPalette(const Chunk& strf, std::uint32_t headerSize, std::uint32_t colorsUsed) {
    clip_.palette_.assign(256, kOpaqueBlack);
    std::size_t entries = colorsUsed == 0 || colorsUsed > 256 ? 256 : colorsUsed;
    entries = std::min<std::size_t>(entries, (strf.Size() - headerSize) / 4);
    for (std::size_t i = 0; i < entries; ++i) {
      const std::size_t at = strf.begin + headerSize + 4 * i;  // blue, green, red, unused
      clip_.palette_[i] = kOpaqueBlack | std::uint32_t(std::uint8_t(file_[at + 2])) << 16 |
                          std::uint32_t(std::uint8_t(file_[at + 1])) << 8 | std::uint8_t(file_[at]);
    }
  }

  // Frames are the stream's "00db"/"00dc" chunks in file order; the index
  // at the end of the file says nothing more for a single stream.
  void FindFrames(const Chunk& parent, int depth) {
    Chunk chunk;
    for (ChunkList list(file_, parent); list.Next(chunk);) {
      if (chunk.IsList(FourCC("rec ")) && depth < kMaxRecordDepth) {
        FindFrames(chunk, depth + 1);
        continue;
      }
      if (chunk.id == FourCC("00pc")) Fail("AVI palette changes are not supported");
      if (chunk.id != FourCC("00db") && chunk.id != FourCC("00dc")) continue;
      if (int(clip_.frames_.size()) == kMaxAviFrames)
        Fail("AVI files of more than " + std::to_string(kMaxAviFrames) + " frames are not supported");
      clip_.frames_.push_back(FrameData{chunk.begin, chunk.Size()});
    }
  }

  // Uncompressed rows are padded to 4 bytes; run-length data must reach the
  // end of the picture without running out.
  [[nodiscard]] bool FrameDataFits(const FrameData& frame) const {
    if (frame.size == 0) return true;
    if (clip_.run_length_) {
      const TIndexRaster checkOnly{nullptr, 0, clip_.width_, clip_.height_};
      return ApplyRunLength(std::string_view(file_).substr(frame.offset, frame.size), TRunLengthDepth::Bits8,
                            checkOnly);
    }
    const std::uint64_t stride = (std::uint64_t(clip_.width_) * std::uint64_t(clip_.bits_) + 31) / 32 * 4;
    return frame.size >= stride * std::uint64_t(clip_.height_);
  }

  void SetFrameDelay() {
    std::uint64_t delay = micro_seconds_per_frame_;
    if (delay == 0 && rate_ > 0) delay = std::uint64_t(scale_) * 1'000'000 / rate_;
    if (delay == 0) Fail("AVI file has no frame rate");
    clip_.frame_delay_ = std::uint32_t(std::min<std::uint64_t>(delay, std::numeric_limits<std::uint32_t>::max()));
  }

  TAviClip& clip_;
  std::string_view file_;
  int streams_ = 0;
  bool has_video_ = false;
  bool has_sound_ = false;
  std::uint32_t micro_seconds_per_frame_ = 0;
  std::uint32_t scale_ = 0;
  std::uint32_t rate_ = 0;
};

TAviClip::TAviClip(std::string file) : file_(std::move(file)) {
  Parser(*this).Run();
  Restart();
}

void TAviClip::Restart() {
  decoded_ = -1;
  const std::size_t pixels = std::size_t(width_) * std::size_t(height_);
  pixels_.assign(pixels, kOpaqueBlack);
  if (run_length_) indices_.assign(pixels, 0);
}

const std::vector<std::uint32_t>& TAviClip::Frame(int index) {
  if (index < 0 || index >= FrameCount()) throw EInvalidAvi("AVI frame " + std::to_string(index + 1) + " does not exist");
  if (index < decoded_) Restart();
  if (run_length_) {
    for (int i = decoded_ + 1; i <= index; ++i) ApplyRunLengthFrame(frames_[std::size_t(i)]);
    if (index > decoded_) IndicesToPixels();
  } else {
    // Uncompressed frames stand alone: only the last one with data counts.
    int shown = index;
    while (shown > decoded_ && frames_[std::size_t(shown)].size == 0) --shown;
    if (shown > decoded_) DecodeUncompressed(frames_[std::size_t(shown)]);
  }
  decoded_ = index;
  return pixels_;
}

void TAviClip::ApplyRunLengthFrame(const FrameData& frame) {
  const TIndexRaster target{indices_.data(), width_, width_, height_};
  if (!ApplyRunLength(std::string_view(file_).substr(frame.offset, frame.size), TRunLengthDepth::Bits8, target))
    throw EInvalidAvi("AVI file is damaged");  // checked when the clip was read
}

void TAviClip::IndicesToPixels() {
  for (std::size_t i = 0; i < indices_.size(); ++i) pixels_[i] = palette_[indices_[i]];
}

namespace {

// 5 bits of a 5-5-5 pixel to 8, the top bits repeated below.
std::uint32_t Expand5(unsigned value) { return (value << 3) | (value >> 2); }

std::uint32_t UncompressedPixel(const std::uint8_t* p, int bits, const std::vector<std::uint32_t>& palette) {
  switch (bits) {
    case 8: return palette[*p];
    case 16: {
      const unsigned v = unsigned(p[0]) | unsigned(p[1]) << 8;
      return kOpaqueBlack | Expand5((v >> 10) & 31) << 16 | Expand5((v >> 5) & 31) << 8 | Expand5(v & 31);
    }
    default: return kOpaqueBlack | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];  // 24, 32
  }
}

}  // namespace

void TAviClip::DecodeUncompressed(const FrameData& frame) {
  const std::size_t stride = (std::size_t(width_) * std::size_t(bits_) + 31) / 32 * 4;
  const std::size_t bytesPerPixel = std::size_t(bits_) / 8;
  for (int y = 0; y < height_; ++y) {
    const int sourceRow = top_down_ ? y : height_ - 1 - y;
    const auto* in = reinterpret_cast<const std::uint8_t*>(file_.data() + frame.offset) + std::size_t(sourceRow) * stride;
    std::uint32_t* out = pixels_.data() + std::size_t(y) * std::size_t(width_);
    for (int x = 0; x < width_; ++x) out[x] = UncompressedPixel(in + std::size_t(x) * bytesPerPixel, bits_, palette_);
  }
}

}  // namespace lark
