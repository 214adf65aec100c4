// Opens elements the way the parser does (inherit from the entry below,
// combine with the style sheet, take the font) under a sheet of 200 rules,
// half of them descendant rules, and reports the time per element.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "html/prop_stack.h"
#include "html/selector.h"
#include "html/style_list.h"

namespace {

using namespace lark;

void FillSheet(TStyleList& styles) {
  styles.Initialize("Times New Roman", "Courier New", 10, 8, DEFAULT_CHARSET, true, 0xFF, 0x800080, 0xEE0000,
                    0, 12);
  for (int i = 0; i < 100; ++i) {
    styles.AddModifyProp(".c" + std::to_string(i), "color", "#" + std::to_string(100000 + i));
    styles.AddModifyProp(MakeDescendantKey("div.c" + std::to_string(i) + " p", styles.NextSequence()),
                         "margin-left", std::to_string(i) + "px");
  }
}

void Push(TPropStack& stack, const TStyleList& styles, const std::string& tag, const std::string& cls,
          const std::string& pseudo) {
  auto props = std::make_unique<TProperties>();
  props->Inherit(*stack.Last());
  TProperties* pushed = stack.Add(std::move(props));
  pushed->CombineStyle(styles, stack, tag, cls, "", pseudo, "", nullptr);
  benchmark::DoNotOptimize(pushed->GetFont());
}

// Per paragraph: div.cN > p > b, i, and every tenth an a:link.
void BM_OpenElements(benchmark::State& state) {
  TStyleList styles;
  FillSheet(styles);
  std::int64_t elements = 0;
  for (auto _ : state) {
    TPropStack stack;
    auto bottom = std::make_unique<TProperties>();
    bottom->Copy(*styles.DefProp());
    stack.Add(std::move(bottom));
    Push(stack, styles, "body", "", "");
    for (int paragraph = 0; paragraph < 1000; ++paragraph) {
      Push(stack, styles, "div", "c" + std::to_string(paragraph % 100), "");
      Push(stack, styles, "p", "", "");
      Push(stack, styles, "b", "", "");
      stack.Delete(stack.Count() - 1);
      Push(stack, styles, "i", "", "");
      stack.Delete(stack.Count() - 1);
      elements += 4;
      if (paragraph % 10 == 0) {
        Push(stack, styles, "a", "", "link");
        stack.Delete(stack.Count() - 1);
        ++elements;
      }
      stack.Delete(stack.Count() - 1);
      stack.Delete(stack.Count() - 1);
    }
  }
  state.SetItemsProcessed(elements);
}
BENCHMARK(BM_OpenElements)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
