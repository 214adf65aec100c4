// One pass per process, so that each one's peak memory is its own:
//   bench_print print   PAGE FROM TO PDF   the viewer prints pages FROM..TO of PAGE into PDF; one line
//                                          per page printed (its seconds), then the whole run's seconds
//                                          per page printed, load and layout included
//   bench_print preview PAGE               preview pages, then the bytes of memory each page holds
//   bench_print dialog PAGE                the preview window as the Preview command opens it: its
//                                          pages recorded behind the status dialog, shown at 100%,
//                                          stepped through to the last page, then page 1 zoomed by
//                                          clicks to the largest factor; one line each: pages,
//                                          seconds to record and show, seconds per page step, bytes resident
//                                          at 100% and at the largest factor, peak bytes resident,
//                                          the share of sampled view pixels that differ from the
//                                          recorded page replayed at the largest factor, panned
//                                          down to a stroke (1 when none shows; exit 1 when over
//                                          1%), seconds per zoom click (painted)
// The viewer is 800 x 600 on a shown form, the page A4 with 2 cm margins.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_entry.h"
#include "app/print_preview_form.h"
#include "bench/common/bench_inputs.h"
#include "platform/windows/button.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/scroll_bar.h"
#include "platform/windows/small_controls.h"
#include "platform/graphics/printer.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "print/metafile_printer.h"
#include "tests/app_main/preview_view_check.h"
#include "viewer/html_viewer.h"

namespace {

using namespace lark;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Resident bytes now, from /proc.
long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4096;
}

THTMLViewer& ShownViewer(const std::string& page) {
  auto* form = new TForm(nullptr);
  form->SetClientSize(800, 600);
  auto* viewer = new THTMLViewer(form);
  viewer->SetParent(form);
  viewer->SetBounds(0, 0, 800, 600);
  viewer->OnLayoutErrors = [](const std::vector<std::string>&) {};
  form->Show();
  Application()->ProcessMessages();
  viewer->LoadFromBuffer(page.data(), page.size());
  return *viewer;
}

int Usage() {
  std::fprintf(stderr, "usage: bench_print print PAGE FROM TO PDF | preview PAGE | dialog PAGE\n");
  return 2;
}

long PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024;
}

int PreviewWindow(THTMLViewer& viewer) {
  const auto start = Clock::now();
  bool abort = false;
  auto* preview = NewForm<TfrmPreview>(nullptr, &viewer, abort, nullptr);
  if (abort) return std::fprintf(stderr, "the recording ended early\n"), 1;
  preview->Show();
  preview->ZoomBox->SetItemIndex(6);  // 100%
  preview->ZoomBoxChange(preview->ZoomBox);
  Application()->ProcessMessages();
  const double shown = Since(start);
  const int pages = preview->Store().PageCount();
  const auto stepping = Clock::now();
  for (int page = 1; page < pages; ++page) {
    preview->NextPageBut->Click();
    preview->PB1->Repaint();  // the page painted now, not left to a later paint
  }
  const double perStep = pages > 1 ? Since(stepping) / (pages - 1) : 0.0;
  const long at100 = ResidentBytes();
  // The first page zoomed by clicks on the middle of the view, then panned
  // down a little at a time until a stroke shows near the middle: painting
  // only the visible part must still put the page where it lies.
  preview->FirstPageSpeed->Click();
  const int x = preview->PB1->Width() / 2, y = preview->PB1->Height() / 2;
  const auto zooming = Clock::now();
  int clicks = 0;
  for (; preview->Zoom() < kMaxZoom; ++clicks) {
    preview->PB1MouseDown(preview->PB1, TMouseButton::mbLeft, 0, x, y);
    Application()->ProcessMessages();  // the scroll bars take the new ranges
    preview->PB1->Repaint();
  }
  const double perClick = clicks ? Since(zooming) / clicks : 0.0;
  const long atLargest = ResidentBytes();
  for (int step = 0; step < 100 && test::InkNearTheMiddle(*preview).X < 0; ++step)
    preview->VertBar->SetPosition(preview->VertBar->Position() + 150);
  const double mismatch = test::InkNearTheMiddle(*preview).X >= 0 ? test::ViewMismatch(*preview) : 1.0;
  std::printf("%d\n%.6f\n%.6f\n%ld\n%ld\n%ld\n%.4f\n%.6f\n", pages, shown, perStep, at100, atLargest,
              PeakResidentBytes(), mismatch, perClick);
  std::fprintf(stderr, "zoom %.2f\n", preview->Zoom());
  return mismatch > 0.01 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto start = Clock::now();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return Usage();
  Application();
  StartProgram();  // the preview window's form resources and cursors
  THTMLViewer& viewer = ShownViewer(bench::ReadInput(args[1]));
  if (args[0] == "dialog" && args.size() == 2) return PreviewWindow(viewer);
  if (args[0] == "print" && args.size() == 5) {
    auto printer = std::make_unique<TSystemPrinter>();
    printer->OutputFileName = args[4];
    printer->SetPrinterIndex(int(printer->Printers().size()) - 1);  // the PDF printer
    SetPrinter(std::move(printer));
    const int from = std::stoi(args[2]), to = std::stoi(args[3]);
    std::vector<double> pages;
    auto last = Clock::now();
    bool laidOut = false;  // page event 1 comes once for the layout, then for page 1
    viewer.OnPageEvent = [&](TObject*, int page, bool&) {
      const auto now = Clock::now();
      if (laidOut && page >= from && page <= to) pages.push_back(std::chrono::duration<double>(now - last).count());
      laidOut = laidOut || page == 1;
      last = now;
    };
    viewer.Print(from, to);
    if (pages.empty()) return std::fprintf(stderr, "no page printed\n"), 1;
    for (double seconds : pages) std::printf("%.6f\n", seconds);
    std::printf("%.6f\n", Since(start) / double(pages.size()));
    return 0;
  }
  if (args[0] == "preview" && args.size() == 2) {
    const long before = ResidentBytes();
    TMetaFilePrinter store(nullptr);
    const int pages = viewer.PrintPreview(store);
    if (pages == 0) return std::fprintf(stderr, "no page previewed\n"), 1;
    std::fprintf(stderr, "%d pages\n", pages);
    std::printf("%.0f\n", double(ResidentBytes() - before) / pages);
    return 0;
  }
  return Usage();
}
