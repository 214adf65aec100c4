// Form shapes: pages of many controls, one SELECT of many options, one
// TEXTAREA of many lines, each parsed and laid out at 800 pixels.
#include <string>

#include "bench/model_scale/scale_harness.h"
#include "html/section_list.h"
#include "platform/graphics/bitmap.h"
#include "platform/windows/application.h"
#include "viewer/html_parser.h"

namespace lark::bench {
namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  text.reserve(piece.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

double ParseAndLayout(const std::string& html) {
  Application();
  TBitmap surface(800, 600);
  return SecondsOf([&] {
    TSectionList list(nullptr, nullptr);
    ParseHTMLDocument(html, list, {});
    int scrollWidth = 0, curs = 0;
    list.DoLogic(surface.Canvas(), 0, 800, 600, scrollWidth, curs);
  });
}

double Inputs(int n) { return ParseAndLayout(Repeat("<input name=a value=b> ", n)); }

double Options(int n) { return ParseAndLayout("<select name=s>" + Repeat("<option value=v>text", n) + "</select>"); }

double TextAreaLines(int n) { return ParseAndLayout("<textarea name=t>" + Repeat("a line &amp; more\n", n) + "</textarea>"); }

double UnterminatedSelect(int n) { return ParseAndLayout("<select name=s><option>" + Repeat("word ", n)); }

const int kRegistered[] = {
    RegisterScaleShape("page of N INPUTs", 5000, Inputs),
    RegisterScaleShape("SELECT of N OPTIONs", 20000, Options),
    RegisterScaleShape("TEXTAREA of N lines", 20000, TextAreaLines),
    RegisterScaleShape("unterminated SELECT, N words", 20000, UnterminatedSelect),
};

}  // namespace
}  // namespace lark::bench
