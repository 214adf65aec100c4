#include "tests/platform_windows/avi_samples.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lark::avi_samples {
namespace {

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

void Put32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out += char(value >> (8 * i));
}

void Put16(std::string& out, std::uint16_t value) {
  out += char(value);
  out += char(value >> 8);
}

std::uint32_t Get32(const std::string& data, std::size_t offset) {
  std::uint32_t value = 0;
  std::memcpy(&value, data.data() + offset, 4);
  return value;
}

std::string Chunk(const std::string& id, const std::string& body) {
  std::string out = id;
  Put32(out, std::uint32_t(body.size()));
  out += body;
  if (body.size() & 1) out += '\0';
  return out;
}

std::string List(const std::string& kind, const std::string& type, const std::string& body) {
  return Chunk(kind, type + body);
}

std::string StreamHeader(const std::string& type, const std::string& handler, std::uint32_t scale,
                         std::uint32_t rate, std::uint32_t length, int width, int height) {
  std::string h = type + handler;
  Put32(h, 0);       // flags
  Put32(h, 0);       // priority, language
  Put32(h, 0);       // initial frames
  Put32(h, scale);
  Put32(h, rate);
  Put32(h, 0);       // start
  Put32(h, length);
  Put32(h, 0);       // suggested buffer size
  Put32(h, 0xFFFFFFFF);  // quality
  Put32(h, 0);       // sample size
  Put16(h, 0);
  Put16(h, 0);
  Put16(h, std::uint16_t(width));
  Put16(h, std::uint16_t(height));
  return h;
}

// Each drawing as one parenthesised ImageMagick image on a red canvas.
std::string DrawingImages(int width, int height, const std::vector<std::string>& drawings) {
  std::string images;
  for (const std::string& drawing : drawings)
    images += " \\( -size " + std::to_string(width) + "x" + std::to_string(height) + " xc:red " + drawing + " \\)";
  return images;
}

}  // namespace

std::string TestPatternClip(const TempDir& dir, const std::string& pixelFormat, int width, int height, int frames,
                            int framesPerSecond) {
  const std::string clip = dir.File("pattern-" + pixelFormat + ".avi");
  Run("ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc=size=" + std::to_string(width) + "x" +
      std::to_string(height) + ":rate=" + std::to_string(framesPerSecond) + " -frames:v " + std::to_string(frames) +
      " -c:v rawvideo -pix_fmt " + pixelFormat + " " + clip);
  return clip;
}

std::string DrawnClip(const TempDir& dir, int width, int height, const std::vector<std::string>& frameDrawings,
                      int framesPerSecond) {
  Run("convert" + DrawingImages(width, height, frameDrawings) + " " + dir.File("drawn%d.png"));
  const std::string clip = dir.File("drawn.avi");
  Run("ffmpeg -hide_banner -loglevel error -y -framerate " + std::to_string(framesPerSecond) + " -i " +
      dir.File("drawn%d.png") + " -c:v rawvideo -pix_fmt bgr24 " + clip);
  return clip;
}

std::string RunLengthClip(const TempDir& dir, int width, int height, const std::vector<std::string>& frameDrawings,
                          int framesPerSecond) {
  Run("convert" + DrawingImages(width, height, frameDrawings) + " +dither +map -type Palette -compress RLE BMP3:" +
      dir.File("coded%d.bmp"));
  std::string format;
  std::vector<std::string> frames;
  for (std::size_t i = 0; i < frameDrawings.size(); ++i) {
    BitmapParts parts = SplitBitmapFile(ReadFile(dir.File("coded" + std::to_string(i) + ".bmp")));
    // The headers differ in their data size only; the palettes must agree.
    if (i > 0 && parts.format.substr(40) != format.substr(40))
      throw std::runtime_error("bitmaps do not share their palette");
    if (i == 0) format = parts.format;
    frames.push_back(parts.pixels);
  }
  AviWriter writer(format, std::uint32_t(1'000'000 / framesPerSecond));
  for (const std::string& frame : frames) writer.AddFrame(frame);
  const std::string clip = dir.File("coded.avi");
  WriteFile(clip, writer.Build());
  return clip;
}

