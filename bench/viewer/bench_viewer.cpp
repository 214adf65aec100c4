// One contender per process, so that each one's peak memory is its own:
//   bench_viewer load  large|small       lark|qt   seconds of load + layout + first full paint
//   bench_viewer steps large|small|tile  lark|qt   seconds of each of 1,000 line-down steps mid-page, one a line
//   bench_viewer p99   large|small|tile  lark|qt   the 99th percentile of those steps
//   bench_viewer find  large|small       lark|qt   seconds of one find from the top for a word that
//                                                   only a paragraph appended at the end holds
// "tile" is the small page over a 1 x 1 BODY BACKGROUND picture. The view is
// 800 x 600 on both sides.
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/common/bench_inputs.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/messages.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace {

constexpr const char* kFindWord = "quuxfindmark";

constexpr int kWidth = 800, kHeight = 600, kSteps = 1000;

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The page and, for "tile", a 1 x 1 picture beside it that the BODY names.
std::string Page(const std::string& which, std::string& folder) {
  if (which == "large") {
    folder = lark::bench::InputSet("page") + "/";
    return lark::bench::BenchPage();
  }
  folder = lark::bench::InputSet("smallpage") + "/";
  std::string page = lark::bench::ReadInput(folder + "bench-page-100k.html");
  if (which == "tile") {
    QImage tile(1, 1, QImage::Format_RGB32);
    tile.fill(QColor(250, 240, 200));
    if (!tile.save(QString::fromStdString(folder + "tile.png"))) std::exit(1);
    page = "<body background=\"" + folder + "tile.png\">" + page;
  }
  return page;
}

void Report(const std::string& figure, std::vector<double>& steps) {
  if (figure == "steps") {
    for (const double step : steps) std::printf("%.9f\n", step);
    return;
  }
  std::sort(steps.begin(), steps.end());
  std::printf("%.9f\n", steps[steps.size() * 99 / 100]);
}

int RunLark(const std::string& figure, const std::string& page, const std::string& folder) {
  using namespace lark;
  Application();
  TForm form(nullptr);
  form.SetClientSize(kWidth, kHeight);
  auto* viewer = new THTMLViewer(&form);
  viewer->SetParent(&form);
  viewer->SetBounds(0, 0, kWidth, kHeight);
  viewer->OnLayoutErrors = [](const std::vector<std::string>&) {};
  form.Show();
  Application()->ProcessMessages();
  viewer->SetBase("file://" + folder);
  const double load = Seconds([&] {
    viewer->LoadFromBuffer(page.data(), page.size());
    viewer->PaintPanel().Update();
    Application()->ProcessMessages();
  });
  if (figure == "load") {
    std::printf("%.6f\n", load);
    return 0;
  }
  if (figure == "find") {
    bool found = false;
    const double find = Seconds([&] { found = viewer->Find(kFindWord, false); });
    if (!found) return 1;
    std::printf("%.6f\n", find);
    return 0;
  }
  viewer->ScrollTo(viewer->ScrollHeight() / 2 - kSteps * 8);
  viewer->PaintPanel().Update();
  Application()->ProcessMessages();
  std::vector<double> steps;
  for (int i = 0; i < kSteps; ++i)
    steps.push_back(Seconds([&] {
      viewer->VScrollBar().Perform(WM_VSCROLL, SB_LINEDOWN);
      Application()->ProcessMessages();
    }));
  Report(figure, steps);
  return 0;
}

int RunQt(int argc, char** argv, const std::string& figure, const std::string& page) {
  QApplication app(argc, argv);
  QTextBrowser browser;
  browser.resize(kWidth, kHeight);
  browser.show();
  QApplication::processEvents();
  const double load = Seconds([&] {
    browser.setHtml(QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size())));
    (void)browser.document()->size();  // the whole layout, not only what shows
    browser.viewport()->repaint();
    QApplication::processEvents();
  });
  if (figure == "load") {
    std::printf("%.6f\n", load);
    return 0;
  }
  if (figure == "find") {
    QTextCursor match;
    const double find = Seconds([&] { match = browser.document()->find(QString::fromLatin1(kFindWord)); });
    if (match.isNull()) return 1;
    std::printf("%.6f\n", find);
    return 0;
  }
  QScrollBar* bar = browser.verticalScrollBar();
  bar->setValue(bar->maximum() / 2 - kSteps * bar->singleStep() / 2);
  QApplication::processEvents();
  std::vector<double> steps;
  for (int i = 0; i < kSteps; ++i)
    steps.push_back(Seconds([&] {
      // Its own step: the viewport scrolls and paints what it uncovers.
      bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      QApplication::processEvents();
    }));
  Report(figure, steps);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_viewer load|steps|p99|find large|small|tile lark|qt\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string figure = argv[1], which = argv[2], side = argv[3];
  std::string folder;
  std::string page = Page(which, folder);
  if (figure == "find") page += std::string("<p>") + kFindWord + "</p>";
  return side == "qt" ? RunQt(argc, argv, figure, page) : RunLark(figure, page, folder);
}
