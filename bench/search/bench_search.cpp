// Keyword search over the generated tree of 20,000 files (~200 MB) beside
// grep -rlF and ripgrep on the same tree and keyword, in the same run, with a
// warm cache. Prints each peer's time and our time as a ratio of it.
//
// The tree is generated once into $LARK_BENCH_DIR (default
// /tmp/lark-search-bench) and reused while its list of planted files exists.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "app/file_scan.h"

namespace {

constexpr const char* kKeyword = "quetzalcoatlite";
constexpr int kPlanted = 200;

std::string BenchDir() {
  const char* dir = std::getenv("LARK_BENCH_DIR");
  return dir != nullptr ? dir : "/tmp/lark-search-bench";
}
std::string TreeDir() { return BenchDir() + "/tree"; }

bool EnsureTree() {
  struct stat st {};
  if (stat((BenchDir() + "/planted.txt").c_str(), &st) == 0) return true;
  const std::string command = "rm -rf '" + TreeDir() + "' && mkdir -p '" + BenchDir() + "' && /usr/bin/python3 '" +
                              LARK_GEN_TREE + "' '" + TreeDir() + "' >&2";
  return std::system(command.c_str()) == 0;
}

// Files a shell command lists, one per line.
int CountLines(const std::string& command) {
  int lines = 0;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    for (int c; (c = fgetc(pipe)) != EOF;) lines += c == '\n';
    pclose(pipe);
  }
  return lines;
}

void RunPeer(benchmark::State& state, const std::string& command) {
  const std::string full = command + " " + kKeyword + " '" + TreeDir() + "'";
  for (auto _ : state) {
    const int found = CountLines(full);
    if (found != kPlanted) state.SkipWithError(("found " + std::to_string(found)).c_str());
  }
}

enum class Like { Grep, Dialog };

void RunScan(benchmark::State& state, Like like) {
  lark::TFileScan scan;
  scan.Directory = TreeDir();
  scan.SearchStrings.Add(kKeyword);
  if (like == Like::Grep) {
    scan.CaseSense = true;
  } else {
    // What the search dialog asks for: case folded, titles and summaries,
    // and the result page.
    scan.ShowTitle = true;
    scan.ShowSummary = true;
    scan.SWFileDate = true;
    scan.SWFileSize = true;
    scan.OutputFile = BenchDir() + "/FileScanResult1.html";
  }
  for (auto _ : state) {
    scan.StartScan();
    if (scan.Results.Count() != kPlanted)
      state.SkipWithError(("found " + std::to_string(scan.Results.Count())).c_str());
  }
}

void BM_Grep(benchmark::State& state) { RunPeer(state, "grep -rlF"); }
void BM_GrepIgnoreCase(benchmark::State& state) { RunPeer(state, "grep -rliF"); }
void BM_Ripgrep(benchmark::State& state) { RunPeer(state, "rg -lF"); }
void BM_RipgrepOneThread(benchmark::State& state) { RunPeer(state, "rg -j1 -lF"); }
void BM_FileScan(benchmark::State& state) { RunScan(state, Like::Grep); }
void BM_FileScanAsTheDialog(benchmark::State& state) { RunScan(state, Like::Dialog); }

// Collects the mean real time of each benchmark for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred) seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

BENCHMARK(BM_Grep)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_GrepIgnoreCase)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Ripgrep)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_RipgrepOneThread)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FileScan)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FileScanAsTheDialog)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!EnsureTree()) {
    std::fprintf(stderr, "cannot generate the tree with %s\n", LARK_GEN_TREE);
    return 1;
  }
  // Warm the page cache, so every contender reads from memory.
  CountLines("grep -rlF " + std::string(kKeyword) + " '" + TreeDir() + "'");
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // Ours against each peer: the plain search is case-sensitive like
  // grep -F; the dialog's folds case, so it is also set beside grep -i.
  const std::pair<const char*, const char*> pairs[] = {
      {"BM_FileScan", "BM_Grep"},
      {"BM_FileScan", "BM_Ripgrep"},
      {"BM_FileScan", "BM_RipgrepOneThread"},
      {"BM_FileScanAsTheDialog", "BM_Grep"},
      {"BM_FileScanAsTheDialog", "BM_GrepIgnoreCase"},
      {"BM_FileScanAsTheDialog", "BM_Ripgrep"},
  };
  const std::string suffix = "/iterations:5/real_time";
  for (const auto& [ours, peer] : pairs) {
    const auto a = reporter.seconds.find(ours + suffix);
    const auto b = reporter.seconds.find(peer + suffix);
    if (a != reporter.seconds.end() && b != reporter.seconds.end())
      std::printf("ratio %-24s / %-20s = %.2f\n", ours, peer, a->second / b->second);
  }
  benchmark::Shutdown();
  return 0;
}
