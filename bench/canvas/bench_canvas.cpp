// Measuring and drawing 10,000 words: through the layer's canvas (font
// realised once, text decoded, measured from the glyph cache and drawn as
// positioned glyph runs) and through QPainter directly (horizontalAdvance and
// drawText). Both flow the words into lines on a 1024 x 768 surface.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/gui_application.h"

namespace {

constexpr int kWords = 10000;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = [] {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> length(2, 10), letter(0, 25);
    std::vector<std::string> result;
    for (int i = 0; i < kWords; ++i) {
      std::string word;
      for (int n = length(random); n > 0; --n) word += char('a' + letter(random));
      result.push_back(word);
    }
    return result;
  }();
  return words;
}

// Flows words into lines; returns the running total of widths so the work
// cannot be optimised away.
template <typename Measure, typename Draw>
long Flow(Measure measure, Draw draw, int line_height, int space) {
  int x = 0, y = 0;
  long total = 0;
  for (const std::string& word : Words()) {
    const int width = measure(word);
    total += width;
    if (x + width > kWidth) {
      x = 0;
      y += line_height;
      if (y + line_height > kHeight) y = 0;
    }
    draw(word, x, y);
    x += width + space;
  }
  return total;
}

void TCanvasWords(benchmark::State& state) {
  lark::TBitmap surface(kWidth, kHeight);
  lark::TCanvas& canvas = surface.Canvas();
  canvas.Font().SetName("Arial");
  canvas.Font().SetHeight(-16);
  canvas.Brush().Style = lark::bsClear;
  const int line_height = canvas.TextHeight("Ag"), space = canvas.TextWidth(" ");
  for (auto _ : state) {
    const long total = Flow(
        [&](const std::string& w) {
          lark::TSize size;
          lark::GetTextExtentPoint32(canvas, w.data(), int(w.size()), &size);
          return size.cx;
        },
        [&](const std::string& w, int x, int y) { lark::TextOut(canvas, x, y, w.data(), int(w.size())); },
        line_height, space);
    benchmark::DoNotOptimize(total);
    benchmark::DoNotOptimize(surface.Pixel(0, 0));  // finishes painting, as the QPainter's end does
  }
  state.SetItemsProcessed(state.iterations() * kWords);
}

void QPainterWords(benchmark::State& state) {
  lark::EnsureGuiApplication();
  QImage surface(kWidth, kHeight, QImage::Format_RGB32);
  surface.fill(Qt::white);
  QFont font("Arial");
  font.setPixelSize(16);
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferFullHinting);
  const QFontMetrics metrics(font);
  const int line_height = metrics.height(), space = metrics.horizontalAdvance(' ');
  for (auto _ : state) {
    QPainter painter(&surface);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const long total = Flow(
        [&](const std::string& w) { return metrics.horizontalAdvance(QString::fromUtf8(w.data(), int(w.size()))); },
        [&](const std::string& w, int x, int y) {
          painter.drawText(x, y + metrics.ascent(), QString::fromUtf8(w.data(), int(w.size())));
        },
        line_height, space);
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kWords);
}

BENCHMARK(TCanvasWords)->Unit(benchmark::kMillisecond);
BENCHMARK(QPainterWords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
