// Throughput of the HTML tokenizer beside libxml2's HTML SAX parser over the
// same 10 MB page. Debian 12 packages no HTML tokenizer that can run on its
// own (libxml2 and gumbo expose only their whole parsers), so the peer's pass
// also applies HTML's rules for implied and closed elements, which ours
// leaves to the parser above the reader.

#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/common/bench_inputs.h"
#include "viewer/html_tokenizer.h"

namespace {

const std::string& Page() { return lark::bench::BenchPage(); }

void BM_LarkTokenizer(benchmark::State& state) {
  lark::THtmlReader reader;
  std::size_t symbols = 0;
  for (auto _ : state) {
    lark::TReaderSetup setup;
    setup.Text = Page();
    reader.Begin(std::move(setup));
    while (reader.Sy() != lark::EndOfFileSymbol) {
      ++symbols;
      reader.NextSymbol();
    }
    benchmark::DoNotOptimize(symbols);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Page().size()));
}

struct SaxCounts {
  std::size_t Elements = 0;
  std::size_t TextBytes = 0;
};

void BM_Libxml2HtmlSax(benchmark::State& state) {
  htmlSAXHandler handler;
  std::memset(&handler, 0, sizeof handler);
  handler.startElement = [](void* user, const xmlChar*, const xmlChar**) {
    ++static_cast<SaxCounts*>(user)->Elements;
  };
  handler.endElement = [](void* user, const xmlChar*) { ++static_cast<SaxCounts*>(user)->Elements; };
  handler.characters = [](void* user, const xmlChar*, int length) {
    static_cast<SaxCounts*>(user)->TextBytes += static_cast<std::size_t>(length);
  };
  SaxCounts counts;
  for (auto _ : state) {
    htmlParserCtxtPtr context = htmlCreateMemoryParserCtxt(Page().data(), static_cast<int>(Page().size()));
    std::memcpy(context->sax, &handler, sizeof handler);
    context->userData = &counts;
    htmlCtxtUseOptions(context, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    htmlParseDocument(context);
    htmlFreeParserCtxt(context);
    benchmark::DoNotOptimize(counts);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Page().size()));
}

BENCHMARK(BM_LarkTokenizer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2HtmlSax)->Unit(benchmark::kMillisecond);

}  // namespace

// One contender a run: scripts/bench.sh alternates them with
// --benchmark_filter and takes the median of the runs.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  (void)Page();  // made before any timing
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
