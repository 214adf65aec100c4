// Decoding throughput in megapixels per second: our PNG decoder beside libpng
// and libspng, our GIF decoder (with the animation composed frame by frame)
// beside giflib with the same composing, all on the shared inputs, all in
// memory. The ratios of each pair are printed at the end of the run.
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>
#include <spng.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "images/gif_image.h"
#include "images/png_image.h"

namespace {

namespace fs = std::filesystem;

struct Input {
  std::string Name;
  std::string Bytes;
  int64_t Pixels = 0;  // every frame's for GIFs
};

std::string BenchDir() {
  const char* dir = std::getenv("LARK_BENCH_DIR");
  return dir ? dir : "/tmp/lark-images-bench";
}

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
    const std::string dir = BenchDir() + "/png";
    if (!fs::exists(dir + "/rgb16_noisy.png"))
      std::system(("bash " LARK_BENCH_INPUTS "/make_corpus.sh " + dir + " > /dev/null").c_str());
    std::vector<Input> loaded = LoadInputs(dir, ".png");
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
    const std::string dir = BenchDir() + "/gif";
    if (!fs::exists(dir + "/corpus/anim50_256_sprite_opt.gif"))
      std::system(("bash " LARK_BENCH_INPUTS "/make_gifs.sh " + dir + " > /dev/null").c_str());
    std::vector<Input> loaded = LoadInputs(dir + "/corpus", ".gif");
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

// Megapixels per second of each contender, for the ratios.
std::map<std::string, double>& Rates() {
  static std::map<std::string, double> rates;
  return rates;
}

template <class Decode>
void Measure(benchmark::State& state, const char* name, const std::vector<Input>& inputs, Decode decode) {
  int64_t pixels = 0;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (const Input& input : inputs) {
      decode(input);
      pixels += input.Pixels;
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  Rates()[name] = pixels / 1e6 / seconds;
  state.counters["MP/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
}

void BM_PNG_Lark(benchmark::State& state) {
  Measure(state, "png lark", PNGs(), [](const Input& input) {
    lark::TPNGImage image;
    image.LoadFromString(input.Bytes);
    benchmark::DoNotOptimize(image.Bitmap().ScanLine(0));
  });
}

struct PNGReader {
  const std::string* Bytes;
  size_t Pos;
};

void ReadPNGData(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<PNGReader*>(png_get_io_ptr(png));
  std::memcpy(out, reader->Bytes->data() + reader->Pos, count);
  reader->Pos += count;
}

// libpng to RGBA8, as its published figures are taken.
void BM_PNG_Libpng(benchmark::State& state) {
  std::vector<uint8_t> pixels;
  Measure(state, "png libpng", PNGs(), [&](const Input& input) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PNGReader reader{&input.Bytes, 0};
    png_set_read_fn(png, &reader, ReadPNGData);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    pixels.resize(size_t(width) * height * 4);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + size_t(y) * width * 4;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  });
}

void BM_PNG_Libspng(benchmark::State& state) {
  std::vector<uint8_t> pixels;
  Measure(state, "png libspng", PNGs(), [&](const Input& input) {
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, input.Bytes.data(), input.Bytes.size());
    size_t size = 0;
    spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size);
    pixels.resize(size);
    spng_decode_image(ctx, pixels.data(), size, SPNG_FMT_RGBA8, 0);
    spng_ctx_free(ctx);
    benchmark::DoNotOptimize(pixels.data());
  });
}

// Decoding and composing every frame of the animation in turn.
void BM_GIF_Lark(benchmark::State& state) {
  Measure(state, "gif lark", GIFs(), [](const Input& input) {
    bool still = false;
    auto image = lark::CreateAGifFromStream(still, reinterpret_cast<const uint8_t*>(input.Bytes.data()),
                                            input.Bytes.size());
    for (int frame = 2; frame <= image->NumFrames; ++frame) image->SetCurrentFrame(frame);
    benchmark::DoNotOptimize(image->FrameBuffer().ScanLine(0));
  });
}

struct GIFReader {
  const std::string* Bytes;
  size_t Pos;
};

int ReadGIFData(GifFileType* gif, GifByteType* out, int count) {
  auto* reader = static_cast<GIFReader*>(gif->UserData);
  const size_t n = std::min<size_t>(count, reader->Bytes->size() - reader->Pos);
  std::memcpy(out, reader->Bytes->data() + reader->Pos, n);
  reader->Pos += n;
  return int(n);
}

// giflib's slurp, then each frame composed into an RGB canvas with its
// transparency and disposal, as a viewer of the animation would.
void BM_GIF_Giflib(benchmark::State& state) {
  std::vector<uint8_t> canvas, saved;
  Measure(state, "gif giflib", GIFs(), [&](const Input& input) {
    GIFReader reader{&input.Bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadGIFData, &error);
    DGifSlurp(gif);
    const int width = gif->SWidth, height = gif->SHeight;
    canvas.assign(size_t(width) * height * 3, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      GraphicsControlBlock gcb{};
      gcb.TransparentColor = NO_TRANSPARENT_COLOR;
      DGifSavedExtensionToGCB(gif, i, &gcb);
      const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
      const int left = image.ImageDesc.Left, top = image.ImageDesc.Top;
      const int w = std::min(image.ImageDesc.Width, width - left), h = std::min(image.ImageDesc.Height, height - top);
      if (gcb.DisposalMode == DISPOSE_PREVIOUS) saved = canvas;
      for (int y = 0; y < h; ++y) {
        const GifByteType* source = image.RasterBits + size_t(y) * image.ImageDesc.Width;
        uint8_t* target = canvas.data() + (size_t(top + y) * width + left) * 3;
        for (int x = 0; x < w; ++x, target += 3) {
          if (source[x] == gcb.TransparentColor || source[x] >= map->ColorCount) continue;
          const GifColorType& c = map->Colors[source[x]];
          target[0] = c.Blue, target[1] = c.Green, target[2] = c.Red;
        }
      }
      if (gcb.DisposalMode == DISPOSE_BACKGROUND)
        for (int y = 0; y < h; ++y) std::memset(canvas.data() + (size_t(top + y) * width + left) * 3, 0, size_t(w) * 3);
      if (gcb.DisposalMode == DISPOSE_PREVIOUS) canvas.swap(saved);
    }
    DGifCloseFile(gif, &error);
    benchmark::DoNotOptimize(canvas.data());
  });
}

BENCHMARK(BM_PNG_Lark)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PNG_Libpng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PNG_Libspng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_GIF_Lark)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_GIF_Giflib)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void PrintRatio(const char* ours, const char* peer) {
  auto& rates = Rates();
  if (!rates.count(ours) || !rates.count(peer)) return;
  std::printf("%-12s %8.1f MP/s   %-12s %8.1f MP/s   ratio %.2f\n", ours, rates[ours], peer, rates[peer],
              rates[ours] / rates[peer]);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintRatio("png lark", "png libpng");
  PrintRatio("png lark", "png libspng");
  PrintRatio("gif lark", "gif giflib");
  return 0;
}
