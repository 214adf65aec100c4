// Tables read from pages: many rows, many cells in one row, and TABLE tags
// nested far past the table depth. Timed over parsing and the layout.
#include <string>

#include "bench/model_scale/scale_harness.h"
#include "html/section_list.h"
#include "platform/graphics/bitmap.h"
#include "viewer/html_parser.h"

namespace lark::bench {
namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  text.reserve(piece.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

double ParseAndLayOut(const std::string& html) {
  static TBitmap surface(800, 600);
  return SecondsOf([&] {
    TSectionList list(nullptr, nullptr);
    ParseHTMLDocument(html, list);
    int curs = 0, scrollWidth = 0;
    list.DoLogic(surface.Canvas(), 0, 800, 600, scrollWidth, curs);
  });
}

double PageRows(int n) { return ParseAndLayOut("<table border=1>" + Repeat("<tr><td>a cell<td>b<td>c", n) + "</table>"); }

// Past 200 columns the layout leaves the table out: this is the reading.
double CellsInOneRow(int n) { return ParseAndLayOut("<table><tr>" + Repeat("<td>x", n) + "</table>"); }

double NestedTableTags(int n) { return ParseAndLayOut(Repeat("<table><tr><td>x ", n)); }

const int kRegistered[] = {
    RegisterScaleShape("page: table rows of three cells", 5000, PageRows),
    RegisterScaleShape("page: cells in one table row", 25000, CellsInOneRow),
    RegisterScaleShape("page: nested table tags", 25000, NestedTableTags),
};

}  // namespace
}  // namespace lark::bench
