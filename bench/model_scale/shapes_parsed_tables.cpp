// Tables read from pages: many rows, many cells in one row, and TABLE tags
// nested far past the table depth. Timed over parsing and the layout.
#include "bench/model_scale/parsed_page_work.h"
#include "bench/model_scale/scale_harness.h"

namespace lark::bench {
namespace {

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