std::vector<Frame> DecodeWithFfmpeg(const TempDir& dir, const std::string& clip, int width, int height) {
  const std::string raw = dir.File("decoded.rgb");
  Run("ffmpeg -hide_banner -loglevel error -y -i " + clip + " -f rawvideo -pix_fmt rgb24 -fps_mode passthrough " +
      raw);
  const std::string bytes = ReadFile(raw);
  const std::size_t frameBytes = std::size_t(width) * std::size_t(height) * 3;
  std::vector<Frame> frames;
  for (std::size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
    Frame frame;
    for (std::size_t i = at; i < at + frameBytes; i += 3)
      frame.push_back(0xFF000000u | std::uint32_t(std::uint8_t(bytes[i])) << 16 |
                      std::uint32_t(std::uint8_t(bytes[i + 1])) << 8 | std::uint8_t(bytes[i + 2]));
    frames.push_back(frame);
  }
  return frames;
}

AviWriter::AviWriter(std::string format, std::uint32_t microSecondsPerFrame)
    : format_(std::move(format)), micro_seconds_(microSecondsPerFrame) {}

std::string AviWriter::Build() const {
  const int width = int(Get32(format_, 4)), height = std::abs(int(Get32(format_, 8)));
  const bool runLength = Get32(format_, 16) == 1;
  std::string main;
  Put32(main, micro_seconds_);
  for (std::uint32_t value : {0u, 0u, 0x10u, std::uint32_t(frames_.size()), 0u, audio_ ? 2u : 1u, 0u,
                              std::uint32_t(width), std::uint32_t(height), 0u, 0u, 0u, 0u})
    Put32(main, value);
  std::string streams = List("LIST", "strl",
                             Chunk("strh", StreamHeader("vids", runLength ? "mrle" : std::string(4, '\0'),
                                                        micro_seconds_, 1'000'000, std::uint32_t(frames_.size()),
                                                        width, height)) +
                                 Chunk("strf", format_));
  std::string movi, index;
  std::size_t offset = 4;  // index offsets count from the movi list's type
  auto add = [&](const std::string& id, const std::string& data, std::uint32_t flags) {
    index += id;
    Put32(index, flags);
    Put32(index, std::uint32_t(offset));
    Put32(index, std::uint32_t(data.size()));
    const std::string chunk = Chunk(id, data);
    movi += chunk;
    offset += chunk.size();
  };
  for (std::size_t i = 0; i < frames_.size(); ++i) add("00dc", frames_[i], i == 0 ? 0x10 : 0);
  if (audio_) {
    std::string wave;
    for (std::uint16_t v : {1, 1}) Put16(wave, v);  // PCM, mono
    Put32(wave, 8000);
    Put32(wave, 8000);
    for (std::uint16_t v : {1, 8, 0}) Put16(wave, v);
    streams += List("LIST", "strl", Chunk("strh", StreamHeader("auds", std::string(4, '\0'), 1, 8000, 800, 0, 0)) +
                                        Chunk("strf", wave));
    add("01wb", std::string(800, '\x80'), 0x10);
  }
  const std::string body = List("LIST", "hdrl", Chunk("avih", main) + streams) + List("LIST", "movi", movi) +
                           Chunk("idx1", index);
  return List("RIFF", "AVI ", body);
}

std::string BitmapInfoHeader(int width, int height, int bits, std::uint32_t compression) {
  std::string h;
  Put32(h, 40);
  Put32(h, std::uint32_t(width));
  Put32(h, std::uint32_t(height));
  Put16(h, 1);
  Put16(h, std::uint16_t(bits));
  Put32(h, compression);
  for (int i = 0; i < 5; ++i) Put32(h, 0);
  return h;
}

BitmapParts SplitBitmapFile(const std::string& bmp) {
  const std::uint32_t pixelOffset = Get32(bmp, 10);
  BitmapParts parts{bmp.substr(14, pixelOffset - 14), bmp.substr(pixelOffset)};
  if (Get32(parts.format, 16) != 1 || (Get32(parts.format, 12) >> 16) != 8)
    throw std::runtime_error("not an 8-bit run-length bitmap");
  return parts;
}

}  // namespace lark::avi_samples
