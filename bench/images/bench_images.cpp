// Decoding throughput in megapixels per second: our PNG decoder beside libpng
// and libspng, our GIF decoder (with the animation composed frame by frame)
// beside giflib with the same composing, all on the shared inputs, all in
// memory. Every contender ends with the same picture: RGBA8, each frame of an
// animation composed in full, stills expanded from their palette the same
// way. Our PNG decoder keeps alpha as a 1-bit mask (see-through below half),
// so its alpha bytes are 0 or 255 where the peers keep every level.
// One contender a run: scripts/bench.sh alternates them with
// --benchmark_filter and takes the median; --check-same-pixels compares the
// contenders' pictures instead of timing them.
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>
#include <spng.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/common/bench_inputs.h"
#include "images/gif_image.h"
#include "images/png_image.h"

namespace {

namespace fs = std::filesystem;

struct Input {
  std::string Name;
  std::string Bytes;
  int64_t Pixels = 0;  // every frame's for GIFs
};

std::vector<Input> LoadInputs(const std::string& dir, const std::string& extension) {
  std::vector<Input> inputs;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != extension) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    inputs.push_back({entry.path().filename().string(), bytes.str()});
  }
  std::sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) { return a.Name < b.Name; });
  return inputs;
}

// Generated once; later runs reuse the files.
const std::vector<Input>& PNGs() {
  static const std::vector<Input> inputs = [] {
    std::vector<Input> loaded = LoadInputs(lark::bench::InputSet("png"), ".png");
    for (Input& input : loaded) {
      lark::TPNGImage image;
      image.LoadFromString(input.Bytes);
      input.Pixels = int64_t{image.Bitmap().Width()} * image.Bitmap().Height();
    }
    return loaded;
  }();
  return inputs;
}

const std::vector<Input>& GIFs() {
  static const std::vector<Input> inputs = [] {
    std::vector<Input> loaded = LoadInputs(lark::bench::InputSet("gif") + "/corpus", ".gif");
    for (Input& input : loaded) {
      bool still = false;
      auto image = lark::CreateAGifFromStream(still, reinterpret_cast<const uint8_t*>(input.Bytes.data()),
                                              input.Bytes.size());
      input.Pixels = int64_t{image->Width} * image->Height * image->NumFrames;
    }
    return loaded;
  }();
  return inputs;
}

// The picture every contender ends with: RGBA8 rows without padding.
struct Picture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> RGBA;

  void Resize(int width, int height) {
    Width = width, Height = height;
    RGBA.assign(size_t(width) * height * 4, 0);
  }
  uint8_t* Row(int y) { return RGBA.data() + size_t(y) * Width * 4; }
};

// Writes `source` (and its see-through mask, 1 = clear) at (left, top) of
// `target` as RGBA8: BGR rows are swapped, palette rows looked up.
void ExpandToRGBA(const lark::PixelImage& source, const lark::PixelImage* mask, int left, int top,
                  Picture& target) {
  const int width = std::min(source.Width(), target.Width - left);
  const int height = std::min(source.Height(), target.Height - top);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = source.ScanLine(y);
    uint8_t* out = target.Row(top + y) + size_t(left) * 4;
    if (source.Format() == lark::PixelDepth::k24Bit) {
      for (int x = 0; x < width; ++x, in += 3, out += 4) out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = 0xFF;
    } else {
      for (int x = 0; x < width; ++x, out += 4) {
        const size_t index = lark::RowPixelIndex(in, source.Format(), x);
        const lark::TRGB colour = index < source.Palette.size() ? source.Palette[index] : lark::TRGB{};
        out[0] = colour.R, out[1] = colour.G, out[2] = colour.B, out[3] = 0xFF;
      }
    }
    if (mask == nullptr || mask->Empty()) continue;
    const uint8_t* clear = mask->ScanLine(y);
    out = target.Row(top + y) + size_t(left) * 4;
    for (int x = 0; x < width; ++x)
      if (lark::RowPixelIndex(clear, lark::PixelDepth::k1Bit, x)) out[x * 4 + 3] = 0;
  }
}

void DecodePNGLark(const Input& input, Picture& out) {
  lark::TPNGImage image;
  image.LoadFromString(input.Bytes);
  const lark::PixelImage& bitmap = image.Bitmap();
  out.Resize(bitmap.Width(), bitmap.Height());
  const lark::PixelImage mask = image.TransparencyMask();
  ExpandToRGBA(bitmap, &mask, 0, 0, out);
}

struct MemoryReader {
  const std::string* Bytes;
  size_t Pos;

  size_t Read(uint8_t* out, size_t count) {
    count = std::min(count, Bytes->size() - Pos);
    std::memcpy(out, Bytes->data() + Pos, count);
    Pos += count;
    return count;
  }
};

void ReadPNGData(png_structp png, png_bytep out, png_size_t count) {
  if (static_cast<MemoryReader*>(png_get_io_ptr(png))->Read(out, count) != count) png_error(png, "truncated");
}

void DecodePNGLibpng(const Input& input, Picture& out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  MemoryReader reader{&input.Bytes, 0};
  png_set_read_fn(png, &reader, ReadPNGData);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  out.Resize(int(png_get_image_width(png, info)), int(png_get_image_height(png, info)));
  std::vector<png_bytep> rows(size_t(out.Height));
  for (int y = 0; y < out.Height; ++y) rows[size_t(y)] = out.Row(y);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
}

void DecodePNGLibspng(const Input& input, Picture& out) {
  spng_ctx* ctx = spng_ctx_new(0);
  spng_set_png_buffer(ctx, input.Bytes.data(), input.Bytes.size());
  spng_ihdr header{};
  spng_get_ihdr(ctx, &header);
  out.Resize(int(header.width), int(header.height));
  spng_decode_image(ctx, out.RGBA.data(), out.RGBA.size(), SPNG_FMT_RGBA8, 0);
  spng_ctx_free(ctx);
}

