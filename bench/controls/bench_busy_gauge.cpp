// The busy gauge's cost to the GUI thread beside the toolkit's busy progress
// bar: each contender animates while the GUI thread pumps as a blocking
// fetch does (messages, then a 1 ms wait), and the figure is the GUI
// thread's CPU time per second of wall time, the gauge's synchronized steps
// included (they run on that thread while it pumps). Aim: the gauge at
// Delay 15 costs no more than the bar.
//   bench_controls [ROUNDS [SECONDS]]   alternated runs, one line per contender and the ratio
//                                        (the pumping alone also runs, as a baseline)
//   bench_controls --only gauge|bar [SECONDS]
//                                        one run; its last line is the figure
//                                        in seconds, for bench/common/alternate.py

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "controls/navigator_gauge.h"
#include "platform/windows/application.h"
#include "platform/windows/busy_bar_peer.h"
#include "platform/windows/form.h"

namespace lark {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 150;
constexpr int kHeight = 16;
constexpr int kGaugeDelay = 15;

void PumpLikeABlockingFetch() {
  Application()->ProcessMessages();
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

struct Cost {
  double gui_thread = 0;  // CPU seconds per wall second
  double process = 0;
  double paints_per_second = -1;  // the bar's; the gauge draws without paint events
};

template <typename Work>
Cost Measure(Work work) {
  const double thread_start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const double process_start = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const auto wall_start = Clock::now();
  const int paints = work();
  const double wall = std::chrono::duration<double>(Clock::now() - wall_start).count();
  return {(CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread_start) / wall,
          (CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process_start) / wall, paints < 0 ? -1 : paints / wall};
}

Cost RunGauge(std::chrono::milliseconds how_long) {
  return Measure([&] {
    TForm form(nullptr);
    form.SetClientSize(kWidth, kHeight);
    auto* gauge = new TVVNavigatorGauge(&form);
    gauge->SetParent(&form);
    gauge->SetBounds(0, 0, kWidth, kHeight);
    gauge->SetDelay(kGaugeDelay);
    form.Show();
    gauge->SetActive(true);
    const auto end = Clock::now() + how_long;
    while (Clock::now() < end) PumpLikeABlockingFetch();
    gauge->SetActive(false);
    return -1;
  });
}

Cost RunBar(std::chrono::milliseconds how_long) {
  return Measure([&] { return ShowBusyProgressBar(kWidth, kHeight, how_long, PumpLikeABlockingFetch); });
}

// The pumping alone, nothing animating: what both contenders add to.
Cost RunIdle(std::chrono::milliseconds how_long) {
  return Measure([&] {
    const auto end = Clock::now() + how_long;
    while (Clock::now() < end) PumpLikeABlockingFetch();
    return -1;
  });
}

Cost Run(const std::string& contender, std::chrono::milliseconds how_long) {
  if (contender == "gauge") return RunGauge(how_long);
  return contender == "bar" ? RunBar(how_long) : RunIdle(how_long);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void PrintLine(const char* name, const std::vector<Cost>& costs) {
  std::vector<double> thread, process, paints;
  for (const Cost& cost : costs) {
    thread.push_back(cost.gui_thread * 1e3);
    process.push_back(cost.process * 1e3);
    paints.push_back(cost.paints_per_second);
  }
  const auto [low, high] = std::minmax_element(thread.begin(), thread.end());
  std::printf("%-40s %8.2f  %6.2f-%-6.2f %9.2f", name, Median(thread), *low, *high, Median(process));
  if (Median(paints) >= 0) std::printf("   %5.0f paints/s", Median(paints));
  std::printf("\n");
}

void Alternate(int rounds, std::chrono::milliseconds how_long) {
  Run("gauge", how_long);  // warm-up: the application, fonts and style come up once
  Run("bar", how_long);
  std::vector<Cost> gauge, bar, idle;
  std::vector<double> ratios;
  for (int round = 0; round < rounds; ++round) {
    gauge.push_back(Run("gauge", how_long));
    bar.push_back(Run("bar", how_long));
    idle.push_back(Run("idle", how_long));
    ratios.push_back(bar.back().gui_thread / std::max(gauge.back().gui_thread, 1e-9));
  }
  std::printf("%-40s %8s  %-13s %9s\n", "GUI-thread CPU ms per second", "median", "spread", "process");
  PrintLine("TVVNavigatorGauge, Delay 15", gauge);
  PrintLine("QProgressBar, range 0..0 (busy)", bar);
  PrintLine("(pumping alone, nothing animating)", idle);
  const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
  std::printf("ratio bar / gauge (above 1: the gauge costs less) %.2f, spread %.2f-%.2f, %d rounds of %.1f s\n",
              Median(ratios), *low, *high, rounds, how_long.count() / 1e3);
}

}  // namespace
}  // namespace lark

int main(int argc, char** argv) {
  using namespace lark;
  Application();  // started before any measurement, in both modes
  auto seconds = [](const char* text) { return std::chrono::milliseconds(static_cast<int>(std::atof(text) * 1e3)); };
  if (argc > 2 && std::strcmp(argv[1], "--only") == 0) {
    const std::string contender = argv[2];
    if (contender != "gauge" && contender != "bar") return 2;
    std::printf("%.6f\n", Run(contender, seconds(argc > 3 ? argv[3] : "2")).gui_thread);
    return 0;
  }
  Alternate(argc > 1 ? std::max(1, std::atoi(argv[1])) : 5, seconds(argc > 2 ? argv[2] : "2"));
  return 0;
}
