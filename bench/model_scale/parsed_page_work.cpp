#include "bench/model_scale/parsed_page_work.h"

#include "bench/model_scale/scale_harness.h"
#include "html/section_list.h"
#include "platform/graphics/bitmap.h"
#include "platform/windows/application.h"
#include "viewer/html_parser.h"

namespace lark::bench {

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

double ParseAndLayOut(const std::string& html) {
  Application();  // form controls need one
  static TBitmap surface(800, 600);
  return SecondsOf([&] {
    TSectionList list(nullptr, nullptr);
    try {
      ParseHTMLDocument(html, list);
    } catch (const EParseError&) {
    }
    int curs = 0, scrollWidth = 0;
    list.DoLogic(surface.Canvas(), 0, 800, 600, scrollWidth, curs);
  });
}

}  // namespace lark::bench
