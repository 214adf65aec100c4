// 10,000 paragraphs of 1990s-style text (the word list of the shared page
// generator, links and font changes every few words) in a document laid out
// at 800 pixels, then painted whole, page by page, into an 800 x 1000 bitmap.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "html/paragraph_section.h"
#include "html/section_list.h"
#include "html/url_target.h"
#include "platform/graphics/bitmap.h"

namespace lark {
namespace {

const std::vector<std::string> kWords = {
    "the", "of", "and", "to", "in", "is", "was", "for", "on", "that", "with", "as", "by", "at", "from",
    "his", "her", "web", "page", "home", "welcome", "netscape", "mosaic", "under", "construction",
    "guestbook", "counter", "visit", "links", "cool", "site", "best", "viewed", "hotlist", "email",
    "webmaster", "frames", "java", "applet", "caf\xC3\xA9", "r\xC3\xA9sum\xC3\xA9", "na\xC3\xAFve", "internet",
    "surf", "modem", "baud", "download", "shareware", "gif", "jpeg", "midi", "archive", "faq", "usenet",
    "gopher", "telnet", "ftp", "browser", "html", "hypertext"};

TRunFont Font(const char* name, int points, TColor color, TFontStyles style = 0) {
  TRunFont font;
  font.Font.SetName(name);
  font.Font.SetSize(points);
  font.Font.SetColor(color);
  font.Font.SetStyle(style);
  return font;
}

struct Document {
  TSectionList List{nullptr, nullptr};
  int Height = 0;

  explicit Document(int paragraphs) {
    std::mt19937 rng(19960101);
    const TRunFont plain = Font("Times New Roman", 12, clBlack);
    const TRunFont linkFont = Font("Times New Roman", 12, clBlue, fsUnderline);
    const TRunFont fonts[] = {Font("Arial", 10, clRed), Font("Courier New", 12, clNavy),
                              Font("Arial", 18, clPurple, fsBold), Font("Times New Roman", 14, clGreen, fsItalic)};
    TUrlTarget target;
    int source = 0;
    for (int p = 0; p < paragraphs; ++p) {
      TParagraphStyle style;
      style.Justify = p % 5 == 0 ? TJustify::FullJustify : TJustify::Left;
      auto section = std::make_unique<TSection>(&List, style, plain, "");
      const int words = 20 + static_cast<int>(rng() % 60);
      for (int w = 0; w < words; ++w) {
        const unsigned roll = rng() % 100;
        if (roll < 4) {
          target.Update("http://www.geocities.com/Area51/" + std::to_string(rng() % 9000) + ".html", "_top");
          TFontObj* run = section->AddFont(linkFont, "link title");
          section->SetLink(*run, target, {linkFont, linkFont, linkFont, linkFont});
        } else if (roll < 8) {
          section->AddFont(fonts[rng() % 4], "");
        } else if (roll < 12) {
          section->AddFont(plain, "");
        }
        const std::string word = kWords[rng() % kWords.size()] + " ";
        section->AddText(word, source);
        source += static_cast<int>(word.size());
      }
      List.Add(std::move(section));
    }
  }
};

TCanvas& Surface() {
  static TBitmap bitmap(800, 1000);
  return bitmap.Canvas();
}

void BM_Layout(benchmark::State& state) {
  Document doc(10000);
  for (auto _ : state) {
    int scrollWidth = 0, curs = 0;
    doc.Height = doc.List.DoLogic(Surface(), 0, 800, 1000, scrollWidth, curs);
    benchmark::DoNotOptimize(doc.Height);
  }
  state.counters["height_px"] = doc.Height;
  state.counters["paragraphs/s"] = benchmark::Counter(10000.0 * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PaintWholeDocument(benchmark::State& state) {
  Document doc(10000);
  int scrollWidth = 0, curs = 0;
  const int height = doc.List.DoLogic(Surface(), 0, 800, 1000, scrollWidth, curs);
  for (auto _ : state) {
    for (int top = 0; top < height; top += 1000) {
      doc.List.SetYOffset(top);
      Surface().Brush().Color = clWhite;
      Surface().FillRect(Rect(0, 0, 800, 1000));
      doc.List.Draw(Surface(), Rect(0, 0, 800, 1000), 800, 0, 0, 0, 0);
    }
  }
  state.counters["pages"] = (height + 999) / 1000;
}
BENCHMARK(BM_PaintWholeDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace lark

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