// Every frame composed in turn into the full picture, which is expanded to
// RGBA8 after each frame, as a viewer showing the animation needs it. A still
// is its one frame's palette picture.
void DecodeGIFLark(const Input& input, Picture& out) {
  bool still = false;
  auto image = lark::CreateAGifFromStream(still, reinterpret_cast<const uint8_t*>(input.Bytes.data()),
                                          input.Bytes.size());
  out.Resize(image->Width, image->Height);
  if (!image->Animated) {
    const lark::TgfFrame& frame = image->Frame(1);
    ExpandToRGBA(*frame.frBitmap, frame.frTransparent ? frame.frMask.get() : nullptr, frame.frLeft, frame.frTop, out);
    return;
  }
  for (int frame = 1; frame <= image->NumFrames; ++frame) {
    image->SetCurrentFrame(frame);
    ExpandToRGBA(image->FrameBuffer(), image->IsTransparent ? &image->MaskBuffer() : nullptr, 0, 0, out);
  }
}

int ReadGIFData(GifFileType* gif, GifByteType* out, int count) {
  return int(static_cast<MemoryReader*>(gif->UserData)->Read(out, size_t(count)));
}

// giflib's slurp, then each frame composed into the RGBA8 picture with its
// transparency and disposal.
void DecodeGIFGiflib(const Input& input, Picture& out) {
  std::vector<uint8_t> saved;
  MemoryReader reader{&input.Bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadGIFData, &error);
  DGifSlurp(gif);
  const int width = gif->SWidth, height = gif->SHeight;
  out.Resize(width, height);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    const int left = image.ImageDesc.Left, top = image.ImageDesc.Top;
    const int w = std::min(image.ImageDesc.Width, width - left), h = std::min(image.ImageDesc.Height, height - top);
    if (gcb.DisposalMode == DISPOSE_PREVIOUS) saved = out.RGBA;
    for (int y = 0; y < h; ++y) {
      const GifByteType* source = image.RasterBits + size_t(y) * image.ImageDesc.Width;
      uint8_t* target = out.Row(top + y) + size_t(left) * 4;
      for (int x = 0; x < w; ++x, target += 4) {
        if (source[x] == gcb.TransparentColor || source[x] >= map->ColorCount) continue;
        const GifColorType& c = map->Colors[source[x]];
        target[0] = c.Red, target[1] = c.Green, target[2] = c.Blue, target[3] = 0xFF;
      }
    }
    if (gcb.DisposalMode == DISPOSE_BACKGROUND)
      for (int y = 0; y < h; ++y) std::memset(out.Row(top + y) + size_t(left) * 4, 0, size_t(w) * 4);
    if (gcb.DisposalMode == DISPOSE_PREVIOUS) out.RGBA.swap(saved);
  }
  DGifCloseFile(gif, &error);
}

using Decoder = void (*)(const Input&, Picture&);

void Measure(benchmark::State& state, const std::vector<Input>& inputs, Decoder decode) {
  Picture picture;
  int64_t pixels = 0;
  for (auto _ : state) {
    for (const Input& input : inputs) {
      decode(input, picture);
      benchmark::DoNotOptimize(picture.RGBA.data());
      pixels += input.Pixels;
    }
  }
  state.counters["MP/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

void BM_PNG_Lark(benchmark::State& state) { Measure(state, PNGs(), DecodePNGLark); }
void BM_PNG_Libpng(benchmark::State& state) { Measure(state, PNGs(), DecodePNGLibpng); }
void BM_PNG_Libspng(benchmark::State& state) { Measure(state, PNGs(), DecodePNGLibspng); }
void BM_GIF_Lark(benchmark::State& state) { Measure(state, GIFs(), DecodeGIFLark); }
void BM_GIF_Giflib(benchmark::State& state) { Measure(state, GIFs(), DecodeGIFGiflib); }

BENCHMARK(BM_PNG_Lark)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNG_Libpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNG_Libspng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GIF_Lark)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GIF_Giflib)->Unit(benchmark::kMillisecond);

// Bytes of the pictures that differ; PNG alpha is left out, as ours is 1-bit.
int64_t Differences(const Picture& a, const Picture& b, bool compareAlpha) {
  if (a.Width != b.Width || a.Height != b.Height) return int64_t(std::max(a.RGBA.size(), b.RGBA.size()));
  int64_t differing = 0;
  for (size_t i = 0; i < a.RGBA.size(); ++i)
    if ((compareAlpha || i % 4 != 3) && a.RGBA[i] != b.RGBA[i]) ++differing;
  return differing;
}

// Whether every contender makes the same picture of every input as ours.
bool SamePixels() {
  bool same = true;
  const auto compare = [&](const std::vector<Input>& inputs, Decoder ours, Decoder peer, const char* name,
                           bool compareAlpha) {
    Picture a, b;
    for (const Input& input : inputs) {
      ours(input, a);
      peer(input, b);
      if (const int64_t differing = Differences(a, b, compareAlpha)) {
        std::printf("%s: %s differs from ours in %lld bytes\n", input.Name.c_str(), name, (long long)differing);
        same = false;
      }
    }
  };
  compare(PNGs(), DecodePNGLark, DecodePNGLibpng, "libpng", false);
  compare(PNGs(), DecodePNGLark, DecodePNGLibspng, "libspng", false);
  compare(GIFs(), DecodeGIFLark, DecodeGIFGiflib, "giflib", true);
  return same;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--check-same-pixels") == 0) {
    const bool same = SamePixels();
    std::printf(same ? "every contender makes the same pixels\n" : "the contenders' pixels differ\n");
    return same ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
