// Parse + style + layout of bench/inputs/gen_html.py's 10 MB page at
// 1024 pixels: ours (ParseHTMLDocument into a TSectionList, then DoLogic) and
// litehtml's (createFromUTF8, then render) over the same bytes. Image
// requests are answered "later" on both sides. scripts/bench.sh runs each
// in its own process (--benchmark_filter=Lark.*/4/ or =Litehtml), alternated,
// so that each peak resident size is its own; both report MB/s and MB of
// peak RSS per MB of HTML. Ours also runs on the first quarter of the page
// (N beside 4N).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "html/image_loader.h"
#include "html/section_list.h"
#include "litehtml_container.h"

#include <litehtml/context.h>
#include <litehtml/document.h>
#include "bench/common/bench_inputs.h"
#include "platform/graphics/bitmap.h"
#include "viewer/html_parser.h"

namespace {

const std::string& Page() { return lark::bench::BenchPage(); }

void ReportMemory(benchmark::State& state, std::size_t bytes) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peakMB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["peak_rss_MB"] = peakMB;
  state.counters["rss_MB_per_html_MB"] = peakMB / (static_cast<double>(bytes) / (1024.0 * 1024.0));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

// Argument: the part of the page taken, in quarters (1 and 4: N and 4N).
void BM_LarkParseAndLayout(benchmark::State& state) {
  const std::string_view page = std::string_view(Page()).substr(0, Page().size() * state.range(0) / 4);
  lark::TBitmap surface(16, 16);
  for (auto _ : state) {
    lark::TSectionList list(nullptr, nullptr);
    // Every picture is "later", as litehtml's container answers: both size
    // images from WIDTH and HEIGHT and decode none.
    list.OnImageRequest = [](lark::TObject*, const std::string&, lark::TMemoryStream*& stream) {
      stream = &lark::WaitStream();
    };
    lark::ParseHTMLDocument(page, list);
    int curs = 0, scrollWidth = 0;
    benchmark::DoNotOptimize(list.DoLogic(surface.Canvas(), 0, 1024, 768, scrollWidth, curs));
  }
  ReportMemory(state, page.size());
}
BENCHMARK(BM_LarkParseAndLayout)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LitehtmlParseAndLayout(benchmark::State& state) {
  FixedAdvanceContainer container;
  litehtml::context context;
  context.load_master_stylesheet(kUserAgentSheet);
  for (auto _ : state) {
    litehtml::document::ptr document = litehtml::document::createFromUTF8(Page().c_str(), &container, &context);
    benchmark::DoNotOptimize(document->render(1024));
  }
  ReportMemory(state, Page().size());
}
BENCHMARK(BM_LitehtmlParseAndLayout)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  (void)Page();  // made before any timing
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
