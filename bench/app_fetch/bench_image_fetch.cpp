// Timing side of the image download benchmark (run_image_bench.sh starts
// nginx and curl).
//   bench_image_fetch images BASE N PARALLEL   fetches BASE/img<i>.png for i
//                                              below N through GetAsync, at
//                                              most PARALLEL at a time, into
//                                              memory, as the image requests do;
//                                              fails unless every one arrived
//   bench_image_fetch wall COMMAND...          runs COMMAND and prints its
//                                              wall time, so that both
//                                              contenders are timed alike

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/http_connection.h"
#include "bench/common/wall_clock.h"
#include "platform/core/stream.h"
#include "platform/core/synchronize.h"

namespace {

using lark::bench::Clock;
using lark::bench::Seconds;

int Images(const std::string& base, int count, int parallel) {
  int started = 0, running = 0, failed = 0, done = 0;
  std::vector<std::unique_ptr<lark::THTTPConnection>> connections(static_cast<std::size_t>(count));
  auto startNext = [&](auto& self) -> void {
    while (running < parallel && started < count) {
      const int index = started++;
      auto& connection = connections[static_cast<std::size_t>(index)];
      connection = std::make_unique<lark::THTTPConnection>();
      connection->MemoryLimit = lark::kMaxFetchedImageBytes;
      connection->OnDone = [&, index, self](lark::TObject*, bool, int error) {
        auto& finished = connections[static_cast<std::size_t>(index)];
        if (error != 0 || finished->InputStream()->Size() != 65536) ++failed;
        finished.reset();  // as the image requests hand the data on and free the download
        --running;
        ++done;
        self(self);
      };
      ++running;
      connection->GetAsync(base + "/img" + std::to_string(index) + ".png");
    }
  };
  const auto start = Clock::now();
  startNext(startNext);
  while (done < count) {
    lark::CheckSynchronize();
    lark::WaitForSynchronize(5);
  }
  std::printf("%.6f\n", Seconds(Clock::now() - start));
  if (failed == 0) return 0;
  std::fprintf(stderr, "%d of %d images failed\n", failed, count);
  return 1;
}


}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "images" && argc == 5) return Images(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (mode == "wall" && argc > 2) return lark::bench::RunAndPrintWallSeconds(argv + 2);
  std::fprintf(stderr, "usage: bench_image_fetch images BASE N PARALLEL | wall COMMAND...\n");
  return 2;
}
