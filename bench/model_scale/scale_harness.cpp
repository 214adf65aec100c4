// Runs every registered shape at N and 4N, alternating the two sizes, and
// prints the median 4N/N time ratio with its spread. Linear work gives about
// 4; the aim is at most 5.
//   bench_model_scale [ROUNDS] [NAME-SUBSTRING]

#include "scale_harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace lark::bench {
namespace {

struct Shape {
  std::string name;
  int n;
  ScaleWork work;
};

std::vector<Shape>& Shapes() {
  static std::vector<Shape> shapes;
  return shapes;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void RunShape(const Shape& shape, int rounds) {
  std::vector<double> small, large, ratios;
  for (int round = 0; round < rounds; ++round) {
    small.push_back(shape.work(shape.n));
    large.push_back(shape.work(4 * shape.n));
    ratios.push_back(large.back() / std::max(small.back(), 1e-9));
  }
  const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
  const double ratio = Median(ratios);
  std::printf("%-34s %9d %10.2f %10.2f %7.2f  %5.2f-%-5.2f %s\n", shape.name.c_str(), shape.n,
              Median(small) * 1e3, Median(large) * 1e3, ratio, *low, *high,
              ratio <= 5 ? "" : "above aim");
}

}  // namespace

int RegisterScaleShape(const char* name, int n, ScaleWork work) {
  Shapes().push_back({name, n, std::move(work)});
  return 0;
}

double SecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace lark::bench

int main(int argc, char** argv) {
  using namespace lark::bench;
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string filter = argc > 2 ? argv[2] : "";
  std::printf("%-34s %9s %10s %10s %7s  %-11s\n", "shape", "N", "N ms", "4N ms", "4N/N", "spread");
  for (const auto& shape : Shapes())
    if (shape.name.find(filter) != std::string::npos) RunShape(shape, rounds);
  return 0;
}
