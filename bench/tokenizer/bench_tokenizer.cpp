// Throughput of the HTML tokenizer beside libxml2's HTML SAX parser, both
// over the same 10 MB page in the same run, reported as MB/s and a ratio.

#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "viewer/html_tokenizer.h"

namespace {

std::string& Page() {
  static std::string page;
  return page;
}

// Generates the shared benchmark page (once per build tree) and loads it.
bool LoadPage() {
  const std::string path = std::string(LARK_BINARY_DIR) + "/bench-page.html";
  if (!std::ifstream(path)) {
    const std::string command = "/usr/bin/python3 " + std::string(LARK_SOURCE_DIR) +
                                "/../shared/bench-inputs/gen_html.py " + path;
    if (std::system(command.c_str()) != 0) return false;
  }
  std::ifstream in(path, std::ios::binary);
  Page().assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !Page().empty();
}

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

// Prints the console report and keeps each benchmark's best MB/s over its
// repetitions (in CPU time), which other work on a shared machine disturbs
// least, for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.cpu_accumulated_time <= 0) continue;
      const double rate = static_cast<double>(Page().size()) * static_cast<double>(run.iterations) /
                          run.cpu_accumulated_time / 1e6;
      double& best = megabytesPerSecond[run.run_name.function_name];
      best = std::max(best, rate);
    }
  }
  std::map<std::string, double> megabytesPerSecond;
};

}  // namespace

int main(int argc, char** argv) {
  if (!LoadPage()) {
    std::fprintf(stderr, "could not generate the benchmark page\n");
    return 1;
  }
  // Several short repetitions unless the command line says otherwise.
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=7";
  if (argc == 1) args.push_back(repetitions.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.megabytesPerSecond["BM_LarkTokenizer"];
  const double peer = reporter.megabytesPerSecond["BM_Libxml2HtmlSax"];
  std::printf("page: %zu bytes\ntokenizer: %.1f MB/s   libxml2 HTML SAX: %.1f MB/s   ratio: %.2fx\n",
              Page().size(), ours, peer, peer > 0 ? ours / peer : 0.0);
  benchmark::Shutdown();
  return 0;
}
